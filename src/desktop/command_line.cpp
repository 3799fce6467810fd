#include "desktop/command_line.h"

#include "app_info.h"
#include "desktop/batch_usage.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QTextStream>

#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
#include <X11/Xlib.h>
#endif

namespace velmora::desktop {

std::optional<int> handleCommandLine(const QStringList& arguments, QTextStream& out,
                                     QTextStream& err) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(app::kProductName) + QStringLiteral(": ") +
                                     QString::fromUtf8(app::kDescription));
    // Own options rather than addHelpOption(), whose --help-all would list Qt's options, which
    // this program does not take on its command line.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version(
        {QStringLiteral("v"), QStringLiteral("version")},
        QStringLiteral("Show the program's name and version and exit."));
    parser.addOption(help);
    parser.addOption(version);
    // "-platform" is one unknown option, not eight unknown letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);

    const QString program = QStringLiteral("velmora: ");
    if (!parser.parse(arguments)) {
        err << program << parser.errorText() << '\n' << parser.helpText();
        return kUsageExitStatus;
    }
    if (!parser.positionalArguments().isEmpty()) {
        err << program << QStringLiteral("unexpected argument '")
            << parser.positionalArguments().constFirst() << QStringLiteral("'.\n")
            << parser.helpText();
        return kUsageExitStatus;
    }
    if (parser.isSet(help)) {
        out << parser.helpText() << QString::fromUtf8(kBatchUsage);
        return 0;
    }
    if (parser.isSet(version)) {
        out << app::kProductName << ' ' << app::kVersionText << '\n';
        return 0;
    }
    return std::nullopt;
}

std::optional<QString> displayProblem(const QProcessEnvironment& environment) {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    Q_UNUSED(environment);
    return std::nullopt;
#else
    // QT_QPA_PLATFORM may list fall-backs ("wayland;xcb"); any of them may need a display.
    const QString platforms = environment.value(QStringLiteral("QT_QPA_PLATFORM"));
    bool needsDisplay = platforms.isEmpty();
    for (const QString& platform : platforms.split(u';', Qt::SkipEmptyParts)) {
        const QString name = platform.section(u':', 0, 0).trimmed();
        if (name == QLatin1String("xcb") || name.startsWith(QLatin1String("wayland")))
            needsDisplay = true;
    }
    if (!needsDisplay) return std::nullopt;

    const QString wayland = environment.value(QStringLiteral("WAYLAND_DISPLAY"));
    const QString x11 = environment.value(QStringLiteral("DISPLAY"));
    if (wayland.isEmpty() && x11.isEmpty()) {
        return QStringLiteral(
            "velmora: no display to open the window on: neither DISPLAY nor "
            "WAYLAND_DISPLAY is set.");
    }
    if (wayland.isEmpty()) {
        // Qt would abort on an X display that does not answer; ask it first.
        Display* connection = XOpenDisplay(x11.toLocal8Bit().constData());
        if (!connection) {
            return QStringLiteral("velmora: cannot open the X display '") + x11 +
                   QStringLiteral("' named by DISPLAY (and WAYLAND_DISPLAY is not set).");
        }
        XCloseDisplay(connection);
    }
    return std::nullopt;
#endif
}

}  // namespace velmora::desktop
