#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <optional>

class QTextStream;

// The program's command line and the checks made before it connects to a display, so that
// every answer here comes without a window and without a display.
namespace velmora::desktop {

// Exit status of a command line that cannot be used, as getopt-style programs return it.
constexpr int kUsageExitStatus = 2;
// Exit status when no window can be opened.
constexpr int kNoDisplayExitStatus = 1;

// Reads the arguments (the program's own path first). --help and --version write their text to
// out and give 0; an unknown option or any other argument writes one line naming it and the
// usage to err and gives kUsageExitStatus; no arguments give nullopt: run the program.
// Needs a QCoreApplication for the program's path in the usage.
std::optional<int> handleCommandLine(const QStringList& arguments, QTextStream& out,
                                     QTextStream& err);

// Why no window can be opened in this environment: a one-line message when the display the Qt
// platform needs is not named (neither DISPLAY nor WAYLAND_DISPLAY) or the named X display does
// not answer; nullopt when a window can be tried. Platforms that need no display (offscreen,
// minimal, ...) always pass.
std::optional<QString> displayProblem(const QProcessEnvironment& environment);

}  // namespace velmora::desktop
