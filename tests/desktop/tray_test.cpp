#include "x_session.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <memory>

using velmora::testing::XSession;

namespace {

constexpr int kWaitMs = 10000;  // for a start-up or a redraw on a loaded machine

// The probe program and the lines it reports.
class Probe {
public:
    explicit Probe(const XSession& session) {
        m_process.setProcessEnvironment(session.environment());
        velmora::testing::dieWithParent(m_process);
    }
    ~Probe() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }

    void start(const QStringList& arguments) {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(VELMORA_TRAY_PROBE), arguments);
    }

    // Waits for the next line starting with prefix; its remainder, or a null string on timeout.
    QString waitFor(const QString& prefix, int timeoutMs = kWaitMs) {
        const QDeadlineTimer deadline(timeoutMs);
        for (;;) {
            while (m_process.canReadLine()) {
                const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
                if (line.startsWith(prefix)) return line.mid(prefix.size()).trimmed();
            }
            if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning) return {};
            m_process.waitForReadyRead(100);
        }
    }

    // The icon's rectangle once it has been embedded in the notification area.
    QRect waitForIcon() {
        for (QString icon = waitFor("icon "); !icon.isNull(); icon = waitFor("icon ")) {
            const QStringList parts = icon.split(' ');
            const QRect rect(parts.value(0).toInt(), parts.value(1).toInt(), parts.value(2).toInt(),
                             parts.value(3).toInt());
            if (!rect.isEmpty()) return rect;
        }
        return {};
    }

    qint64 processId() const { return m_process.processId(); }
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    bool waitForExit(int timeoutMs) { return m_process.waitForFinished(timeoutMs); }
    int exitCode() const { return m_process.exitCode(); }
    QProcess::ExitStatus exitStatus() const { return m_process.exitStatus(); }

private:
    QProcess m_process;
};

}  // namespace

class TrayTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void withoutNotificationAreaTheHiddenStartShowsTheWindow();
    void iconAppearsAndLeftPressShowsTheHiddenWindow();
    void menuChoices_data();
    void menuChoices();
    void iconComesBackWhenTheNotificationAreaIsRecreated();

private:
    void requireTrayHost();
    void click(const QRect& icon, int button);
    int settledWindowCount() const;

    std::unique_ptr<XSession> m_session;
};

void TrayTest::initTestCase() {
    for (const char* tool : {"xdotool", "tint2"}) {
        if (QStandardPaths::findExecutable(tool).isEmpty())
            QSKIP(qPrintable(QString(tool) + " is not installed"));
    }
    m_session = std::make_unique<XSession>();
    QString error;
    if (!m_session->start(&error)) QSKIP(qPrintable(error));
}

void TrayTest::cleanupTestCase() { m_session.reset(); }

void TrayTest::requireTrayHost() {
    QString error;
    QVERIFY2(m_session->startTrayHost(&error), qPrintable(error));
}

// The display's window count once it has held still for a moment: a panel just started or a
// probe just ended still adds or removes windows for a while.
int TrayTest::settledWindowCount() const {
    const QDeadlineTimer deadline(kWaitMs);
    int count = m_session->windowCount();
    for (int previous = -1; count != previous && !deadline.hasExpired();) {
        QTest::qWait(300);
        previous = count;
        count = m_session->windowCount();
    }
    return count;
}

void TrayTest::click(const QRect& icon, int button) {
    m_session->xdotool({"mousemove", QString::number(icon.center().x()),
                        QString::number(icon.center().y()), "sleep", "0.2", "click",
                        QString::number(button)});
}

// Hiding with no icon to come back through would leave the program unreachable.
void TrayTest::withoutNotificationAreaTheHiddenStartShowsTheWindow() {
    m_session->stopTrayHost();
    Probe probe(*m_session);
    probe.start({"--hidden"});
    QCOMPARE(probe.waitFor("tray "), QString("0"));
    QCOMPARE(probe.waitFor("visible "), QString("1"));
}

