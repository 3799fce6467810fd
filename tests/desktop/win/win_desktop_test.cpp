// The Windows desktop services against the real Win32 API, in a Wine prefix of their own:
// the Run value, the desktop shortcut, the tray icon, typing into a window, the mail link.
#include "wine_guard.h"

#include "app_info.h"
#include "desktop/auto_start.h"
#include "desktop/mail_link.h"
#include "desktop/system_calculator.h"
#include "desktop/tray_icona.h"
#include "desktop/win/win_services.h"
#include "fake_warnings.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QSettings>
#include <QSystemTrayIcon>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>

using namespace velmora::desktop;
using velmora::desktop::testing::FakeWarnings;

namespace {

const QString kRunKey =
    QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString kMailCommandKey =
    QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Classes\\mailto\\shell\\open\\command");
constexpr int kWaitMs = 5000;

QString desktopShortcutPath() {
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation) +
           QStringLiteral("/Velmora.lnk");
}

quint64 handleOf(QWidget& widget) { return static_cast<quint64>(widget.winId()); }

// A top-level line edit of the test's own, shown and given the keyboard focus.
std::unique_ptr<QLineEdit> shownEditor(const QString& title, QPoint at) {
    auto editor = std::make_unique<QLineEdit>();
    editor->setWindowTitle(title);
    editor->setGeometry(QRect(at, QSize(240, 40)));
    editor->show();
    return editor;
}

bool bringToFront(Win32KeyboardTarget& target, QWidget& window) {
    target.bringForward(handleOf(window));
    return QTest::qWaitFor(
        [&] { return target.hasFocus(handleOf(window)) && window.isActiveWindow(); }, kWaitMs);
}

}  // namespace

class WinDesktopTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    void runValueWrittenReadBackAndRemoved_data();
    void runValueWrittenReadBackAndRemoved();
    void shortcutOnTheDesktopPointsAtTheProgram();
    void trayIconWithItsMenu();
    void keysArriveOnlyWhileTheWindowHasTheFocus();
    void withoutCalcExeNothingIsTyped();
    void mailLinkStartsTheMailHandler();
};

void WinDesktopTest::initTestCase() { VELMORA_REQUIRE_PRIVATE_WINE_PREFIX(); }

void WinDesktopTest::runValueWrittenReadBackAndRemoved_data() {
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("value");
    QTest::newRow("folder with a blank is quoted") << "C:/Program Files/Velmora/velmora.exe"
                                                   << "\"C:\\Program Files\\Velmora\\velmora.exe\"";
    QTest::newRow("no blank, no quotes") << "C:/Velmora/velmora.exe"
                                         << "C:\\Velmora\\velmora.exe";
}

void WinDesktopTest::runValueWrittenReadBackAndRemoved() {
    QFETCH(QString, executable);
    QFETCH(QString, value);
    RegistryAutoStartStore store(executable);
    FakeWarnings warnings;
    bool ticked = false;
    QVERIFY(!IsAutoStartEnabled(store));

    MenuAvvioAuto_Click(store, warnings, false, ticked);
    QVERIFY(ticked);
    QCOMPARE(QSettings(kRunKey, QSettings::NativeFormat).value("velmora").toString(), value);
    QCOMPARE(store.read(), std::optional<QString>(value));

    MenuAvvioAuto_Click(store, warnings, false, ticked);
    QVERIFY(!ticked);
    QVERIFY(!QSettings(kRunKey, QSettings::NativeFormat).contains("velmora"));
    QCOMPARE(warnings.shown, QStringList());
}

void WinDesktopTest::shortcutOnTheDesktopPointsAtTheProgram() {
    const QString program = QCoreApplication::applicationFilePath();
    const QString path = desktopShortcutPath();
    QFile::remove(path);
    LnkDesktopShortcut shortcut(program);

    shortcut.create();
    shortcut.create();  // replaces, does not fail or add a second one
    const QFileInfo lnk(path);
    QVERIFY2(lnk.exists(), qPrintable(path));
    QVERIFY(lnk.isShortcut());
    QCOMPARE(QFileInfo(lnk.symLinkTarget()).canonicalFilePath(),
             QFileInfo(program).canonicalFilePath());
    QCOMPARE(QDir(lnk.absolutePath()).entryList({"Velmora*"}, QDir::Files | QDir::System),
             QStringList{"Velmora.lnk"});

    shortcut.remove();
    QVERIFY(!QFileInfo::exists(path));
    shortcut.remove();  // nothing there: nothing happens
}

