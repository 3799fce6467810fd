#include "desktop/desktop_entry.h"
#include "desktop/tray_icona.h"
#include "desktop/win/run_command.h"
#include "desktop/xdg_auto_start_store.h"

#include <QTest>

using namespace velmora::desktop;

class DesktopTextTest : public QObject {
    Q_OBJECT
private slots:
    void execArgumentsSurviveTheWholeFile_data();
    void execArgumentsSurviveTheWholeFile();
    void execQuotingFollowsTheLauncherRules_data();
    void execQuotingFollowsTheLauncherRules();
    void splitDropsFieldCodesAndRefusesOpenQuotes_data();
    void splitDropsFieldCodesAndRefusesOpenQuotes();
    void parseReadsOnlyTheDesktopEntryGroup();
    void runCommandIsQuotedWhenItHoldsBlanks_data();
    void runCommandIsQuotedWhenItHoldsBlanks();
    void entriesAreNamedAfterTheExecutable_data();
    void entriesAreNamedAfterTheExecutable();
    void trayTipIsCutToTheTipField_data();
    void trayTipIsCutToTheTipField();
};

void DesktopTextTest::execArgumentsSurviveTheWholeFile_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("plain") << QStringList{"/usr/bin/velmora"};
    QTest::newRow("blanks") << QStringList{"/home/ann/My Programs/vel mora"};
    QTest::newRow("double quote") << QStringList{"/opt/say \"hi\"/velmora"};
    QTest::newRow("single quote") << QStringList{"/opt/it's/velmora"};
    QTest::newRow("dollar and backtick") << QStringList{"/opt/$HOME/`id`/velmora"};
    QTest::newRow("backslash") << QStringList{"/opt/back\\slash/velmora"};
    QTest::newRow("double backslash") << QStringList{"/opt/a\\\\b\\"};
    QTest::newRow("non-ASCII") << QStringList{"/home/zoë/Città/Ελλάδα/velmora"};
    QTest::newRow("percent") << QStringList{"/opt/100%/velmora", "%f"};
    QTest::newRow("shell characters") << QStringList{"/opt/a;b|c&d<e>f(g)*?#~/velmora"};
    QTest::newRow("tab and newline") << QStringList{"/opt/a\tb\nc/velmora"};
    QTest::newRow("leading blank and empty argument") << QStringList{" /opt/velmora", ""};
}

// Exec escaping, then value escaping, a file, and the way back, as a launcher reads it.
void DesktopTextTest::execArgumentsSurviveTheWholeFile() {
    QFETCH(QStringList, arguments);
    DesktopEntry entry;
    entry.set("Exec", execCommandLine(arguments));
    const QString text = formatDesktopEntry(entry);
    QCOMPARE(text.count(u'\n'), 2);  // the header and a single Exec line, whatever the path holds
    const auto exec = parseDesktopEntry(text).value("Exec");
    QVERIFY(exec);
    QCOMPARE(splitExecCommandLine(*exec), std::optional<QStringList>(arguments));
}

void DesktopTextTest::execQuotingFollowsTheLauncherRules_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("line");  // as written in the file
    QTest::newRow("no reserved character") << "/usr/bin/velmora"
                                           << "Exec=/usr/bin/velmora";
    QTest::newRow("blank") << "/opt/My Apps/velmora"
                           << "Exec=\"/opt/My Apps/velmora\"";
    QTest::newRow("dollar") << "/opt/$x/velmora"
                            << "Exec=\"/opt/\\\\$x/velmora\"";
    QTest::newRow("backslash") << "/opt/a\\b"
                               << "Exec=\"/opt/a\\\\\\\\b\"";
    QTest::newRow("percent") << "/opt/50%"
                             << "Exec=/opt/50%%";
}

void DesktopTextTest::execQuotingFollowsTheLauncherRules() {
    QFETCH(QString, path);
    QFETCH(QString, line);
    DesktopEntry entry;
    entry.set("Exec", execCommandLine({path}));
    QCOMPARE(formatDesktopEntry(entry), "[Desktop Entry]\n" + line + "\n");
}

