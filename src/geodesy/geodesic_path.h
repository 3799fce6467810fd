#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "geodesy/direct.h"

// The geodesic from A to B as a line of points for drawing: the direct problem solved at even
// steps along the inverse's azimuth at A. Degrees, North and East positive.
namespace velmora::geodesy {

// B from A (latitude, longitude), the azimuth at A in degrees clockwise from north and the
// distance in metres; nothing when it fails. VincentyDirect, SphereDirect or ExactDirect bound to
// their ellipsoid.
using DirectSolver = std::function<std::optional<DirectSolution>(
    double latADeg, double lonADeg, double azimuthADeg, double metres)>;

inline constexpr double kPathStepMetres = 100'000.0;  // at most this far between two samples
inline constexpr int kMinPathPoints = 64;  // short paths still bend smoothly on the globe

// The points from A to B, metres apart along the azimuth at A (degrees): A itself first and B
// itself last (so the drawn ends sit exactly on the marks), in between every kPathStepMetres
// or closer, at least kMinPathPoints in all, evenly spaced. Longitudes as the solver gives
// them, in (-180, 180]. Empty when metres is not a finite distance above 0 or the solver fails
// at any sample.
std::vector<GeoPoint> SampleGeodesic(GeoPoint a, GeoPoint b, double azimuthADeg, double metres,
                                     const DirectSolver& direct);

}  // namespace velmora::geodesy
