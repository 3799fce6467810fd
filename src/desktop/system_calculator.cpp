#include "desktop/system_calculator.h"

#include <QClipboard>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>

#include <map>

#ifdef Q_OS_LINUX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace velmora::desktop {

namespace {

// Interval between two looks for the window; short enough to feel immediate, long enough not
// to keep the window system busy.
constexpr int kPollMs = 50;
constexpr int kPollsPerRequest = 10;  // focus requests repeated every half second
// Pause after each typed key, so the calculator draws each one as it comes.
constexpr int kKeyIntervalMs = 80;
// Shortest time between two presses of the same key. Calculators that light up the pressed
// button (galculator) ignore a press of the button they still show pressed, for about 100 ms
// after the previous press on an idle machine and longer on a loaded one. Holding the key down
// longer does not help: the time counts from the press.
constexpr qint64 kSameKeyIntervalMs = 300;

// Lets window events other than user input run for a moment, so the program stays drawn while
// it waits and the user cannot start a second command meanwhile.
void pause(qint64 milliseconds) {
    QEventLoop loop;
    // Precise: a coarse timer may end the pause up to 5 % early.
    QTimer::singleShot(std::chrono::milliseconds(milliseconds), Qt::PreciseTimer, &loop,
                       &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

// Whether a process of this user runs the program: its process name (the file name it was
// started from, which the kernel keeps to 15 bytes) is the program's file name. Linux only;
// elsewhere never, so the launch is not waited for.
bool isRunning(const QString& programName) {
#ifdef Q_OS_LINUX
    constexpr qsizetype kProcessNameBytes = 15;  // TASK_COMM_LEN less its terminating zero
    const QByteArray wanted = QFile::encodeName(programName).left(kProcessNameBytes);
    const QStringList processes =
        QDir(QStringLiteral("/proc")).entryList({QStringLiteral("[0-9]*")}, QDir::Dirs);
    for (const QString& pid : processes) {
        const QByteArray folder = QFile::encodeName(QStringLiteral("/proc/") + pid);
        struct stat info {};
        if (::stat(folder.constData(), &info) != 0 || info.st_uid != ::getuid()) continue;
        QFile comm(QStringLiteral("/proc/") + pid + QStringLiteral("/comm"));
        if (comm.open(QIODevice::ReadOnly) && comm.readLine(64).trimmed() == wanted) return true;
    }
#else
    Q_UNUSED(programName);
#endif
    return false;
}

const QString kSendTitle = QStringLiteral("Send to calculator");

}  // namespace

void LaunchedCalculator::typeSlowly(quint64 window, const QString& text) {
    QElapsedTimer clock;
    clock.start();
    std::map<char32_t, qint64> lastPressMs;  // by character, since clock started
    for (const char32_t c : text.toUcs4()) {
        // Only a key typed again soon waits longer; no character takes more than
        // kSameKeyIntervalMs, so a number of display length is typed within a few seconds.
        if (const auto last = lastPressMs.find(c); last != lastPressMs.end()) {
            const qint64 waitMs = last->second + kSameKeyIntervalMs - clock.elapsed();
            if (waitMs > 0) pause(waitMs);
        }
        lastPressMs[c] = clock.elapsed();
        // Each key checks the focus again: if the user moves it elsewhere meanwhile, the rest
        // of the number is not typed into the other window.
        if (!m_target.typeText(window, QString::fromUcs4(&c, 1))) return;
        pause(kKeyIntervalMs);
    }
}

QStringList defaultCalculatorPrograms() {
#ifdef Q_OS_WIN
    return {QStringLiteral("calc.exe")};
#else
    return {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),
            QStringLiteral("galculator"), QStringLiteral("qalculate-gtk")};
#endif
}

QString findCalculatorProgram(const QStringList& programs) {
    for (const QString& program : programs) {
        if (QFileInfo(program).isAbsolute()) {
            if (QFileInfo(program).isExecutable()) return program;
            continue;
        }
        const QString found = QStandardPaths::findExecutable(program);
        if (!found.isEmpty()) return found;
    }
    return {};
}

std::optional<QStringList> handoverArguments(const QString& programName, const QString& number) {
    // Anything else could be read as an option or as more than one number.
    static const QRegularExpression plainNumber(
        QStringLiteral("^-?[0-9]+([.,][0-9]+)?([eE][-+]?[0-9]+)?$"));
    if (!plainNumber.match(number).hasMatch()) return std::nullopt;
    if (programName == QLatin1String("qalculate-gtk")) {
        // An expression; in brackets a negative number is not read as an option.
        return QStringList{number.startsWith(u'-') ? u'(' + number + u')' : number};
    }
    if (programName == QLatin1String("gnome-calculator"))
        return QStringList{QStringLiteral("--equation=") + number};
    return std::nullopt;
}

bool needsHandover(const QString& platformName, const QString& waylandDisplay) {
    if (platformName == QLatin1String("wayland")) return true;
    return platformName == QLatin1String("xcb") && !waylandDisplay.isEmpty();
}

HandoverCalculator::HandoverCalculator(QStringList programs, Warnings& warnings,
                                       std::chrono::milliseconds forwardTimeout)
    : m_programs(std::move(programs)), m_warnings(warnings), m_forwardTimeout(forwardTimeout) {}

void HandoverCalculator::typeNumber(const QString& text) {
    if (text.isEmpty() || m_busy) return;
    m_busy = true;
    const QString program = findCalculatorProgram(m_programs);
    if (program.isEmpty()) {
        copyAndTell(text, false);
    } else if (!handOver(program, text)) {
        // Started without the number, so that it is there to paste into.
        copyAndTell(text, QProcess::startDetached(program, {}));
    }
    m_busy = false;
}

bool HandoverCalculator::handOver(const QString& program, const QString& text) {
    const QString name = QFileInfo(program).fileName();
    const std::optional<QStringList> arguments = handoverArguments(name, text);
    if (!arguments) return false;
    if (!isRunning(name)) return QProcess::startDetached(program, *arguments);
    // A copy runs: this launch should pass the number on and end at once.
    QProcess launch;
    // No pipes: a child it leaves behind must not hold this process's reading end open.
    launch.setStandardOutputFile(QProcess::nullDevice());
    launch.setStandardErrorFile(QProcess::nullDevice());
    launch.start(program, *arguments);
    if (!launch.waitForStarted(int(m_forwardTimeout.count()))) return false;
    const QDeadlineTimer deadline(m_forwardTimeout);
    while (launch.state() != QProcess::NotRunning && !deadline.hasExpired()) pause(kPollMs);
    if (launch.state() != QProcess::NotRunning) {
        launch.kill();
        launch.waitForFinished(int(m_forwardTimeout.count()));
        return false;
    }
    return launch.exitStatus() == QProcess::NormalExit && launch.exitCode() == 0;
}

void HandoverCalculator::copyAndTell(const QString& text, bool calculatorStarted) {
    QGuiApplication::clipboard()->setText(text);
    m_warnings.exclamation(
        kSendTitle,
        calculatorStarted
            ? QStringLiteral("The number %1 was copied: paste it into the calculator.").arg(text)
            : QStringLiteral(
                  "No calculator was found. The number %1 was copied: paste it into a calculator.")
                  .arg(text));
}

LaunchedCalculator::LaunchedCalculator(QStringList programs, KeyboardTarget& target,
                                       std::chrono::milliseconds timeout)
    : m_programs(std::move(programs)), m_target(target), m_timeout(timeout) {}

QString LaunchedCalculator::findProgram() const { return findCalculatorProgram(m_programs); }

void LaunchedCalculator::typeNumber(const QString& text) {
    if (text.isEmpty() || m_busy || !m_target.isUsable() || !m_target.canType(text)) return;
    const QString program = findProgram();
    if (program.isEmpty()) return;
    m_busy = true;
    qint64 processId = 0;
    if (!QProcess::startDetached(program, {}, QString(), &processId) || processId <= 0) {
        m_busy = false;
        return;
    }
    const QDeadlineTimer deadline(m_timeout);
    quint64 window = 0;
    while ((window = m_target.findWindow(processId)) == 0 && !deadline.hasExpired()) pause(kPollMs);
    if (window != 0) {
        bool focused = false;
        for (int poll = 0; !(focused = m_target.hasFocus(window)) && !deadline.hasExpired();
             ++poll) {
            // Asked again now and then: a window manager may ignore a request for a window it
            // is still mapping.
            if (poll % kPollsPerRequest == 0) m_target.bringForward(window);
            pause(kPollMs);
        }
        if (focused) typeSlowly(window, text);
    }
    m_busy = false;
}

}  // namespace velmora::desktop
