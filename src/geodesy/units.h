#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "calculator/state.h"

// Distance units and the text of distances.
namespace velmora::geodesy {

inline constexpr double kKmPerStatuteMile = 1.609344;
inline constexpr double kKmPerNauticalMile = 1.853;  // the program's factor, not 1.852

// The distance in kilometres written in unit state.UnitIndex by the pattern "######0.000000"
// with the user's decimal mark; sets state.UnitText. "Error" and an empty UnitText when no
// unit is selected.
std::string FormatDistance(calc::CalculatorState& state, double distanceKm,
                           std::string_view localeDecimalMark);

// Sets DisplaySeparator to "." and ConversionSeparator to ",", whatever the locale.
void DetectDecimalSeparator(calc::CalculatorState& state);

// A shown distance, in unit state.UnitIndex, re-expressed in newUnit (0 km, 1 mi, 2 nmi)
// and written like FormatDistance; sets state.UnitText. Call before changing UnitIndex.
std::string ConvertDistanceText(calc::CalculatorState& state, std::string_view text,
                                std::int16_t newUnit, std::string_view localeDecimalMark);

}  // namespace velmora::geodesy