void DesktopTextTest::splitDropsFieldCodesAndRefusesOpenQuotes_data() {
    QTest::addColumn<QString>("exec");
    QTest::addColumn<std::optional<QStringList>>("arguments");
    QTest::newRow("field codes") << "velmora %U --x %f"
                                 << std::optional<QStringList>({"velmora", "--x"});
    QTest::newRow("extra blanks") << "  velmora   a  "
                                  << std::optional<QStringList>({"velmora", "a"});
    QTest::newRow("quoted empty") << "velmora \"\"" << std::optional<QStringList>({"velmora", ""});
    QTest::newRow("open quote") << "\"/opt/velmora" << std::optional<QStringList>();
}

void DesktopTextTest::splitDropsFieldCodesAndRefusesOpenQuotes() {
    QFETCH(QString, exec);
    QFETCH(std::optional<QStringList>, arguments);
    QCOMPARE(splitExecCommandLine(exec), arguments);
}

void DesktopTextTest::parseReadsOnlyTheDesktopEntryGroup() {
    const QString text =
        "# comment\r\n"
        "Exec=outside\r\n"
        "[Desktop Entry]\r\n"
        "  Name = Velmora \r\n"
        "Comment=\\sleading\\tand\\\\ back\\q\r\n"
        "Name=second\r\n"
        "broken line\r\n"
        "[Desktop Action New]\r\n"
        "Exec=action\r\n";
    const DesktopEntry entry = parseDesktopEntry(text);
    QCOMPARE(entry.keys.size(), size_t(2));
    QCOMPARE(entry.value("Name"), std::optional<QString>("Velmora"));
    QCOMPARE(entry.value("Comment"), std::optional<QString>(" leading\tand\\ back\\q"));
    QVERIFY(!entry.value("Exec"));
}

void DesktopTextTest::runCommandIsQuotedWhenItHoldsBlanks_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("command");
    QTest::newRow("no blank") << "C:\\Tools\\Velmora.exe"
                              << "C:\\Tools\\Velmora.exe";
    QTest::newRow("Program Files") << "C:\\Program Files\\Velmora\\Velmora.exe"
                                   << "\"C:\\Program Files\\Velmora\\Velmora.exe\"";
    QTest::newRow("blank in the name") << "D:\\Velmora 1.exe"
                                       << "\"D:\\Velmora 1.exe\"";
}

void DesktopTextTest::runCommandIsQuotedWhenItHoldsBlanks() {
    QFETCH(QString, path);
    QFETCH(QString, command);
    QCOMPARE(runCommandFor(path), command);
}

void DesktopTextTest::entriesAreNamedAfterTheExecutable_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("Linux") << "/usr/bin/velmora"
                           << "velmora";
    QTest::newRow("Windows") << "C:/Program Files/Velmora/Velmora.exe"
                             << "Velmora";
    QTest::newRow("upper-case extension") << "C:/Tools/VELMORA.EXE"
                                          << "VELMORA";
    QTest::newRow("dots kept") << "/opt/velmora-1.0/velmora.bin"
                               << "velmora.bin";
    QTest::newRow("renamed") << "/home/ann/velmora-old.exe"
                             << "velmora-old";
}

void DesktopTextTest::entriesAreNamedAfterTheExecutable() {
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(executableBaseName(path), name);
}

void DesktopTextTest::trayTipIsCutToTheTipField_data() {
    QTest::addColumn<QString>("notice");
    QTest::addColumn<QString>("tip");
    QTest::newRow("short") << "(C) V"
                           << "Velmora 1.00 - (C) V";
    const QString notice = "Copyright (C) 2026 The Velmora developers, all rights reserved";
    QTest::newRow("long") << notice << ("Velmora 1.00 - " + notice).left(63);
    // A character outside the BMP straddling the cut is dropped whole, never halved.
    const QString straddling = QString(47, u'x') + QString::fromUtf8("\xF0\x9F\x8C\x8D") + "tail";
    QTest::newRow("surrogate at the cut") << straddling << ("Velmora 1.00 - " + QString(47, u'x'));
}

void DesktopTextTest::trayTipIsCutToTheTipField() {
    QFETCH(QString, notice);
    QFETCH(QString, tip);
    const QString result = TrayTip("Velmora", "1.00", notice);
    QCOMPARE(result, tip);
    QVERIFY(result.size() <= 63);
}

QTEST_GUILESS_MAIN(DesktopTextTest)
#include "desktop_text_test.moc"
