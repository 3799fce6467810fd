#pragma once

#include "desktop/services.h"

#include <QString>

namespace velmora::desktop {

// The file name an executable's entries are named after: its file name without a final ".exe"
// (any case), so "C:/Tools/Velmora.exe" and "/usr/bin/velmora" give "Velmora" and "velmora".
QString executableBaseName(const QString& executablePath);

// The freedesktop configuration folder: $XDG_CONFIG_HOME when it is an absolute path, else
// ~/.config. Read at each call, so a change of the environment is seen at once.
QString xdgConfigHome();

// The XDG autostart entry $XDG_CONFIG_HOME/autostart/<base name>.desktop. It counts as on when
// the file holds a non-empty Exec and is neither Hidden nor disabled for GNOME; other entries in
// the folder are never touched.
class XdgAutoStartStore : public AutoStartStore {
public:
    // executablePath: the program the entry starts, an absolute path. configHome: the folder
    // holding "autostart"; empty means xdgConfigHome() at each call.
    explicit XdgAutoStartStore(QString executablePath, QString configHome = {});

    std::optional<QString> read() const override;
    bool write() override;
    bool remove() override;

    QString entryPath() const;

private:
    QString m_executablePath;
    QString m_configHome;
};

}  // namespace velmora::desktop
