#pragma once

#include "desktop/keyboard_target.h"
#include "desktop/services.h"

#include <QStringList>

#include <chrono>

namespace velmora::desktop {

// Starts the first calculator program found and types the number into its window, once that
// window exists and holds the keyboard focus; otherwise nothing is typed anywhere.
class LaunchedCalculator : public SystemCalculator {
public:
    // programs: names looked up on PATH, or absolute paths, in order of preference.
    // timeout: how long the started program may take to show its window and take the focus.
    LaunchedCalculator(QStringList programs, KeyboardTarget& target, std::chrono::milliseconds timeout);

    void typeNumber(const QString& text) override;

private:
    QString findProgram() const;
    void typeSlowly(quint64 window, const QString& text);

    QStringList m_programs;
    KeyboardTarget& m_target;
    std::chrono::milliseconds m_timeout;
    bool m_busy = false;
};

// The calculators tried on this platform, most common first.
QStringList defaultCalculatorPrograms();

// Time a calculator gets to start and show its window: a cold start of a GTK or KDE calculator
// takes one to three seconds on a loaded machine.
inline constexpr std::chrono::milliseconds kCalculatorStartTimeout{5000};

}  // namespace velmora::desktop
