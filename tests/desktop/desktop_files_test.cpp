#include "desktop/auto_start.h"
#include "desktop/desktop_entry.h"
#include "desktop/xdg_auto_start_store.h"
#include "desktop/xdg_desktop_shortcut.h"
#include "fake_warnings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace velmora::desktop;
using velmora::desktop::testing::FakeWarnings;

namespace {

const QString kNotInserted =
    "exclamation|Velmora|Warning: The program was not insert into the tray bar";
const QString kAlreadyInserted =
    "critical|Velmora|Warning: The program was already insert into the tray bar";

// A store whose answers the test sets, for failures real files cannot produce as root.
class ScriptedStore : public AutoStartStore {
public:
    std::optional<QString> read() const override { return value; }
    bool write() override {
        ++writes;
        if (writeWorks) value = valueAfterWrite;
        return writeWorks;
    }
    bool remove() override {
        ++removes;
        if (removeWorks) value = valueAfterRemove;
        return removeWorks;
    }

    std::optional<QString> value;
    bool writeWorks = true;
    bool removeWorks = true;
    std::optional<QString> valueAfterWrite = QString("/usr/bin/velmora");
    std::optional<QString> valueAfterRemove;
    int writes = 0;
    int removes = 0;
};

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

// The arguments a launcher would run for the file; empty when it has no usable Exec.
QStringList execOf(const QString& desktopFile) {
    const auto entry = readDesktopFile(desktopFile);
    if (!entry || !entry->value("Exec")) return {};
    return splitExecCommandLine(*entry->value("Exec")).value_or(QStringList());
}

}  // namespace

class DesktopFilesTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void enableWritesAnEntryThatReadsBackAndDisableRemovesIt();
    void configHomeDefaultsToDotConfig();
    void entryChangedFromOutside_data();
    void entryChangedFromOutside();
    void renamedExecutableWritesASecondEntry();
    void otherEntriesAreNeverTouched();
    void unwritableFolderWarnsAndLeavesTheTickOff();
    void storeFailuresWarn_data();
    void storeFailuresWarn();
    void clickWhileLoadingDoesNothing_data();
    void clickWhileLoadingDoesNothing();
    void executablePathsRoundTripThroughTheEntry_data();
    void executablePathsRoundTripThroughTheEntry();

    void controlCharacterInThePathRefusesTheEntry_data();
    void controlCharacterInThePathRefusesTheEntry();
#ifdef Q_OS_UNIX
    void linksAreReplacedNeverWrittenThrough_data();
    void linksAreReplacedNeverWrittenThrough();
    void onlyASmallRegularFileIsAnEntry_data();
    void onlyASmallRegularFileIsAnEntry();
#endif

    void entriesAreWrittenByteForByte();
    void shortcutMadeTwiceAndRemovedTwice();
    void shortcutFollowsTheUsersDesktopFolder();
    void launcherIconPrefersTheThemeName_data();
    void launcherIconPrefersTheThemeName();

private:
    QString autostartPath(const QString& baseName) const {
        return m_home->path() + "/config/autostart/" + baseName + ".desktop";
    }

    std::unique_ptr<QTemporaryDir> m_home;
    QByteArray m_savedHome, m_savedConfig, m_savedDataHome, m_savedDataDirs;
};

void DesktopFilesTest::init() {
    m_savedHome = qgetenv("HOME");
    m_savedConfig = qgetenv("XDG_CONFIG_HOME");
    m_savedDataHome = qgetenv("XDG_DATA_HOME");
    m_savedDataDirs = qgetenv("XDG_DATA_DIRS");
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    qputenv("HOME", m_home->path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (m_home->path() + "/config").toUtf8());
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("XDG_DATA_DIRS");
}

void DesktopFilesTest::cleanup() {
    const auto restore = [](const char* name, const QByteArray& value) {
        if (value.isNull()) {
            qunsetenv(name);
        } else {
            qputenv(name, value);
        }
    };
    restore("HOME", m_savedHome);
    restore("XDG_CONFIG_HOME", m_savedConfig);
    restore("XDG_DATA_HOME", m_savedDataHome);
    restore("XDG_DATA_DIRS", m_savedDataDirs);
    m_home.reset();
}

