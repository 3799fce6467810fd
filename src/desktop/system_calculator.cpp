#include "desktop/system_calculator.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <map>

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
    QTimer::singleShot(std::chrono::milliseconds(milliseconds), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

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
    return {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"), QStringLiteral("galculator"),
            QStringLiteral("qalculate-gtk"), QStringLiteral("xcalc")};
#endif
}

LaunchedCalculator::LaunchedCalculator(QStringList programs, KeyboardTarget& target,
                                       std::chrono::milliseconds timeout)
    : m_programs(std::move(programs)), m_target(target), m_timeout(timeout) {}

QString LaunchedCalculator::findProgram() const {
    for (const QString& program : m_programs) {
        if (QFileInfo(program).isAbsolute()) {
            if (QFileInfo(program).isExecutable()) return program;
            continue;
        }
        const QString found = QStandardPaths::findExecutable(program);
        if (!found.isEmpty()) return found;
    }
    return {};
}

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
        for (int poll = 0; !(focused = m_target.hasFocus(window)) && !deadline.hasExpired(); ++poll) {
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
