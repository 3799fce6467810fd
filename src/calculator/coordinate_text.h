#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "calculator/state.h"

// Coordinate text: up to three numbers with the marks degree, minutes ("'") and seconds
// ("\""), in that order, optionally behind "-". These are the only routines that give it a
// numeric meaning. A number part that does not convert counts as 0; an angle beyond the
// double range is an overflow, reported as the value each routine names.
namespace velmora::calc {

inline constexpr double kMinutesPerDegree = 60.0;
inline constexpr double kSecondsPerMinute = 60.0;
inline constexpr double kSecondsPerDegree = 3600.0;
inline constexpr double kLatitudeLimitDeg = 90.0;    // inclusive, either hemisphere
inline constexpr double kLongitudeLimitDeg = 180.0;  // inclusive, either hemisphere

// The angle of text rewritten in the state's CoordFormat. Returns the input unchanged when,
// after separator replacement and trimming, it is empty or "0", or while state.Loading.
// nullopt when the angle overflows (the caller's step fails).
std::optional<std::string> ConvertCoordinateText(const CalculatorState& state,
                                                 std::string_view text);

// The same in an explicit format (kDegMinSec, kDegMin, kDeg).
std::optional<std::string> ConvertCoordinateText(const CalculatorState& state,
                                                 std::string_view text, std::int16_t format);

// Decimal degrees as number text, without a mark ("45.5", "-7.25", ".5"). For input that the
// conversion returns unchanged, that input less its last character ("0" gives ""). An angle
// that overflows gives the overflow text of NumberText ("1E+309", "-1E+309").
std::string DecimalDegreesText(const CalculatorState& state, std::string_view text);

// The angle of text in decimal degrees, as every distance reads a stored coordinate: exactly
// ReadLeadingNumber(DecimalDegreesText(state, text)), 15 significant digits included, but
// read once, without writing the text. An overflow reads as +-infinity, which every distance
// kernel refuses as a fault.
double CoordinateDegrees(const CalculatorState& state, std::string_view text);

// False when the value exceeds 90 (latitude) or 180 (longitude), is negative (the hemisphere
// gives the sign) or overflows; the limits and 0 pass.
bool CoordinateInRange(const CalculatorState& state, std::string_view text, bool isLatitude);

}  // namespace velmora::calc
