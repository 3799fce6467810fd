#include "desktop/system_calculator.h"
#ifndef Q_OS_WIN
#include "desktop/x11_keyboard_target.h"
#endif

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QList>
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
        pressedAtMs.push_back(clock.elapsed());
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
    QElapsedTimer clock;
    QList<qint64> pressedAtMs;  // one per typed key, by clock
};

// galculator ignores a press of the same key within about 200 ms of the previous one when the
// machine is loaded.
constexpr qint64 kCalculatorSameKeyMs = 200;
// Typing must stay quick enough to look like one action: the longest display text, 20
// characters, within about eight seconds.
constexpr qint64 kLongestKeyMs = 400;

}  // namespace

class CalculatorLogicTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void typesOnlyWhileTheCalculatorHoldsTheFocus_data();
    void typesOnlyWhileTheCalculatorHoldsTheFocus();
#ifndef Q_OS_WIN
    void outsideAnXSessionNothingIsStarted();
#endif
    void sameKeyIsPressedAgainOnlyAfterTheCalculatorReleasedIt_data();
    void sameKeyIsPressedAgainOnlyAfterTheCalculatorReleasedIt();

private:
    QTemporaryDir m_dir;
    QString m_program;  // a calculator stand-in that ends at once
    QString m_log;      // where the stand-in notes each start
};

void CalculatorLogicTest::initTestCase() {
    QVERIFY(m_dir.isValid());
    m_program = QStringLiteral(VELMORA_PROGRAM_STANDIN);
    QVERIFY2(QFileInfo(m_program).isExecutable(), qPrintable(m_program));
    m_log = m_dir.filePath("standin.log");
    qputenv("VELMORA_STANDIN_LOG", QFile::encodeName(m_log));
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
    LaunchedCalculator calculator({"velmora-no-such-calculator", m_program}, target,
                                  std::chrono::milliseconds(600));
    calculator.typeNumber("45.5");
    QCOMPARE(target.typed, typed);
    if (!usable || !typeable) QCOMPARE(target.findPolls, 0);  // the calculator was not even started
}

// Under Wayland, or with no display at all, keys could land anywhere: the calculator is not
// started and nothing is typed.
#ifndef Q_OS_WIN
void CalculatorLogicTest::outsideAnXSessionNothingIsStarted() {
    QFile::remove(m_log);
    X11KeyboardTarget target;
    QVERIFY(!target.isUsable());
    LaunchedCalculator calculator({m_program}, target, std::chrono::milliseconds(600));
    calculator.typeNumber("45.5");
    QTest::qWait(200);
    QVERIFY(!QFile::exists(m_log));
}
#endif

void CalculatorLogicTest::sameKeyIsPressedAgainOnlyAfterTheCalculatorReleasedIt_data() {
    QTest::addColumn<QString>("number");
    QTest::newRow("doubled digits") << "1100";
    QTest::newRow("doubled digit after the point") << "45.55";
    QTest::newRow("same digit one key apart") << "1.1";
    QTest::newRow("same digit two keys apart") << "45.5";
    QTest::newRow("no digit twice") << "12.7";
}

void CalculatorLogicTest::sameKeyIsPressedAgainOnlyAfterTheCalculatorReleasedIt() {
    QFETCH(QString, number);
    ScriptedTarget target;
    target.clock.start();
    LaunchedCalculator calculator({m_program}, target, std::chrono::milliseconds(600));
    calculator.typeNumber(number);
    QCOMPARE(target.typed, number);
    QCOMPARE(target.pressedAtMs.size(), number.size());
    for (qsizetype i = 0; i < number.size(); ++i) {
        const qsizetype previous = number.lastIndexOf(number[i], i - 1);
        if (i == 0 || previous < 0) continue;
        const qint64 intervalMs = target.pressedAtMs[i] - target.pressedAtMs[previous];
        QVERIFY2(intervalMs >= kCalculatorSameKeyMs,
                 qPrintable(QString("key %1 pressed again after %2 ms").arg(i).arg(intervalMs)));
    }
    const qint64 typingMs = target.pressedAtMs.last() - target.pressedAtMs.first();
    QVERIFY2(typingMs <= kLongestKeyMs * (number.size() - 1),
             qPrintable(QString("%1 ms").arg(typingMs)));
}

QTEST_MAIN(CalculatorLogicTest)
#include "calculator_logic_test.moc"
