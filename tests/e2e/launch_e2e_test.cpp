// Starting the real program: its command line and the display check (no X server needed), and
// one running copy per user and display, in a private Xvfb with a notification area.

#include "x_session.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <memory>

using std::chrono::milliseconds;
using velmora::testing::dieWithParent;
using velmora::testing::waitUntil;
using velmora::testing::XSession;

namespace {

const QString kProgram = QStringLiteral(VELMORA_BINARY);
const QString kMainTitle = QStringLiteral("Velmora");
constexpr milliseconds kWindowTimeout{15'000};    // start-up under a loaded CI machine
constexpr milliseconds kHandOverTimeout{25'000};  // a later launch waits up to 20 s for an answer

struct Run {
    int exitCode = -1;
    bool crashed = true;
    QString out;
    QString err;
};

Run runProgram(const QStringList& arguments, const QProcessEnvironment& environment) {
    QProcess process;
    dieWithParent(process);
    process.setProcessEnvironment(environment);
    process.start(kProgram, arguments);
    Run run;
    if (!process.waitForFinished(int(kWindowTimeout.count()))) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitCode();
    run.crashed = process.exitStatus() != QProcess::NormalExit;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

// The environment with no display at all, whatever the test itself runs under.
QProcessEnvironment withoutDisplay() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    return env;
}

}  // namespace

class LaunchEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { m_session.reset(); }
    void commandLine_data();
    void commandLine();
    void noDisplay_data();
    void noDisplay();

    void secondLaunchGivesOneWindowAndOneIcon();
    void killedCopyLeavesNothingThatBlocksTheNextStart();
    void secondLaunchShowsTheWindowHiddenInTheNotificationArea();
    void twoLaunchesAtOnceGiveOneWindow();

private:
    bool startSession(bool withTrayHost);
    std::unique_ptr<QProcess> startAnother();
    int visibleMainWindows();

    std::unique_ptr<XSession> m_session;
};

// None of these may open a window: they run with no display (and with one that does not
// exist), where opening a window could only fail.
void LaunchEndToEnd::commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");  // pattern, matched against standard output
    QTest::addColumn<QString>("err");  // pattern, matched against standard error

    const QString usage = QStringLiteral("Usage: \\S*velmora \\[options\\]\n");
    const QString options = QStringLiteral("-h, --help.*-v, --version");
    QTest::newRow("--help") << QStringList{"--help"} << 0 << usage + ".*" + options << "^$";
    QTest::newRow("-h") << QStringList{"-h"} << 0 << usage << "^$";
    QTest::newRow("--version") << QStringList{"--version"} << 0 << "^Velmora 1\\.00\n$"
                               << "^$";
    QTest::newRow("-v") << QStringList{"-v"} << 0 << "^Velmora 1\\.00\n$"
                        << "^$";
    QTest::newRow("unknown long option") << QStringList{"--frobnicate"} << 2 << "^$"
                                         << "^velmora: [^\n]*'frobnicate'[^\n]*\n" + usage;
    QTest::newRow("unknown short option") << QStringList{"-x"} << 2 << "^$"
                                          << "^velmora: [^\n]*'x'[^\n]*\n" + usage;
    QTest::newRow("unknown beside --help") << QStringList{"--help", "--nope"} << 2 << "^$"
                                           << "^velmora: [^\n]*'nope'";
    QTest::newRow("argument") << QStringList{"coordinates.txt"} << 2 << "^$"
                              << "^velmora: [^\n]*'coordinates.txt'[^\n]*\n" + usage;
    QTest::newRow("Qt's own option") << QStringList{"-platform", "offscreen"} << 2 << "^$"
                                     << "^velmora: [^\n]*'platform'";
    // QCoreApplication itself takes these out of argv.
    const QString debugger = QStringLiteral("^velmora: [^\n]*'qmljsdebugger'[^\n]*\n") + usage;
    QTest::newRow("QML debugger") << QStringList{"-qmljsdebugger=port:5555"} << 2 << "^$"
                                  << debugger;
    QTest::newRow("QML debugger, two dashes")
        << QStringList{"--qmljsdebugger=port:5555"} << 2 << "^$" << debugger;
    QTest::newRow("QML debugger, separate value")
        << QStringList{"-qmljsdebugger", "port:5555"} << 2 << "^$" << debugger;
}

