#include <QAction>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QHeaderView>
#include <QMenuBar>
#include <QTableView>
#include <QAccessible>
#include <QTest>

#include "picture_paths.h"
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
        const int keypad[22][4] = {
            {215, 5150, 510, 300},  {215, 4630, 510, 300},  {830, 4630, 510, 300},
            {1440, 4630, 510, 300}, {215, 4100, 510, 300},  {830, 4100, 510, 300},
            {1440, 4100, 510, 300}, {215, 3560, 510, 300},  {830, 3560, 510, 300},
            {1440, 3560, 510, 300}, {830, 5150, 510, 300},  {1440, 5150, 510, 300},
            {2050, 3570, 510, 255}, {2670, 3570, 510, 255}, {3290, 3570, 510, 255},
            {2050, 4100, 510, 300}, {2670, 4100, 510, 300}, {3290, 4100, 510, 300},
            {2050, 4630, 510, 300}, {2670, 4630, 1095, 255}, {2050, 5150, 510, 300},
            {2670, 5150, 1095, 255}};
        for (int i = 0; i < 22; ++i) {
            QTest::addRow("Lab_Num %d", i) << QStringLiteral("Lab_Num") << i
                                           << fromTwips(keypad[i][0], keypad[i][1], keypad[i][2], keypad[i][3]);
        }
        const int selector[14][4] = {
            {210, 2220, 1140, 240}, {1430, 2220, 1140, 240}, {2670, 2220, 510, 255},
            {3280, 2220, 510, 255}, {210, 2610, 1140, 240},  {1430, 2610, 1140, 255},
            {2670, 2610, 510, 255}, {3280, 2610, 510, 255},  {210, 3000, 510, 255},
            {830, 3000, 510, 255},  {1440, 3000, 510, 255},  {2050, 3000, 510, 255},
            {2670, 3000, 510, 255}, {3280, 3000, 510, 255}};
        for (int i = 0; i < 14; ++i) {
            QTest::addRow("Lab_Sel %d", i) << QStringLiteral("Lab_Sel") << i
                                           << fromTwips(selector[i][0], selector[i][1], selector[i][2], selector[i][3]);
        }
        QTest::newRow("Display") << QStringLiteral("Display") << 0 << fromTwips(240, 1660, 3495, 300);
        QTest::newRow("Lst_Storico") << QStringLiteral("Lst_Storico") << 0 << fromTwips(4200, 240, 3615, 5310);
        QTest::newRow("Img_LatLon") << QStringLiteral("picture") << 0 << fromTwips(255, 380, 2205, 210);
        QTest::newRow("Img_GMS") << QStringLiteral("picture") << 1 << fromTwips(255, 800, 2280, 240);
        QTest::newRow("Img_UMisura") << QStringLiteral("picture") << 2 << fromTwips(255, 1200, 2280, 240);
        QTest::newRow("Img_Bussola") << QStringLiteral("picture") << 3 << fromTwips(2600, 360, 1155, 1110);
        QTest::newRow("Img_Sel_Null") << QStringLiteral("Img_Sel_Null") << 0 << fromTwips(0, 2040, 3975, 1335);
        QTest::newRow("Img_Num_Null") << QStringLiteral("Img_Num_Null") << 0 << fromTwips(0, 3360, 3975, 2295);
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

    void keyCaptionsToolTipsAndNames_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("toolTip");
        const char* keypad[22][2] = {
            {"0", "0"}, {"1", "1"}, {"2", "2"}, {"3", "3"}, {"4", "4"}, {"5", "5"},
            {"6", "6"}, {"7", "7"}, {"8", "8"}, {"9", "9"}, {".", "Decimal"},
            {"+/-", "Change sign"}, {"Back", "Delete last figure"}, {"C", "Cancel"},
            {"Clear", "Clear the historical list"}, {"\u00B0", "Degrees"}, {"'", "Minutes"},
            {"\"", "Seconds"}, {">|<", "Reset both A and B coordinates"}, {"Enter", "Enter"},
            {"\u03C0", "pi"}, {"Calculate", "Calculate the distance"}};
        for (int i = 0; i < 22; ++i) {
            QTest::addRow("Lab_Num %d", i) << QStringLiteral("Lab_Num") << i
                                           << QString::fromUtf8(keypad[i][0]) << QString::fromUtf8(keypad[i][1]);
        }
        const char* selector[14][2] = {
            {"Latitude A", "First point latitude"}, {"Latitude B", "Second point latitude"},
            {"N", "North"}, {"S", "South"}, {"Longitude A", "First point longitude"},
            {"Longitude B", "Second point longitude"}, {"W", "West"}, {"E", "East"},
            {"km", "Distance between A and B in kilometers"},
            {"mi", "Distance between A and B in statute miles"},
            {"nmi", "Distance between A and B in nautical miles"},
            {"\u00B0", "Coordinates in degrees"}, {"\u00B0 '", "Coordinates in degrees / minutes"},
            {"\u00B0 ' \"", "Coordinates in degrees / minutes / seconds"}};
        for (int i = 0; i < 14; ++i) {
            QTest::addRow("Lab_Sel %d", i) << QStringLiteral("Lab_Sel") << i
                                           << QString::fromUtf8(selector[i][0]) << QString::fromUtf8(selector[i][1]);
        }
    }

    void keyCaptionsToolTipsAndNames() {
        QFETCH(QString, kind);
        QFETCH(int, index);
        QFETCH(QString, caption);
        QFETCH(QString, toolTip);
        auto* key = static_cast<KeyLabel*>(control(*m_ui->window, kind, index));
        QCOMPARE(key->caption(), caption);
        QCOMPARE(key->toolTip(), toolTip);
        // Assistive technology reads the tooltip as the key's description; its name is the
        // caption in words (accessibility_test).
        QCOMPARE(QAccessible::queryAccessibleInterface(key)->text(QAccessible::Description), toolTip);
        QCOMPARE(key->index(), index);
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
            if (child == m_ui->window->historyList() || m_ui->window->historyList()->isAncestorOf(child)) {
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
        QTest::newRow("start-up") << QList<int>{} << QList<int>{1, 14, 5, 8};
        QTest::newRow("Latitude B, S") << QList<int>{1, 3} << QList<int>{3, 14, 5, 9};
        QTest::newRow("Longitude A") << QList<int>{4} << QList<int>{2, 14, 5, 11};
        QTest::newRow("Longitude B, W, nmi, degrees")
            << QList<int>{5, 6, 10, 11} << QList<int>{4, 12, 7, 10};
        QTest::newRow("mi, degrees/minutes, Longitude A, Latitude A")
            << QList<int>{9, 12, 4, 0} << QList<int>{1, 13, 6, 8};
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
        QTest::newRow("gap in the selector block") << QPoint(100, 168) << QStringLiteral("Img_Sel_Null");
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
                              << QStringList{"Copy", "Paste", "-", "Send to calculator "};
        QTest::newRow("View") << QStringLiteral("&View") << QStringList{"Font bold", "Font underline"};
        QTest::newRow("Datum") << QStringLiteral("&Datum")
                               << QStringList{"Sphere", "-", "Airy 1830", "Bessel 1841", "Clarke 1866",
                                              "Clarke 1880", "ED-50", "GRS-67", "GRS-80",
                                              "International 1924", "NAD-27", "NAD-83", "NWL 10D",
                                              "Rome-40", "WGRS 80/84", "WGS-72", "WGS-84", "-", "Other..."};
        QTest::newRow("Options") << QStringLiteral("&Options")
                                 << QStringList{"Automatic startup", "-", "Make shortcut on the desktop",
                                                "Remove shortcut from the desktop"};
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
            QVERIFY(a->isCheckable() && !a->isChecked());
        }
        // After start-up only WGS-84 carries the tick.
        for (int i = 0; i < 19; ++i) {
            QCOMPARE(w.datumAction(i)->isChecked(), i == 16);
        }
        QVERIFY(!menuTitled(w, "&Options")->actions()[0]->isChecked());
    }

private:
    ScratchHome m_home;
    std::unique_ptr<WindowUnderTest> m_ui;
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
