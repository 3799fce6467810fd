#include "ui/calcolatrice.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QTableView>

#include <algorithm>

#include "app_info.h"
#include "picture_paths.h"
#include "desktop/auto_start.h"
#include "desktop/settings_store.h"
#include "desktop/tray_icona.h"
#include "ui/accessibility.h"
#include "ui/frm_about.h"
#include "ui/history_model.h"
#include "ui/key_label.h"
#include "ui/twips.h"

namespace velmora::ui {

namespace {

// The client area below the menu bar; the background picture leaves its last column and row
// to the window colour.
constexpr int kClientWidthTwips = 8040;
constexpr int kClientHeightTwips = 5760;

// Where a key stands and its tool tip; caption and role come from the calculator's key table.
struct KeyDesign {
    TwipsRect rect;
    const char* toolTip;
};

// Keypad keys Lab_Num, by index: 510 x 300 unless given otherwise.
constexpr std::array<KeyDesign, calc::kKeypadKeyCount> kKeypadDesign{{
    {{215, 5150, 510, 300}, "0"},
    {{215, 4630, 510, 300}, "1"},
    {{830, 4630, 510, 300}, "2"},
    {{1440, 4630, 510, 300}, "3"},
    {{215, 4100, 510, 300}, "4"},
    {{830, 4100, 510, 300}, "5"},
    {{1440, 4100, 510, 300}, "6"},
    {{215, 3560, 510, 300}, "7"},
    {{830, 3560, 510, 300}, "8"},
    {{1440, 3560, 510, 300}, "9"},
    {{830, 5150, 510, 300}, "Decimal"},
    {{1440, 5150, 510, 300}, "Change sign"},
    {{2050, 3570, 510, 255}, "Delete last figure"},
    {{2670, 3570, 510, 255}, "Cancel"},
    {{3290, 3570, 510, 255}, "Clear the historical list"},
    {{2050, 4100, 510, 300}, "Degrees"},
    {{2670, 4100, 510, 300}, "Minutes"},
    {{3290, 4100, 510, 300}, "Seconds"},
    {{2050, 4630, 510, 300}, "Reset both A and B coordinates"},
    {{2670, 4630, 1095, 255}, "Enter"},
    {{2050, 5150, 510, 300}, "pi"},
    {{2670, 5150, 1095, 255}, "Calculate the distance"},
}};

// Selector keys Lab_Sel, by index: 510 x 255 unless given otherwise.
constexpr std::array<KeyDesign, calc::kSelectorKeyCount> kSelectorDesign{{
    {{210, 2220, 1140, 240}, "First point latitude"},
    {{1430, 2220, 1140, 240}, "Second point latitude"},
    {{2670, 2220, 510, 255}, "North"},
    {{3280, 2220, 510, 255}, "South"},
    {{210, 2610, 1140, 240}, "First point longitude"},
    {{1430, 2610, 1140, 255}, "Second point longitude"},
    {{2670, 2610, 510, 255}, "West"},
    {{3280, 2610, 510, 255}, "East"},
    {{210, 3000, 510, 255}, "Distance between A and B in kilometers"},
    {{830, 3000, 510, 255}, "Distance between A and B in statute miles"},
    {{1440, 3000, 510, 255}, "Distance between A and B in nautical miles"},
    {{2050, 3000, 510, 255}, "Coordinates in degrees"},
    {{2670, 3000, 510, 255}, "Coordinates in degrees / minutes"},
    {{3280, 3000, 510, 255}, "Coordinates in degrees / minutes / seconds"},
}};

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

// Lin_TC: three etched separators in the information panel.
constexpr TwipsLine kLinTC[] = {
    {285, 690, 2520, 690, 192, 192, 192},  {285, 700, 2520, 700, 255, 255, 255},
    {285, 1140, 2520, 1140, 255, 255, 255}, {285, 1120, 2520, 1120, 192, 192, 192},
    {2520, 360, 2520, 1440, 192, 192, 192}, {2530, 360, 2530, 1440, 255, 255, 255},
};

// Key text colours: normal and highlighted, per group.
const QColor kSelectorNormal(128, 64, 0);
const QColor kSelectorHighlight(255, 128, 0);
const QColor kDigitNormal(0, 0, 64);
const QColor kDigitHighlight(128, 128, 255);
const QColor kFunctionNormal(192, 0, 0);
const QColor kFunctionHighlight(255, 128, 128);

const QColor kDisplayText(64, 0, 0);
const QColor kHistoryText(0, 0, 64);

bool isFigureKey(int index) {
    return calc::IsFigureKey(calc::kKeypadKeys[static_cast<std::size_t>(index)].role);
}

QColor keypadNormal(int index) {
    return isFigureKey(index) ? kDigitNormal : kFunctionNormal;
}

QColor keypadHighlight(int index) {
    return isFigureKey(index) ? kDigitHighlight : kFunctionHighlight;
}

// The two ticks of the extras, the only settings kept between runs (the registry on Windows,
// ~/.config/Velmora/velmora.conf on Linux).
const QString kShowAzimuthsKey = QStringLiteral("Extras/ShowAzimuths");
const QString kExactSolutionKey = QStringLiteral("Extras/ExactSolutionNearAntipodes");

// One store for the run, so a tick that cannot be saved is reported once, not at every click.
struct RememberedTicks {
    desktop::SettingsStore store;
    bool failureShown = false;
};

RememberedTicks& rememberedTicks() {
    static RememberedTicks ticks;
    return ticks;
}

void rememberTick(desktop::Warnings& warnings, const QString& key, bool ticked) {
    RememberedTicks& ticks = rememberedTicks();
    desktop::RememberTick(ticks.store, warnings, ticks.failureShown, key, ticked);
}

// The engine's code of a key without a character that it takes: Delete and F2..F8.
std::optional<std::uint16_t> keyDownCode(int qtKey) {
    if (qtKey == Qt::Key_Delete) {
        return calc::kKeyCodeDelete;
    }
    if (qtKey >= Qt::Key_F2 && qtKey <= Qt::Key_F8) {
        return static_cast<std::uint16_t>(calc::kKeyCodeF2 + (qtKey - Qt::Key_F2));
    }
    return std::nullopt;
}

// The engine's modifier bits of a key event.
std::uint16_t shiftState(Qt::KeyboardModifiers modifiers) {
    std::uint16_t state = 0;
    if (modifiers & Qt::ShiftModifier) {
        state |= calc::kShiftBit;
    }
    if (modifiers & Qt::ControlModifier) {
        state |= calc::kCtrlBit;
    }
    if (modifiers & Qt::AltModifier) {
        state |= calc::kAltBit;
    }
    return state;
}

// The painted calculator face: the background picture, the window colour in the strip it
// leaves free, and the Lin_TC separators on top.
class CalculatorFace : public PictureBox {
public:
    explicit CalculatorFace(QWidget* parent) : PictureBox(parent) {
        setObjectName(QStringLiteral("CalculatorFace"));
        setAttribute(Qt::WA_OpaquePaintEvent);  // paints every pixel; nothing beneath to draw
        // The picture is the largest thing to decode at start-up: it is decoded while the rest
        // of the window is built.
        setPicture(QString::fromLatin1(res::kBackground));
        decodeAhead();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Window));
        painter.drawImage(0, 0, picture());
        for (const TwipsLine& line : kLinTC) {
            drawTwipsLine(painter, line);
        }
    }
};

}  // namespace

