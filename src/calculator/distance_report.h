#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/distance.h"
#include "calculator/number_text.h"
#include "calculator/state.h"
#include "geodesy/direct.h"

// The distance on the display and in the history: Calculate, the re-expression by a unit key
// and, through Calculate, the recomputation by a datum. The one place where a distance result
// becomes the display and history lines.
namespace velmora::calc {

// What a distance does: the display text and the lines to append, in order.
struct DistanceReport {
    std::string display;
    std::vector<std::string> lines;
};

class DistanceReporter {
public:
    // The extras, off until the window sets them from its ticks. With azimuths on, every
    // distance line is followed by "Azimuth at A: " and "Azimuth at B: " lines in the current
    // coordinate format. With the exact solution on, a distance whose Vincenty iteration does
    // not settle is solved exactly and its lines end in " (exact)".
    void setShowAzimuths(bool on) { m_showAzimuths = on; }
    void setExactNearAntipodes(bool on) { m_exactNearAntipodes = on; }
    // With the midpoint on, the distance's lines end in "Midpoint: " and the point halfway
    // along the geodesic, and a failed distance is followed by "Midpoint: none".
    void setShowMidpoint(bool on) { m_showMidpoint = on; }

    // The lines behind a failed Calculate's failure line.
    std::vector<std::string> failureLines(const CalculatorState& state);

    // Calculate: the distance between the stored points (SolveDistance) reported; nullopt on
    // every failure, for the caller's failure line.
    std::optional<DistanceReport> calculate(CalculatorState& state, const UserLocale& locale);

    // A solved distance in the selected unit: the line "Distance: 969,845344 km" (the user's
    // decimal mark, " (exact)" behind an exact solution) and the azimuth lines; the display
    // shows the point. Sets state.UnitText and remembers the solution for the unit keys.
    DistanceReport report(const DistanceSolution& solution, CalculatorState& state,
                          const UserLocale& locale);

    // A unit key with display shown: the unit's line, and while a distance is shown (a number
    // pasted over it too, unless negative) that distance re-expressed from its text in the
    // new unit, with its lines; display is then the new text (the user's decimal mark).
    // Selects the unit in state. nullopt, and nothing changed, for the unit already selected
    // and for a value that overflows in the new unit.
    struct UnitChange {
        std::vector<std::string> lines;
        std::optional<std::string> display;
    };
    std::optional<UnitChange> chooseUnit(CalculatorState& state, std::string_view display,
                                         std::int16_t unit, const UserLocale& locale);

private:
    void appendLines(std::vector<std::string>& lines, std::string_view shown,
                     const CalculatorState& state) const;

    bool m_showAzimuths = false;
    bool m_exactNearAntipodes = false;
    bool m_showMidpoint = false;
    DistanceSolution m_shown;  // the distance on the display, for a unit that re-expresses it
    std::optional<geodesy::GeoPoint> m_shownMidpoint;  // of m_shown; none: it failed
};

}  // namespace velmora::calc
