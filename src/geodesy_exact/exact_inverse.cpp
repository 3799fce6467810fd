#include "geodesy_exact/exact_inverse.h"

#include <GeographicLib/Geodesic.hpp>

#include <cmath>

namespace velmora::geodesy {

namespace {

constexpr double kFullTurnDeg = 360.0;
constexpr double kLatitudeLimitDeg = 90.0;

// GeographicLib gives azimuths in [-180, 180]; the program's run from 0 to 360.
double clockwiseFromNorth(double degrees) {
    const double turn = std::fmod(degrees, kFullTurnDeg);
    return turn < 0.0 ? turn + kFullTurnDeg : turn;
}

}  // namespace

GeodesicSolution ExactInverse(double latADeg, double lonADeg, double latBDeg, double lonBDeg,
                              double semiMajorMetres, double flattening) {
    GeodesicSolution solution;
    const double semiMinorMetres = semiMajorMetres * (1.0 - flattening);
    for (const double value :
         {latADeg, lonADeg, latBDeg, lonBDeg, semiMajorMetres, flattening, semiMinorMetres}) {
        if (!std::isfinite(value)) return solution;
    }
    if (!(semiMajorMetres > 0.0) || !(semiMinorMetres > 0.0)) return solution;
    // GeographicLib answers NaN for latitudes beyond the poles; the program's fields never
    // hold them, but a fault is the honest answer.
    if (std::fabs(latADeg) > kLatitudeLimitDeg || std::fabs(latBDeg) > kLatitudeLimitDeg)
        return solution;

    double metres = 0.0;
    double azimuthADeg = 0.0;
    double azimuthBDeg = 0.0;
    try {
        const GeographicLib::Geodesic ellipsoid(semiMajorMetres, flattening);
        ellipsoid.Inverse(latADeg, lonADeg, latBDeg, lonBDeg, metres, azimuthADeg, azimuthBDeg);
    } catch (...) {
        return solution;  // GeographicErr: an ellipsoid it cannot work with
    }
    if (!std::isfinite(metres) || !std::isfinite(azimuthADeg) || !std::isfinite(azimuthBDeg))
        return solution;
    solution.status = SolutionStatus::Solved;
    solution.metres = metres;
    if (metres > 0.0)
        solution.azimuths =
            Azimuths{clockwiseFromNorth(azimuthADeg), clockwiseFromNorth(azimuthBDeg)};
    return solution;
}

}  // namespace velmora::geodesy
