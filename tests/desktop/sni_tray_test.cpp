// The real program's tray icon on a D-Bus notification area: a private session bus with a
// StatusNotifierWatcher of our own (sni_watcher.py) and no X11 notification area, the program in
// a private Xvfb. The item, its menu and its activation are used over the bus, as a desktop's
// panel uses them.
#include "x_session.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <chrono>
#include <map>
#include <memory>

using velmora::testing::XSession;
using namespace std::chrono_literals;

namespace {

constexpr int kWaitMs = 10000;  // a start-up or a bus round trip on a loaded machine
const QString kProgram = QStringLiteral(VELMORA_BINARY);
const QString kMainTitle = QStringLiteral("Velmora");

// A process that reports in lines: the bus daemon, the watcher.
class LineProcess {
public:
    explicit LineProcess(const QProcessEnvironment& environment) {
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        velmora::testing::dieWithParent(m_process);
    }
    ~LineProcess() {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
    bool start(const QString& program, const QStringList& arguments) {
        m_process.start(program, arguments);
        return m_process.waitForStarted();
    }
    void send(const QString& line) { m_process.write((line + u'\n').toUtf8()); }

    // The remainder of the next line starting with prefix; a null string on timeout or exit.
    QString waitFor(const QString& prefix, int timeoutMs = kWaitMs) {
        const QDeadlineTimer deadline(timeoutMs);
        for (;;) {
            while (m_process.canReadLine()) {
                const QString line = QString::fromUtf8(m_process.readLine()).chopped(1);
                if (line.startsWith(prefix)) return line.mid(prefix.size());
                if (line.startsWith(QLatin1String("error ")) ||
                    line.startsWith(QLatin1String("no-entry "))) {
                    qWarning("%s", qPrintable(line));
                }
            }
            if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning) return {};
            m_process.waitForReadyRead(100);
        }
    }

private:
    QProcess m_process;
};

// The value of key in the desktop entry at path; a null string when absent.
QString desktopEntryValue(const QString& path, const QString& key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(key + u'=')) return line.mid(key.size() + 1);
    }
    return {};
}

}  // namespace

class SniTrayTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void itemIsTitledWithTheThemedIconAndTheWindowMatchesItsLauncher();
    void hiddenAutoStartStaysHiddenUntilActivated();
    void endProgramInTheMenuEndsTheProgram();

private:
    // Starts the program and waits for its item; false when it never registers.
    bool launchAndWaitForItem();

    std::unique_ptr<XSession> m_session;
    std::unique_ptr<LineProcess> m_bus;
    std::unique_ptr<LineProcess> m_watcher;
};

