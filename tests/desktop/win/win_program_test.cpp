// The built velmora.exe under Wine: its version resource, its start with automatic start-up on
// and off, and its main window against a reference picture.
#include "wine_guard.h"

#include "app_info.h"
#include "desktop/win/run_command.h"
#include "image_compare.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QTest>

#include <string>
#include <vector>

namespace {

const QString kRunKey =
    QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString kProgram = QStringLiteral(VELMORA_PROGRAM);
constexpr int kStartMs = 20000;  // a cold start under Wine on a loaded machine

// Channel difference a pixel may show without counting as changed (antialiased text edges),
// and the share of changed pixels allowed: one misplaced key caption changes more than this.
constexpr int kPixelTolerance = 48;
constexpr double kMaxChangedShare = 0.0001;

// A string of the version resource's first language block; empty when there is none.
QString versionString(const std::vector<char>& block, const wchar_t* name) {
    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translations = nullptr;
    UINT size = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translations), &size) ||
        size < sizeof(Translation))
        return {};
    wchar_t path[128];
    swprintf(path, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translations[0].language,
             translations[0].codePage, name);
    wchar_t* value = nullptr;
    if (!VerQueryValueW(block.data(), path, reinterpret_cast<void**>(&value), &size) || size == 0)
        return {};
    return QString::fromWCharArray(value);
}

struct ProcessWindows {
    DWORD processId = 0;
    std::vector<HWND> windows;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM parameter) {
    auto* found = reinterpret_cast<ProcessWindows*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == found->processId) found->windows.push_back(window);
    return TRUE;
}

QString titleOf(HWND window) {
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    return QString::fromWCharArray(title);
}

// The process's top-level window with exactly this title, visible or not; null when none.
HWND windowTitled(qint64 processId, const QString& title) {
    ProcessWindows found;
    found.processId = static_cast<DWORD>(processId);
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&found));
    for (HWND window : found.windows)
        if (titleOf(window) == title) return window;
    return nullptr;
}

// The program, started with the real windows platform (not the tests' offscreen one).
class Program {
public:
    Program() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("QT_QPA_PLATFORM");
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.start(kProgram, {});
    }
    ~Program() {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    bool started() { return m_process.waitForStarted(kStartMs); }
    qint64 id() const { return m_process.processId(); }
    bool running() const { return m_process.state() == QProcess::Running; }

    // The main window once it exists (shown or hidden); null when it did not come in time.
    HWND waitForMainWindow() {
        HWND window = nullptr;
        return QTest::qWaitFor([&] { return (window = windowTitled(id(), kTitle)) != nullptr; },
                               kStartMs)
                   ? window
                   : nullptr;
    }

private:
    const QString kTitle = QString::fromUtf8(velmora::app::kProductName);
    QProcess m_process;
};

void setAutoStart(bool on) {
    QSettings run(kRunKey, QSettings::NativeFormat);
    if (on) {
        run.setValue("velmora",
                     velmora::desktop::runCommandFor(QDir::toNativeSeparators(kProgram)));
    } else {
        run.remove("velmora");
    }
    run.sync();
}

// The window's client area as it is on the screen.
QImage grabClient(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, origin.x, origin.y, client.right - client.left, client.bottom - client.top)
        .toImage();
}

}  // namespace

class WinProgramTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void versionResourceNamesTheProduct();
    void startsHiddenInTheTrayWhenAutoStartIsOn_data();
    void startsHiddenInTheTrayWhenAutoStartIsOn();
    void windowMatchesReference();
};

void WinProgramTest::initTestCase() {
    VELMORA_REQUIRE_PRIVATE_WINE_PREFIX();
    QVERIFY2(QFileInfo::exists(kProgram), qPrintable(kProgram));
}

void WinProgramTest::cleanup() { setAutoStart(false); }

