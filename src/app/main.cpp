#include <QApplication>
#include <QCoreApplication>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTextStream>

#include <memory>
#include <optional>

#include "app/batch_command.h"
#include "app/platform_start.h"
#include "app_info.h"
#include "desktop/command_line.h"
#include "desktop/platform_services.h"
#include "desktop/single_instance.h"
#include "ui/calcolatrice.h"

namespace {

// The command line is answered before any connection to a display, so --help, --version and a
// mistake work on a machine without one. A plain QCoreApplication gives the parser the
// program's path; it is gone before the window's QApplication is made.
std::optional<int> answerCommandLine(int& argc, char* argv[]) {
    // QCoreApplication takes some of Qt's own options out of argv (-qmljsdebugger=...), and
    // QApplication more: the arguments as given are read, so that those are refused as well.
    QStringList given;
    for (int i = 0; i < argc; ++i) given << QString::fromLocal8Bit(argv[i]);
    const int givenCount = argc;
    const QCoreApplication reader(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    // Qt's own list when nothing was taken out: on Windows it keeps what the local 8-bit
    // encoding of argv cannot hold.
    return velmora::desktop::handleCommandLine(
        argc == givenCount ? QCoreApplication::arguments() : given, out, err);
}

}  // namespace

int main(int argc, char* argv[]) {
    // A batch needs neither Qt nor a display, and its figures no Qt start-up time.
    if (velmora::app::IsBatchCommand(argc, argv)) return velmora::app::RunBatchCommand(argc, argv);
    if (const std::optional<int> status = answerCommandLine(argc, argv)) return *status;
    // Without a display Qt would abort; say why instead. StartApplication covers what this
    // cannot see beforehand: a named display nobody serves, a platform plugin not installed.
    if (const std::optional<QString> problem =
            velmora::desktop::displayProblem(QProcessEnvironment::systemEnvironment())) {
        QTextStream(stderr) << *problem << '\n';
        return velmora::desktop::kNoDisplayExitStatus;
    }

    // The application's name is the SNI item's Title and Id and the class part of WM_CLASS
    // (the desktop entry's StartupWMClass); without it Qt takes the lower-case file name.
    QCoreApplication::setApplicationName(QString::fromUtf8(velmora::app::kProductName));
    const std::unique_ptr<QApplication> app = velmora::app::StartApplication(argc, argv);
    // The window hides itself to the tray when auto-start is on; hidden is not closed.
    QApplication::setQuitOnLastWindowClosed(false);
    QGuiApplication::setDesktopFileName(QString::fromUtf8(velmora::app::kAppId));

    // One running copy per user and display: a later launch shows that copy's window and ends.
    const std::unique_ptr<velmora::desktop::SingleInstance> instance =
        velmora::desktop::makeSingleInstance();
    switch (instance->claim()) {
    case velmora::desktop::SingleInstance::Claim::Handed: return 0;
    case velmora::desktop::SingleInstance::Claim::NoAnswer:
        QTextStream(stderr) << "velmora: " << instance->problem() << ".\n";
        return 1;
    case velmora::desktop::SingleInstance::Claim::Failed:
        // Unguarded when the claim cannot be kept: better two windows than none.
        QTextStream(stderr) << "velmora: " << instance->problem()
                            << "; starting without looking for a running copy.\n";
        break;
    case velmora::desktop::SingleInstance::Claim::First: break;
    }

    const std::unique_ptr<velmora::desktop::PlatformServices> platform =
        velmora::desktop::makePlatformServices();
    velmora::ui::Calcolatrice window(platform->services());
    window.Form_Load();
    // Listening only now: a launch made while this one starts waits for the finished window.
    QObject::connect(instance.get(), &velmora::desktop::SingleInstance::showRequested, &window,
                     &velmora::ui::Calcolatrice::bringForward);
    instance->startListening();
    return QApplication::exec();
}
