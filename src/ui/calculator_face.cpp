#include "ui/calculator_face.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>

#include "picture_paths.h"
#include "ui/accessibility.h"
#include "ui/history_model.h"
#include "ui/twips.h"

namespace velmora::ui {

namespace {

constexpr double kKeyPointSize = 9.75;
constexpr double kPiPointSize = 11.25;
constexpr double kHistoryPointSize = 8.25;

constexpr TwipsRect kDisplayRect{240, 1660, 3495, 300};
constexpr TwipsRect kHistoryRect{4200, 240, 3615, 5310};
constexpr TwipsRect kSelectorGapsRect{0, 2040, 3975, 1335};
constexpr TwipsRect kKeypadGapsRect{0, 3360, 3975, 2295};

// Indicator pictures, in the order of calc::Indicator, with their all-grey start pictures and
// what assistive technology calls them.
struct PictureDesign {
    TwipsRect rect;
    const char* objectName;
    const char* greyPicture;
    const char* spokenName;
};
constexpr std::array<PictureDesign, calc::kIndicatorCount> kPictureDesign{{
    {{255, 380, 2205, 210}, "Img_LatLon", res::kLatLonGrey, "Coordinate field"},
    {{255, 800, 2280, 240}, "Img_GMS", res::kGmsGrey, "Coordinate format"},
    {{255, 1200, 2280, 240}, "Img_UMisura", res::kUMisuraGrey, "Distance unit"},
    {{2600, 360, 1155, 1110}, "Img_Bussola", res::kBussolaGrey, "Hemisphere"},
}};
static_assert(res::kImageListCount == calc::kPictureListCount, "one list picture per selector key");

// Lin_TC: three etched separators in the information panel.
constexpr TwipsLine kLinTC[] = {
    {285, 690, 2520, 690, 192, 192, 192},   {285, 700, 2520, 700, 255, 255, 255},
    {285, 1140, 2520, 1140, 255, 255, 255}, {285, 1120, 2520, 1120, 192, 192, 192},
    {2520, 360, 2520, 1440, 192, 192, 192}, {2530, 360, 2530, 1440, 255, 255, 255},
};

// Key caption colours per group: the selector, the keys that write a number, the function keys.
const KeyColours kSelectorColours{QColor(128, 64, 0), QColor(255, 128, 0)};
const KeyColours kFigureColours{QColor(0, 0, 64), QColor(128, 128, 255)};
const KeyColours kFunctionColours{QColor(192, 0, 0), QColor(255, 128, 128)};

const QColor kDisplayText(64, 0, 0);
const QColor kHistoryText(0, 0, 64);
// The list box's own white: the dark history text is drawn for it, so it does not take a dark
// theme's background. Selection and scroll bar still follow the theme.
const QColor kHistoryBackground(255, 255, 255);

}  // namespace

KeyColours keyColours(KeyBlock block, int index) {
    if (block == KeyBlock::Selector) {
        return kSelectorColours;
    }
    const bool figure = calc::IsFigureKey(calc::kKeypadKeys[static_cast<std::size_t>(index)].role);
    return figure ? kFigureColours : kFunctionColours;
}

CalculatorFace::CalculatorFace(QWidget* parent) : PictureBox(parent) {
    setObjectName(QStringLiteral("CalculatorFace"));
    setAttribute(Qt::WA_OpaquePaintEvent);  // paints every pixel; nothing beneath to draw
    QPalette shadow = palette();
    shadow.setColor(QPalette::Window, QApplication::palette().color(QPalette::Dark));
    setPalette(shadow);
    setFixedSize(twipsToPixels(kClientWidthTwips), twipsToPixels(kClientHeightTwips));
    // The picture is the largest thing to decode at start-up: it is decoded while the rest of
    // the window is built.
    setPicture(QString::fromLatin1(res::kBackground));
    decodeAhead();
}

void CalculatorFace::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.drawImage(0, 0, picture());
    for (const TwipsLine& line : kLinTC) {
        drawTwipsLine(painter, line);
    }
}

