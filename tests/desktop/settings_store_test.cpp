#include "desktop/settings_store.h"
#include "fake_warnings.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmora::desktop;

namespace {

const QString kKey = "Extras/ShowAzimuths";

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Puts kind at path: "fifo", "folder", "zero" (a link to /dev/zero), "qsettings" (written by
// QSettings), "large" (a file saying true beyond the size limit) or file text.
void place(const QString& path, const QByteArray& kind) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (kind == "fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == "folder") {
        QVERIFY(QDir().mkpath(path));
    } else if (kind == "zero") {
        QVERIFY(QFile::link("/dev/zero", path));
    } else if (kind == "qsettings") {  // as earlier versions wrote it
        QSettings old(path, QSettings::IniFormat);
        old.setValue("Midpoint", false);
        old.setValue(kKey, true);
    } else if (kind == "large") {
        writeFile(path, "[Extras]\nShowAzimuths=true\n" + QByteArray(kMaxSettingsFileBytes, '#'));
    } else {
        writeFile(path, kind);
    }
}

}  // namespace

class SettingsStoreTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(m_dir.emplace().isValid()); }
    void readsOnlyASmallRegularFile_data();
    void readsOnlyASmallRegularFile();
    void writingKeepsEveryOtherByte_data();
    void writingKeepsEveryOtherByte();
    void linkIsReplacedAndItsTargetKept_data();
    void linkIsReplacedAndItsTargetKept();
    void failureIsReportedAndWarnedOnce_data();
    void failureIsReportedAndWarnedOnce();

private:
    QString path() const { return m_dir->path() + "/Velmora/velmora.conf"; }
    std::optional<QTemporaryDir> m_dir;
};

void SettingsStoreTest::readsOnlyASmallRegularFile_data() {
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<bool>("value");  // of kKey, with false as the default
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("written by QSettings") << QByteArray("qsettings") << true;
    QTest::newRow("blanks, quotes, CRLF, comments")
        << QByteArray("; mine\r\n[Extras]\r\n  ShowAzimuths = \"TRUE\"\r\n") << true;
    QTest::newRow("last occurrence wins") << QByteArray("[Extras]\nShowAzimuths=1\n[Extras]\nShowAzimuths=0\n") << false;
    QTest::newRow("other group") << QByteArray("[General]\nShowAzimuths=true\n") << false;
    QTest::newRow("FIFO") << QByteArray("fifo") << false;
    QTest::newRow("folder") << QByteArray("folder") << false;
    QTest::newRow("link to /dev/zero") << QByteArray("zero") << false;
    QTest::newRow("beyond 64 KiB") << QByteArray("large") << false;
}

void SettingsStoreTest::readsOnlyASmallRegularFile() {
    QFETCH(QByteArray, kind);
    QFETCH(bool, value);
    if (!kind.isEmpty()) place(path(), kind);
    const SettingsStore store(path());
    // On another thread, so a read that blocks fails here instead of hanging the run.
    auto read = std::async(std::launch::async, [&store] { return store.value(kKey, false); });
    if (read.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
        ::close(::open(QFile::encodeName(path()).constData(), O_WRONLY | O_NONBLOCK));  // lets it go
        QFAIL("reading the settings blocked");
    }
    QCOMPARE(read.get(), value);
}

void SettingsStoreTest::writingKeepsEveryOtherByte_data() {
    QTest::addColumn<QByteArray>("before");  // empty: no file
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("no file") << QByteArray() << kKey << QByteArray("[Extras]\nShowAzimuths=true\n");
    QTest::newRow("line edited in place")
        << QByteArray("# mine\n[Extras]\n  ShowAzimuths = false  \nOther=x\n[Extras]\nShowAzimuths=0\n") << kKey
        << QByteArray("# mine\n[Extras]\n  ShowAzimuths = true  \nOther=x\n[Extras]\nShowAzimuths=true\n");
    QTest::newRow("added to its group")
        << QByteArray("[Extras]\r\nOther=x\r\n\r\n[Map]\r\nShowAzimuths=false\r\n") << kKey
        << QByteArray("[Extras]\r\nOther=x\r\nShowAzimuths=true\r\n\r\n[Map]\r\nShowAzimuths=false\r\n");
    QTest::newRow("new group at the end") << QByteArray("; \xff\nx=1") << kKey
                                          << QByteArray("; \xff\nx=1\n\n[Extras]\nShowAzimuths=true\n");
    QTest::newRow("plain key in General") << QByteArray("[General]\nx=1\n") << "Midpoint"
                                          << QByteArray("[General]\nx=1\nMidpoint=true\n");
}

