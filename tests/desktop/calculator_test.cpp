#include "desktop/system_calculator.h"
#include "desktop/x11_keyboard_target.h"
#include "x_session.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <X11/Xlib.h>

#include <array>
#include <atomic>
#include <csignal>
#include <memory>
#include <thread>

using namespace velmora::desktop;
using velmora::testing::XSession;

namespace {

XSession* g_session = nullptr;  // set by main() when the private X server came up
QString g_skipReason;

// A stand-in for a calculator: a script that records its process id and becomes `command`.
// The recorded process is killed when the object goes.
class FakeProgram {
public:
    FakeProgram(const QTemporaryDir& dir, const QString& name, const QString& command)
        : m_path(dir.filePath(name)), m_pidFile(dir.filePath(name + ".pid")) {
        QFile script(m_path);
        if (script.open(QIODevice::WriteOnly)) {
            script.write(
                QString("#!/bin/sh\necho $$ > '%1'\nexec %2\n").arg(m_pidFile, command).toUtf8());
            script.close();
            script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                  QFileDevice::ExeOwner);
        }
    }
    ~FakeProgram() {
        if (const pid_t pid = processId(); pid > 0) ::kill(pid, SIGTERM);
    }
    FakeProgram(const FakeProgram&) = delete;
    FakeProgram& operator=(const FakeProgram&) = delete;

    QString path() const { return m_path; }
    pid_t processId() const {
        QFile file(m_pidFile);
        return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toInt() : 0;
    }

private:
    QString m_path;
    QString m_pidFile;
};

// Two plain X windows of a connection of their own, counting the key presses each receives:
// no toolkit between the server and the count.
class KeyCounter {
public:
    explicit KeyCounter(const QString& display)
        : m_display(XOpenDisplay(display.toUtf8().constData())) {
        if (!m_display) return;
        for (int i = 0; i < 2; ++i) {
            m_windows[i] = XCreateSimpleWindow(m_display, DefaultRootWindow(m_display),
                                               10 + 120 * i, 10, 100, 100, 0, 0, 0);
            XSelectInput(m_display, m_windows[i], KeyPressMask);
            XMapWindow(m_display, m_windows[i]);
        }
        XSync(m_display, False);
    }
    ~KeyCounter() {
        if (m_display) XCloseDisplay(m_display);
    }
    KeyCounter(const KeyCounter&) = delete;
    KeyCounter& operator=(const KeyCounter&) = delete;

    bool isOpen() const { return m_display != nullptr; }
    quint64 window(int i) const { return m_windows[i]; }
    void focus(int i) {
        XSetInputFocus(m_display, m_windows[i], RevertToParent, CurrentTime);
        XSync(m_display, False);
    }
    // Key presses received so far by each window.
    std::array<int, 2> presses() {
        XSync(m_display, False);
        while (XPending(m_display) > 0) {
            XEvent event;
            XNextEvent(m_display, &event);
            if (event.type != KeyPress) continue;
            for (int i = 0; i < 2; ++i) {
                if (event.xkey.window == m_windows[i]) ++m_presses[i];
            }
        }
        return m_presses;
    }

private:
    Display* m_display;
    std::array<Window, 2> m_windows{};
    std::array<int, 2> m_presses{};
};

}  // namespace

class CalculatorTest : public QObject {
    Q_OBJECT
private slots:
    void init();

    void numberArrivesInGalculator_data();
    void numberArrivesInGalculator();
    void probeWindowReceivesTypedKeys();
    void nothingIsTypedWithoutACalculatorWindow_data();
    void nothingIsTypedWithoutACalculatorWindow();
    void nothingIsTypedWhileAnotherProgramGrabsTheKeyboard();
    void noKeyGoesAstrayWhileTheFocusFlips();

private:
    QTemporaryDir m_dir;
};

void CalculatorTest::init() {
    if (!g_session) QSKIP(qPrintable(g_skipReason));
}

void CalculatorTest::numberArrivesInGalculator_data() {
    QTest::addColumn<QString>("number");
    QTest::newRow("decimal") << "45.5";
    QTest::newRow("leading zero, repeated digits") << "0.0125";
    QTest::newRow("doubled digits") << "1100";
    QTest::newRow("doubled digit after the point") << "45.55";
}

void CalculatorTest::numberArrivesInGalculator() {
    QFETCH(QString, number);
    for (const char* tool : {"galculator", "xdotool", "xclip"}) {
        if (QStandardPaths::findExecutable(tool).isEmpty())
            QSKIP(qPrintable(QString(tool) + " is not installed"));
    }
    FakeProgram calculator(m_dir, "calculator", "galculator");
    X11KeyboardTarget target;
    LaunchedCalculator launcher({calculator.path()}, target, std::chrono::seconds(20));
    launcher.typeNumber(number);
    QVERIFY(calculator.processId() > 0);

    // Read the display back through galculator's own Copy (Ctrl+C) and the clipboard.
    QTest::qWait(300);
    g_session->xdotool({"key", "ctrl+c"});
    QTRY_COMPARE_WITH_TIMEOUT(g_session->clipboard().value_or(QString()).trimmed(), number, 5000);
}

