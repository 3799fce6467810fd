#include "geodesy/midpoint.h"

#include <cmath>
#include <numbers>
#include <optional>

#include "geodesy/vincenty.h"

namespace velmora::geodesy {

namespace {

constexpr double kHalfTurnDeg = 180.0;
constexpr double kLatitudeLimitDeg = 90.0;
// The true pi, not the program's kPi: atan2 returns angles of the true one, so a half turn
// comes back as 180 degrees exactly. Against the inverse's kPi this moves a point by 1e-15
// of its angle, nanometres.
constexpr double kRadPerDeg = std::numbers::pi / kHalfTurnDeg;
constexpr double kDegPerRad = kHalfTurnDeg / std::numbers::pi;
// Length of the sum of the two unit vectors below which A and B count as antipodal: the sum
// is then mostly rounding (a point at 180 degrees of longitude sits 3e-15 off the meridian
// with the program's pi), and its direction is noise. 1e-12 is 6 micrometres from the
// antipode on the Earth.
constexpr double kAntipodalSumLength = 1e-12;

MidpointSolution solved(const DirectSolution& direct) {
    return {SolutionStatus::Solved, GeoPoint{direct.latBDeg, direct.lonBDeg}};
}

}  // namespace

MidpointSolution VincentyMidpoint(double latADeg, double lonADeg, double latBDeg, double lonBDeg,
                                  const Ellipsoid& ellipsoid) {
    const GeodesicSolution inverse =
        VincentyInverse(latADeg, lonADeg, latBDeg, lonBDeg, ellipsoid.semiMajorMetres,
                        ellipsoid.semiMinorMetres, ellipsoid.flattening);
    if (inverse.status != SolutionStatus::Solved) return {inverse.status, {}};
    // Coincident points have no azimuth: the direct over no distance still checks A and the
    // ellipsoid, and normalises A's longitude.
    const double azimuthDeg = inverse.azimuths ? inverse.azimuths->atADeg : 0.0;
    const double halfMetres = inverse.azimuths ? inverse.metres / 2.0 : 0.0;
    const std::optional<DirectSolution> direct =
        VincentyDirect(latADeg, lonADeg, azimuthDeg, halfMetres, ellipsoid);
    if (!direct) return {};
    return solved(*direct);
}

MidpointSolution SphereMidpoint(double latADeg, double lonADeg, double latBDeg, double lonBDeg) {
    for (const double value : {latADeg, lonADeg, latBDeg, lonBDeg}) {
        if (!std::isfinite(value)) return {};
    }
    if (std::fabs(latADeg) > kLatitudeLimitDeg || std::fabs(latBDeg) > kLatitudeLimitDeg) return {};
    // Longitudes relative to A's, so the midpoint's comes out as an offset from A's and keeps
    // its precision; the sum's direction does not depend on the sphere's radius.
    const double latARad = kRadPerDeg * latADeg;
    const double latBRad = kRadPerDeg * latBDeg;
    const double lonANormalDeg = NormalisedLongitudeDeg(lonADeg);
    const double deltaLonRad = kRadPerDeg * (NormalisedLongitudeDeg(lonBDeg) - lonANormalDeg);
    const double x = std::cos(latARad) + std::cos(latBRad) * std::cos(deltaLonRad);
    const double y = std::cos(latBRad) * std::sin(deltaLonRad);
    const double z = std::sin(latARad) + std::sin(latBRad);
    const double horizontal = std::hypot(x, y);
    if (!(std::hypot(horizontal, z) >= kAntipodalSumLength)) return {};
    // Through a pole (or along a meridian to one) the horizontal part can vanish; atan2 then
    // keeps A's longitude.
    const double lonDeg = NormalisedLongitudeDeg(lonANormalDeg + std::atan2(y, x) * kDegPerRad);
    return {SolutionStatus::Solved, GeoPoint{std::atan2(z, horizontal) * kDegPerRad, lonDeg}};
}

}  // namespace velmora::geodesy