void WinProgramTest::versionResourceNamesTheProduct() {
    const std::wstring path = QDir::toNativeSeparators(kProgram).toStdWString();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    QVERIFY2(size > 0, "velmora.exe has no version resource");
    std::vector<char> block(size);
    QVERIFY(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));

    QCOMPARE(versionString(block, L"ProductName"), QString::fromUtf8(velmora::app::kProductName));
    QCOMPARE(versionString(block, L"ProductVersion"),
             QString::fromUtf8(velmora::app::kVersionText));
    QCOMPARE(versionString(block, L"LegalCopyright"),
             QString::fromUtf8(velmora::app::kLegalNotice) + QStringLiteral(". ") +
                 QString::fromUtf8(velmora::app::kLicenceNotice));
    QCOMPARE(versionString(block, L"OriginalFilename"), QString("velmora.exe"));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    QVERIFY(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize));
    QCOMPARE(fixed->dwSignature, DWORD(0xFEEF04BD));
    const QString fileVersion = QStringLiteral("%1.%2.%3")
                                    .arg(HIWORD(fixed->dwFileVersionMS))
                                    .arg(LOWORD(fixed->dwFileVersionMS))
                                    .arg(HIWORD(fixed->dwFileVersionLS));
    QCOMPARE(fileVersion, versionString(block, L"FileVersion"));
}

void WinProgramTest::startsHiddenInTheTrayWhenAutoStartIsOn_data() {
    QTest::addColumn<bool>("autoStart");
    QTest::newRow("auto-start on: hidden, tray icon") << true;
    QTest::newRow("auto-start off: window shown") << false;
}

void WinProgramTest::startsHiddenInTheTrayWhenAutoStartIsOn() {
    QFETCH(bool, autoStart);
    setAutoStart(autoStart);
    Program program;
    QVERIFY(program.started());
    const HWND window = program.waitForMainWindow();
    QVERIFY2(window, "the main window was not created");

    // The tray icon's message window exists exactly while the icon is shown.
    const auto trayIcon = [&] {
        return windowTitled(program.id(), "QTrayIconMessageWindow") != nullptr;
    };
    QVERIFY2(QTest::qWaitFor(trayIcon, kStartMs), "no tray icon");
    if (autoStart) {
        QTest::qWait(1000);  // hidden stays hidden
        QVERIFY(!IsWindowVisible(window));
    } else {
        QVERIFY(QTest::qWaitFor([&] { return IsWindowVisible(window) != FALSE; }, kStartMs));
    }
    QVERIFY(program.running());
}

void WinProgramTest::windowMatchesReference() {
    SetCursorPos(1023, 767);  // no key under the pointer
    Program program;
    QVERIFY(program.started());
    const HWND window = program.waitForMainWindow();
    QVERIFY(window);
    QImage shown;
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     const QImage previous = shown;
                     shown = IsWindowVisible(window) ? grabClient(window) : QImage();
                     return !shown.isNull() && shown == previous &&
                            velmora::testing::hasPicture(shown);
                 },
                 kStartMs),
             "the main window was not painted");

    const QString referencePath = QStringLiteral(VELMORA_WIN_REFERENCE_DIR "/main_window_wine.png");
    if (qEnvironmentVariableIntValue("VELMORA_WIN_UPDATE_REFERENCE") == 1) {
        QVERIFY(shown.save(referencePath));
        QSKIP("reference picture written; look at it before committing it");
    }
    const QImage expected(referencePath);
    if (expected.isNull()) {
        const QString out = QDir::current().filePath("win-main_window-actual.png");
        shown.save(out);
        QFAIL(qPrintable("cannot read " + referencePath + "; this run's picture is " + out));
    }
    const QString mismatch =
        velmora::testing::referenceMismatch(shown, expected, kPixelTolerance, kMaxChangedShare,
                                            QDir::current().filePath("win-main_window"));
    if (!mismatch.isEmpty()) QFAIL(qPrintable(mismatch));
}

QTEST_MAIN(WinProgramTest)
#include "win_program_test.moc"