void LaunchEndToEnd::commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QProcessEnvironment unreachable = withoutDisplay();
    unreachable.insert(QStringLiteral("DISPLAY"), QStringLiteral(":65531"));
    for (const QProcessEnvironment& env : {withoutDisplay(), unreachable}) {
        const Run run = runProgram(arguments, env);
        QVERIFY2(!run.crashed, qPrintable(run.err));
        QCOMPARE(run.exitCode, exitCode);
        const QRegularExpression::PatternOption dotAll =
            QRegularExpression::DotMatchesEverythingOption;
        QVERIFY2(QRegularExpression(out, dotAll).match(run.out).hasMatch(), qPrintable(run.out));
        QVERIFY2(QRegularExpression(err, dotAll).match(run.err).hasMatch(), qPrintable(run.err));
    }
}

void LaunchEndToEnd::noDisplay_data() {
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("wayland");  // WAYLAND_DISPLAY, a socket nobody serves when set
    QTest::addColumn<QString>("platform");
    QTest::addColumn<QString>("message");

    const QString none;
    QTest::newRow("none") << none << none << none << "DISPLAY nor WAYLAND_DISPLAY";
    QTest::newRow("none, xcb asked for") << none << none << "xcb"
                                         << "DISPLAY nor WAYLAND_DISPLAY";
    QTest::newRow("none, wayland then xcb") << none << none << "wayland;xcb"
                                            << "DISPLAY nor WAYLAND_DISPLAY";
    QTest::newRow("X display nobody serves")
        << ":65531" << none << none << "':65531' named by DISPLAY";
    // Named but not served: only starting the platform finds out.
    const QString noPlatform =
        QStringLiteral("velmora: cannot open a window: no display platform could start");
    QTest::newRow("Wayland socket nobody serves") << none << "velmora-nobody" << none << noPlatform;
    QTest::newRow("Wayland socket nobody serves, wayland asked for") << none << "velmora-nobody"
                                                                     << "wayland" << noPlatform;
    QTest::newRow("platform plugin not installed") << none << "velmora-nobody"
                                                   << "velmora-none"
                                                   << "(velmora-none is not installed)";
}

// One line that names the variables, status 1, and no abort (Qt's own failure is SIGABRT).
void LaunchEndToEnd::noDisplay() {
    QFETCH(QString, display);
    QFETCH(QString, wayland);
    QFETCH(QString, platform);
    QFETCH(QString, message);
    QProcessEnvironment env = withoutDisplay();
    if (!display.isEmpty()) env.insert(QStringLiteral("DISPLAY"), display);
    if (!platform.isEmpty()) env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    const QTemporaryDir runtime;  // a session's XDG_RUNTIME_DIR, without the socket named
    if (!wayland.isEmpty()) {
        env.insert(QStringLiteral("WAYLAND_DISPLAY"), wayland);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    }
    const Run run = runProgram({}, env);
    QVERIFY2(!run.crashed, qPrintable(run.err));
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.endsWith(u'\n') && run.err.count(u'\n') == 1, qPrintable(run.err));
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
}

bool LaunchEndToEnd::startSession(bool withTrayHost) {
    m_session = std::make_unique<XSession>();
    QString error;
    if (!m_session->start(&error) || (withTrayHost && !m_session->startTrayHost(&error))) {
        qWarning("%s", qPrintable(error));
        return false;
    }
    return true;
}

// A launch beside the one XSession::launch() keeps, as a user starting the program again.
std::unique_ptr<QProcess> LaunchEndToEnd::startAnother() {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(m_session->environment());
    dieWithParent(*process);
    process->start(kProgram, QStringList{});
    return process;
}

int LaunchEndToEnd::visibleMainWindows() {
    const std::optional<QByteArray> found =
        m_session->run(QStringLiteral("xdotool"),
                       {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                        QStringLiteral("--name"), QLatin1Char('^') + kMainTitle + u'$'});
    return found ? int(found->trimmed().split('\n').size())
                 : 0;  // xdotool fails when none is found
}

void LaunchEndToEnd::secondLaunchGivesOneWindowAndOneIcon() {
    if (QStandardPaths::findExecutable(QStringLiteral("tint2")).isEmpty())
        QSKIP("tint2 is not installed");
    QVERIFY(startSession(true));
    QString error;
    QVERIFY2(m_session->launch(kProgram, &error), qPrintable(error));
    QVERIFY2(m_session->waitForWindow(kMainTitle, kWindowTimeout),
             "the first launch shows no window");
    const qint64 first = m_session->program().processId();
    QVERIFY2(waitUntil([&] { return m_session->windowsInsideOthers(first) == 1; }, kWindowTimeout),
             "the first launch has no icon in the notification area");

    const std::unique_ptr<QProcess> second = startAnother();
    QVERIFY2(second->waitForFinished(int(kHandOverTimeout.count())),
             "the second launch did not end");
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QVERIFY2(!m_session->program().waitForFinished(0), "the first copy ended");
    QCOMPARE(visibleMainWindows(), 1);
    QCOMPARE(m_session->windowsInsideOthers(first), 1);
}