HoverArea* CalculatorFace::createGaps(KeyBlock block) {
    auto* gaps = new HoverArea(this);
    const bool selector = block == KeyBlock::Selector;
    gaps->setObjectName(selector ? QStringLiteral("Img_Sel_Null") : QStringLiteral("Img_Num_Null"));
    gaps->setGeometry(toPixels(selector ? kSelectorGapsRect : kKeypadGapsRect));
    return gaps;
}

void CalculatorFace::createKeys(KeyBlock block, std::span<KeyLabel*> keys) {
    const std::span<const calc::KeyFace> table = keyTable(block);
    const QString name =
        block == KeyBlock::Selector ? QStringLiteral("Lab_Sel") : QStringLiteral("Lab_Num");
    for (std::size_t i = 0; i < keys.size() && i < table.size(); ++i) {
        const auto index = static_cast<std::int16_t>(i);
        const bool pi = block == KeyBlock::Keypad && index == calc::kKeyPi;
        auto* key = new KeyLabel(block, index, this);
        key->setObjectName(name);
        key->setGeometry(toPixels(table[i].rect));
        key->setFont(arialFont(pi ? kPiPointSize : kKeyPointSize, false));
        key->setToolTip(QString::fromUtf8(table[i].toolTip.data(),
                                          static_cast<qsizetype>(table[i].toolTip.size())));
        keys[i] = key;
    }
}

DisplayLabel* CalculatorFace::createDisplay() {
    auto* display = new DisplayLabel(this);
    display->setObjectName(QStringLiteral("Display"));
    display->setGeometry(toPixels(kDisplayRect));
    display->setFont(arialFont(kKeyPointSize, false));
    display->setAlignment(Qt::AlignRight | Qt::AlignTop);
    QPalette palette = display->palette();
    // Also while the About box disables the window: the display keeps its look.
    palette.setColor(QPalette::Active, QPalette::WindowText, kDisplayText);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, kDisplayText);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, kDisplayText);
    display->setPalette(palette);
    display->setText(QStringLiteral("0"));
    return display;
}

HistoryView* CalculatorFace::createHistoryList(HistoryModel* model) {
    auto* list = new HistoryView(this);
    list->setObjectName(QStringLiteral("Lst_Storico"));
    list->setAccessibleName(QStringLiteral("History"));
    list->setGeometry(toPixels(kHistoryRect));
    list->setFont(arialFont(kHistoryPointSize, false));
    QPalette palette = list->palette();
    palette.setColor(QPalette::Text, kHistoryText);
    palette.setColor(QPalette::Base, kHistoryBackground);
    palette.setColor(QPalette::AlternateBase, kHistoryBackground);
    list->setPalette(palette);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setShowGrid(false);
    list->setWordWrap(false);
    list->setTextElideMode(Qt::ElideNone);
    list->setTabKeyNavigation(false);
    list->setCornerButtonEnabled(false);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->horizontalHeader()->hide();
    list->horizontalHeader()->setStretchLastSection(true);
    list->verticalHeader()->hide();
    list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list->verticalHeader()->setMinimumSectionSize(1);
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height());
    // The model comes last: with the headers already hidden and sized, the view does not
    // measure header captions that are never shown.
    list->setModel(model);
    list->setItemDelegate(new HistoryLineDelegate(list));
    list->setFocusPolicy(Qt::StrongFocus);
    return list;
}

std::array<IndicatorBox*, calc::kIndicatorCount> CalculatorFace::createIndicators() {
    std::array<IndicatorBox*, calc::kIndicatorCount> pictures{};
    for (std::size_t i = 0; i < kPictureDesign.size(); ++i) {
        auto* picture = new IndicatorBox(QString::fromUtf8(kPictureDesign[i].spokenName), this);
        picture->setObjectName(QString::fromLatin1(kPictureDesign[i].objectName));
        picture->setGeometry(toPixels(kPictureDesign[i].rect));
        picture->setPicture(QString::fromLatin1(kPictureDesign[i].greyPicture));
        picture->setWords(indicatorWords(0));
        pictures[i] = picture;
    }
    return pictures;
}

QString CalculatorFace::indicatorPicturePath(calc::Indicator which, int picture) {
    if (picture >= 1 && picture <= res::kImageListCount) {
        return res::imageListPath(picture);
    }
    return QString::fromLatin1(kPictureDesign[static_cast<std::size_t>(which)].greyPicture);
}

}  // namespace velmora::ui
