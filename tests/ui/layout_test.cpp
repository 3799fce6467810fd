#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QHeaderView>
#include <QMenuBar>
#include <QTableView>
#include <QAccessible>
#include <QTest>

#include <initializer_list>
#include <string_view>

#include "picture_paths.h"
#include "calculator/keys.h"
#include "ui/accessibility.h"
#include "ui/key_label.h"
#include "ui_fixture.h"

using namespace velmora;
using namespace velmora::ui;
using namespace velmora::ui::test;

namespace {

// The window design in twips (15 to the pixel), converted here independently of the window.
QRect fromTwips(int left, int top, int width, int height) {
    auto px = [](int twips) { return qRound(twips / 15.0); };
    return {px(left), px(top), px(width), px(height)};
}

QRect fromTwips(const calc::TwipsRect& r) { return fromTwips(r.left, r.top, r.width, r.height); }

QRect faceOf(const calc::KeyFace& key) {
    return QRect(QPoint(key.face.left, key.face.top), QPoint(key.face.right, key.face.bottom));
}

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Every key of both blocks, as a row per key: "Lab_Num 7", "Lab_Sel 0".
void addKeyRows() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("index");
    for (int i = 0; i < calc::kKeypadKeyCount; ++i)
        QTest::addRow("Lab_Num %d", i) << QStringLiteral("Lab_Num") << i;
    for (int i = 0; i < calc::kSelectorKeyCount; ++i)
        QTest::addRow("Lab_Sel %d", i) << QStringLiteral("Lab_Sel") << i;
}

const calc::KeyFace& tableRow(const QString& kind, int index) {
    return kind == QLatin1String("Lab_Sel") ? calc::kSelectorKeys[static_cast<std::size_t>(index)]
                                            : calc::kKeypadKeys[static_cast<std::size_t>(index)];
}

// The picture-list index the selector key lights.
int pictureOf(int selectorKey) {
    return calc::kSelectorKeys[static_cast<std::size_t>(selectorKey)].picture;
}

// The indicator that shows the pictures of a selector key's row.
calc::Indicator indicatorOf(calc::KeyRole role) {
    switch (role) {
    case calc::KeyRole::Field: return calc::Indicator::LatLon;
    case calc::KeyRole::Format: return calc::Indicator::Gms;
    case calc::KeyRole::Unit: return calc::Indicator::UMisura;
    default: return calc::Indicator::Bussola;
    }
}

QWidget* control(Calcolatrice& w, const QString& kind, int index) {
    if (kind == QLatin1String("Lab_Num")) return w.keypadKey(index);
    if (kind == QLatin1String("Lab_Sel")) return w.selectorKey(index);
    if (kind == QLatin1String("Display")) return w.display();
    if (kind == QLatin1String("Lst_Storico")) return w.historyList();
    if (kind == QLatin1String("Img_Sel_Null")) return w.selectorGaps();
    if (kind == QLatin1String("Img_Num_Null")) return w.keypadGaps();
    return w.indicator(static_cast<calc::Indicator>(index));
}

QStringList actionTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return texts;
}