void WinDesktopTest::trayIconWithItsMenu() {
    QWidget window;
    window.setWindowTitle(QString::fromUtf8(velmora::app::kProductName));
    window.resize(200, 100);
    window.show();
    QPixmap picture(16, 16);
    picture.fill(Qt::darkGreen);
    TrayIcona tray(window, QIcon(picture), TrayTip("Velmora", "1.00", "test"));
    tray.CreateTrayMenu();
    tray.AddTrayIcon();
    QVERIFY(QSystemTrayIcon::isSystemTrayAvailable());
    QVERIFY(tray.isAvailable());

    QMenu* menu = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* m = qobject_cast<QMenu*>(w)) menu = m;
    }
    QVERIFY(menu);
    QStringList entries;
    for (QAction* action : menu->actions())
        entries << (action->isSeparator() ? "-" : action->text());
    QCOMPARE(entries, (QStringList{"Open Velmora", "-", "End Program"}));

    tray.HideToTray(true);
    QVERIFY(QTest::qWaitFor([&] { return !window.isVisible(); }, kWaitMs));
    QVERIFY(tray.isAvailable());         // the icon stays while the window is hidden
    menu->actions().first()->trigger();  // Open Velmora
    QVERIFY(QTest::qWaitFor([&] { return window.isVisible() && !window.isMinimized(); }, kWaitMs));
    tray.RemoveTrayIcon();
    QVERIFY(!tray.isAvailable());
}

void WinDesktopTest::keysArriveOnlyWhileTheWindowHasTheFocus() {
    Win32KeyboardTarget target;
    const auto typedInto = shownEditor("Velmora typing target", {40, 40});
    const auto other = shownEditor("Another program", {40, 200});

    QVERIFY(bringToFront(target, *typedInto));
    QVERIFY(target.typeText(handleOf(*typedInto), "45.5°"));
    QVERIFY(QTest::qWaitFor([&] { return typedInto->text() == "45.5°"; }, kWaitMs));

    QVERIFY(bringToFront(target, *other));
    QVERIFY(!target.hasFocus(handleOf(*typedInto)));
    QVERIFY(!target.typeText(handleOf(*typedInto), "9"));
    QTest::qWait(300);
    QCOMPARE(typedInto->text(), QString("45.5°"));
    QCOMPARE(other->text(), QString());
}

// Wine has no calc.exe (neither has a Windows without the calculator app): Send to calculator
// must then type nothing, not even into the window that has the focus.
void WinDesktopTest::withoutCalcExeNothingIsTyped() {
    QVERIFY2(QStandardPaths::findExecutable("calc.exe").isEmpty(), "this machine has a calc.exe");
    Win32KeyboardTarget target;
    const auto focused = shownEditor("Has the focus", {40, 40});
    QVERIFY(bringToFront(target, *focused));

    LaunchedCalculator calculator(defaultCalculatorPrograms(), target,
                                  std::chrono::milliseconds(1000));
    calculator.typeNumber("45.5");
    QTest::qWait(300);
    QCOMPARE(focused->text(), QString());
    QVERIFY(target.hasFocus(handleOf(*focused)));
}

// The mail program is whatever the registry names for mailto:; here, the stand-in.
void WinDesktopTest::mailLinkStartsTheMailHandler() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString log = dir.filePath("mail.log");
    qputenv("VELMORA_STANDIN_LOG", QFile::encodeName(log));
    QSettings command(kMailCommandKey, QSettings::NativeFormat);
    const QVariant saved = command.value("Default");
    command.setValue("Default", "\"" + QDir::toNativeSeparators(VELMORA_PROGRAM_STANDIN) + "\" %1");
    command.sync();

    DesktopMailLink().open(QString::fromUtf8(velmora::app::kContactEmail));
    const bool started = QTest::qWaitFor([&] { return QFileInfo(log).size() > 0; }, kWaitMs);

    if (saved.isValid()) {
        command.setValue("Default", saved);
    } else {
        command.remove("Default");
    }
    QVERIFY2(started, "the mail handler was not started");
    QFile file(log);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()).trimmed(),
             "started mailto:" + QString::fromUtf8(velmora::app::kContactEmail));
}

QTEST_MAIN(WinDesktopTest)
#include "win_desktop_test.moc"
