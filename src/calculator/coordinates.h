#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calculator/state.h"

// The four stored coordinates: what Enter stores into the active field, and how the stored
// fields are read as degrees for a distance.
namespace velmora::calc {

// What Enter leaves: the history line and the new display.
struct EnteredCoordinate {
    std::string line;     // "Latitude A: 45° 30' 0\" N", or "Latitude A: Out of range"
    std::string display;  // "0", or "Error" for a refused entry
};

// Stores the display into state.ActiveField: a degree mark added when it has no mark, "-" in
// front for the south and the west. A refused entry (beyond 90 or 180 degrees, a sign of its
// own, an overflow) is stored too, without the hemisphere's sign, so Calculate still uses it.
// nullopt, and nothing stored, while no field is chosen.
std::optional<EnteredCoordinate> EnterCoordinate(CalculatorState& state, std::string_view display);

// The stored coordinates in signed decimal degrees (North and East positive); an overflow
// reads as an infinity.
struct StoredPoints {
    double latADeg;
    double latBDeg;
    double lonADeg;
    double lonBDeg;
};

// Each field read once by CoordinateDegrees.
StoredPoints ReadStoredPoints(const CalculatorState& state);

}  // namespace velmora::calc