void DesktopFilesTest::enableWritesAnEntryThatReadsBackAndDisableRemovesIt() {
    XdgAutoStartStore store("/opt/Velmora/bin/velmora");
    FakeWarnings warnings;
    bool ticked = false;
    QVERIFY(!IsAutoStartEnabled(store));

    MenuAvvioAuto_Click(store, warnings, false, ticked);
    QVERIFY(ticked);
    QVERIFY(IsAutoStartEnabled(store));
    QCOMPARE(store.entryPath(), autostartPath("velmora"));
    QCOMPARE(execOf(autostartPath("velmora")), QStringList{"/opt/Velmora/bin/velmora"});

    MenuAvvioAuto_Click(store, warnings, false, ticked);
    QVERIFY(!ticked);
    QVERIFY(!QFileInfo::exists(autostartPath("velmora")));
    QVERIFY(!IsAutoStartEnabled(store));
    QCOMPARE(warnings.shown, QStringList());
}

void DesktopFilesTest::configHomeDefaultsToDotConfig() {
    for (const char* value : {"", "relative/config"}) {  // both are to be ignored
        qputenv("XDG_CONFIG_HOME", value);
        XdgAutoStartStore store("/usr/bin/velmora");
        QVERIFY(store.write());
        QVERIFY(QFileInfo::exists(m_home->path() + "/.config/autostart/velmora.desktop"));
        QVERIFY(store.remove());
    }
}

void DesktopFilesTest::entryChangedFromOutside_data() {
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QByteArray>("file");  // written before the click; empty: no file
    QTest::addColumn<bool>("tickedAfter");
    QTest::addColumn<bool>("rewritten");  // the click replaced the file by a working entry

    const QByteArray working = "[Desktop Entry]\nType=Application\nExec=/somewhere/else\n";
    QTest::newRow("removed while ticked") << true << QByteArray() << true << false;
    QTest::newRow("created while unticked") << false << working << false << false;
    QTest::newRow("empty Exec counts as off")
        << false << QByteArray("[Desktop Entry]\nExec=\n") << true << true;
    QTest::newRow("no Exec counts as off")
        << false << QByteArray("[Desktop Entry]\nName=x\n") << true << true;
    QTest::newRow("Hidden counts as off")
        << false << QByteArray(working + "Hidden=true\n") << true << true;
    QTest::newRow("switched off for GNOME")
        << false << QByteArray(working + "X-GNOME-Autostart-enabled=false\n") << true << true;
    QTest::newRow("Hidden=false is on")
        << false << QByteArray(working + "Hidden=false\n") << false << false;
}

void DesktopFilesTest::entryChangedFromOutside() {
    QFETCH(bool, ticked);
    QFETCH(QByteArray, file);
    QFETCH(bool, tickedAfter);
    QFETCH(bool, rewritten);
    const QString path = autostartPath("velmora");
    if (!file.isEmpty()) writeFile(path, file);

    XdgAutoStartStore store("/usr/bin/velmora");
    FakeWarnings warnings;
    MenuAvvioAuto_Click(store, warnings, false, ticked);

    QCOMPARE(ticked, tickedAfter);
    QCOMPARE(warnings.shown, QStringList());
    if (rewritten) {
        QCOMPARE(execOf(path), QStringList{"/usr/bin/velmora"});
        QVERIFY(IsAutoStartEnabled(store));
    } else {
        QCOMPARE(readFile(path), file);
    }
}

void DesktopFilesTest::renamedExecutableWritesASecondEntry() {
    XdgAutoStartStore before("/usr/bin/velmora");
    XdgAutoStartStore after("/usr/bin/velmora-old.exe");
    FakeWarnings warnings;
    bool ticked = false;
    MenuAvvioAuto_Click(before, warnings, false, ticked);
    QVERIFY(ticked);

    ticked = IsAutoStartEnabled(after);  // the next start, under the new name
    QVERIFY(!ticked);
    MenuAvvioAuto_Click(after, warnings, false, ticked);
    QVERIFY(ticked);
    QVERIFY(QFileInfo::exists(autostartPath("velmora")));
    QCOMPARE(execOf(autostartPath("velmora-old")), QStringList{"/usr/bin/velmora-old.exe"});
}

