// The desktop entries the program itself writes (the auto-start entry and the desktop shortcut)
// must pass desktop-file-validate, whatever the program's path holds.

#include "desktop/xdg_auto_start_store.h"
#include "desktop/xdg_desktop_shortcut.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora::desktop;

class WrittenEntries : public QObject {
    Q_OBJECT
private slots:
    void passDesktopFileValidate_data();
    void passDesktopFileValidate();
};

void WrittenEntries::passDesktopFileValidate_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("icon");
    QTest::newRow("installed system-wide") << "/usr/bin/velmora"
                                           << "velmora";
    QTest::newRow("blank in the path")
        << "/home/ann/My Programs/bin/velmora"
        << "/home/ann/My Programs/share/icons/hicolor/256x256/apps/velmora.png";
    QTest::newRow("quote, dollar, backslash") << R"(/opt/it's "$HOME" \ here/velmora)"
                                              << "velmora";
    QTest::newRow("percent sign") << "/opt/100%/velmora"
                                  << "velmora";
}

void WrittenEntries::passDesktopFileValidate() {
    QFETCH(QString, program);
    QFETCH(QString, icon);
    const QString validator =
        QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        QSKIP("desktop-file-validate is not installed (scripts/install-deps.sh test)");
    QTemporaryDir home;
    QVERIFY(home.isValid());

    XdgAutoStartStore autoStart(program, home.filePath(QStringLiteral("config")));
    QVERIFY(autoStart.write());
    XdgDesktopShortcut shortcut(program, icon, home.filePath(QStringLiteral("Desktop")));
    shortcut.create();

    for (const QString& entry : {autoStart.entryPath(), shortcut.shortcutPath()}) {
        QProcess validate;
        validate.start(validator, {entry});
        QVERIFY(validate.waitForFinished());
        const QByteArray complaints =
            validate.readAllStandardOutput() + validate.readAllStandardError();
        QVERIFY2(validate.exitCode() == 0 && complaints.isEmpty(), complaints.constData());
    }
}

QTEST_GUILESS_MAIN(WrittenEntries)
#include "written_entries_test.moc"