Calcolatrice::Calcolatrice(desktop::Services services)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      m_services(services),
      m_warnings(this),
      m_prompts(this) {
    setObjectName(QStringLiteral("Calcolatrice"));
    setWindowTitle(QString::fromUtf8(app::kProductName));
    QIcon icon;
    for (const int size : res::kProgramIconSizes) {
        icon.addFile(res::programIconPath(size), QSize(size, size));
    }
    setWindowIcon(icon);

    installAccessibleInterfaces();

    const QLocale locale = QLocale::system();
    calc::UserLocale userLocale;
    userLocale.decimalMark = locale.decimalPoint().toStdString();
    userLocale.groupMark = locale.groupSeparator().toStdString();
    m_engine = std::make_unique<calc::Calculator>(*this, m_prompts, userLocale);

    createFace();
    createKeys();
    createDisplayAndHistory();
    createPictures();
    createMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // Keys reach the engine before the focused list; see eventFilter.
    qApp->installEventFilter(this);
}

Calcolatrice::~Calcolatrice() {
    qApp->removeEventFilter(this);
}

void Calcolatrice::createFace() {
    m_face = new CalculatorFace(this);
    QPalette palette = m_face->palette();
    palette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Dark));
    m_face->setPalette(palette);
    m_face->setFixedSize(twipsToPixels(kClientWidthTwips), twipsToPixels(kClientHeightTwips));
    setCentralWidget(m_face);

    // The gap areas lie beneath the keys: created first, they stay below them.
    m_selectorGaps = new HoverArea(m_face);
    m_selectorGaps->setObjectName(QStringLiteral("Img_Sel_Null"));
    m_selectorGaps->setGeometry(toPixels(kSelectorGapsRect));
    connect(m_selectorGaps, &HoverArea::hovered, this, &Calcolatrice::Img_Sel_Null_MouseMove);
    m_keypadGaps = new HoverArea(m_face);
    m_keypadGaps->setObjectName(QStringLiteral("Img_Num_Null"));
    m_keypadGaps->setGeometry(toPixels(kKeypadGapsRect));
    connect(m_keypadGaps, &HoverArea::hovered, this, &Calcolatrice::Img_Num_Null_MouseMove);
}