void DesktopFilesTest::otherEntriesAreNeverTouched() {
    const QByteArray other = "[Desktop Entry]\nExec=other --flag\nX-Custom=kept ; as is\n";
    writeFile(autostartPath("other"), other);
    writeFile(autostartPath("velmora.desktop~"), "backup");
    XdgAutoStartStore store("/usr/bin/velmora");
    FakeWarnings warnings;
    bool ticked = false;
    MenuAvvioAuto_Click(store, warnings, false, ticked);
    MenuAvvioAuto_Click(store, warnings, false, ticked);
    QCOMPARE(readFile(autostartPath("other")), other);
    QCOMPARE(readFile(autostartPath("velmora.desktop~")), QByteArray("backup"));
    QCOMPARE(QDir(m_home->path() + "/config/autostart").entryList(QDir::Files).size(), 2);
}

void DesktopFilesTest::unwritableFolderWarnsAndLeavesTheTickOff() {
    // A file where the folder should be blocks it even for root, unlike permissions.
    writeFile(m_home->path() + "/config/autostart", "not a folder");
    XdgAutoStartStore store("/usr/bin/velmora");
    FakeWarnings warnings;
    bool ticked = false;
    MenuAvvioAuto_Click(store, warnings, false, ticked);
    QVERIFY(!ticked);
    QCOMPARE(warnings.shown, QStringList{kNotInserted});
}

void DesktopFilesTest::storeFailuresWarn_data() {
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<bool>("works");  // write or remove reports success
    QTest::addColumn<std::optional<QString>>("valueAfter");
    QTest::addColumn<QString>("warning");
    using Value = std::optional<QString>;
    QTest::newRow("write fails") << false << false << Value() << kNotInserted;
    QTest::newRow("written but reads back empty") << false << true << Value("") << kNotInserted;
    QTest::newRow("written but missing") << false << true << Value() << kNotInserted;
    QTest::newRow("remove fails") << true << false << Value("/usr/bin/velmora") << kAlreadyInserted;
    QTest::newRow("removed but still there")
        << true << true << Value("/usr/bin/velmora") << kAlreadyInserted;
}

void DesktopFilesTest::storeFailuresWarn() {
    QFETCH(bool, ticked);
    QFETCH(bool, works);
    QFETCH(std::optional<QString>, valueAfter);
    QFETCH(QString, warning);
    ScriptedStore store;
    store.value = ticked ? std::optional<QString>("/usr/bin/velmora") : std::nullopt;
    store.writeWorks = store.removeWorks = works;
    store.valueAfterWrite = store.valueAfterRemove = valueAfter;
    FakeWarnings warnings;
    const bool before = ticked;
    MenuAvvioAuto_Click(store, warnings, false, ticked);
    QCOMPARE(ticked, before);
    QCOMPARE(warnings.shown, QStringList{warning});
}

void DesktopFilesTest::clickWhileLoadingDoesNothing_data() {
    QTest::addColumn<bool>("ticked");
    QTest::newRow("unticked") << false;
    QTest::newRow("ticked") << true;
}

void DesktopFilesTest::clickWhileLoadingDoesNothing() {
    QFETCH(bool, ticked);
    ScriptedStore store;
    store.value = ticked ? std::optional<QString>("/usr/bin/velmora") : std::nullopt;
    FakeWarnings warnings;
    const bool before = ticked;
    MenuAvvioAuto_Click(store, warnings, true, ticked);
    QCOMPARE(ticked, before);
    QCOMPARE(store.writes + store.removes, 0);
    QCOMPARE(warnings.shown, QStringList());
}

void DesktopFilesTest::executablePathsRoundTripThroughTheEntry_data() {
    QTest::addColumn<QString>("folder");  // below the temporary home
    QTest::newRow("blanks") << "My Programs/Velmora 1";
    QTest::newRow("quotes") << "say \"hi\" it's";
    QTest::newRow("dollar") << "$HOME${x}";
    QTest::newRow("backslash") << "back\\slash\\";
    QTest::newRow("non-ASCII") << "Città/Ελλάδα/zoë";
    QTest::newRow("percent and backtick") << "100% `id`";
}

// Real folders, so the path the entry would start is one that exists.
void DesktopFilesTest::executablePathsRoundTripThroughTheEntry() {
    QFETCH(QString, folder);
    const QString executable = m_home->path() + "/" + folder + "/velmora";
    writeFile(executable, "#!/bin/sh\n");
    XdgAutoStartStore store(executable);
    FakeWarnings warnings;
    bool ticked = false;
    MenuAvvioAuto_Click(store, warnings, false, ticked);
    QVERIFY(ticked);
    QCOMPARE(execOf(autostartPath("velmora")), QStringList{executable});
    XdgDesktopShortcut shortcut(executable, "velmora");
    shortcut.create();
    QCOMPARE(execOf(shortcut.shortcutPath()), QStringList{executable});
}

