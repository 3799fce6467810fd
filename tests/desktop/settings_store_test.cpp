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

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Puts at path a "fifo", a "folder", "zero" (a link to /dev/zero), "qsettings" (a file QSettings
// wrote), "large" (a file saying true beyond the size limit) or the given file text.
void place(const QString& path, const QByteArray& kind) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (kind == "fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == "folder") {
        QVERIFY(QDir().mkpath(path));
    } else if (kind == "zero") {
        QVERIFY(QFile::link("/dev/zero", path));
    } else if (kind == "qsettings") {
        QSettings old(path, QSettings::IniFormat);
        old.setValue("Midpoint", false);
        old.setValue(kKey, true);
    } else {
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kind != "large"
                       ? kind
                       : "[Extras]\nShowAzimuths=true\n" + QByteArray(kMaxSettingsFileBytes, '#'));
    }
}

unsigned kindAt(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & S_IFMT : 0;
}

}  // namespace

class SettingsStoreTest : public QObject {
    Q_OBJECT
    std::optional<QTemporaryDir> m_dir;
    QString path() const { return m_dir->path() + "/Velmora/velmora.conf"; }

private slots:
    void init() { QVERIFY(m_dir.emplace().isValid()); }

    void readsOnlyASmallRegularFile_data() {
        QTest::addColumn<QByteArray>("kind");
        QTest::addColumn<bool>("value");  // of kKey, with false as the default
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("written by QSettings") << QByteArray("qsettings") << true;
        QTest::newRow("blanks, quotes, CRLF, comments")
            << QByteArray("; mine\r\n[Extras]\r\n  ShowAzimuths = \"TRUE\"\r\n") << true;
        QTest::newRow("last one wins")
            << QByteArray("[Extras]\nShowAzimuths=1\n[Extras]\nShowAzimuths=0\n") << false;
        QTest::newRow("other group") << QByteArray("[General]\nShowAzimuths=true\n") << false;
        for (const char* kind : {"fifo", "folder", "zero", "large"})
            QTest::newRow(kind) << QByteArray(kind) << false;
    }
    void readsOnlyASmallRegularFile() {
        QFETCH(QByteArray, kind);
        QFETCH(bool, value);
        if (!kind.isEmpty()) place(path(), kind);
        const SettingsStore store(path());
        // On another thread, so a read that blocks fails here instead of hanging the run.
        auto read = std::async(std::launch::async, [&store] { return store.value(kKey, false); });
        if (read.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
            ::close(::open(QFile::encodeName(path()).constData(),
                           O_WRONLY | O_NONBLOCK));  // lets it go
            QFAIL("reading the settings blocked");
        }
        QCOMPARE(read.get(), value);
    }