void Calcolatrice::createKeys() {
    auto makeKey = [this](std::int16_t index, const calc::KeyFace& face, const KeyDesign& design,
                          const char* name, double pointSize) {
        const QString caption =
            QString::fromUtf8(face.caption.data(), static_cast<qsizetype>(face.caption.size()));
        auto* key = new KeyLabel(index, caption, m_face);
        key->setObjectName(QString::fromLatin1(name));
        key->setGeometry(toPixels(design.rect));
        key->setFont(arialFont(pointSize, false));
        key->setToolTip(QString::fromUtf8(design.toolTip));
        return key;
    };
    for (std::size_t i = 0; i < kKeypadDesign.size(); ++i) {
        const auto index = static_cast<std::int16_t>(i);
        KeyLabel* key = makeKey(index, calc::kKeypadKeys[i], kKeypadDesign[i], "Lab_Num",
                                index == calc::kKeyPi ? kPiPointSize : kKeyPointSize);
        connect(key, &KeyLabel::clicked, this, [this](std::int16_t k) { m_engine->Lab_Num_Click(k); });
        connect(key, &KeyLabel::hovered, this, &Calcolatrice::Lab_Num_MouseMove);
        m_keypadKeys[i] = key;
    }
    for (std::size_t i = 0; i < kSelectorDesign.size(); ++i) {
        KeyLabel* key =
            makeKey(static_cast<std::int16_t>(i), calc::kSelectorKeys[i], kSelectorDesign[i],
                    "Lab_Sel", kKeyPointSize);
        connect(key, &KeyLabel::clicked, this, [this](std::int16_t k) { m_engine->Lab_Sel_Click(k); });
        connect(key, &KeyLabel::hovered, this, &Calcolatrice::Lab_Sel_MouseMove);
        m_selectorKeys[i] = key;
    }
}

