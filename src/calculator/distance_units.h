#pragma once

#include <array>
#include <cstdint>
#include <optional>
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

// The symbol written behind a distance in unit ("km", "mi", "nmi"); empty for no unit.
std::string_view UnitSymbol(std::int16_t unit);

// The history line of a unit chosen: "Distance: kilometers [km]". unit must be a unit code.
std::string UnitChosenLine(std::int16_t unit);

// The distance in kilometres written in unit by the pattern "######0.000000" with the user's
// decimal mark; "Error" when unit is no unit (none selected yet) or the value has no writing.
std::string FormatDistance(double distanceKm, std::int16_t unit,
                           std::string_view localeDecimalMark);

// Sets DisplaySeparator to "." and ConversionSeparator to ",", whatever the locale.
void DetectDecimalSeparator(CalculatorState& state);

// A shown distance in unit state.UnitIndex (its leading number, either separator of the state
// read as the point), re-expressed in newUnit and written like FormatDistance. nullopt when
// the value overflows in the new unit.
std::optional<std::string> ConvertDistanceText(const CalculatorState& state, std::string_view text,
                                               std::int16_t newUnit,
                                               std::string_view localeDecimalMark);

}  // namespace velmora::calc
