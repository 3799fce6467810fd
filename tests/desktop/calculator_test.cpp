#include "desktop/system_calculator.h"
#include "desktop/x11_keyboard_target.h"
#include "x_session.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

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
            script.write(QString("#!/bin/sh\necho $$ > '%1'\nexec %2\n").arg(m_pidFile, command).toUtf8());
            script.close();
            script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
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
        if (QStandardPaths::findExecutable(tool).isEmpty()) QSKIP(qPrintable(QString(tool) + " is not installed"));
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

int main(int argc, char** argv) {
    XSession session;
    if (session.start(&g_skipReason)) {
        g_session = &session;
        // The calculators started by this process inherit its environment; galculator keeps
        // its settings in the session's scratch home.
        const QProcessEnvironment environment = session.environment();
        for (const char* name : {"DISPLAY", "QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS", "HOME", "XDG_CONFIG_HOME"}) {
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