void Calcolatrice::createDisplayAndHistory() {
    m_display = new DisplayLabel(m_face);
    m_display->setObjectName(QStringLiteral("Display"));
    m_display->setGeometry(toPixels(kDisplayRect));
    m_display->setFont(arialFont(kKeyPointSize, false));
    m_display->setAlignment(Qt::AlignRight | Qt::AlignTop);
    QPalette displayPalette = m_display->palette();
    // Also while the About box disables the window: the display keeps its look.
    displayPalette.setColor(QPalette::Active, QPalette::WindowText, kDisplayText);
    displayPalette.setColor(QPalette::Inactive, QPalette::WindowText, kDisplayText);
    displayPalette.setColor(QPalette::Disabled, QPalette::WindowText, kDisplayText);
    m_display->setPalette(displayPalette);
    m_display->setText(QStringLiteral("0"));
    connect(m_display, &ClickableLabel::clicked, this, [this] { m_engine->Display_Click(); });

    m_historyModel = new HistoryModel(m_engine->history(), this);
    m_history = new HistoryView(m_face);
    m_history->setObjectName(QStringLiteral("Lst_Storico"));
    m_history->setAccessibleName(QStringLiteral("History"));
    m_history->setGeometry(toPixels(kHistoryRect));
    m_history->setFont(arialFont(kHistoryPointSize, false));
    QPalette historyPalette = m_history->palette();
    historyPalette.setColor(QPalette::Text, kHistoryText);
    m_history->setPalette(historyPalette);
    m_history->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_history->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_history->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_history->setShowGrid(false);
    m_history->setWordWrap(false);
    m_history->setTextElideMode(Qt::ElideNone);
    m_history->setTabKeyNavigation(false);
    m_history->setCornerButtonEnabled(false);
    m_history->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_history->horizontalHeader()->hide();
    m_history->horizontalHeader()->setStretchLastSection(true);
    m_history->verticalHeader()->hide();
    m_history->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_history->verticalHeader()->setMinimumSectionSize(1);
    m_history->verticalHeader()->setDefaultSectionSize(m_history->fontMetrics().height());
    // The model comes last: with the headers already hidden and sized, the view does not
    // measure header captions that are never shown.
    m_history->setModel(m_historyModel);
    m_history->setItemDelegate(new HistoryLineDelegate(m_history));
    m_history->setFocusPolicy(Qt::StrongFocus);
    m_history->viewport()->installEventFilter(this);
    setFocusProxy(m_history);
}

void Calcolatrice::createPictures() {
    for (std::size_t i = 0; i < kPictureDesign.size(); ++i) {
        auto* picture = new IndicatorBox(QString::fromUtf8(kPictureDesign[i].spokenName), m_face);
        picture->setObjectName(QString::fromLatin1(kPictureDesign[i].objectName));
        picture->setGeometry(toPixels(kPictureDesign[i].rect));
        picture->setPicture(QString::fromLatin1(kPictureDesign[i].greyPicture));
        picture->setWords(indicatorWords(0));
        m_pictures[i] = picture;
    }
}

