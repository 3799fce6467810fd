#include "desktop/single_instance.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <QLocalSocket>

#include <atomic>
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
SingleInstance::Claim claimFromAnotherThread(const QString& folder) {
    std::atomic<int> outcome{-1};
    std::thread later([&] {
        LocalSocketInstance second(folder, QStringLiteral("velmora-test"), milliseconds{10'000});
        outcome = int(second.claim());
    });
    if (!QTest::qWaitFor([&] { return outcome != -1; }, 15'000)) qWarning("the later launch did not end");
    later.join();
    return SingleInstance::Claim(outcome.load());
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
    void keepsAnsweringAfterDescriptorsRanOut();
    void claimIsKeptOnlyInAFolderPrivateToTheUser_data();
    void claimIsKeptOnlyInAFolderPrivateToTheUser();
};

void SingleInstanceTest::namesTellUsersAndDisplaysApart_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("wayland");
    QTest::addColumn<QString>("x11");
    QTest::addColumn<QString>("name");
    QTest::newRow("X display") << "1000" << "" << ":0" << "velmora-1000-_0";
    QTest::newRow("screen of that display") << "1000" << "" << ":0.1" << "velmora-1000-_0";
    QTest::newRow("another display") << "1000" << "" << ":1" << "velmora-1000-_1";
    QTest::newRow("remote display") << "1000" << "" << "host.example:10.0" << "velmora-1000-host.example_10";
    QTest::newRow("Wayland first") << "1000" << "wayland-0" << ":0" << "velmora-1000-wayland-0";
    QTest::newRow("Wayland socket path") << "1000" << "/run/user/1000/wayland-1" << ""
                                         << "velmora-1000-_run_user_1000_wayland-1";
    QTest::newRow("no display") << "1000" << "" << "" << "velmora-1000-none";
    QTest::newRow("Windows user name") << "Ann Lee" << "" << "" << "velmora-Ann_Lee-none";
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
        LocalSocketInstance second(folder.path(), QStringLiteral("velmora-test"), milliseconds{10'000});
        outcome = int(second.claim());
    });
    QTRY_VERIFY_WITH_TIMEOUT(outcome != -1, 10'000);  // runs this thread's event loop meanwhile
    later.join();
    QCOMPARE(SingleInstance::Claim(outcome.load()), SingleInstance::Claim::Handed);
    QCOMPARE(shown.count(), 1);
}

void SingleInstanceTest::noFolderRunsUnguarded() {
    LocalSocketInstance instance(QStringLiteral("/nonexistent/velmora-test"), QStringLiteral("velmora-test"),
                                 kShortAnswer);
    QCOMPARE(instance.claim(), SingleInstance::Claim::Failed);
}

void SingleInstanceTest::leftoversAtTheLockPathAreTakenOver_data() {
    QTest::addColumn<QString>("leftover");
    QTest::newRow("empty lock") << "empty";
    QTest::newRow("lock no one may read") << "unreadable";
    QTest::newRow("lock naming another host") << "other host";
    QTest::newRow("dangling link") << "dangling link";
    QTest::newRow("link to a file") << "link to a file";
    QTest::newRow("folder") << "folder";
}

// Whatever lies at the lock path when no process holds it, nothing waits for an answer.
void SingleInstanceTest::leftoversAtTheLockPathAreTakenOver() {
    QFETCH(QString, leftover);
    QTemporaryDir folder;
    LocalSocketInstance instance(folder.path(), QStringLiteral("velmora-test"), kShortAnswer);
    const QString target = folder.filePath(QStringLiteral("target"));
    const QByteArray targetText = "not a lock\n";
    QFile file(leftover.endsWith(QLatin1String("link")) || leftover.contains(u' ') ? target : instance.lockPath());
    if (leftover == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(instance.lockPath()));
    } else if (leftover != QLatin1String("dangling link")) {
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (leftover == QLatin1String("other host")) {
            file.write(QByteArray::number(deadProcessId()) + "\nvelmora\nelsewhere.example\n0123456789abcdef\n");
        } else if (leftover == QLatin1String("link to a file")) {
            file.write(targetText);
        }
        file.close();
        if (leftover == QLatin1String("other host")) QVERIFY(file.rename(instance.lockPath()));
        if (leftover == QLatin1String("unreadable")) QVERIFY(file.setPermissions({}));
    }
    if (leftover.endsWith(QLatin1String("link"))) QVERIFY(QFile::link(target, instance.lockPath()));

    QElapsedTimer clock;
    clock.start();
    QCOMPARE(instance.claim(), SingleInstance::Claim::First);
    QVERIFY(clock.elapsed() < kShortAnswer.count());
    QVERIFY(instance.startListening());
    if (leftover == QLatin1String("link to a file")) {  // the lock never writes through a link
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), targetText);
    }
}

void SingleInstanceTest::unfinishedRequestsAreDropped_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("withinMs");  // the running copy hangs up within this
    QTest::newRow("no request") << QByteArray() << 4'000;
    QTest::newRow("half a request") << QByteArray("sh") << 4'000;
    QTest::newRow("a megabyte without a line end") << QByteArray(1 << 20, 'x') << 1'000;
}