QMenu* menuTitled(Calcolatrice& w, const QString& title) {
    for (QAction* action : w.menuBar()->actions()) {
        if (action->text() == title) return action->menu();
    }
    return nullptr;
}

}  // namespace

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void init() { m_ui = std::make_unique<WindowUnderTest>(); }
    void cleanup() { m_ui.reset(); }

    void windowIsFixedWithClientAreaBelowTheMenuBar() {
        Calcolatrice& w = *m_ui->window;
        QCOMPARE(w.windowTitle(), QStringLiteral("Velmora"));
        QCOMPARE(w.face()->size(), QSize(536, 384));
        QCOMPARE(w.face()->y(), w.menuBar()->geometry().bottom() + 1);
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QCOMPARE(w.size().height(), w.menuBar()->height() + 384);
        const Qt::WindowFlags flags = w.windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    }

    void controlRectangles_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("index");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("Display") << QStringLiteral("Display") << 0
                                 << fromTwips(240, 1660, 3495, 300);
        QTest::newRow("Lst_Storico")
            << QStringLiteral("Lst_Storico") << 0 << fromTwips(4200, 240, 3615, 5310);
        QTest::newRow("Img_LatLon")
            << QStringLiteral("picture") << 0 << fromTwips(255, 380, 2205, 210);
        QTest::newRow("Img_GMS") << QStringLiteral("picture") << 1
                                 << fromTwips(255, 800, 2280, 240);
        QTest::newRow("Img_UMisura")
            << QStringLiteral("picture") << 2 << fromTwips(255, 1200, 2280, 240);
        QTest::newRow("Img_Bussola")
            << QStringLiteral("picture") << 3 << fromTwips(2600, 360, 1155, 1110);
        QTest::newRow("Img_Sel_Null")
            << QStringLiteral("Img_Sel_Null") << 0 << fromTwips(0, 2040, 3975, 1335);
        QTest::newRow("Img_Num_Null")
            << QStringLiteral("Img_Num_Null") << 0 << fromTwips(0, 3360, 3975, 2295);
    }

    void controlRectangles() {
        QFETCH(QString, kind);
        QFETCH(int, index);
        QFETCH(QRect, expected);
        QWidget* c = control(*m_ui->window, kind, index);
        QVERIFY(c != nullptr);
        QCOMPARE(c->parentWidget(), m_ui->window->face());
        QCOMPARE(c->geometry(), expected);
    }

    // A key stands at its table rectangle, over the face the background picture paints for it,
    // inside the client area and above its block's hover-reset area.
    void keyRectangles_data() { addKeyRows(); }

    void keyRectangles() {
        QFETCH(QString, kind);
        QFETCH(int, index);
        Calcolatrice& w = *m_ui->window;
        const calc::KeyFace& row = tableRow(kind, index);
        QWidget* key = control(w, kind, index);
        QCOMPARE(key->parentWidget(), w.face());
        QCOMPARE(key->geometry(), fromTwips(row.rect));
        QVERIFY(w.face()->rect().contains(key->geometry()));
        QWidget* gaps = kind == QLatin1String("Lab_Sel") ? static_cast<QWidget*>(w.selectorGaps())
                                                         : w.keypadGaps();
        QVERIFY(gaps->geometry().contains(key->geometry()));
        const QRect face = faceOf(row);
        QVERIFY2(face.contains(key->geometry()), qPrintable(QStringLiteral("face %1,%2 %3x%4")
                                                                .arg(face.x())
                                                                .arg(face.y())
                                                                .arg(face.width())
                                                                .arg(face.height())));
        // The painted face: its border on each edge beside the caption, the ground just outside.
        const QImage shown = w.face()->grab().toImage();
        const QPoint c = face.center();
        for (const QPoint p : {QPoint(c.x(), face.top()), QPoint(c.x(), face.bottom()),
                               QPoint(face.left(), c.y()), QPoint(face.right(), c.y())}) {
            QCOMPARE(QColor(shown.pixel(p)), QColor(0, 60, 116));
        }
        QCOMPARE(QColor(shown.pixel(face.left() - 1, c.y())), QColor(228, 228, 228));
        QCOMPARE(QColor(shown.pixel(c.x(), face.bottom() + 1)), QColor(228, 228, 228));
    }

    void keysNeverOverlap() {
        QList<QWidget*> keys;
        for (int i = 0; i < calc::kKeypadKeyCount; ++i) keys << m_ui->window->keypadKey(i);
        for (int i = 0; i < calc::kSelectorKeyCount; ++i) keys << m_ui->window->selectorKey(i);
        for (int a = 0; a < keys.size(); ++a) {
            for (int b = a + 1; b < keys.size(); ++b) {
                QVERIFY2(!keys[a]->geometry().intersects(keys[b]->geometry()),
                         qPrintable(QStringLiteral("keys %1 and %2").arg(a).arg(b)));
            }
        }
    }

    void keyCaptionsToolTipsAndNames_data() { addKeyRows(); }

    void keyCaptionsToolTipsAndNames() {
        QFETCH(QString, kind);
        QFETCH(int, index);
        const calc::KeyFace& row = tableRow(kind, index);
        auto* key = static_cast<KeyLabel*>(control(*m_ui->window, kind, index));
        QVERIFY(!key->caption().isEmpty());
        QCOMPARE(key->caption(), fromView(row.caption));
        QVERIFY(!key->toolTip().isEmpty());
        QCOMPARE(key->toolTip(), fromView(row.toolTip));
        // Assistive technology reads the tooltip as the key's description and the caption in
        // words as its name (accessibility_test).
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(key);
        QCOMPARE(iface->text(QAccessible::Description), key->toolTip());
        QVERIFY(!row.name.empty());
        QCOMPARE(iface->text(QAccessible::Name), fromView(row.name));
        QCOMPARE(key->index(), index);
    }

    // No two keys share a tooltip, nor two keys of a block a spoken name: each reads apart.
    void keysReadApart() {
        QStringList tips;
        const auto check = [&tips](const auto& table) {
            QStringList names;
            for (const calc::KeyFace& key : table) {
                QVERIFY2(!names.contains(fromView(key.name)), key.name.data());
                QVERIFY2(!tips.contains(fromView(key.toolTip)), key.toolTip.data());
                names << fromView(key.name);
                tips << fromView(key.toolTip);
            }
        };
        check(calc::kKeypadKeys);
        check(calc::kSelectorKeys);
        QCOMPARE(tips.size(), calc::kKeypadKeyCount + calc::kSelectorKeyCount);
    }

    // Each selector key lights its own picture of the list in its row's indicator, which reads
    // it in words; each picture of the list belongs to exactly one key.
    void everySelectorKeyLightsItsPicture_data() {
        QTest::addColumn<int>("key");
        for (int i = 0; i < calc::kSelectorKeyCount; ++i) QTest::addRow("Lab_Sel %d", i) << i;
    }

    void everySelectorKeyLightsItsPicture() {
        QFETCH(int, key);
        Calcolatrice& w = *m_ui->window;
        const calc::KeyFace& row = calc::kSelectorKeys[static_cast<std::size_t>(key)];
        QVERIFY(row.picture >= 1 && row.picture <= res::kImageListCount);
        QCOMPARE(calc::SelectorKeyOfPicture(row.picture), key);
        if (!w.selectorKey(key)->isEnabled()) {
            QTest::mouseClick(w.selectorKey(calc::kSelLongitudeA), Qt::LeftButton);  // W and E
        }
        QTest::mouseClick(w.selectorKey(key), Qt::LeftButton);
        const calc::Indicator which = indicatorOf(row.role);
        QCOMPARE(w.engine().indicatorPicture(which), row.picture);
        IndicatorBox* box = w.indicator(which);
        QCOMPARE(box->picturePath(), res::imageListPath(row.picture));
        QCOMPARE(box->words(), fromView(row.pictureWords));
        QCOMPARE(indicatorWords(row.picture), box->words());
    }

    void fontsAndTextColours() {
        Calcolatrice& w = *m_ui->window;
        for (int i = 0; i < calc::kKeypadKeyCount; ++i) {
            const QFont f = w.keypadKey(i)->font();
            QCOMPARE(f.family(), QStringLiteral("Arial"));
            QCOMPARE(f.pointSizeF(), i == 20 ? 11.25 : 9.75);
            QVERIFY(!f.bold() && !f.underline());
            QCOMPARE(w.keypadKey(i)->textColor(), i > 11 ? QColor(192, 0, 0) : QColor(0, 0, 64));
        }
        for (int i = 0; i < calc::kSelectorKeyCount; ++i) {
            const QFont f = w.selectorKey(i)->font();
            QCOMPARE(f.pointSizeF(), 9.75);
            QVERIFY(!f.bold() && !f.underline());
            QCOMPARE(w.selectorKey(i)->textColor(), QColor(128, 64, 0));
        }
        QCOMPARE(w.display()->font().pointSizeF(), 9.75);
        QCOMPARE(w.display()->palette().color(QPalette::WindowText), QColor(64, 0, 0));
        QVERIFY(w.display()->alignment().testFlag(Qt::AlignRight));
        QCOMPARE(w.historyList()->font().pointSizeF(), 8.25);
        QCOMPARE(w.historyList()->palette().color(QPalette::Text), QColor(0, 0, 64));
        QCOMPARE(w.historyList()->selectionMode(), QAbstractItemView::ExtendedSelection);
        QVERIFY(!w.historyList()->accessibleName().isEmpty());
    }

    void onlyTheHistoryListTakesTheFocus() {
        const QList<QWidget*> children = m_ui->window->face()->findChildren<QWidget*>();
        for (QWidget* child : children) {
            if (child == m_ui->window->historyList() ||
                m_ui->window->historyList()->isAncestorOf(child)) {
                continue;
            }
            QVERIFY2(child->focusPolicy() == Qt::NoFocus, qPrintable(child->objectName()));
        }
        QCOMPARE(m_ui->window->historyList()->focusPolicy(), Qt::StrongFocus);
    }

    // The Lin_TC separators and the strip of window colour the background picture leaves free.
    void linesAndBackgroundPixels() {
        const QImage face = m_ui->window->face()->grab().toImage();
        QCOMPARE(face.size(), QSize(536, 384));
        QCOMPARE(QColor(face.pixel(100, 46)), QColor(192, 192, 192));
        QCOMPARE(QColor(face.pixel(100, 47)), QColor(255, 255, 255));
        QCOMPARE(QColor(face.pixel(100, 75)), QColor(192, 192, 192));
        QCOMPARE(QColor(face.pixel(100, 76)), QColor(255, 255, 255));
        QCOMPARE(QColor(face.pixel(168, 30)), QColor(192, 192, 192));
        QCOMPARE(QColor(face.pixel(169, 30)), QColor(255, 255, 255));
        const QRgb shadow = QApplication::palette().color(QPalette::Dark).rgb();
        QCOMPARE(face.pixel(535, 200), shadow);
        QCOMPARE(face.pixel(300, 383), shadow);
        QVERIFY(face.pixel(534, 200) != shadow);
    }

    // The history list is a bare list box: no headers or their margins, one column across the
    // whole list, rows as high as the list's font.
    void historyListHasNoHeaders() {
        QTableView* list = m_ui->window->historyList();
        QVERIFY(list->horizontalHeader()->isHidden());
        QVERIFY(list->verticalHeader()->isHidden());
        const int frame = list->frameWidth();
        QCOMPARE(list->viewport()->geometry(), list->rect().adjusted(frame, frame, -frame, -frame));
        QCOMPARE(list->model()->columnCount(), 1);
        QCOMPARE(list->columnWidth(0), list->viewport()->width());
        QVERIFY(list->model()->rowCount() > 0);  // the start-up's lines
        QCOMPARE(list->rowHeight(0), list->fontMetrics().height());
    }

    // Each indicator shows the list picture of the last choice in its row, decoded from the
    // embedded file, also after pictures it showed before were replaced.
    void indicatorPictures_data() {
        QTest::addColumn<QList<int>>("selectorClicks");
        QTest::addColumn<QList<int>>("pictures");  // Img_LatLon, Img_GMS, Img_UMisura, Img_Bussola
        using namespace velmora::calc;
        const auto pictures = [](std::initializer_list<int> keys) {
            QList<int> list;
            for (int key : keys) list << pictureOf(key);
            return list;
        };
        QTest::newRow("start-up") << QList<int>{}
                                  << pictures(
                                         {kSelLatitudeA, kSelDegMinSec, kSelKilometres, kSelNorth});
        QTest::newRow("Latitude B, S")
            << QList<int>{kSelLatitudeB, kSelSouth}
            << pictures({kSelLatitudeB, kSelDegMinSec, kSelKilometres, kSelSouth});
        QTest::newRow("Longitude A")
            << QList<int>{kSelLongitudeA}
            << pictures({kSelLongitudeA, kSelDegMinSec, kSelKilometres, kSelEast});
        QTest::newRow("Longitude B, W, nmi, degrees")
            << QList<int>{kSelLongitudeB, kSelWest, kSelNauticalMiles, kSelDegrees}
            << pictures({kSelLongitudeB, kSelDegrees, kSelNauticalMiles, kSelWest});
        QTest::newRow("mi, degrees/minutes, Longitude A, Latitude A")
            << QList<int>{kSelStatuteMiles, kSelDegMin, kSelLongitudeA, kSelLatitudeA}
            << pictures({kSelLatitudeA, kSelDegMin, kSelStatuteMiles, kSelNorth});
    }

    void indicatorPictures() {
        QFETCH(QList<int>, selectorClicks);
        QFETCH(QList<int>, pictures);
        Calcolatrice& w = *m_ui->window;
        QVERIFY(m_ui->activated);
        for (int key : selectorClicks) {
            QVERIFY(w.selectorKey(key)->isEnabled());
            QTest::mouseClick(w.selectorKey(key), Qt::LeftButton);
            QApplication::processEvents();  // let the changed pictures paint
        }
        for (int i = 0; i < calc::kIndicatorCount; ++i) {
            const QImage shown = w.indicator(static_cast<calc::Indicator>(i))->picture();
            const QImage expected(res::imageListPath(pictures[i]));
            QVERIFY(!expected.isNull());
            QCOMPARE(shown.convertToFormat(expected.format()), expected);
        }
    }

    // A key lies above its block's hover-reset area; the gaps belong to the area.
    void keysLieAboveTheHoverResetAreas_data() {
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<QString>("expected");
        QTest::newRow("key 7") << QPoint(31, 247) << QStringLiteral("Lab_Num");
        QTest::newRow("gap between 7 and 8") << QPoint(51, 247) << QStringLiteral("Img_Num_Null");
        QTest::newRow("below the keypad") << QPoint(100, 372) << QStringLiteral("Img_Num_Null");
        QTest::newRow("Latitude A") << QPoint(50, 156) << QStringLiteral("Lab_Sel");
        QTest::newRow("gap in the selector block")
            << QPoint(100, 168) << QStringLiteral("Img_Sel_Null");
        QTest::newRow("display") << QPoint(200, 115) << QStringLiteral("Display");
    }

    void keysLieAboveTheHoverResetAreas() {
        QFETCH(QPoint, pos);
        QFETCH(QString, expected);
        QWidget* hit = m_ui->window->face()->childAt(pos);
        QVERIFY(hit != nullptr);
        QCOMPARE(hit->objectName(), expected);
    }

    void menus_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("Edit") << QStringLiteral("&Edit")
                              << QStringList{"Copy",
                                             "Paste",
                                             "-",
                                             "Send to calculator ",
                                             "-",
                                             "Paste point A",
                                             "Paste point B",
                                             "Destination from A...",
                                             "Save history..."};
        QTest::newRow("View") << QStringLiteral("&View")
                              << QStringList{"Font bold",     "Font underline", "-",
                                             "Show azimuths", "Show midpoint",  "Map",
                                             "Batch..."};
        QTest::newRow("Datum")
            << QStringLiteral("&Datum")
            << QStringList{
                   "Sphere",      "-",      "Airy 1830", "Bessel 1841", "Clarke 1866",
                   "Clarke 1880", "ED-50",  "GRS-67",    "GRS-80",      "International 1924",
                   "NAD-27",      "NAD-83", "NWL 10D",   "Rome-40",     "WGRS 80/84",
                   "WGS-72",      "WGS-84", "-",         "Other..."};
        QTest::newRow("Options") << QStringLiteral("&Options")
                                 << QStringList{"Automatic startup",
                                                "-",
                                                "Make shortcut on the desktop",
                                                "Remove shortcut from the desktop",
                                                "-",
                                                "Exact solution near antipodes"};
        QTest::newRow("?") << QStringLiteral("&?") << QStringList{"About program..."};
    }

    void menus() {
        QFETCH(QString, title);
        QFETCH(QStringList, entries);
        const QMenu* menu = menuTitled(*m_ui->window, title);
        QVERIFY(menu != nullptr);
        QCOMPARE(actionTexts(menu), entries);
    }

    void menuBarOrderShortcutsAndTicks() {
        Calcolatrice& w = *m_ui->window;
        QStringList titles;
        for (const QAction* a : w.menuBar()->actions()) titles << a->text();
        QCOMPARE(titles, (QStringList{"&Edit", "&View", "&Datum", "&Options", "&?"}));

        const QList<QAction*> edit = menuTitled(w, "&Edit")->actions();
        QCOMPARE(edit[0]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
        QCOMPARE(edit[1]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_V));
        QCOMPARE(edit[3]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_I));
        QCOMPARE(menuTitled(w, "&?")->actions()[0]->shortcut(), QKeySequence(Qt::Key_F1));
        for (QAction* a : menuTitled(w, "&View")->actions()) {
            if (a->objectName() == QLatin1String("MenuBatch")) continue;  // opens a window
            QVERIFY(a->isSeparator() || (a->isCheckable() && !a->isChecked()));
        }
        // After start-up only WGS-84 carries the tick.
        for (int i = 0; i < 19; ++i) {
            QCOMPARE(w.datumAction(i)->isChecked(), i == 16);
        }
        QVERIFY(!menuTitled(w, "&Options")->actions()[0]->isChecked());
    }

    // The three ticks of the extras come back at the next start; nothing else does.
    void extrasTicksAreRememberedBetweenRuns() {
        QVERIFY(!m_ui->window->showAzimuthsAction()->isChecked());
        QVERIFY(!m_ui->window->exactSolutionAction()->isChecked());
        m_ui->window->showAzimuthsAction()->trigger();
        m_ui->window->exactSolutionAction()->trigger();
        m_ui->window->showMidpointAction()->trigger();
        m_ui->window->findChild<QAction*>("MenuGrassetto")->trigger();
        m_ui = std::make_unique<WindowUnderTest>();
        Calcolatrice& w = *m_ui->window;
        QVERIFY(w.showAzimuthsAction()->isChecked());
        QVERIFY(w.exactSolutionAction()->isChecked());
        QVERIFY(w.showMidpointAction()->isChecked());
        QVERIFY(!w.findChild<QAction*>("MenuGrassetto")->isChecked());
        w.engine().Lab_Num_Click(calc::kKeyCalculate);
        const auto& lines = w.engine().history();
        QCOMPARE(QString::fromStdString(lines[lines.size() - 2]),
                 QStringLiteral("Azimuth at B: none, A and B coincide"));
        QCOMPARE(m_ui->lastHistoryLine(),
                 QStringLiteral("Midpoint: 0° 0' 0.00\" N  0° 0' 0.00\" E"));

        w.showAzimuthsAction()->trigger();
        w.exactSolutionAction()->trigger();
        w.showMidpointAction()->trigger();
        m_ui = std::make_unique<WindowUnderTest>();
        QVERIFY(!m_ui->window->showAzimuthsAction()->isChecked());
        QVERIFY(!m_ui->window->exactSolutionAction()->isChecked());
        QVERIFY(!m_ui->window->showMidpointAction()->isChecked());
    }

    // Paste point A takes the clipboard as one position and enters both fields of A.
    void pastePointEntersBothFields() {
        QGuiApplication::clipboard()->setText(QStringLiteral("48.8566, 2.3522\n"));
        m_ui->window->findChild<QAction*>("MenuPastePointA")->trigger();
        const auto& lines = m_ui->window->engine().history();
        QCOMPARE(QString::fromStdString(lines[lines.size() - 2]),
                 QStringLiteral("Latitude A: 48° 51' 23.76\" N"));
        QCOMPARE(m_ui->lastHistoryLine(), QStringLiteral("Longitude A: 2° 21' 7.92\" E"));
    }

private:
    ScratchHome m_home;
    std::unique_ptr<WindowUnderTest> m_ui;
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
