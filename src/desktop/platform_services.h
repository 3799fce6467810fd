#pragma once

#include "desktop/keyboard_target.h"
#include "desktop/services.h"

#include <QString>

#include <memory>

namespace velmora::desktop {

// Owns this platform's implementations of the desktop services for the program's whole run.
class PlatformServices {
public:
    // executablePath: the program the auto-start entry and the desktop shortcut start.
    explicit PlatformServices(const QString& executablePath);
    ~PlatformServices();
    PlatformServices(const PlatformServices&) = delete;
    PlatformServices& operator=(const PlatformServices&) = delete;

    Services services();

private:
    std::unique_ptr<AutoStartStore> m_autoStart;
    std::unique_ptr<DesktopShortcut> m_shortcut;
    std::unique_ptr<KeyboardTarget> m_keyboard;
    std::unique_ptr<Warnings>
        m_warnings;  // the calculator's message when it must use the clipboard
    std::unique_ptr<SystemCalculator> m_calculator;
    std::unique_ptr<MailLink> m_mail;
};

// The services for the running executable (QCoreApplication::applicationFilePath()).
std::unique_ptr<PlatformServices> makePlatformServices();

}  // namespace velmora::desktop
