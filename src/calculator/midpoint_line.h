#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "calculator/state.h"
#include "geodesy/direct.h"

// The midpoint of the shown distance: the point halfway along the geodesic from A to B (not
// the average of their coordinates), and the history line that follows a distance line.
namespace velmora::calc {

// The midpoint of the geodesic between the four stored coordinates: the great circle while
// state.SphereMode, Vincenty on state.Datum otherwise and, where Vincenty's inverse does not
// settle and exactWhereUnsettled (the distance itself was solved exactly), GeographicLib on
// the same a and f. Nothing when the kernel fails: nearly antipodal points it cannot take, a
// stored coordinate that overflows, an ellipsoid the kernels refuse.
std::optional<geodesy::GeoPoint> SolveMidpoint(const CalculatorState& state,
                                               bool exactWhereUnsettled);

// "Midpoint: 45° 11' 20.49\" N  10° 49' 38.62\" E" (two blanks between latitude and
// longitude), the angles written as the azimuth lines write them in format; "Midpoint: none"
// for no midpoint. A latitude that shows as 0 is N, a longitude that shows as 0 is E and one
// that shows as 180 is E too, whatever the sign of the value underneath.
std::string MidpointLine(const std::optional<geodesy::GeoPoint>& midpoint, std::int16_t format);

}  // namespace velmora::calc
