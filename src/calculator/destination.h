#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "calculator/number_text.h"
#include "calculator/state.h"
#include "geodesy/direct.h"

// "Destination from A": the point B reached from the stored A on a typed azimuth over a typed
// distance, and what the history says about it. Standard C++ only; the window's dialog reads
// its fields through ParseDestinationInput.
namespace velmora::calc {

// The two fields of the dialog, read: the azimuth at A in degrees clockwise from north,
// 0 up to but not including 360, and the distance in the unit it was typed in (0 or more).
struct DestinationInput {
    double azimuthDeg = 0.0;
    double distance = 0.0;
};

// A reading of the two fields: the values, or a refusal that names the field and why
// ("Azimuth: minutes must be below 60", "Distance: not a number"), without a full stop.
struct DestinationParse {
    std::optional<DestinationInput> input;
    std::string refusal;
};

// Reads the azimuth (UTF-8) in coordinate format format: degrees, then minutes, then seconds,
// parted by blanks or by their marks ("45.5", "45 30", "45°30'", "45 30 15.5", "45° 30' 15.5\""),
// at most the parts the format has (fewer are fine: "90" in any format), decimals on the last
// part only, "." or "," as decimal mark, minutes and seconds below 60. The distance is one
// number in unit (a unit code) with "." or "," as decimal mark, no group marks, 0 or more, and
// finite in metres. The azimuth is checked first.
DestinationParse ParseDestinationInput(std::string_view azimuthText, std::string_view distanceText,
                                       std::int16_t format, std::int16_t unit);

// Why a destination cannot start from the state: Latitude A or Longitude A not entered since
// the coordinates were last reset, or entered out of range (a refused entry is stored too).
// The text is a whole sentence for a message box; nothing when A is usable.
std::optional<std::string> DestinationStartRefusal(const CalculatorState& state);

// What a destination does to the calculator: the line written before B is entered, B itself
// (latitude -90 to 90, longitude in (-180, 180]) and the line written after it.
struct DestinationPlan {
    std::string destinationLine;  // "Destination: azimuth 45° 30' 0.00\", 100.000000 km"
    geodesy::GeoPoint pointB;
    std::string arrivalLine;  // "Azimuth at B: 46° 12' 3.40\""
};

// A plan, or a refusal for a message box.
struct DestinationOutcome {
    std::optional<DestinationPlan> plan;
    std::string refusal;
};

// The destination from the stored A: the start refusal, then the input refusal, then the
// direct problem on the sphere while state.SphereMode (SphereDirect) and by Vincenty on
// state.Datum otherwise; a direct that fails is refused. Angles in the lines are written in
// state.CoordFormat as the azimuth lines write them, the distance with six decimals and
// decimalMark, and the symbol of state.UnitIndex.
DestinationOutcome PlanDestination(const CalculatorState& state, std::string_view azimuthText,
                                   std::string_view distanceText, std::string_view decimalMark);

}  // namespace velmora::calc