void Calcolatrice::createMenus() {
    QMenuBar* bar = menuBar();
    bar->setNativeMenuBar(false);

    // One entry: caption, object name and handler; an entry with a shortcut is also one of
    // the actions the keyboard handling leaves to the menus.
    const auto addEntry = [this](QMenu* menu, const QString& caption, const QString& name,
                                 auto handler, const QKeySequence& shortcut = {}) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, handler);
        if (!shortcut.isEmpty()) {
            action->setShortcut(shortcut);
            m_shortcutActions.push_back(action);
        }
        return action;
    };

    m_editMenu = bar->addMenu(QStringLiteral("&Edit"));
    m_editMenu->setObjectName(QStringLiteral("MenuModifica"));
    addEntry(m_editMenu, QStringLiteral("Copy"), QStringLiteral("MenuCopia"),
             &Calcolatrice::MenuCopia_Click, QKeySequence(Qt::CTRL | Qt::Key_C));
    addEntry(m_editMenu, QStringLiteral("Paste"), QStringLiteral("MenuIncolla"),
             &Calcolatrice::MenuIncolla_Click, QKeySequence(Qt::CTRL | Qt::Key_V));
    m_editMenu->addSeparator()->setObjectName(QStringLiteral("MenuNull0"));
    addEntry(m_editMenu, QStringLiteral("Send to calculator "), QStringLiteral("MenuInviaCalc"),
             &Calcolatrice::MenuInviaCalc_Click, QKeySequence(Qt::CTRL | Qt::Key_I));
    m_editMenu->addSeparator()->setObjectName(QStringLiteral("MenuNullPastePoint"));
    addEntry(m_editMenu, QStringLiteral("Paste point A"), QStringLiteral("MenuPastePointA"),
             &Calcolatrice::MenuPastePointA_Click);
    addEntry(m_editMenu, QStringLiteral("Paste point B"), QStringLiteral("MenuPastePointB"),
             &Calcolatrice::MenuPastePointB_Click);

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("MenuVisualizza"));
    m_boldAction = addEntry(view, QStringLiteral("Font bold"), QStringLiteral("MenuGrassetto"),
                            &Calcolatrice::MenuGrassetto_Click);
    m_boldAction->setCheckable(true);
    m_underlineAction = addEntry(view, QStringLiteral("Font underline"),
                                 QStringLiteral("MenuSottolinea"),
                                 &Calcolatrice::MenuSottolinea_Click);
    m_underlineAction->setCheckable(true);
    view->addSeparator()->setObjectName(QStringLiteral("MenuNullAzimuths"));
    m_showAzimuthsAction = addEntry(view, QStringLiteral("Show azimuths"),
                                    QStringLiteral("MenuShowAzimuths"),
                                    &Calcolatrice::MenuShowAzimuths_Click);
    m_showAzimuthsAction->setCheckable(true);

    QMenu* datum = bar->addMenu(QStringLiteral("&Datum"));
    datum->setObjectName(QStringLiteral("MenuEllissoide"));
    for (int i = 0; i < calc::kDatumEntryCount; ++i) {
        QAction* entry = nullptr;
        if (calc::IsDatumSeparator(i)) {
            entry = datum->addSeparator();
        } else {
            const std::string_view caption = calc::DatumCaption(i);
            entry = datum->addAction(
                QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
            entry->setCheckable(true);
            const auto index = static_cast<std::int16_t>(i);
            connect(entry, &QAction::triggered, this, [this, index] {
                m_engine->MenuDatum_Click(index);
                refresh();
            });
        }
        entry->setObjectName(QStringLiteral("MenuDatum"));
        entry->setProperty("index", i);
        m_datumActions[static_cast<std::size_t>(i)] = entry;
    }

    QMenu* options = bar->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("MenuOpzioni"));
    m_autoStartAction = addEntry(options, QStringLiteral("Automatic startup"),
                                 QStringLiteral("MenuAvvioAuto"),
                                 &Calcolatrice::MenuAvvioAuto_Click);
    m_autoStartAction->setCheckable(true);
    options->addSeparator()->setObjectName(QStringLiteral("MenuNull1"));
    addEntry(options, QStringLiteral("Make shortcut on the desktop"),
             QStringLiteral("MenuCreaCollegamento"), &Calcolatrice::MenuCreaCollegamento_Click);
    addEntry(options, QStringLiteral("Remove shortcut from the desktop"),
             QStringLiteral("MenuEliminaCollegamento"),
             &Calcolatrice::MenuEliminaCollegamento_Click);
    options->addSeparator()->setObjectName(QStringLiteral("MenuNullExactSolution"));
    m_exactSolutionAction = addEntry(options, QStringLiteral("Exact solution near antipodes"),
                                     QStringLiteral("MenuExactSolution"),
                                     &Calcolatrice::MenuExactSolution_Click);
    m_exactSolutionAction->setCheckable(true);

    QMenu* help = bar->addMenu(QStringLiteral("&?"));
    help->setObjectName(QStringLiteral("MenuAbout0"));
    addEntry(help, QStringLiteral("About program..."), QStringLiteral("MenuAbout2"),
             &Calcolatrice::MenuAbout2_Click, QKeySequence(Qt::Key_F1));
}

void Calcolatrice::Form_Load() {
    m_about = std::make_unique<Frm_About>(*this, m_services.mail);
    m_about->hide();
    m_highlight.LastSelectorKey = 0;
    m_highlight.LastKeypadKey = 0;
    colourKeys();

    m_engine->StartUp();
    applyRememberedExtras();
    refresh();

    m_tray = std::make_unique<desktop::TrayIcona>(
        *this, windowIcon(),
        desktop::TrayTip(QString::fromUtf8(app::kProductName),
                         QString::fromUtf8(app::kVersionText),
                         QString::fromUtf8(app::kLegalNotice)));
    m_tray->CreateTrayMenu();
    m_tray->AddTrayIcon();
    const bool autoStart = desktop::IsAutoStartEnabled(m_services.autoStart);
    m_autoStartTicked = autoStart;
    m_autoStartAction->setChecked(autoStart);

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    // Without a notification area there is nothing to bring the window back: show it.
    m_tray->HideToTray(autoStart && m_tray->isAvailable());
    m_engine->FinishStartUp();
}

