#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "calculator/state.h"
#include "geodesy/units.h"

// Distance units and the text of distances.
namespace velmora::calc {

// One distance unit: kilometres per unit, the symbol written behind a distance and the name
// the history gives it.
struct DistanceUnit {
    double kmPerUnit;
    std::string_view symbol;
    std::string_view name;
};

// Every unit, by its code (UnitIndex): kKilometres, kStatuteMiles, kNauticalMiles.
inline constexpr std::array<DistanceUnit, 3> kDistanceUnits{{
    {1.0, "km", "kilometers"},
    {geodesy::kKmPerStatuteMile, "mi", "statute miles"},
    {geodesy::kKmPerNauticalMile, "nmi", "nautical miles"},
}};

// Whether unit is the code of a unit in kDistanceUnits.
constexpr bool IsDistanceUnit(std::int16_t unit) {
    return unit >= 0 && static_cast<std::size_t>(unit) < kDistanceUnits.size();
}

// The history line of a unit chosen: "Distance: kilometers [km]". unit must be a unit code.
std::string UnitChosenLine(std::int16_t unit);

// The history line of a shown distance: "Distance: 969.845344 km".
std::string DistanceLine(std::string_view shown, const CalculatorState& state);

// The distance in kilometres written in unit state.UnitIndex by the pattern "######0.000000"
// with the user's decimal mark; sets state.UnitText. "Error" and an empty UnitText when no
// unit is selected.
std::string FormatDistance(CalculatorState& state, double distanceKm,
                           std::string_view localeDecimalMark);

// Sets DisplaySeparator to "." and ConversionSeparator to ",", whatever the locale.
void DetectDecimalSeparator(CalculatorState& state);

// A shown distance, in unit state.UnitIndex, re-expressed in newUnit and written like
// FormatDistance; sets state.UnitText. Call before changing UnitIndex.
std::string ConvertDistanceText(CalculatorState& state, std::string_view text,
                                std::int16_t newUnit, std::string_view localeDecimalMark);

}  // namespace velmora::calc
