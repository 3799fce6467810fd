#include "desktop/single_instance.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#ifndef Q_OS_WIN
#include <sys/resource.h>
#include <sys/stat.h>
#endif

using namespace velmora::desktop;
using std::chrono::milliseconds;

namespace {

constexpr milliseconds kShortAnswer{300};  // no copy answers in these tests unless one listens

// The process id of a program that has ended: no process answers to it.
qint64 deadProcessId() {
    QProcess process;
    // This test program itself, asked only for its list of functions: there on every platform.
    process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("-functions")});
    if (!process.waitForStarted()) return 0;
    const qint64 id = process.processId();
    process.waitForFinished();
    return id;
}

// Runs a later launch in another thread while this one answers it; the later launch's claim.
SingleInstance::Claim claimFromAnotherThread(const std::function<SingleInstance::Claim()>& claim) {
    std::atomic<int> outcome{-1};
    std::thread later([&] { outcome = int(claim()); });
    if (!QTest::qWaitFor([&] { return outcome != -1; }, 30'000))
        qWarning("the later launch did not end");
    later.join();
    return SingleInstance::Claim(outcome.load());
}

SingleInstance::Claim claimFromAnotherThread(const QString& folder) {
    return claimFromAnotherThread([&] {
        return LocalSocketInstance(folder, QStringLiteral("velmora-test"), milliseconds{10'000})
            .claim();
    });
}

}  // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void namesTellUsersAndDisplaysApart_data();
    void namesTellUsersAndDisplaysApart();
    void leftoversOfAKilledCopyAreTakenOver();
    void aCopyThatHoldsTheClaimButDoesNotAnswerIsReported();
    void laterLaunchHandsOverToTheListeningCopy();
    void noFolderRunsUnguarded();
    void leftoversAtTheLockPathAreTakenOver_data();
    void leftoversAtTheLockPathAreTakenOver();
    void unfinishedRequestsAreDropped_data();
    void unfinishedRequestsAreDropped();
    void claimIsKeptWhereNoOtherUserReachesIt_data();
    void claimIsKeptWhereNoOtherUserReachesIt();
};

void SingleInstanceTest::namesTellUsersAndDisplaysApart_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("wayland");
    QTest::addColumn<QString>("x11");
    QTest::addColumn<QString>("name");
    QTest::newRow("X display") << "1000"
                               << ""
                               << ":0"
                               << "velmora-1000-_0";
    QTest::newRow("screen of that display") << "1000"
                                            << ""
                                            << ":0.1"
                                            << "velmora-1000-_0";
    QTest::newRow("another display") << "1000"
                                     << ""
                                     << ":1"
                                     << "velmora-1000-_1";
    QTest::newRow("remote display") << "1000"
                                    << ""
                                    << "host.example:10.0"
                                    << "velmora-1000-host.example_10";
    QTest::newRow("Wayland first") << "1000"
                                   << "wayland-0"
                                   << ":0"
                                   << "velmora-1000-wayland-0";
    QTest::newRow("Wayland socket path") << "1000"
                                         << "/run/user/1000/wayland-1"
                                         << ""
                                         << "velmora-1000-_run_user_1000_wayland-1";
    QTest::newRow("no display") << "1000"
                                << ""
                                << ""
                                << "velmora-1000-none";
    QTest::newRow("Windows user name") << "Ann Lee"
                                       << ""
                                       << ""
                                       << "velmora-Ann_Lee-none";
}

void SingleInstanceTest::namesTellUsersAndDisplaysApart() {
    QFETCH(QString, user);
    QFETCH(QString, wayland);
    QFETCH(QString, x11);
    QFETCH(QString, name);
    QCOMPARE(instanceName(user, wayland, x11), name);
}

// kill -9 leaves a lock naming a process that is gone and a socket file nobody listens on.
void SingleInstanceTest::leftoversOfAKilledCopyAreTakenOver() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    LocalSocketInstance instance(folder.path(), QStringLiteral("velmora-test"), kShortAnswer);

    QByteArray lockText;
    {
        QLockFile lock(instance.lockPath());
        QVERIFY(lock.tryLock(0));
        QFile file(instance.lockPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        lockText = file.readAll();
        lock.unlock();
    }
    const qint64 dead = deadProcessId();
    QVERIFY(dead > 0);
    lockText = QByteArray::number(dead) + lockText.mid(lockText.indexOf('\n'));
    QFile lockFile(instance.lockPath());
    QVERIFY(lockFile.open(QIODevice::WriteOnly));
    lockFile.write(lockText);
    lockFile.close();
    QFile socketFile(instance.socketPath());
    QVERIFY(socketFile.open(QIODevice::WriteOnly));
    socketFile.close();

    QCOMPARE(instance.claim(), SingleInstance::Claim::First);
    QVERIFY(instance.startListening());
}

void SingleInstanceTest::aCopyThatHoldsTheClaimButDoesNotAnswerIsReported() {
    QTemporaryDir folder;
    LocalSocketInstance first(folder.path(), QStringLiteral("velmora-test"), kShortAnswer);
    QCOMPARE(first.claim(), SingleInstance::Claim::First);
    LocalSocketInstance second(folder.path(), QStringLiteral("velmora-test"), kShortAnswer);
    QCOMPARE(second.claim(), SingleInstance::Claim::NoAnswer);  // still starting: not listening
    QVERIFY(first.startListening());
    // Listening, but this thread is busy here and cannot answer.
    QCOMPARE(second.claim(), SingleInstance::Claim::NoAnswer);
}

void SingleInstanceTest::laterLaunchHandsOverToTheListeningCopy() {
    QTemporaryDir folder;
    LocalSocketInstance first(folder.path(), QStringLiteral("velmora-test"), kShortAnswer);
    QCOMPARE(first.claim(), SingleInstance::Claim::First);
    QVERIFY(first.startListening());
    QSignalSpy shown(&first, &SingleInstance::showRequested);

    std::atomic<int> outcome{-1};
    std::thread later([&] {
        LocalSocketInstance second(folder.path(), QStringLiteral("velmora-test"),
                                   milliseconds{10'000});
        outcome = int(second.claim());
    });
    QTRY_VERIFY_WITH_TIMEOUT(outcome != -1, 10'000);  // runs this thread's event loop meanwhile
    later.join();
    QCOMPARE(SingleInstance::Claim(outcome.load()), SingleInstance::Claim::Handed);
    QCOMPARE(shown.count(), 1);
}

void SingleInstanceTest::noFolderRunsUnguarded() {
    LocalSocketInstance instance(QStringLiteral("/nonexistent/velmora-test"),
                                 QStringLiteral("velmora-test"), kShortAnswer);
    QCOMPARE(instance.claim(), SingleInstance::Claim::Failed);
}

void SingleInstanceTest::leftoversAtTheLockPathAreTakenOver_data() {
    QTest::addColumn<QString>("leftover");
    for (const char* leftover : {"empty lock", "lock no one may read", "lock naming another host",
                                 "dangling link", "link to a file", "empty folder"}) {
        QTest::newRow(leftover) << leftover;
    }
}

// Whatever lies at the lock path while no process holds the lock, nothing waits for an answer.
void SingleInstanceTest::leftoversAtTheLockPathAreTakenOver() {
#ifdef Q_OS_WIN
    QSKIP("the lock is the system's own on Windows (QLockFile), not a file lock to take over");
#endif
    QFETCH(QString, leftover);
    QTemporaryDir folder;
    LocalSocketInstance instance(folder.path(), QStringLiteral("velmora-test"), kShortAnswer);
    const bool link = leftover.endsWith(QLatin1String("link"));
    QFile file(link ? folder.filePath(QStringLiteral("target")) : instance.lockPath());
    if (leftover == QLatin1String("empty folder")) QVERIFY(QDir().mkpath(instance.lockPath()));
    if (leftover.contains(QLatin1String("lock")) || leftover == QLatin1String("link to a file")) {
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (leftover.contains(QLatin1String("host"))) {
            file.write(QByteArray::number(deadProcessId()) +
                       "\nvelmora\nelsewhere.example\n0123456789abcdef\n");
        }
        if (link) file.write("not a lock\n");
        file.close();
        if (leftover.contains(QLatin1String("no one"))) QVERIFY(file.setPermissions({}));
    }
    if (link) QVERIFY(QFile::link(file.fileName(), instance.lockPath()));

    QElapsedTimer clock;
    clock.start();
    QCOMPARE(instance.claim(), SingleInstance::Claim::First);
    QVERIFY(clock.elapsed() < kShortAnswer.count());
    QVERIFY(instance.startListening());
    if (link && file.open(QIODevice::ReadOnly))
        QCOMPARE(file.readAll(), "not a lock\n");  // not written through
}

void SingleInstanceTest::unfinishedRequestsAreDropped_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("clients");   // at once; past the descriptors left when more than one
    QTest::addColumn<int>("withinMs");  // the running copy hangs up within this
    QTest::newRow("no request") << QByteArray() << 1 << 4'000;
    QTest::newRow("half a request") << QByteArray("sh") << 1 << 4'000;
    QTest::newRow("a megabyte without a line end") << QByteArray(1 << 20, 'x') << 1 << 1'000;
    QTest::newRow("more clients than descriptors") << QByteArray() << 16 << 4'000;
}

// A client that never finishes its request or sends too much costs the running copy neither
// memory nor a descriptor for long; a failed accept (no descriptor left) does not stop it
// listening. Either way the copy still answers the next launch.
void SingleInstanceTest::unfinishedRequestsAreDropped() {
    QFETCH(QByteArray, request);
    QFETCH(int, clients);
    QFETCH(int, withinMs);
    QTemporaryDir folder;
    LocalSocketInstance first(folder.path(), QStringLiteral("velmora-test"), kShortAnswer);
    QCOMPARE(first.claim(), SingleInstance::Claim::First);
    QVERIFY(first.startListening());
#ifndef Q_OS_WIN
    rlimit saved{};
    QVERIFY(::getrlimit(RLIMIT_NOFILE, &saved) == 0);
    rlimit limit = saved;
    if (clients > 1) limit.rlim_cur = QDir(QStringLiteral("/proc/self/fd")).count() + clients / 2;
    QVERIFY(::setrlimit(RLIMIT_NOFILE, &limit) == 0);
#endif
    std::vector<std::unique_ptr<QLocalSocket>> sockets;
    for (int i = 0; i < clients; ++i) {
        sockets.push_back(std::make_unique<QLocalSocket>());
        sockets.back()->connectToServer(first.socketPath());
        if (!request.isEmpty()) sockets.back()->write(request);
    }
    QTRY_VERIFY_WITH_TIMEOUT(
        std::all_of(sockets.begin(), sockets.end(),
                    [](const auto& s) { return s->state() == QLocalSocket::UnconnectedState; }),
        withinMs);
#ifndef Q_OS_WIN
    QVERIFY(::setrlimit(RLIMIT_NOFILE, &saved) == 0);
#endif
    QCOMPARE(claimFromAnotherThread(folder.path()), SingleInstance::Claim::Handed);
}

void SingleInstanceTest::claimIsKeptWhereNoOtherUserReachesIt_data() {
    QTest::addColumn<QString>("runtime");  // XDG_RUNTIME_DIR: "private", "open", "long" or "unset"
    QTest::addColumn<QString>("planted");  // what another user left in the temporary folder
    QTest::addColumn<QString>(
        "chosen");  // where the claim is kept: "runtime", "fallback" or "none"
    QTest::newRow("runtime folder") << "private"
                                    << ""
                                    << "runtime";
    QTest::newRow("runtime folder open to others") << "open"
                                                   << ""
                                                   << "fallback";
    QTest::newRow("runtime folder too long a path for a socket") << "long"
                                                                 << ""
                                                                 << "fallback";
    QTest::newRow("unset: lock no one may read") << "unset"
                                                 << "lock"
                                                 << "fallback";
    QTest::newRow("unset: lock and a socket that answers") << "unset"
                                                           << "lock and socket"
                                                           << "fallback";
    QTest::newRow("unset: the user's folder open to all") << "unset"
                                                          << "open folder"
                                                          << "none";
    QTest::newRow("unset: a link in place of the user's folder") << "unset"
                                                                 << "link"
                                                                 << "none";
}

void SingleInstanceTest::claimIsKeptWhereNoOtherUserReachesIt() {
#ifdef Q_OS_WIN
    QSKIP("the temporary folder is the user's own on Windows");
#else
    QFETCH(QString, runtime);
    QFETCH(QString, planted);
    QFETCH(QString, chosen);
    QTemporaryDir root;
    // 102 characters: with the claim's name past the 108 bytes of sun_path.
    QString runtimeDir = root.filePath(QStringLiteral("run"));
    if (runtime == QLatin1String("long")) runtimeDir += QString(102 - runtimeDir.size(), u'r');
    const auto makeFolder = [](const QString& path, mode_t mode) {
        return QDir().mkpath(path) && ::chmod(QFile::encodeName(path).constData(), mode) == 0;
    };
    QVERIFY(makeFolder(runtimeDir, runtime == QLatin1String("open") ? 0777 : 0700));
    const QString temp = root.filePath(QStringLiteral("tmp"));
    const QString uid = QString::number(::getuid());
    const QString own = temp + QStringLiteral("/velmora-") + uid;
    QString plantIn =
        planted.contains(QLatin1String("lock")) ? temp : root.filePath(QStringLiteral("elsewhere"));
    QVERIFY(makeFolder(temp, 0777) && makeFolder(plantIn, 0777));
    if (planted == QLatin1String("link")) QVERIFY(QFile::link(plantIn, own));
    if (planted == QLatin1String("open folder")) {
        QVERIFY(QDir().rename(plantIn, own));
        plantIn = own;
    }
    const QString name = plantIn + QStringLiteral("/velmora-") + uid + QStringLiteral("-_99");
    QFile lock(name + QStringLiteral(".lock"));
    QVERIFY(lock.open(QIODevice::WriteOnly) && lock.setPermissions({}));
    lock.close();
    QLocalServer answerer;  // says "ok" to whoever asks
    int asked = 0;
    connect(&answerer, &QLocalServer::newConnection, &answerer, [&] {
        ++asked;
        answerer.nextPendingConnection()->write("ok\n");
    });
    QVERIFY(answerer.listen(name + QStringLiteral(".socket")));

    QByteArray saved[3];
    const char* variables[3] = {"XDG_RUNTIME_DIR", "TMPDIR", "DISPLAY"};
    for (int i = 0; i < 3; ++i) saved[i] = qgetenv(variables[i]);
    qputenv("XDG_RUNTIME_DIR",
            runtime == QLatin1String("unset") ? QByteArray() : QFile::encodeName(runtimeDir));
    qputenv("TMPDIR", QFile::encodeName(temp));
    qputenv("DISPLAY", ":99");
    QString socketPath;
    const SingleInstance::Claim claim = claimFromAnotherThread([&] {
        const std::unique_ptr<SingleInstance> instance = makeSingleInstance();
        const SingleInstance::Claim made = instance->claim();
        if (auto* local = dynamic_cast<LocalSocketInstance*>(instance.get()))
            socketPath = local->socketPath();
        return made;
    });
    for (int i = 0; i < 3; ++i) qputenv(variables[i], saved[i]);

    QCOMPARE(asked, 0);
    QCOMPARE(claim, chosen == QLatin1String("none") ? SingleInstance::Claim::Failed
                                                    : SingleInstance::Claim::First);
    if (chosen == QLatin1String("runtime")) QCOMPARE(QFileInfo(socketPath).path(), runtimeDir);
    if (chosen == QLatin1String("fallback")) {
        QCOMPARE(QFileInfo(socketPath).path(), own);
        struct stat info {};
        QVERIFY(::lstat(QFile::encodeName(own).constData(), &info) == 0);
        QVERIFY(S_ISDIR(info.st_mode) && (info.st_mode & 0777) == 0700);
    }
#endif
}

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