// kill -9 leaves the lock and the socket file behind; the next start must not mind them.
void LaunchEndToEnd::killedCopyLeavesNothingThatBlocksTheNextStart() {
    QVERIFY(startSession(false));
    QString error;
    QVERIFY2(m_session->launch(kProgram, &error), qPrintable(error));
    QVERIFY2(m_session->waitForWindow(kMainTitle, kWindowTimeout),
             "the first launch shows no window");
    const QDir runtime(m_session->homePath() + QStringLiteral("/runtime"));
    const QStringList claimFiles{QStringLiteral("velmora-*.lock"),
                                 QStringLiteral("velmora-*.socket")};
    // The socket is made once the window is up; wait for it rather than race it.
    QVERIFY(waitUntil(
        [&] { return runtime.entryList(claimFiles, QDir::System | QDir::Files).size() == 2; },
        kWindowTimeout));
    m_session->program().kill();  // SIGKILL: nothing is cleaned up
    QVERIFY(m_session->program().waitForFinished());
    QCOMPARE(runtime.entryList(claimFiles, QDir::System | QDir::Files).size(), 2);
    QVERIFY(m_session->waitForWindowGone(kMainTitle, kWindowTimeout));

    QVERIFY2(m_session->launch(kProgram, &error), qPrintable(error));
    QVERIFY2(m_session->waitForWindow(kMainTitle, kWindowTimeout),
             "no window after the killed copy");
    QVERIFY2(!m_session->program().waitForFinished(0), "the new copy ended");

    // And that copy answers the next launch.
    const std::unique_ptr<QProcess> another = startAnother();
    QVERIFY(another->waitForFinished(int(kHandOverTimeout.count())));
    QCOMPARE(another->exitCode(), 0);
    QCOMPARE(visibleMainWindows(), 1);
}

// Automatic start-up starts hidden with only the icon; launching again shows the window.
void LaunchEndToEnd::secondLaunchShowsTheWindowHiddenInTheNotificationArea() {
    if (QStandardPaths::findExecutable(QStringLiteral("tint2")).isEmpty())
        QSKIP("tint2 is not installed");
    QVERIFY(startSession(true));
    const QString autostart = m_session->homePath() + QStringLiteral("/.config/autostart");
    QVERIFY(QDir().mkpath(autostart));
    QFile entry(autostart + QStringLiteral("/velmora.desktop"));
    QVERIFY(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nName=Velmora\nExec=" + kProgram.toUtf8() +
                "\n");
    entry.close();

    QString error;
    QVERIFY2(m_session->launch(kProgram, &error), qPrintable(error));
    const qint64 first = m_session->program().processId();
    QVERIFY2(waitUntil([&] { return m_session->windowsInsideOthers(first) == 1; }, kWindowTimeout),
             "no icon in the notification area");
    QCOMPARE(visibleMainWindows(), 0);  // the hidden start is still hidden

    const std::unique_ptr<QProcess> second = startAnother();
    QVERIFY2(second->waitForFinished(int(kHandOverTimeout.count())),
             "the second launch did not end");
    QCOMPARE(second->exitCode(), 0);
    QVERIFY2(m_session->waitForWindow(kMainTitle, kWindowTimeout),
             "the hidden window was not shown");
    QCOMPARE(visibleMainWindows(), 1);
    QCOMPARE(m_session->windowsInsideOthers(first), 1);
}

// Started together, before either has a window: one waits for the other and hands over.
void LaunchEndToEnd::twoLaunchesAtOnceGiveOneWindow() {
    QVERIFY(startSession(false));
    const std::unique_ptr<QProcess> a = startAnother();
    const std::unique_ptr<QProcess> b = startAnother();
    // waitForFinished() rather than state(): no event loop runs here to update the state.
    constexpr int kPollMs = 20;
    QVERIFY2(waitUntil([&] { return a->waitForFinished(kPollMs) || b->waitForFinished(kPollMs); },
                       kHandOverTimeout),
             "neither launch handed over to the other");
    QProcess& ended = a->state() == QProcess::NotRunning ? *a : *b;
    QProcess& running = &ended == a.get() ? *b : *a;
    QCOMPARE(ended.exitStatus(), QProcess::NormalExit);
    QCOMPARE(ended.exitCode(), 0);
    QVERIFY2(m_session->waitForWindow(kMainTitle, kWindowTimeout), "no window");
    QVERIFY(!running.waitForFinished(0));
    QCOMPARE(visibleMainWindows(), 1);
}

QTEST_GUILESS_MAIN(LaunchEndToEnd)
#include "launch_e2e_test.moc"