void Calcolatrice::bringForward() {
    if (m_tray) {
        m_tray->HideToTray(false);
    } else {
        show();
        raise();
        activateWindow();
    }
}

void Calcolatrice::colourKeys() {
    for (KeyLabel* key : m_selectorKeys) {
        key->setTextColor(kSelectorNormal);
    }
    for (KeyLabel* key : m_keypadKeys) {
        key->setTextColor(keypadNormal(key->index()));
    }
}

void Calcolatrice::Lab_Sel_MouseMove(std::int16_t index) {
    processPendingEvents();
    KeyLabel* last = selectorKey(m_highlight.LastSelectorKey);
    last->setTextColor(kSelectorNormal);
    last->setUnderlined(false);
    KeyLabel* key = selectorKey(index);
    key->setTextColor(kSelectorHighlight);
    key->setUnderlined(m_highlight.UnderlineOnHover);
    m_highlight.LastSelectorKey = index;
}

void Calcolatrice::Img_Sel_Null_MouseMove() {
    processPendingEvents();
    KeyLabel* last = selectorKey(m_highlight.LastSelectorKey);
    last->setTextColor(kSelectorNormal);
    last->setUnderlined(false);
}

void Calcolatrice::Lab_Num_MouseMove(std::int16_t index) {
    processPendingEvents();
    KeyLabel* last = keypadKey(m_highlight.LastKeypadKey);
    last->setTextColor(keypadNormal(m_highlight.LastKeypadKey));
    last->setUnderlined(false);
    KeyLabel* key = keypadKey(index);
    key->setTextColor(keypadHighlight(index));
    key->setUnderlined(m_highlight.UnderlineOnHover);
    m_highlight.LastKeypadKey = index;
}

void Calcolatrice::Img_Num_Null_MouseMove() {
    processPendingEvents();
    KeyLabel* last = keypadKey(m_highlight.LastKeypadKey);
    last->setTextColor(keypadNormal(m_highlight.LastKeypadKey));
    last->setUnderlined(false);
}

void Calcolatrice::MenuGrassetto_Click() {
    const bool bold = m_boldAction->isChecked();
    for (KeyLabel* key : m_selectorKeys) {
        key->setBold(bold);
    }
    for (KeyLabel* key : m_keypadKeys) {
        key->setBold(bold);
    }
}

void Calcolatrice::MenuSottolinea_Click() {
    m_highlight.UnderlineOnHover = m_underlineAction->isChecked();
}

void Calcolatrice::MenuCopia_Click() {
    const std::string text = m_engine->MenuCopia_Click();
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(QString::fromStdString(text));
}

void Calcolatrice::MenuIncolla_Click() {
    m_engine->MenuIncolla_Click(QGuiApplication::clipboard()->text().toStdString());
    refresh();
}

void Calcolatrice::MenuInviaCalc_Click() {
    if (const std::optional<std::string> text = m_engine->MenuInviaCalc_Click()) {
        m_services.calculator.typeNumber(QString::fromStdString(*text));
    }
}

void Calcolatrice::MenuAvvioAuto_Click() {
    desktop::MenuAvvioAuto_Click(m_services.autoStart, m_warnings, m_engine->state().Loading,
                                 m_autoStartTicked);
    m_autoStartAction->setChecked(m_autoStartTicked);
}

void Calcolatrice::MenuCreaCollegamento_Click() {
    m_services.shortcut.create();
}

void Calcolatrice::MenuEliminaCollegamento_Click() {
    m_services.shortcut.remove();
}

void Calcolatrice::MenuAbout2_Click() {
    if (m_about) {
        m_about->showOver();
    }
}

