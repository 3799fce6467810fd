#pragma once

#include "desktop/services.h"

#include <QString>

namespace velmora::desktop {

// The user's desktop folder: XDG_DESKTOP_DIR of $XDG_CONFIG_HOME/user-dirs.dirs, else ~/Desktop.
QString xdgDesktopFolder();

// The launcher "Velmora.desktop" on the user's desktop, executable so the desktop trusts it.
class XdgDesktopShortcut : public DesktopShortcut {
public:
    // icon: an icon-theme name ("velmora") or an absolute file path. desktopFolder: empty means
    // xdgDesktopFolder() at each call.
    XdgDesktopShortcut(QString executablePath, QString icon, QString desktopFolder = {});

    void create() override;
    void remove() override;

    QString shortcutPath() const;

private:
    QString m_executablePath;
    QString m_icon;
    QString m_desktopFolder;
};

// What a launcher's Icon key should hold for a program at executablePath: the theme name
// "velmora" when the icon is installed in a folder the desktop searches, the absolute path of
// an icon installed beside the program otherwise, and the theme name when none is found.
QString launcherIcon(const QString& executablePath);

}  // namespace velmora::desktop
