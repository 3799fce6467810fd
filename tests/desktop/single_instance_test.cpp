#include "desktop/single_instance.h"

#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

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

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
