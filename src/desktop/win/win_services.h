#pragma once

#include "desktop/keyboard_target.h"
#include "desktop/services.h"
#include "desktop/win/run_command.h"

#include <QString>

namespace velmora::desktop {

// Windows only. The current user's Run key value named after the executable's base name.
class RegistryAutoStartStore : public AutoStartStore {
public:
    explicit RegistryAutoStartStore(QString executablePath);
    std::optional<QString> read() const override;
    bool write() override;
    bool remove() override;

private:
    QString m_executablePath;
};

// Windows only. "Velmora.lnk" on the current user's desktop.
class LnkDesktopShortcut : public DesktopShortcut {
public:
    explicit LnkDesktopShortcut(QString executablePath);
    void create() override;
    void remove() override;

private:
    QString m_executablePath;
};

// Windows only. The calculator's window by process id; typed with SendInput.
class Win32KeyboardTarget : public KeyboardTarget {
public:
    bool isUsable() override { return true; }
    quint64 findWindow(qint64 processId) override;
    void bringForward(quint64 window) override;
    bool hasFocus(quint64 window) override;
    bool canType(const QString& text) override { return !text.isEmpty(); }  // Unicode input
    bool typeText(quint64 window, const QString& text) override;
};

}  // namespace velmora::desktop
