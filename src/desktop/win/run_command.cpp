#include "desktop/win/run_command.h"

#include <QDir>

namespace velmora::desktop {

QString runCommandFor(const QString& executablePath) {
    const QString native = QDir::toNativeSeparators(executablePath);
    if (!native.contains(QLatin1Char(' ')) || native.startsWith(QLatin1Char('"'))) return native;
    return QLatin1Char('"') + native + QLatin1Char('"');
}

}  // namespace velmora::desktop