void SniTrayTest::initTestCase() {
    for (const char* tool : {"xdotool", "xprop", "dbus-daemon"}) {
        if (QStandardPaths::findExecutable(tool).isEmpty())
            QSKIP(qPrintable(QString(tool) + " is not installed"));
    }
    m_session = std::make_unique<XSession>();
    QString error;
    if (!m_session->start(&error)) QSKIP(qPrintable(error));

    m_bus = std::make_unique<LineProcess>(m_session->environment());
    QVERIFY(
        m_bus->start(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address"}));
    const QString address = m_bus->waitFor(QString());
    QVERIFY2(address.startsWith(QLatin1String("unix:")), qPrintable(address));
    m_session->setVariable(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    // The icon theme of the sources, as an installed program finds its own in hicolor.
    m_session->setVariable(QStringLiteral("XDG_DATA_DIRS"),
                           QStringLiteral(VELMORA_ICON_DATA_DIR ":/usr/share"));

    m_watcher = std::make_unique<LineProcess>(m_session->environment());
    QVERIFY(m_watcher->start(QStringLiteral(VELMORA_SYSTEM_PYTHON),
                             {QStringLiteral(VELMORA_SNI_WATCHER)}));
    QVERIFY2(!m_watcher->waitFor(QStringLiteral("ready")).isNull(),
             "the watcher did not take its name on the bus");
}

void SniTrayTest::cleanupTestCase() {
    m_watcher.reset();
    m_bus.reset();
    m_session.reset();
}

void SniTrayTest::cleanup() {
    QFile::remove(m_session->homePath() + QStringLiteral("/.config/autostart/velmora.desktop"));
}

bool SniTrayTest::launchAndWaitForItem() {
    QString error;
    if (!m_session->launch(kProgram, &error)) {
        qWarning("%s", qPrintable(error));
        return false;
    }
    return !m_watcher->waitFor(QStringLiteral("item ")).isNull();
}

// The panel shows the item by Title and themed IconName; the window's WM_CLASS is what the
// installed launcher names in StartupWMClass, so the dock groups the window under it.
void SniTrayTest::itemIsTitledWithTheThemedIconAndTheWindowMatchesItsLauncher() {
    QVERIFY2(launchAndWaitForItem(), "the tray icon never registered with the watcher");
    m_watcher->send(QStringLiteral("properties"));
    std::map<QString, QString> properties;
    for (const char* key : {"title", "icon-name", "id", "status"}) {
        properties[QString::fromLatin1(key)] = m_watcher->waitFor(QString::fromLatin1(key) + u' ');
    }
    QCOMPARE(properties["title"], QStringLiteral("Velmora"));
    QCOMPARE(properties["icon-name"], QStringLiteral("velmora"));
    QCOMPARE(properties["status"], QStringLiteral("Active"));

    const std::optional<QString> window = m_session->waitForWindow(kMainTitle, 10s);
    QVERIFY2(window, "the window did not appear");
    const std::optional<QByteArray> wmClass =
        m_session->run(QStringLiteral("xprop"), {"-id", *window, "WM_CLASS"});
    QVERIFY(wmClass);
    // WM_CLASS(STRING) = "instance", "class"
    const QRegularExpressionMatch parts =
        QRegularExpression(QStringLiteral("= \"([^\"]*)\", \"([^\"]*)\""))
            .match(QString::fromUtf8(*wmClass));
    QVERIFY2(parts.hasMatch(), wmClass->constData());
    const QString launcherClass = desktopEntryValue(QStringLiteral(VELMORA_DESKTOP_TEMPLATE),
                                                    QStringLiteral("StartupWMClass"));
    QVERIFY2(!launcherClass.isEmpty(), "the desktop entry names no StartupWMClass");
    QCOMPARE(parts.captured(2), launcherClass);
}

void SniTrayTest::hiddenAutoStartStaysHiddenUntilActivated() {
    QVERIFY(QDir().mkpath(m_session->homePath() + QStringLiteral("/.config/autostart")));
    QFile entry(m_session->homePath() + QStringLiteral("/.config/autostart/velmora.desktop"));
    QVERIFY(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nName=Velmora\nExec=" + kProgram.toUtf8() +
                "\n");
    entry.close();

    QVERIFY2(launchAndWaitForItem(), "the tray icon never registered with the watcher");
    // The window is decided on right after the icon registers; give it time to show, wrongly.
    QVERIFY2(!m_session->waitForWindow(kMainTitle, 1500ms), "the hidden start showed its window");
    QCOMPARE(m_session->program().state(), QProcess::Running);

    m_watcher->send(QStringLiteral("activate"));
    QVERIFY(!m_watcher->waitFor(QStringLiteral("activated")).isNull());
    QVERIFY2(m_session->waitForWindow(kMainTitle, 10s), "Activate did not show the window");
}

void SniTrayTest::endProgramInTheMenuEndsTheProgram() {
    QVERIFY2(launchAndWaitForItem(), "the tray icon never registered with the watcher");
    QVERIFY(m_session->waitForWindow(kMainTitle, 10s));
    m_watcher->send(QStringLiteral("menu End Program"));
    QVERIFY(!m_watcher->waitFor(QStringLiteral("clicked ")).isNull());
    QProcess& program = m_session->program();
    QVERIFY2(program.state() == QProcess::NotRunning || program.waitForFinished(kWaitMs),
             "End Program did not end the program");
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

QTEST_MAIN(SniTrayTest)
#include "sni_tray_test.moc"
