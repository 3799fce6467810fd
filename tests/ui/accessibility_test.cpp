// The window as assistive technology sees it through Qt's accessibility interfaces: keys are
// push buttons pressed through their action, the display and the indicators read as text and
// follow every change, and the history's context menu opens from the keyboard. That changes
// are announced needs a live bridge: the AT-SPI end-to-end test checks it.

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QTest>

#include <functional>
#include <vector>

#include "calculator/keys.h"
#include "ui/accessibility.h"
#include "ui/key_label.h"
#include "ui_fixture.h"

using namespace velmora;
using namespace velmora::ui;
using namespace velmora::ui::test;

namespace {

constexpr int kLatitudeB = calc::kSelLatitudeB;
constexpr int kWest = calc::kSelWest;  // a latitude takes no west
constexpr int kDegreeKey = calc::kKeyDegrees;
constexpr int kEnterKey = calc::kKeyEnter;

QAccessibleInterface* accessible(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

void press(KeyLabel* key) {
    QAccessibleInterface* iface = accessible(key);
    QVERIFY(iface != nullptr && iface->actionInterface() != nullptr);
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

QString readText(QObject* object) {
    QAccessibleTextInterface* text = accessible(object)->textInterface();
    return text == nullptr ? QStringLiteral("<no text interface>")
                           : text->text(0, text->characterCount());
}

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private:
    Calcolatrice& w() { return *m_ui->window; }

private slots:
    void init() {
        m_ui = std::make_unique<WindowUnderTest>();
        QVERIFY(m_ui->activated);
    }
    void cleanup() { m_ui.reset(); }

    // Every key: a push button named in words, described by its tooltip, with a Press action,
    // kept out of the keyboard focus, disabled to assistive technology when it is disabled.
    void keysArePushButtons_data() {
        QTest::addColumn<bool>("selector");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::newRow("7") << false << 7 << "7";
        QTest::newRow("degree sign") << false << kDegreeKey << "Degrees";
        QTest::newRow("minute sign") << false << 16 << "Minutes";
        QTest::newRow("second sign") << false << 17 << "Seconds";
        QTest::newRow(">|<") << false << 18 << "Reset A and B";
        QTest::newRow("pi sign") << false << 20 << "pi";
        QTest::newRow("decimal point") << false << 10 << "Decimal point";
        QTest::newRow("Latitude A") << true << 0 << "Latitude A";
        QTest::newRow("W (disabled for a latitude)") << true << kWest << "West";
        QTest::newRow("format degree sign") << true << 11 << "Degrees";
        for (int i = 0; i < calc::kKeypadKeyCount; ++i)
            QTest::addRow("keypad %d", i) << false << i << QString();
        for (int i = 0; i < calc::kSelectorKeyCount; ++i)
            QTest::addRow("selector %d", i) << true << i << QString();
    }

    void keysArePushButtons() {
        QFETCH(bool, selector);
        QFETCH(int, index);
        QFETCH(QString, name);
        KeyLabel* key = selector ? w().selectorKey(index) : w().keypadKey(index);
        QAccessibleInterface* iface = accessible(key);
        QVERIFY(iface != nullptr);
        QCOMPARE(iface->role(), QAccessible::Button);
        const QString spoken = iface->text(QAccessible::Name);
        QVERIFY(!spoken.isEmpty());
        if (!name.isNull()) QCOMPARE(spoken, name);
        const calc::KeyFace& row = selector ? calc::kSelectorKeys[static_cast<std::size_t>(index)]
                                            : calc::kKeypadKeys[static_cast<std::size_t>(index)];
        QCOMPARE(spoken,
                 QString::fromUtf8(row.name.data(), static_cast<qsizetype>(row.name.size())));
        QCOMPARE(spoken, selector ? selectorKeyName(index) : keypadKeyName(index));
        QCOMPARE(iface->text(QAccessible::Description), key->toolTip());
        QVERIFY(iface->actionInterface() != nullptr);
        QVERIFY(iface->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::pressAction()));
        QVERIFY(!iface->state().focusable);
        QCOMPARE(bool(iface->state().disabled), !key->isEnabled());
        QCOMPARE(iface->parent()->object(), static_cast<QObject*>(w().face()));
    }

    // Pressing through the action does what a click does, and nothing on a disabled key.
    void pressingThroughTheActionIsAClick_data() {
        QTest::addColumn<QList<int>>("selectorKeys");  // then the keypad keys
        QTest::addColumn<QList<int>>("keypadKeys");
        QTest::newRow("45 degrees Enter")
            << QList<int>{} << QList<int>{4, 5, kDegreeKey, kEnterKey};
        QTest::newRow("Latitude B 7 Enter") << QList<int>{kLatitudeB} << QList<int>{7, kEnterKey};
        QTest::newRow("disabled W") << QList<int>{kWest} << QList<int>{1};
    }

    void pressingThroughTheActionIsAClick() {
        QFETCH(QList<int>, selectorKeys);
        QFETCH(QList<int>, keypadKeys);
        auto run = [&](const std::function<void(KeyLabel*)>& activate) {
            WindowUnderTest ui;
            for (int k : selectorKeys) activate(ui.window->selectorKey(k));
            for (int k : keypadKeys) activate(ui.window->keypadKey(k));
            return ui.window->display()->text() + QLatin1Char('|') +
                   QString::number(ui.historyCount()) + QLatin1Char('|') + ui.lastHistoryLine();
        };
        m_ui.reset();
        const QString clicked = run([](KeyLabel* key) { QTest::mouseClick(key, Qt::LeftButton); });
        const QString pressed = run(&press);
        QCOMPARE(pressed, clicked);
    }

    void displayReadsAsText() {
        QLabel* display = w().display();
        QAccessibleInterface* iface = accessible(display);
        QCOMPARE(iface->role(), QAccessible::StaticText);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Display"));
        QCOMPARE(iface->text(QAccessible::Value), display->text());
        QCOMPARE(readText(display), display->text());

        press(w().keypadKey(7));
        QCOMPARE(display->text(), QStringLiteral("7"));
        QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("7"));
        QCOMPARE(readText(display), QStringLiteral("7"));
    }

