#include "desktop/platform_services.h"

#include "desktop/mail_link.h"
#include "desktop/system_calculator.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>

#ifdef Q_OS_WIN
#include "desktop/win/win_services.h"
#else
#include "desktop/x11_keyboard_target.h"
#include "desktop/xdg_auto_start_store.h"
#include "desktop/xdg_desktop_shortcut.h"
#endif

namespace velmora::desktop {

namespace {

// The services' own messages, as modal boxes over the program's active window.
class ActiveWindowWarnings final : public Warnings {
public:
    void exclamation(const QString& title, const QString& text) override {
        show(QMessageBox::Warning, title, text);
    }
    void critical(const QString& title, const QString& text) override {
        show(QMessageBox::Critical, title, text);
    }

private:
    static void show(QMessageBox::Icon icon, const QString& title, const QString& text) {
        QMessageBox box(icon, title, text, QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    }
};

}  // namespace

PlatformServices::PlatformServices(const QString& executablePath) {
#ifdef Q_OS_WIN
    m_autoStart = std::make_unique<RegistryAutoStartStore>(executablePath);
    m_shortcut = std::make_unique<LnkDesktopShortcut>(executablePath);
    m_keyboard = std::make_unique<Win32KeyboardTarget>();
#else
    m_autoStart = std::make_unique<XdgAutoStartStore>(executablePath);
    m_shortcut = std::make_unique<XdgDesktopShortcut>(executablePath, launcherIcon(executablePath));
    m_keyboard = std::make_unique<X11KeyboardTarget>();
#endif
    m_warnings = std::make_unique<ActiveWindowWarnings>();
    if (needsHandover(QGuiApplication::platformName(), qEnvironmentVariable("WAYLAND_DISPLAY"))) {
        m_calculator = std::make_unique<HandoverCalculator>(defaultCalculatorPrograms(),
                                                            *m_warnings, kCalculatorForwardTimeout);
    } else {
        m_calculator = std::make_unique<LaunchedCalculator>(defaultCalculatorPrograms(),
                                                            *m_keyboard, kCalculatorStartTimeout);
    }
    m_mail = std::make_unique<DesktopMailLink>();
}

PlatformServices::~PlatformServices() = default;

Services PlatformServices::services() {
    return Services{*m_autoStart, *m_shortcut, *m_calculator, *m_mail};
}

std::unique_ptr<PlatformServices> makePlatformServices() {
    return std::make_unique<PlatformServices>(QCoreApplication::applicationFilePath());
}

}  // namespace velmora::desktop
