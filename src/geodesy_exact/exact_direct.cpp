#include "geodesy_exact/exact_direct.h"

#include <GeographicLib/Geodesic.hpp>

#include <cmath>

namespace velmora::geodesy {

namespace {

constexpr double kFullTurnDeg = 360.0;
constexpr double kLatitudeLimitDeg = 90.0;

// GeographicLib gives azimuths in [-180, 180]; the program's run from 0 up to 360.
double clockwiseFromNorthDeg(double degrees) {
    double turn = std::fmod(degrees, kFullTurnDeg);
    if (turn < 0.0) turn += kFullTurnDeg;
    if (turn >= kFullTurnDeg) turn = 0.0;  // a hair west of north rounds to 360
    return turn + 0.0;                     // -0 as 0
}

bool isSoundEllipsoid(double semiMajorMetres, double flattening) {
    const double semiMinorMetres = semiMajorMetres * (1.0 - flattening);
    return std::isfinite(semiMajorMetres) && std::isfinite(flattening) &&
           std::isfinite(semiMinorMetres) && semiMajorMetres > 0.0 && semiMinorMetres > 0.0;
}

bool isOnTheEllipsoid(double latDeg, double lonDeg) {
    return std::isfinite(latDeg) && std::isfinite(lonDeg) && std::fabs(latDeg) <= kLatitudeLimitDeg;
}

}  // namespace

std::optional<DirectSolution> ExactDirect(double latADeg, double lonADeg, double azimuthADeg,
                                          double metres, double semiMajorMetres,
                                          double flattening) {
    if (!isOnTheEllipsoid(latADeg, lonADeg) || !std::isfinite(azimuthADeg) ||
        !std::isfinite(metres) || !(metres >= 0.0) ||
        !isSoundEllipsoid(semiMajorMetres, flattening))
        return {};
    double latBDeg = 0.0;
    double lonBDeg = 0.0;
    double azimuthBDeg = 0.0;
    try {
        const GeographicLib::Geodesic ellipsoid(semiMajorMetres, flattening);
        ellipsoid.Direct(latADeg, lonADeg, azimuthADeg, metres, latBDeg, lonBDeg, azimuthBDeg);
    } catch (...) {
        return {};  // GeographicErr: an ellipsoid it cannot work with
    }
    if (!std::isfinite(latBDeg) || !std::isfinite(lonBDeg) || !std::isfinite(azimuthBDeg))
        return {};
    return DirectSolution{latBDeg, NormalisedLongitudeDeg(lonBDeg),
                          clockwiseFromNorthDeg(azimuthBDeg)};
}

MidpointSolution ExactMidpoint(double latADeg, double lonADeg, double latBDeg, double lonBDeg,
                               double semiMajorMetres, double flattening) {
    if (!isOnTheEllipsoid(latADeg, lonADeg) || !isOnTheEllipsoid(latBDeg, lonBDeg) ||
        !isSoundEllipsoid(semiMajorMetres, flattening))
        return {};
    double metres = 0.0;
    double azimuthADeg = 0.0;
    double azimuthBDeg = 0.0;
    double midLatDeg = 0.0;
    double midLonDeg = 0.0;
    try {
        const GeographicLib::Geodesic ellipsoid(semiMajorMetres, flattening);
        ellipsoid.Inverse(latADeg, lonADeg, latBDeg, lonBDeg, metres, azimuthADeg, azimuthBDeg);
        ellipsoid.Direct(latADeg, lonADeg, azimuthADeg, metres / 2.0, midLatDeg, midLonDeg);
    } catch (...) {
        return {};
    }
    if (!std::isfinite(midLatDeg) || !std::isfinite(midLonDeg)) return {};
    return {SolutionStatus::Solved, GeoPoint{midLatDeg, NormalisedLongitudeDeg(midLonDeg)}};
}

}  // namespace velmora::geodesy