    void indicatorsReadAsText() {
        const QStringList expected{QStringLiteral("Coordinate field: Latitude A"),
                                   QStringLiteral("Coordinate format: degrees / minutes / seconds"),
                                   QStringLiteral("Distance unit: kilometres"),
                                   QStringLiteral("Hemisphere: North")};
        for (int i = 0; i < calc::kIndicatorCount; ++i) {
            IndicatorBox* box = w().indicator(static_cast<calc::Indicator>(i));
            QCOMPARE(accessible(box)->text(QAccessible::Name), expected[i]);
            QCOMPARE(readText(box), box->words());
        }

        press(w().selectorKey(kLatitudeB));
        IndicatorBox* field = w().indicator(calc::Indicator::LatLon);
        QCOMPARE(accessible(field)->text(QAccessible::Name),
                 QStringLiteral("Coordinate field: Latitude B"));
    }

    // Every picture of the list has its words, and the grey picture says nothing is chosen.
    void everyIndicatorPictureHasWords() {
        for (int picture = 0; picture <= calc::kPictureListCount; ++picture)
            QVERIFY(!indicatorWords(picture).isEmpty());
        QVERIFY(indicatorWords(calc::kPictureListCount + 1).isEmpty());
        QVERIFY(indicatorWords(-1).isEmpty());
        QVERIFY(keypadKeyName(calc::kKeypadKeyCount).isEmpty());
        QVERIFY(selectorKeyName(calc::kSelectorKeyCount).isEmpty());
        QVERIFY(keypadKeyName(-1).isEmpty());
    }

    void contextMenuKeysOpenTheHistoryMenu_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier);
        QTest::newRow("Menu") << int(Qt::Key_Menu) << int(Qt::NoModifier);
    }

    void contextMenuKeysOpenTheHistoryMenu() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QVERIFY(w().historyList()->hasFocus());
        QTest::keyClick(w().historyList(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTRY_VERIFY(w().editMenu()->isVisible());
        const QRect list(w().historyList()->mapToGlobal(QPoint(0, 0)), w().historyList()->size());
        QVERIFY(list.contains(w().editMenu()->pos()));
        w().editMenu()->close();
    }

private:
    ScratchHome m_home;
    std::unique_ptr<WindowUnderTest> m_ui;
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