void TrayTest::iconAppearsAndLeftPressShowsTheHiddenWindow() {
    requireTrayHost();
    const int windowsBefore = settledWindowCount();
    Probe probe(*m_session);
    probe.start({"--hidden"});
    QCOMPARE(probe.waitFor("tray "), QString("1"));
    QCOMPARE(probe.waitFor("visible "), QString("0"));
    const QRect icon = probe.waitForIcon();
    QVERIFY2(!icon.isEmpty(), "the icon never reached the notification area");
    QVERIFY(m_session->windowCount() > windowsBefore);

    QCOMPARE(m_session->windowsInsideOthers(probe.processId()), 1);  // embedded in the panel
    click(icon, 1);
    QCOMPARE(probe.waitFor("visible "), QString("1"));
    QVERIFY(probe.isRunning());
}

void TrayTest::menuChoices_data() {
    QTest::addColumn<QStringList>("keys");  // pressed while the menu is open
    QTest::addColumn<QString>("visible");   // the window afterwards; empty: no change reported
    QTest::addColumn<bool>("ends");         // the program ends
    QTest::newRow("dismissed") << QStringList{"Escape"} << QString() << false;
    QTest::newRow("Open Velmora") << QStringList{"Down", "Return"} << QString("1") << false;
    QTest::newRow("End Program") << QStringList{"Up", "Return"} << QString() << true;
}

void TrayTest::menuChoices() {
    QFETCH(QStringList, keys);
    QFETCH(QString, visible);
    QFETCH(bool, ends);
    requireTrayHost();
    const int windowsBefore = settledWindowCount();
    Probe probe(*m_session);
    probe.start({"--hidden"});
    QCOMPARE(probe.waitFor("visible "), QString("0"));
    const QRect icon = probe.waitForIcon();
    QVERIFY(!icon.isEmpty());

    click(icon, 3);
    QCOMPARE(probe.waitFor("menu "), QString("1"));
    m_session->xdotool(QStringList{"key", "--delay", "100"} + keys);
    QCOMPARE(probe.waitFor("menu "), QString("0"));

    if (ends) {
        QVERIFY2(probe.waitForExit(kWaitMs), "End Program did not end the program");
        QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
        QCOMPARE(probe.exitCode(), 0);
        // The icon and every window of the program are gone from the display, the tray host's
        // place for the icon included.
        const QDeadlineTimer deadline(kWaitMs);
        while (m_session->windowCount() != windowsBefore && !deadline.hasExpired())
            QTest::qWait(100);
        QCOMPARE(m_session->windowCount(), windowsBefore);
        QVERIFY(m_session->hasTrayHost());
        return;
    }
    if (visible.isEmpty()) {
        QCOMPARE(probe.waitFor("visible ", 1000), QString());
    } else {
        QCOMPARE(probe.waitFor("visible "), visible);
    }
    QVERIFY(probe.isRunning());
}

void TrayTest::iconComesBackWhenTheNotificationAreaIsRecreated() {
    requireTrayHost();
    Probe probe(*m_session);
    probe.start({"--hidden"});
    const QRect icon = probe.waitForIcon();
    QVERIFY(!icon.isEmpty());
    m_session->stopTrayHost();
    QTRY_COMPARE_WITH_TIMEOUT(m_session->windowsInsideOthers(probe.processId()), 0, kWaitMs);
    requireTrayHost();
    QTRY_COMPARE_WITH_TIMEOUT(m_session->windowsInsideOthers(probe.processId()), 1, kWaitMs);
    QTest::qWait(300);  // the panel lays the icon out after embedding it
    click(icon, 1);     // the new panel puts the only icon where the old one had it
    QCOMPARE(probe.waitFor("visible "), QString("1"));
}

QTEST_GUILESS_MAIN(TrayTest)
#include "tray_test.moc"