void DesktopFilesTest::controlCharacterInThePathRefusesTheEntry_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("SOH") << QString("vel\u0001mora");
    QTest::newRow("escape") << QString("vel\u001b[2Jmora");
    QTest::newRow("DEL") << QString("vel\u007fmora");
    QTest::newRow("newline") << QString("vel\nmora");
    QTest::newRow("tab") << QString("vel\tmora");
    QTest::newRow("C1 control") << QString("vel\u0085mora");
}

// The Exec key cannot hold such a path: no entry is written, and enabling warns.
void DesktopFilesTest::controlCharacterInThePathRefusesTheEntry() {
    QFETCH(QString, name);
    const QString executable = "/opt/" + name + "/velmora";
    XdgAutoStartStore store(executable);
    FakeWarnings warnings;
    bool ticked = false;
    MenuAvvioAuto_Click(store, warnings, false, ticked);
    QVERIFY(!ticked);
    QCOMPARE(warnings.shown, QStringList{kNotInserted});
    QVERIFY(!QFileInfo::exists(autostartPath("velmora")));

    XdgDesktopShortcut shortcut(executable, "velmora");
    shortcut.create();
    QVERIFY(!QFileInfo::exists(shortcut.shortcutPath()));
}

#ifdef Q_OS_UNIX
void DesktopFilesTest::linksAreReplacedNeverWrittenThrough_data() {
    QTest::addColumn<bool>("shortcut");  // else the autostart entry
    QTest::addColumn<bool>("dangling");
    QTest::newRow("autostart entry, link to a private file") << false << false;
    QTest::newRow("autostart entry, dangling link") << false << true;
    QTest::newRow("shortcut, link to a private file") << true << false;
    QTest::newRow("shortcut, dangling link") << true << true;
}