void Calcolatrice::applyRememberedExtras() {
    const desktop::SettingsStore& settings = rememberedTicks().store;
    m_showAzimuthsAction->setChecked(settings.value(kShowAzimuthsKey, false));
    m_exactSolutionAction->setChecked(settings.value(kExactSolutionKey, false));
    m_engine->SetShowAzimuths(m_showAzimuthsAction->isChecked());
    m_engine->SetExactNearAntipodes(m_exactSolutionAction->isChecked());
}

void Calcolatrice::MenuShowAzimuths_Click() {
    const bool ticked = m_showAzimuthsAction->isChecked();
    m_engine->SetShowAzimuths(ticked);
    rememberTick(m_warnings, kShowAzimuthsKey, ticked);
}

void Calcolatrice::MenuExactSolution_Click() {
    const bool ticked = m_exactSolutionAction->isChecked();
    m_engine->SetExactNearAntipodes(ticked);
    rememberTick(m_warnings, kExactSolutionKey, ticked);
}

void Calcolatrice::MenuPastePointA_Click() {
    m_engine->MenuPastePoint_Click(calc::kPointA, QGuiApplication::clipboard()->text().toStdString());
    refresh();
}

void Calcolatrice::MenuPastePointB_Click() {
    m_engine->MenuPastePoint_Click(calc::kPointB, QGuiApplication::clipboard()->text().toStdString());
    refresh();
}

QLabel* Calcolatrice::display() const {
    return m_display;
}

void Calcolatrice::historyLineAppended() {
    m_historyModel->lineAppended();
}

void Calcolatrice::historyCleared() {
    m_historyModel->cleared();
}

void Calcolatrice::makeLineCurrent(int line) {
    // Making a line current asks the list for row positions, which it recomputes over every row
    // after each insert. Done once when the event loop next runs, a burst of lines costs one
    // such pass instead of one per line.
    m_pendingCurrentLine = line;
    if (!m_currentLineQueued) {
        m_currentLineQueued = true;
        QMetaObject::invokeMethod(this, &Calcolatrice::applyCurrentLine, Qt::QueuedConnection);
    }
}

void Calcolatrice::applyCurrentLine() {
    m_currentLineQueued = false;
    if (!m_pendingCurrentLine) {
        return;
    }
    const int line = *m_pendingCurrentLine;
    m_pendingCurrentLine.reset();
    QItemSelectionModel* selection = m_history->selectionModel();
    if (line < 0 || line >= m_historyModel->rowCount()) {
        selection->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
        return;
    }
    const QModelIndex index = m_historyModel->index(line);
    selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    m_history->scrollTo(index, QAbstractItemView::EnsureVisible);
}

void Calcolatrice::deselectAllLines() {
    m_history->selectionModel()->clearSelection();
}

