#include "desktop/xdg_auto_start_store.h"

#include "desktop/desktop_entry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velmora::desktop {

namespace {

bool isTrue(const std::optional<QString>& value) {
    return value && value->trimmed() == QLatin1String("true");
}

bool isFalse(const std::optional<QString>& value) {
    return value && value->trimmed() == QLatin1String("false");
}

}  // namespace

QString executableBaseName(const QString& executablePath) {
    QString name = QFileInfo(executablePath).fileName();
    if (name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)) name.chop(4);
    return name;
}

QString xdgConfigHome() {
    const QString fromEnvironment = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!fromEnvironment.isEmpty() && QDir::isAbsolutePath(fromEnvironment)) return fromEnvironment;
    return QDir::homePath() + QStringLiteral("/.config");
}

XdgAutoStartStore::XdgAutoStartStore(QString executablePath, QString configHome)
    : m_executablePath(std::move(executablePath)), m_configHome(std::move(configHome)) {}

QString XdgAutoStartStore::entryPath() const {
    const QString home = m_configHome.isEmpty() ? xdgConfigHome() : m_configHome;
    return home + QStringLiteral("/autostart/") + executableBaseName(m_executablePath) +
           QStringLiteral(".desktop");
}

std::optional<QString> XdgAutoStartStore::read() const {
    const auto entry = readDesktopFile(entryPath());
    if (!entry) return std::nullopt;
    // Hidden=true is how the desktop switches an entry off without deleting it.
    if (isTrue(entry->value(QStringLiteral("Hidden"))) ||
        isFalse(entry->value(QStringLiteral("X-GNOME-Autostart-enabled")))) {
        return QString();
    }
    return entry->value(QStringLiteral("Exec")).value_or(QString());
}

bool XdgAutoStartStore::write() {
    return writeApplicationEntry(entryPath(), m_executablePath, std::nullopt,
                                 QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                     QFileDevice::ReadGroup | QFileDevice::ReadOther);
}

bool XdgAutoStartStore::remove() {
    const QString path = entryPath();
    if (!QFileInfo::exists(path)) return true;
    return QFile::remove(path);
}

}  // namespace velmora::desktop