void DesktopFilesTest::linksAreReplacedNeverWrittenThrough() {
    QFETCH(bool, shortcut);
    QFETCH(bool, dangling);
    XdgAutoStartStore store("/usr/bin/velmora");
    XdgDesktopShortcut launcher("/usr/bin/velmora", "velmora");
    const QString path = shortcut ? launcher.shortcutPath() : store.entryPath();
    const QString target = m_home->path() + "/elsewhere/private.txt";
    QDir().mkpath(QFileInfo(path).absolutePath());
    QDir().mkpath(QFileInfo(target).absolutePath());
    if (!dangling) {
        writeFile(target, "secret");
        QVERIFY(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    }
    QVERIFY(QFile::link(target, path));

    if (shortcut) {
        launcher.create();
    } else {
        FakeWarnings warnings;
        bool ticked = false;
        MenuAvvioAuto_Click(store, warnings, false, ticked);
        QVERIFY(ticked);
    }

    QVERIFY(!QFileInfo(path).isSymLink());
    QCOMPARE(execOf(path), QStringList{"/usr/bin/velmora"});
    if (dangling) {
        QVERIFY(!QFileInfo::exists(target));
    } else {
        QCOMPARE(readFile(target), QByteArray("secret"));
        QCOMPARE(QFileInfo(target).permissions() & 0x7077,
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    QCOMPARE(QDir(QFileInfo(target).absolutePath()).entryList(QDir::Files).size(),
             dangling ? 0 : 1);
    QCOMPARE(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void DesktopFilesTest::onlyASmallRegularFileIsAnEntry_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("entry");
    QTest::newRow("link to /dev/zero") << "zero" << false;
    QTest::newRow("FIFO") << "fifo" << false;
    QTest::newRow("folder") << "folder" << false;
    QTest::newRow("entry padded beyond 64 KiB") << "large" << false;
    QTest::newRow("entry of exactly 64 KiB") << "limit" << true;
    QTest::newRow("link to an entry") << "link" << true;
}

// Read at start-up: nothing here may hang, abort or count as an entry except a small file.
void DesktopFilesTest::onlyASmallRegularFileIsAnEntry() {
    QFETCH(QString, kind);
    QFETCH(bool, entry);
    const QString path = autostartPath("velmora");
    QDir().mkpath(QFileInfo(path).absolutePath());
    QByteArray text = "[Desktop Entry]\nExec=/usr/bin/velmora\n";
    if (kind == "zero") {
        QVERIFY(QFile::link("/dev/zero", path));
    } else if (kind == "fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == "folder") {
        QVERIFY(QDir().mkpath(path));
    } else if (kind == "link") {
        writeFile(m_home->path() + "/entry.desktop", text);
        QVERIFY(QFile::link(m_home->path() + "/entry.desktop", path));
    } else {
        text += QByteArray(64 * 1024 - text.size() + (kind == "large" ? 1 : 0), '#');
        writeFile(path, text);
    }
    XdgAutoStartStore store("/usr/bin/velmora");
    QCOMPARE(IsAutoStartEnabled(store), entry);
}
#endif

void DesktopFilesTest::entriesAreWrittenByteForByte() {
    XdgAutoStartStore store("/opt/My Programs/velmora");
    QVERIFY(store.write());
    XdgDesktopShortcut shortcut("/opt/My Programs/velmora", "");
    shortcut.create();
    const QByteArray lines =
        "[Desktop Entry]\nType=Application\nName=Velmora\nExec=\"/opt/My Programs/velmora\"\n";
    QCOMPARE(readFile(store.entryPath()), lines + "Terminal=false\n");
    QCOMPARE(readFile(shortcut.shortcutPath()), lines + "Icon=\nTerminal=false\n");
}

void DesktopFilesTest::shortcutMadeTwiceAndRemovedTwice() {
    XdgDesktopShortcut shortcut("/usr/bin/velmora", "velmora");
    const QString path = m_home->path() + "/Desktop/Velmora.desktop";
    const QString neighbour = m_home->path() + "/Desktop/notes.txt";
    writeFile(neighbour, "mine");
    QCOMPARE(shortcut.shortcutPath(), path);

    shortcut.create();
    shortcut.create();
    QCOMPARE(QDir(m_home->path() + "/Desktop").entryList(QDir::Files).size(), 2);
    const auto entry = readDesktopFile(path);
    QVERIFY(entry);
    QCOMPARE(entry->value("Type"), std::optional<QString>("Application"));
    QCOMPARE(entry->value("Name"), std::optional<QString>("Velmora"));
    QCOMPARE(entry->value("Icon"), std::optional<QString>("velmora"));
    QCOMPARE(execOf(path), QStringList{"/usr/bin/velmora"});
    QCOMPARE(QFileInfo(path).permissions() & 0x7777,
             QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                 QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser |
                 QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                 QFileDevice::ExeOther);

    shortcut.remove();
    QVERIFY(!QFileInfo::exists(path));
    shortcut.remove();
    QCOMPARE(readFile(neighbour), QByteArray("mine"));
}

void DesktopFilesTest::shortcutFollowsTheUsersDesktopFolder() {
    writeFile(m_home->path() + "/config/user-dirs.dirs",
              "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    XdgDesktopShortcut shortcut("/usr/bin/velmora", "velmora");
    shortcut.create();
    QVERIFY(QFileInfo::exists(m_home->path() + "/Schreibtisch/Velmora.desktop"));
    QVERIFY(!QFileInfo::exists(m_home->path() + "/Desktop/Velmora.desktop"));
}

void DesktopFilesTest::launcherIconPrefersTheThemeName_data() {
    QTest::addColumn<bool>("installed");       // an icon under <prefix>/share/icons/hicolor
    QTest::addColumn<bool>("prefixSearched");  // <prefix>/share is in XDG_DATA_DIRS
    QTest::addColumn<bool>("themeName");
    QTest::newRow("installed where the desktop looks") << true << true << true;
    QTest::newRow("installed elsewhere") << true << false << false;
    QTest::newRow("not installed") << false << false << true;
}

void DesktopFilesTest::launcherIconPrefersTheThemeName() {
    QFETCH(bool, installed);
    QFETCH(bool, prefixSearched);
    QFETCH(bool, themeName);
    const QString prefix = m_home->path() + "/prefix";
    const QString icon = prefix + "/share/icons/hicolor/48x48/apps/velmora.png";
    if (installed) writeFile(icon, "png");
    qputenv("XDG_DATA_DIRS",
            (prefixSearched ? prefix + "/share/:/usr/share" : QString("/usr/share")).toUtf8());
    QCOMPARE(launcherIcon(prefix + "/bin/velmora"), themeName ? QString("velmora") : icon);
}

QTEST_GUILESS_MAIN(DesktopFilesTest)
#include "desktop_files_test.moc"
