#include "desktop/system_calculator.h"
#include "desktop/x11_keyboard_target.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora::desktop;

namespace {

constexpr quint64 kWindow = 42;

// A window system whose answers the test scripts: the window shows up at the given poll, the
// focus is there from the given poll and is lost after the given number of typed keys.
class ScriptedTarget : public KeyboardTarget {
public:
    bool isUsable() override { return usable; }
    quint64 findWindow(qint64) override { return ++findPolls >= windowAtPoll ? kWindow : 0; }
    void bringForward(quint64) override { ++forwardRequests; }
    bool hasFocus(quint64 window) override {
        return window == kWindow && ++focusPolls >= focusAtPoll && typedKeys < focusLostAfterKeys;
    }
    bool canType(const QString&) override { return typeable; }
    bool typeText(quint64 window, const QString& text) override {
        if (!hasFocus(window)) return false;
        typed += text;
        ++typedKeys;
        return true;
    }

    bool usable = true;
    bool typeable = true;
    int windowAtPoll = 1;
    int focusAtPoll = 1;
    int focusLostAfterKeys = 1000;

    int findPolls = 0;
    int focusPolls = 0;
    int forwardRequests = 0;
    int typedKeys = 0;
    QString typed;
};

}  // namespace

class CalculatorLogicTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void typesOnlyWhileTheCalculatorHoldsTheFocus_data();
    void typesOnlyWhileTheCalculatorHoldsTheFocus();
    void outsideAnXSessionNothingIsStarted();

private:
    QTemporaryDir m_dir;
    QString m_program;  // a calculator stand-in that ends at once
};

void CalculatorLogicTest::initTestCase() {
    m_program = m_dir.filePath("calculator");
    QFile script(m_program);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\necho started >> \"$0.log\"\n");
    script.close();
    QVERIFY(script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
}

void CalculatorLogicTest::typesOnlyWhileTheCalculatorHoldsTheFocus_data() {
    QTest::addColumn<bool>("usable");
    QTest::addColumn<bool>("typeable");
    QTest::addColumn<int>("windowAtPoll");
    QTest::addColumn<int>("focusAtPoll");
    QTest::addColumn<int>("focusLostAfterKeys");
    QTest::addColumn<QString>("typed");
    QTest::newRow("window and focus at once") << true << true << 1 << 1 << 1000 << "45.5";
    QTest::newRow("window after a few polls") << true << true << 4 << 3 << 1000 << "45.5";
    QTest::newRow("window never shows") << true << true << 1'000'000 << 1 << 1000 << "";
    QTest::newRow("focus never comes") << true << true << 1 << 1'000'000 << 1000 << "";
    QTest::newRow("focus lost while typing") << true << true << 1 << 1 << 2 << "45";
    QTest::newRow("a character without a key") << true << false << 1 << 1 << 1000 << "";
    QTest::newRow("no way to type") << false << true << 1 << 1 << 1000 << "";
}

void CalculatorLogicTest::typesOnlyWhileTheCalculatorHoldsTheFocus() {
    QFETCH(bool, usable);
    QFETCH(bool, typeable);
    QFETCH(int, windowAtPoll);
    QFETCH(int, focusAtPoll);
    QFETCH(int, focusLostAfterKeys);
    QFETCH(QString, typed);
    ScriptedTarget target;
    target.usable = usable;
    target.typeable = typeable;
    target.windowAtPoll = windowAtPoll;
    target.focusAtPoll = focusAtPoll;
    target.focusLostAfterKeys = focusLostAfterKeys;
    LaunchedCalculator calculator({"velmora-no-such-calculator", m_program}, target, std::chrono::milliseconds(600));
    calculator.typeNumber("45.5");
    QCOMPARE(target.typed, typed);
    if (!usable || !typeable) QCOMPARE(target.findPolls, 0);  // the calculator was not even started
}

// Under Wayland, or with no display at all, keys could land anywhere: the calculator is not
// started and nothing is typed.
void CalculatorLogicTest::outsideAnXSessionNothingIsStarted() {
    QFile::remove(m_program + ".log");
    X11KeyboardTarget target;
    QVERIFY(!target.isUsable());
    LaunchedCalculator calculator({m_program}, target, std::chrono::milliseconds(600));
    calculator.typeNumber("45.5");
    QTest::qWait(200);
    QVERIFY(!QFile::exists(m_program + ".log"));
}

QTEST_MAIN(CalculatorLogicTest)
#include "calculator_logic_test.moc"
