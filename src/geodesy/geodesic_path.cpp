#include "geodesy/geodesic_path.h"

#include <algorithm>
#include <cmath>

namespace velmora::geodesy {

namespace {

// Far more samples than the longest geodesic a drawing needs (half the Earth's circumference
// is about 200 steps); a bound against a distance that is finite but absurd.
constexpr double kMaxPathSegments = 4096.0;

}  // namespace

std::vector<GeoPoint> SampleGeodesic(GeoPoint a, GeoPoint b, double azimuthADeg, double metres,
                                     const DirectSolver& direct) {
    if (!(metres > 0.0) || !std::isfinite(metres) || !direct) return {};
    const double segments = std::clamp(std::ceil(metres / kPathStepMetres),
                                       double(kMinPathPoints - 1), kMaxPathSegments);
    const int count = static_cast<int>(segments);
    std::vector<GeoPoint> points;
    points.reserve(static_cast<std::size_t>(count) + 1);
    points.push_back(a);
    for (int i = 1; i < count; ++i) {
        const std::optional<DirectSolution> at =
            direct(a.latDeg, a.lonDeg, azimuthADeg, metres * i / segments);
        if (!at) return {};
        points.push_back({at->latBDeg, at->lonBDeg});
    }
    points.push_back(b);
    return points;
}

}  // namespace velmora::geodesy