// A client that never finishes its request, or one that sends too much, costs the running copy
// neither memory nor a descriptor for long, and the copy still answers the next launch.
void SingleInstanceTest::unfinishedRequestsAreDropped() {
    QFETCH(QByteArray, request);
    QFETCH(int, withinMs);
    QTemporaryDir folder;
    LocalSocketInstance first(folder.path(), QStringLiteral("velmora-test"), kShortAnswer);
    QCOMPARE(first.claim(), SingleInstance::Claim::First);
    QVERIFY(first.startListening());

    QLocalSocket client;
    client.connectToServer(first.socketPath());
    QVERIFY(client.waitForConnected(1'000));
    client.write(request);
    QTRY_VERIFY_WITH_TIMEOUT(client.state() == QLocalSocket::UnconnectedState, withinMs);
    QCOMPARE(claimFromAnotherThread(folder.path()), SingleInstance::Claim::Handed);
}

// accept() fails while the process has no descriptor left; the copy must still answer once
// descriptors are free again.
void SingleInstanceTest::keepsAnsweringAfterDescriptorsRanOut() {
#ifdef Q_OS_WIN
    QSKIP("descriptor limits are a POSIX matter");
#else
    QTemporaryDir folder;
    LocalSocketInstance first(folder.path(), QStringLiteral("velmora-test"), kShortAnswer);
    QCOMPARE(first.claim(), SingleInstance::Claim::First);
    QVERIFY(first.startListening());

    rlimit limit{};
    QVERIFY(::getrlimit(RLIMIT_NOFILE, &limit) == 0);
    const rlimit saved = limit;
    limit.rlim_cur = QDir(QStringLiteral("/proc/self/fd")).count() + 8;
    QVERIFY(::setrlimit(RLIMIT_NOFILE, &limit) == 0);
    std::vector<std::unique_ptr<QLocalSocket>> clients;
    for (int i = 0; i < 16; ++i) {
        clients.push_back(std::make_unique<QLocalSocket>());
        clients.back()->connectToServer(first.socketPath());
    }
    QTest::qWait(200);  // the copy tries to accept them all
    clients.clear();
    QVERIFY(::setrlimit(RLIMIT_NOFILE, &saved) == 0);

    QCOMPARE(claimFromAnotherThread(folder.path()), SingleInstance::Claim::Handed);
#endif
}

void SingleInstanceTest::claimIsKeptOnlyInAFolderPrivateToTheUser_data() {
    QTest::addColumn<QString>("runtime");   // XDG_RUNTIME_DIR: "private", "open", "long" or "unset"
    QTest::addColumn<QString>("existing");  // what already lies at the fallback folder's path
    QTest::addColumn<QString>("chosen");    // "runtime", "fallback" or "none"
    QTest::newRow("runtime folder") << "private" << "nothing" << "runtime";
    QTest::newRow("runtime folder open to others") << "open" << "nothing" << "fallback";
    QTest::newRow("runtime folder too long a path for a socket") << "long" << "nothing" << "fallback";
    QTest::newRow("unset: fallback made") << "unset" << "nothing" << "fallback";
    QTest::newRow("unset: fallback already ours") << "unset" << "private folder" << "fallback";
    QTest::newRow("unset: fallback open to others") << "unset" << "open folder" << "none";
    QTest::newRow("unset: a link in place of the fallback") << "unset" << "link" << "none";
    QTest::newRow("unset: a file in place of the fallback") << "unset" << "file" << "none";
}

void SingleInstanceTest::claimIsKeptOnlyInAFolderPrivateToTheUser() {
#ifdef Q_OS_WIN
    QSKIP("the temporary folder is the user's own on Windows");
#else
    QFETCH(QString, runtime);
    QFETCH(QString, existing);
    QFETCH(QString, chosen);
    QTemporaryDir root;
    const QString name = QStringLiteral("velmora-1000-_0");
    // 102 characters: with the name and ".socket" past the 108 bytes of sun_path.
    QString runtimeDir = root.filePath(QStringLiteral("run"));
    if (runtime == QLatin1String("long")) runtimeDir += QString(102 - runtimeDir.size(), u'r');
    QVERIFY(QDir().mkpath(runtimeDir));
    QVERIFY(::chmod(QFile::encodeName(runtimeDir).constData(), runtime == QLatin1String("open") ? 0777 : 0700) == 0);
    if (runtime == QLatin1String("unset")) runtimeDir.clear();
    const QString temp = root.filePath(QStringLiteral("tmp"));
    QVERIFY(QDir().mkpath(temp));
    const QString fallback = temp + QStringLiteral("/velmora-1000");
    if (existing.endsWith(QLatin1String("folder"))) {
        QVERIFY(QDir().mkpath(fallback));
        QVERIFY(::chmod(QFile::encodeName(fallback).constData(), existing.startsWith(u'o') ? 0777 : 0700) == 0);
    } else if (existing == QLatin1String("link")) {
        const QString elsewhere = root.filePath(QStringLiteral("elsewhere"));
        QVERIFY(QDir().mkpath(elsewhere));
        QVERIFY(::chmod(QFile::encodeName(elsewhere).constData(), 0700) == 0);
        QVERIFY(QFile::link(elsewhere, fallback));
    } else if (existing == QLatin1String("file")) {
        QFile file(fallback);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    const InstanceFolder folder = instanceFolder(runtimeDir, temp, QStringLiteral("1000"), name);
    if (chosen == QLatin1String("runtime")) QCOMPARE(folder.path, runtimeDir);
    if (chosen == QLatin1String("none")) {
        QVERIFY(folder.path.isEmpty());
        QVERIFY2(folder.problem.contains(fallback), qPrintable(folder.problem));
    }
    if (chosen == QLatin1String("fallback")) {
        QCOMPARE(folder.path, fallback);
        struct stat info {};
        QVERIFY(::lstat(QFile::encodeName(fallback).constData(), &info) == 0);
        QVERIFY(S_ISDIR(info.st_mode));
        QCOMPARE(info.st_mode & 0777, mode_t(0700));
    }
#endif
}

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
