#include <QApplication>

#include <memory>

#include "desktop/platform_services.h"
#include "ui/calcolatrice.h"

// Velmora takes no arguments and reads no files; the window's start-up does everything.
int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The window hides itself to the tray when auto-start is on; hidden is not closed.
    QApplication::setQuitOnLastWindowClosed(false);

    const std::unique_ptr<velmora::desktop::PlatformServices> platform =
        velmora::desktop::makePlatformServices();
    velmora::ui::Calcolatrice window(platform->services());
    window.Form_Load();
    return QApplication::exec();
}