// The check below is only worth something if keys typed this way do reach the probe.
void CalculatorTest::probeWindowReceivesTypedKeys() {
    QLineEdit edit;
    edit.show();
    edit.activateWindow();
    QTRY_VERIFY(edit.hasFocus());
    X11KeyboardTarget target;
    QVERIFY(target.isUsable());
    const quint64 window = target.findWindow(QCoreApplication::applicationPid());
    QCOMPARE(window, quint64(edit.winId()));
    QTRY_VERIFY(target.hasFocus(window));
    QVERIFY(target.typeText(window, "4"));
    QVERIFY(target.typeText(window, "5.5"));
    QTRY_COMPARE(edit.text(), QString("45.5"));
}

void CalculatorTest::nothingIsTypedWithoutACalculatorWindow_data() {
    QTest::addColumn<QString>("command");  // what the calculator program does; empty: none exists
    QTest::newRow("no calculator installed") << QString();
    QTest::newRow("no window in time") << "sleep 30";
    QTest::newRow("exits at once") << "true";
}

void CalculatorTest::nothingIsTypedWithoutACalculatorWindow() {
    QFETCH(QString, command);
    QLineEdit edit;  // holds the focus, as any other program could
    edit.show();
    edit.activateWindow();
    QTRY_VERIFY(edit.hasFocus());

    std::unique_ptr<FakeProgram> calculator;
    QStringList programs{"velmora-no-such-calculator"};
    if (!command.isEmpty()) {
        calculator = std::make_unique<FakeProgram>(m_dir, "calculator", command);
        programs = {calculator->path()};
    }
    X11KeyboardTarget target;
    LaunchedCalculator launcher(programs, target, std::chrono::milliseconds(1500));
    launcher.typeNumber("45.5");
    QTest::qWait(300);
    QCOMPARE(edit.text(), QString());
    QVERIFY(edit.hasFocus());
}

// A pop-up menu, a password prompt or a window switcher grabs the keyboard without moving the
// focus: the focus check passes, but a key would reach the grabbing program.
void CalculatorTest::nothingIsTypedWhileAnotherProgramGrabsTheKeyboard() {
    KeyCounter counter(g_session->display());
    QVERIFY(counter.isOpen());
    counter.focus(0);
    X11KeyboardTarget target;
    QVERIFY(target.hasFocus(counter.window(0)));

    Display* grabber = XOpenDisplay(g_session->display().toUtf8().constData());
    QVERIFY(grabber);
    QCOMPARE(XGrabKeyboard(grabber, DefaultRootWindow(grabber), False, GrabModeAsync, GrabModeAsync,
                           CurrentTime),
             GrabSuccess);
    XSync(grabber, False);
    QVERIFY(target.hasFocus(counter.window(0)));
    const bool typed = target.typeText(counter.window(0), "45");
    XCloseDisplay(grabber);  // ends its grab
    QVERIFY(!typed);

    QVERIFY(target.typeText(counter.window(0), "7"));
    QTRY_COMPARE(counter.presses(), (std::array<int, 2>{1, 0}));
}

// Another program moves the focus between two windows every 0.7 ms while keys are typed into
// one of them: every key reported typed arrives there, none in the other window.
void CalculatorTest::noKeyGoesAstrayWhileTheFocusFlips() {
    KeyCounter counter(g_session->display());
    QVERIFY(counter.isOpen());
    std::atomic<bool> stop = false;
    std::thread flipper([&, display = g_session->display().toUtf8()] {
        Display* other = XOpenDisplay(display.constData());
        if (!other) return;
        for (int i = 0; !stop; ++i) {
            XSetInputFocus(other, counter.window(i % 2), RevertToParent, CurrentTime);
            XFlush(other);
            std::this_thread::sleep_for(std::chrono::microseconds(700));
        }
        XCloseDisplay(other);
    });
    X11KeyboardTarget target;
    constexpr int kKeys = 200;
    int typed = 0;
    for (int i = 0; i < kKeys; ++i) {
        if (target.typeText(counter.window(0), "7")) ++typed;
        std::this_thread::sleep_for(std::chrono::microseconds(300));
    }
    stop = true;
    flipper.join();
    QTest::qWait(200);
    const auto presses = counter.presses();
    qInfo("%d of %d keys typed while the focus flipped; %d arrived, %d went astray", typed, kKeys,
          presses[0], presses[1]);
    QVERIFY(typed > 0);
    QCOMPARE(presses, (std::array<int, 2>{typed, 0}));
}

int main(int argc, char** argv) {
    XSession session;
    if (session.start(&g_skipReason)) {
        g_session = &session;
        // The calculators started by this process inherit its environment; galculator keeps
        // its settings in the session's scratch home.
        const QProcessEnvironment environment = session.environment();
        for (const char* name : {"DISPLAY", "QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS", "HOME",
                                 "XDG_CONFIG_HOME"}) {
            qputenv(name, environment.value(name).toUtf8());
        }
        qunsetenv("WAYLAND_DISPLAY");
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    CalculatorTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "calculator_test.moc"