    void writingKeepsEveryOtherByte_data() {
        QTest::addColumn<QByteArray>("before");  // empty: no file
        QTest::addColumn<bool>("linked");        // before is the target of a link at the path
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("after");
        const QByteArray fresh = "[Extras]\nShowAzimuths=true\n";
        QTest::newRow("no file") << QByteArray() << false << kKey << fresh;
        QTest::newRow("link to a file")
            << QByteArray("[Extras]\nShowAzimuths=0\n") << true << kKey << fresh;
        QTest::newRow("dangling link") << QByteArray() << true << kKey << fresh;
        QTest::newRow("edited in place") << QByteArray(
                                                "# mine\n[Extras]\n  ShowAzimuths = false  "
                                                "\nOther=x\n[Extras]\nShowAzimuths=0\n")
                                         << false << kKey
                                         << QByteArray(
                                                "# mine\n[Extras]\n  ShowAzimuths = true  "
                                                "\nOther=x\n[Extras]\nShowAzimuths=true\n");
        QTest::newRow("added to its group")
            << QByteArray("[Extras]\r\nOther=x\r\n\r\n[Map]\r\nShowAzimuths=false\r\n") << false
            << kKey
            << QByteArray(
                   "[Extras]\r\nOther=x\r\nShowAzimuths=true\r\n\r\n[Map]\r\nShowAzimuths="
                   "false\r\n");
        QTest::newRow("new group")
            << QByteArray("; \xff\nx=1") << false << kKey << "; \xff\nx=1\n\n" + fresh;
        QTest::newRow("plain key in General")
            << QByteArray("[General]\nx=1\n") << false << "Midpoint"
            << QByteArray("[General]\nx=1\nMidpoint=true\n");
    }
    void writingKeepsEveryOtherByte() {
        QFETCH(QByteArray, before);
        QFETCH(bool, linked);
        QFETCH(QString, key);
        QFETCH(QByteArray, after);
        const QString target = linked ? m_dir->path() + "/elsewhere.txt" : path();
        if (!before.isEmpty()) place(target, before);
        QDir().mkpath(m_dir->path() + "/Velmora");
        if (linked) QVERIFY(QFile::link(target, path()));
        SettingsStore store(path());
        QVERIFY(store.setValue(key, true));
        QCOMPARE(readFile(path()), after);
        QCOMPARE(kindAt(path()), unsigned(S_IFREG));
        if (linked) QCOMPARE(readFile(target), before);  // left as it was, or still missing
        QVERIFY(
            QSettings(path(), QSettings::IniFormat).value(key).toBool());  // older versions read it
        QCOMPARE(QDir(m_dir->path() + "/Velmora").entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    void textRoundTripsBesideTheTicks_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("stored");
        QTest::newRow("a window's place") << "600x600+1280-24" << true;
        QTest::newRow("comment mark") << "600x600;1" << false;
        QTest::newRow("comma, a list to QSettings") << "1,2" << false;
        QTest::newRow("line break") << "600\n[Extras]" << false;
        QTest::newRow("blank at the end") << "600x600 " << false;
        QTest::newRow("beyond ASCII") << QString::fromUtf8("600\u00d7600") << false;
    }
    void textRoundTripsBesideTheTicks() {
        QFETCH(QString, text);
        QFETCH(bool, stored);
        place(path(), "[Extras]\nShowAzimuths=true\n");
        SettingsStore store(path());
        QCOMPARE(store.setText("Map/Geometry", text), stored);
        QCOMPARE(store.text("Map/Geometry", "none"), stored ? text : QStringLiteral("none"));
        QVERIFY(store.value(kKey, false));
        if (stored)
            QCOMPARE(QSettings(path(), QSettings::IniFormat).value("Map/Geometry").toString(),
                     text);
    }

    void failureIsReportedAndWarnedOnce_data() {
        QTest::addColumn<QString>("blocker");  // under the temporary folder
        QTest::addColumn<QByteArray>("kind");
        QTest::newRow("a file where the folder goes") << "Velmora" << QByteArray("x");
        for (const char* kind : {"fifo", "folder", "large"}) {
            QTest::newRow(kind) << "Velmora/velmora.conf" << QByteArray(kind);
        }
    }
    void failureIsReportedAndWarnedOnce() {
        QFETCH(QString, blocker);
        QFETCH(QByteArray, kind);
        place(m_dir->path() + "/" + blocker, kind);
        const unsigned kindBefore = kindAt(path());
        const QByteArray kept = kind == "large" ? readFile(path()) : QByteArray();
        SettingsStore store(path());
        testing::FakeWarnings warnings;
        bool failureShown = false;
        RememberTick(store, warnings, failureShown, kKey, true);
        RememberTick(store, warnings, failureShown, "Extras/ExactSolutionNearAntipodes", true);
        QVERIFY(!store.setValue(kKey, false));
        QCOMPARE(warnings.shown.size(), 1);
        QVERIFY(warnings.shown[0].startsWith("exclamation|Velmora|"));
        QCOMPARE(kindAt(path()), kindBefore);
        if (kind == "large") QCOMPARE(readFile(path()), kept);
        const qsizetype files =
            QDir(m_dir->path() + "/Velmora").entryList(QDir::Files | QDir::Hidden).size();
        QCOMPARE(files, kind == "large" ? 1 : 0);  // no temporary file left
    }
};

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "settings_store_test.moc"
