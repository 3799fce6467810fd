#pragma once

#include "desktop/keyboard_target.h"
#include "desktop/services.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

namespace velmora::desktop {

// Starts the first calculator program found and types the number into its window, once that
// window exists and holds the keyboard focus; otherwise nothing is typed anywhere.
class LaunchedCalculator : public SystemCalculator {
public:
    // programs: names looked up on PATH, or absolute paths, in order of preference.
    // timeout: how long the started program may take to show its window and take the focus.
    LaunchedCalculator(QStringList programs, KeyboardTarget& target,
                       std::chrono::milliseconds timeout);

    void typeNumber(const QString& text) override;

private:
    QString findProgram() const;
    void typeSlowly(quint64 window, const QString& text);

    QStringList m_programs;
    KeyboardTarget& m_target;
    std::chrono::milliseconds m_timeout;
    bool m_busy = false;
};

// Hands the number to a calculator without typing, for sessions where one program may not type
// into another (Wayland): on the command line where the calculator takes it there (qalculate-gtk
// an expression, gnome-calculator --equation=), else on the clipboard with one message that says
// so. A calculator that forwards its command line to a copy already running hands the number on
// as well; one that does not end in time then is stopped and the clipboard used instead.
class HandoverCalculator : public SystemCalculator {
public:
    // programs: as for LaunchedCalculator. forwardTimeout: how long a launch that should only
    // pass its command line to a running copy may take before it counts as hung.
    HandoverCalculator(QStringList programs, Warnings& warnings,
                       std::chrono::milliseconds forwardTimeout);

    void typeNumber(const QString& text) override;

private:
    bool handOver(const QString& program, const QString& text);
    void copyAndTell(const QString& text, bool calculatorStarted);

    QStringList m_programs;
    Warnings& m_warnings;
    std::chrono::milliseconds m_forwardTimeout;
    bool m_busy = false;
};

// The first of programs found: an absolute path that is executable, or a name on PATH; empty
// when none is.
QString findCalculatorProgram(const QStringList& programs);

// The arguments that give the number to this calculator (named by its file name) at start, or
// nullopt for a calculator that takes none. Only plain number text is handed over: an optional
// minus, digits, one decimal mark ('.' or ','), an optional exponent.
std::optional<QStringList> handoverArguments(const QString& programName, const QString& number);

// Whether a number must be handed over rather than typed: in a Wayland session, natively
// (platformName "wayland") or through XWayland (an X platform with WAYLAND_DISPLAY set), where
// typed keys reach XWayland windows only and calculators start as Wayland programs.
bool needsHandover(const QString& platformName, const QString& waylandDisplay);

// The calculators tried on this platform, most common first. xcalc is not among them: it sets no
// _NET_WM_PID, so its window cannot be told from another program's, and it takes no number
// on its command line.
QStringList defaultCalculatorPrograms();

// Time a calculator gets to start and show its window: a cold start of a GTK or KDE calculator
// takes one to three seconds on a loaded machine.
inline constexpr std::chrono::milliseconds kCalculatorStartTimeout{5000};
// Time a launch gets to pass its command line to a copy already running (D-Bus, one round
// trip) and end; gnome-calculator has been seen to hang there instead.
inline constexpr std::chrono::milliseconds kCalculatorForwardTimeout{3000};

}  // namespace velmora::desktop
