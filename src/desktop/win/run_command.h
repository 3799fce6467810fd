#pragma once

#include <QString>

namespace velmora::desktop {

// The data of the Run value that starts the program at log-on: the executable's native path,
// in double quotes when it holds a blank, since Windows splits an unquoted command at the first
// blank and would try C:\Program.exe before C:\Program Files\...
QString runCommandFor(const QString& executablePath);

}  // namespace velmora::desktop
