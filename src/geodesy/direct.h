#pragma once

#include <optional>

#include "geodesy/ellipsoids.h"

// Where a geodesic leads: from A, on a given azimuth, over a given distance. Vincenty's direct
// formula on an ellipsoid and the great circle on the sphere of the sphere distance. Latitudes
// and longitudes in degrees, North and East positive.
namespace velmora::geodesy {

// A point on the ellipsoid: latitude -90 to 90, longitude -180 (excluded) to 180 (included).
struct GeoPoint {
    double latDeg = 0.0;
    double lonDeg = 0.0;
};

// The end B of a direct problem: its position, the longitude in (-180, 180], and the forward
// azimuth at B, the direction of travel on arrival, in degrees clockwise from north in [0, 360).
struct DirectSolution {
    double latBDeg = 0.0;
    double lonBDeg = 0.0;
    double azimuthAtBDeg = 0.0;
};

// A longitude in degrees, any finite value, brought into (-180, 180] without rounding.
double NormalisedLongitudeDeg(double degrees);

// Vincenty's direct formula: B from A (latitude -90 to 90, any finite longitude), the azimuth at
// A (degrees clockwise from north, any finite value) and the distance from A to B in metres
// (0 or more; a path longer than half the meridian runs on past the antipode). The ellipsoid is
// taken as given, a, b and f each where the inverse formula uses it, so that the inverse of a
// result retraces it. Nothing comes back for input that is not finite, a latitude beyond a
// pole, a negative distance, an ellipsoid the series cannot take (a or b not positive, f
// outside [0, 1)), or when the iteration on the arc does not settle within its pass limit
// (flattenings far beyond the Earth's, where the series diverge).
std::optional<DirectSolution> VincentyDirect(double latADeg, double lonADeg, double azimuthADeg,
                                             double metres, const Ellipsoid& ellipsoid);

// The great circle on the sphere of radius kSphereRadiusMetres, the sphere of the great-circle
// distance: arguments, ranges and failures as VincentyDirect.
std::optional<DirectSolution> SphereDirect(double latADeg, double lonADeg, double azimuthADeg,
                                           double metres);

}  // namespace velmora::geodesy
