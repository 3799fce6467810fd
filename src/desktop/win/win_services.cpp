#include "desktop/win/win_services.h"

#include "desktop/win/calculator_win32.h"
#include "desktop/xdg_auto_start_store.h"

#include "app_info.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

namespace velmora::desktop {

namespace {

const QString kRunKey =
    QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");

QString lnkPath() {
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation) + u'/' +
           QString::fromUtf8(app::kProductName) + QStringLiteral(".lnk");
}

}  // namespace

RegistryAutoStartStore::RegistryAutoStartStore(QString executablePath)
    : m_executablePath(std::move(executablePath)) {}

std::optional<QString> RegistryAutoStartStore::read() const {
    const QSettings run(kRunKey, QSettings::NativeFormat);
    const QString name = executableBaseName(m_executablePath);
    if (run.status() != QSettings::NoError || !run.contains(name)) return std::nullopt;
    return run.value(name).toString();
}

bool RegistryAutoStartStore::write() {
    QSettings run(kRunKey, QSettings::NativeFormat);
    run.setValue(executableBaseName(m_executablePath), runCommandFor(m_executablePath));
    run.sync();
    return run.status() == QSettings::NoError;
}

bool RegistryAutoStartStore::remove() {
    QSettings run(kRunKey, QSettings::NativeFormat);
    run.remove(executableBaseName(m_executablePath));
    run.sync();
    return run.status() == QSettings::NoError;
}

LnkDesktopShortcut::LnkDesktopShortcut(QString executablePath)
    : m_executablePath(std::move(executablePath)) {}

void LnkDesktopShortcut::create() {
    const QString path = lnkPath();
    QFile::remove(path);  // QFile::link does not replace an existing shortcut
    QFile::link(m_executablePath, path);
}

void LnkDesktopShortcut::remove() { QFile::remove(lnkPath()); }

quint64 Win32KeyboardTarget::findWindow(qint64 processId) {
    return win32::findCalculatorWindow(static_cast<unsigned long>(processId));
}

void Win32KeyboardTarget::bringForward(quint64 window) {
    win32::bringToForeground(static_cast<std::uintptr_t>(window));
}

bool Win32KeyboardTarget::hasFocus(quint64 window) {
    return win32::isForeground(static_cast<std::uintptr_t>(window));
}

bool Win32KeyboardTarget::typeText(quint64 window, const QString& text) {
    return win32::typeUnicode(static_cast<std::uintptr_t>(window), text.toStdU16String());
}

}  // namespace velmora::desktop