void SettingsStoreTest::writingKeepsEveryOtherByte() {
    QFETCH(QByteArray, before);
    QFETCH(QString, key);
    QFETCH(QByteArray, after);
    if (!before.isEmpty()) place(path(), before);
    SettingsStore store(path());
    QVERIFY(store.setValue(key, true));
    QCOMPARE(readFile(path()), after);
    QVERIFY(store.value(key, false));
    QVERIFY(QSettings(path(), QSettings::IniFormat).value(key).toBool());  // older versions read it
}

void SettingsStoreTest::linkIsReplacedAndItsTargetKept_data() {
    QTest::addColumn<QByteArray>("target");  // empty: a dangling link
    QTest::newRow("link to a file") << QByteArray("[Extras]\nShowAzimuths=false\n");
    QTest::newRow("dangling link") << QByteArray();
}

void SettingsStoreTest::linkIsReplacedAndItsTargetKept() {
    QFETCH(QByteArray, target);
    const QString targetPath = m_dir->path() + "/elsewhere.txt";
    if (!target.isEmpty()) writeFile(targetPath, target);
    QDir().mkpath(QFileInfo(path()).absolutePath());
    QVERIFY(QFile::link(targetPath, path()));
    SettingsStore store(path());
    QVERIFY(store.setValue(kKey, true));
    QVERIFY(!QFileInfo(path()).isSymLink());
    QCOMPARE(readFile(path()), QByteArray("[Extras]\nShowAzimuths=true\n"));
    QCOMPARE(readFile(targetPath), target);
    QCOMPARE(QFileInfo::exists(targetPath), !target.isEmpty());
}

void SettingsStoreTest::failureIsReportedAndWarnedOnce_data() {
    QTest::addColumn<QString>("blocker");  // relative to the temporary folder
    QTest::addColumn<QByteArray>("kind");
    QTest::newRow("a file where the folder goes") << "Velmora" << QByteArray("x");
    QTest::newRow("FIFO") << "Velmora/velmora.conf" << QByteArray("fifo");
    QTest::newRow("folder") << "Velmora/velmora.conf" << QByteArray("folder");
    QTest::newRow("file too large to keep") << "Velmora/velmora.conf" << QByteArray("large");
}

void SettingsStoreTest::failureIsReportedAndWarnedOnce() {
    QFETCH(QString, blocker);
    QFETCH(QByteArray, kind);
    place(m_dir->path() + "/" + blocker, kind);
    const auto kindAt = [](const QString& at) {
        struct stat status {};
        return ::lstat(QFile::encodeName(at).constData(), &status) == 0 ? status.st_mode & S_IFMT : 0;
    };
    const auto kindBefore = kindAt(path());
    const QByteArray large = kind == "large" ? readFile(path()) : QByteArray();
    SettingsStore store(path());
    testing::FakeWarnings warnings;
    bool failureShown = false;
    RememberTick(store, warnings, failureShown, kKey, true);
    RememberTick(store, warnings, failureShown, "Extras/ExactSolutionNearAntipodes", true);
    QVERIFY(!store.setValue(kKey, false));
    QCOMPARE(warnings.shown.size(), 1);
    QVERIFY(warnings.shown[0].startsWith("exclamation|Velmora|"));
    QCOMPARE(kindAt(path()), kindBefore);
    if (kind == "large") QCOMPARE(readFile(path()), large);
    QCOMPARE(QDir(m_dir->path() + "/Velmora").entryList(QDir::Files | QDir::Hidden).size(), kind == "large" ? 1 : 0);
}

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "settings_store_test.moc"