std::vector<std::size_t> Calcolatrice::selectedLines() const {
    std::vector<std::size_t> lines;
    for (const QModelIndex& index : m_history->selectionModel()->selectedRows()) {
        lines.push_back(static_cast<std::size_t>(index.row()));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

void Calcolatrice::processPendingEvents() {
    // Paints and timers only: a key or click typed meanwhile waits its turn, so input is acted
    // on in the order it was given.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void Calcolatrice::refresh() {
    const QString text = QString::fromStdString(m_engine->displayText());
    m_display->showText(text);
    auto enable = [](KeyLabel* key, bool enabled) {
        if (key->isEnabled() != enabled) {
            key->setEnabled(enabled);
        }
    };
    for (KeyLabel* key : m_keypadKeys) {
        enable(key, m_engine->isKeypadKeyEnabled(key->index()));
    }
    for (KeyLabel* key : m_selectorKeys) {
        enable(key, m_engine->isSelectorKeyEnabled(key->index()));
    }
    for (std::size_t i = 0; i < m_pictures.size(); ++i) {
        const auto which = static_cast<calc::Indicator>(i);
        const int picture = m_engine->indicatorPicture(which);
        if (picture != m_shownPictures[i]) {
            m_pictures[i]->setPicture(indicatorPicturePath(which, picture));
            m_pictures[i]->setWords(indicatorWords(picture));
            m_shownPictures[i] = picture;
        }
    }
    for (std::size_t i = 0; i < m_datumActions.size(); ++i) {
        if (m_datumActions[i]->isCheckable()) {
            m_datumActions[i]->setChecked(m_engine->isDatumTicked(static_cast<int>(i)));
        }
    }
}

QString Calcolatrice::indicatorPicturePath(calc::Indicator which, int picture) {
    if (picture >= 1 && picture <= res::kImageListCount) {
        return res::imageListPath(picture);
    }
    return QString::fromLatin1(kPictureDesign[static_cast<std::size_t>(which)].greyPicture);
}

void Calcolatrice::focusMainWindow() {
    if (!isActiveWindow()) {
        activateWindow();
    }
    if (!m_history->hasFocus()) {
        m_history->setFocus();
    }
}

bool Calcolatrice::forwardKey(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (const std::optional<std::uint16_t> code = keyDownCode(event.key())) {
        m_engine->Form_KeyDown(*code, shiftState(modifiers));
        return true;
    }
    const QString text = event.text();
    if (text.isEmpty()) {
        return false;
    }
    // Ctrl or Alt alone make a command key that belongs to the list or the menus (Ctrl+A,
    // Ctrl+Home); Ctrl and Alt together are AltGr on Windows and type a character.
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const bool alt = modifiers.testFlag(Qt::AltModifier);
    if (ctrl != alt) {
        return false;
    }
    m_engine->Form_KeyPress(text.at(0).unicode());
    return true;
}

bool Calcolatrice::isMenuShortcut(const QKeyEvent& event) const {
    const QKeySequence typed(event.keyCombination());
    return std::any_of(m_shortcutActions.begin(), m_shortcutActions.end(),
                       [&typed](const QAction* action) { return action->shortcut() == typed; });
}

bool Calcolatrice::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr || widget->window() != this || !isEnabled()) {
            return false;
        }
        // A menu bar opened with Alt or F10 takes the keys for its access letters.
        if (qobject_cast<QMenuBar*>(widget) != nullptr) {
            return false;
        }
        // The list's own keys start from the newest current line.
        applyCurrentLine();
        if (event->type() == QEvent::ShortcutOverride) {
            // The list would claim Ctrl+C and Ctrl+V for its own copy; the menus have them.
            if (isMenuShortcut(*static_cast<QKeyEvent*>(event))) {
                event->ignore();
                return true;
            }
            return false;
        }
        const auto& key = *static_cast<QKeyEvent*>(event);
        // The context menu keys of every list; the list itself has no keyboard menu.
        if (key.key() == Qt::Key_Menu || (key.key() == Qt::Key_F10 && key.modifiers() == Qt::ShiftModifier)) {
            openHistoryMenuFromKeyboard();
            return true;
        }
        // Every key the engine takes ends here, so the list never acts on it as well (no
        // keyboard search on letters, no Enter, no Delete).
        return forwardKey(key);
    }
    if (watched == m_history->viewport() && event->type() == QEvent::MouseButtonPress) {
        applyCurrentLine();
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            Lst_Storico_MouseDown(mouse->globalPosition().toPoint());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Calcolatrice::Lst_Storico_MouseDown(const QPoint& globalPos) {
    m_editMenu->popup(globalPos);
}

void Calcolatrice::openHistoryMenuFromKeyboard() {
    QWidget* viewport = m_history->viewport();
    const QRect line = m_history->visualRect(m_history->currentIndex());
    const QPoint at = viewport->rect().contains(line.bottomLeft()) ? line.bottomLeft() : QPoint(0, 0);
    m_editMenu->popup(viewport->mapToGlobal(at));
}

void Calcolatrice::closeEvent(QCloseEvent* event) {
    bool cancel = false;
    Form_QueryUnload(cancel);
    event->setAccepted(!cancel);
}

void Calcolatrice::Form_QueryUnload(bool& cancel) {
    // Every close request, whatever its origin, ends the program at once; nothing is saved.
    cancel = true;
    if (m_tray) {
        m_tray->EndProgram();
    }
    QCoreApplication::exit(0);
}

}  // namespace velmora::ui
