#pragma once

#include <optional>

#include "geodesy/direct.h"
#include "geodesy/midpoint.h"

// The direct problem and the geodesic midpoint solved to round-off by GeographicLib, for the
// nearly antipodal points where Vincenty's inverse does not settle and so gives no midpoint.
// The ellipsoid is given as ExactInverse takes it: semi-major axis in metres and flattening,
// the semi-minor axis being a(1 - f).
namespace velmora::geodesy {

// B from A (degrees, latitude -90 to 90), the azimuth at A (degrees clockwise from north) and
// the distance in metres (0 or more); ranges of the result as VincentyDirect gives them.
// Nothing, never an exception, for arguments that are not finite, a latitude beyond a pole, a
// negative distance, or an ellipsoid GeographicLib refuses (a or b not positive and finite).
std::optional<DirectSolution> ExactDirect(double latADeg, double lonADeg, double azimuthADeg,
                                          double metres, double semiMajorMetres, double flattening);

// The midpoint of the geodesic from A to B by GeographicLib's inverse and then its direct over
// half the distance. Solved, or Fault for the arguments ExactInverse refuses.
MidpointSolution ExactMidpoint(double latADeg, double lonADeg, double latBDeg, double lonBDeg,
                               double semiMajorMetres, double flattening);

}  // namespace velmora::geodesy
