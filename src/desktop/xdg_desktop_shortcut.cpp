#include "desktop/xdg_desktop_shortcut.h"

#include "desktop/desktop_entry.h"

#include "app_info.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace velmora::desktop {

namespace {

const QString kIconName = QStringLiteral("velmora");

// The installed icon sizes tried, largest first; the desktop scales whichever is found.
const QStringList kIconSizes = {QStringLiteral("256x256"), QStringLiteral("128x128"),
                                QStringLiteral("64x64"), QStringLiteral("48x48"),
                                QStringLiteral("32x32")};

QStringList xdgDataFolders() {
    QStringList folders;
    const QString home = qEnvironmentVariable("XDG_DATA_HOME");
    folders += (home.isEmpty() || !QDir::isAbsolutePath(home))
                   ? QDir::homePath() + QStringLiteral("/.local/share")
                   : home;
    QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dirs.isEmpty()) dirs = QStringLiteral("/usr/local/share:/usr/share");
    for (const QString& folder : dirs.split(u':', Qt::SkipEmptyParts)) folders += folder;
    return folders;
}

}  // namespace

QString xdgDesktopFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

XdgDesktopShortcut::XdgDesktopShortcut(QString executablePath, QString icon, QString desktopFolder)
    : m_executablePath(std::move(executablePath)),
      m_icon(std::move(icon)),
      m_desktopFolder(std::move(desktopFolder)) {}

QString XdgDesktopShortcut::shortcutPath() const {
    const QString folder = m_desktopFolder.isEmpty() ? xdgDesktopFolder() : m_desktopFolder;
    return folder + u'/' + QString::fromUtf8(app::kProductName) + QStringLiteral(".desktop");
}

void XdgDesktopShortcut::create() {
    // Desktops run a launcher on the desktop only when it is executable.
    writeApplicationEntry(shortcutPath(), m_executablePath, m_icon,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                              QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                              QFileDevice::ReadOther | QFileDevice::ExeOther);
}

void XdgDesktopShortcut::remove() { QFile::remove(shortcutPath()); }

QString launcherIcon(const QString& executablePath) {
    // An installed program lives in <prefix>/bin with its icons under <prefix>/share/icons.
    const QString prefixShare =
        QDir::cleanPath(QFileInfo(executablePath).absolutePath() + QStringLiteral("/../share"));
    QString besideProgram;
    for (const QString& size : kIconSizes) {
        const QString candidate = prefixShare + QStringLiteral("/icons/hicolor/") + size +
                                  QStringLiteral("/apps/velmora.png");
        if (QFileInfo::exists(candidate)) {
            besideProgram = candidate;
            break;
        }
    }
    if (besideProgram.isEmpty()) return kIconName;
    for (const QString& folder : xdgDataFolders()) {
        if (QDir::cleanPath(folder) == prefixShare) return kIconName;
    }
    return besideProgram;
}

}  // namespace velmora::desktop
