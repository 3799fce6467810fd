#pragma once

#include <QApplication>

#include <memory>

namespace velmora::app {

// Makes the program's QApplication. Where no display platform that Qt tries can start (a
// Wayland socket nobody serves, a platform plugin that is not installed, an X server that
// refuses the connection), Qt would abort; instead one line naming the platforms tried goes to
// standard error and the program ends with desktop::kNoDisplayExitStatus. Qt's own messages
// while the platform starts are held back and, once it has started, passed on as they came.
// argc and argv must outlive the application, as for QApplication itself.
std::unique_ptr<QApplication> StartApplication(int& argc, char* argv[]);

}  // namespace velmora::app
