#include "app/platform_start.h"

#include <QByteArray>
#include <QMessageLogContext>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "desktop/command_line.h"

namespace velmora::app {

namespace {

// A Qt message as it arrived, with copies of the context's strings.
struct HeldMessage {
    QtMsgType type;
    QByteArray file;
    int line;
    QByteArray function;
    QByteArray category;
    QString text;
};

// Qt's message handler is a plain function: what it holds lives here, and only while
// StartApplication makes the QApplication (one thread, before any other runs).
std::vector<HeldMessage>* g_held = nullptr;

// What Qt reported of each platform plugin it tried, in the order tried: "wayland could not
// connect", "wayland is not installed".
QString triedPlatforms(const std::vector<HeldMessage>& held) {
    static const QRegularExpression plugin(QStringLiteral("platform plugin \"([^\"]+)\""));
    QStringList tried;
    for (const HeldMessage& message : held) {
        const QRegularExpressionMatch match = plugin.match(message.text);
        if (!match.hasMatch()) continue;
        const bool found = message.text.contains(QLatin1String("even though it was found"));
        tried << match.captured(1) + (found ? QStringLiteral(" could not connect")
                                            : QStringLiteral(" is not installed"));
    }
    return tried.isEmpty() ? QStringLiteral("no platform plugin was found")
                           : tried.join(QStringLiteral(", "));
}

void holdMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    // Qt's failure to start any platform is fatal: it would abort right after this handler.
    // Both of its wordings (none could be initialized, none could be found or loaded) name the
    // platform plugin; any other fatal message is Qt's to report.
    if (type == QtFatalMsg && text.contains(QLatin1String("platform plugin"))) {
        QTextStream(stderr) << "velmora: cannot open a window: no display platform could start ("
                            << triedPlatforms(*g_held) << ").\n";
        std::fflush(stderr);
        std::_Exit(desktop::kNoDisplayExitStatus);
    }
    if (type == QtFatalMsg) {
        qInstallMessageHandler(nullptr);
        QMessageLogger(context.file, context.line, context.function, context.category)
            .fatal("%s", qPrintable(text));
    }
    g_held->push_back({type, context.file, context.line, context.function, context.category, text});
}

void passOn(const HeldMessage& message) {
    const QMessageLogger logger(
        message.file.constData(), message.line, message.function.constData(),
        message.category.isEmpty() ? nullptr : message.category.constData());
    const QByteArray text = message.text.toLocal8Bit();
    switch (message.type) {
    case QtDebugMsg: logger.debug("%s", text.constData()); break;
    case QtInfoMsg: logger.info("%s", text.constData()); break;
    case QtWarningMsg: logger.warning("%s", text.constData()); break;
    case QtCriticalMsg:
    case QtFatalMsg: logger.critical("%s", text.constData()); break;
    }
}

}  // namespace

std::unique_ptr<QApplication> StartApplication(int& argc, char* argv[]) {
    std::vector<HeldMessage> held;
    g_held = &held;
    const QtMessageHandler previous = qInstallMessageHandler(holdMessage);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    g_held = nullptr;
    for (const HeldMessage& message : held) passOn(message);
    return application;
}

}  // namespace velmora::app
