// Inverse geodesic problem by T. Vincenty, "Direct and inverse solutions of geodesics on the
// ellipsoid with application of nested equations", Survey Review 23 (176), 1975, with the
// series coefficients of that paper; and the great-circle distance by the spherical law of
// cosines.
//
// IEEE arithmetic carries on with infinities and NaNs where these routines must stop at a
// division by zero, an overflow or an invalid operation. The kernels check finiteness at the
// few points where such a value could be hidden again (an infinite argument to atan gives a
// finite angle) and at the end; everywhere else an infinity or NaN propagates to the result
// or keeps the iteration from converging, and both end in a Fault.

#include "geodesy/vincenty.h"

#include <cmath>

namespace velmora::geodesy {

namespace {

constexpr double kHalfPi = kPi / 2.0;  // with the program's pi
constexpr double kDegreesPerHalfTurn = 180.0;
constexpr double kLambdaTolerance = 1e-12;    // radians on lambda; far below 1 mm
constexpr int kPassLimit = 20;                // a result needs convergence in 19 passes
constexpr double kQuarterLatitudeDeg = 90.0;  // colatitude = 90 - latitude

bool allFinite(double a, double b, double c, double d) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

// The angle of (x, y) from the one-argument arc tangent, the cases tested in this order, so
// (-1, 0) gives -pi. Inline, because the kernel calls it in every pass.
inline double arcTan2(double x, double y) {
    if (y > 0.0) {
        if (x >= y) return std::atan(y / x);
        if (x <= -y) return std::atan(y / x) + kPi;
        return kHalfPi - std::atan(x / y);
    }
    if (x >= -y) return std::atan(y / x);
    if (x <= y) return std::atan(y / x) - kPi;
    return -std::atan(x / y) - kHalfPi;
}

}  // namespace

double DegToRad(double degrees) { return (kPi / kDegreesPerHalfTurn) * degrees; }

double ArcTan2(double x, double y) { return arcTan2(x, y); }

namespace {

constexpr double kFullTurnDeg = 360.0;

// An azimuth from atan2 (radians, -pi to pi) in degrees clockwise from north, 0 to 360.
double clockwiseFromNorthDeg(double east, double north) {
    const double degrees = std::atan2(east, north) * (kDegreesPerHalfTurn / kPi);
    // A hair west of north turns into 360 exactly when 360 is added: that is north, 0.
    const double turned = degrees < 0.0 ? degrees + kFullTurnDeg : degrees;
    return turned < kFullTurnDeg ? turned : 0.0;
}

// Vincenty's iteration and distance, and when asked the azimuths from the same iteration:
// (Vincenty 1975, eqs. 20 and 21) with the settled lambda, at A towards B and at B onwards.
GeodesicSolution solveVincenty(double latADeg, double lonADeg, double latBDeg, double lonBDeg,
                               double semiMajorMetres, double semiMinorMetres, double flattening,
                               bool withAzimuths) {
    GeodesicSolution solution;  // a fault until solved
    if (!allFinite(latADeg, lonADeg, latBDeg, lonBDeg) ||
        !allFinite(semiMajorMetres, semiMinorMetres, flattening, 0.0)) {
        return solution;
    }
    const double f = flattening;
    const double bigL = DegToRad(lonBDeg - lonADeg);
    const double tanReducedA = (1.0 - f) * std::tan(DegToRad(latADeg));
    const double tanReducedB = (1.0 - f) * std::tan(DegToRad(latBDeg));
    if (!allFinite(bigL, tanReducedA, tanReducedB, 0.0)) return solution;
    const double u1 = std::atan(tanReducedA);
    const double u2 = std::atan(tanReducedB);
    const double sinU1 = std::sin(u1);
    const double cosU1 = std::cos(u1);
    const double sinU2 = std::sin(u2);
    const double cosU2 = std::cos(u2);

    double lambda = bigL;
    double previousLambda = 0.0;
    int passesLeft = kPassLimit;
    double sinSigma = 0.0;
    double cosSigma = 0.0;
    double sigma = 0.0;
    double cosSqAlpha = 0.0;
    double cos2SigmaM = 0.0;
    do {
        --passesLeft;
        const double sinLambda = std::sin(lambda);
        const double cosLambda = std::cos(lambda);
        const double east = cosU2 * sinLambda;
        const double north = cosU1 * sinU2 - sinU1 * cosU2 * cosLambda;
        sinSigma = std::sqrt(east * east + north * north);
        if (sinSigma == 0.0) {  // coincident points: no length, no direction
            solution.status = SolutionStatus::Solved;
            return solution;
        }
        cosSigma = sinU1 * sinU2 + cosU1 * cosU2 * cosLambda;
        sigma = arcTan2(cosSigma, sinSigma);
        const double sinAlpha = cosU1 * cosU2 * sinLambda / sinSigma;
        cosSqAlpha = 1.0 - sinAlpha * sinAlpha;
        // Both points on the equator: the mid-point term vanishes.
        cos2SigmaM = cosSqAlpha == 0.0 ? 0.0 : cosSigma - 2.0 * sinU1 * sinU2 / cosSqAlpha;
        const double c = f / 16.0 * cosSqAlpha * (4.0 + f * (4.0 - 3.0 * cosSqAlpha));
        previousLambda = lambda;
        lambda =
            bigL +
            (1.0 - c) * f * sinAlpha *
                (sigma + c * sinSigma *
                             (cos2SigmaM + c * cosSigma * (-1.0 + 2.0 * cos2SigmaM * cos2SigmaM)));
    } while (!(std::fabs(lambda - previousLambda) <= kLambdaTolerance) && passesLeft > 0);
    if (passesLeft < 1) {
        // An infinity or NaN keeps the passes from settling too; that is a fault, not a
        // hard case for the iteration.
        if (std::isfinite(lambda)) solution.status = SolutionStatus::NotSettled;
        return solution;
    }

    const double aSq = semiMajorMetres * semiMajorMetres;
    const double bSq = semiMinorMetres * semiMinorMetres;
    const double uSq = (aSq - bSq) * cosSqAlpha / bSq;
    const double bigA =
        uSq / 16384.0 * (4096.0 + uSq * (-768.0 + uSq * (320.0 - 175.0 * uSq))) + 1.0;
    const double bigB = uSq / 1024.0 * (256.0 + uSq * (-128.0 + uSq * (74.0 - 47.0 * uSq)));
    const double cos2SigmaMSq = cos2SigmaM * cos2SigmaM;
    const double deltaSigma =
        bigB * sinSigma *
        (cos2SigmaM + bigB / 4.0 *
                          (cosSigma * (-1.0 + 2.0 * cos2SigmaMSq) -
                           bigB / 6.0 * cos2SigmaM * (-3.0 + 4.0 * sinSigma * sinSigma) *
                               (-3.0 + 4.0 * cos2SigmaMSq)));
    const double metres = semiMinorMetres * bigA * (sigma - deltaSigma);
    // b = 0 divides by zero in u^2; huge axes overflow their squares; absurd axes (a negative
    // b) give a negative length: none of them may come back.
    if (!std::isfinite(uSq) || !std::isfinite(metres) || metres < 0.0) return solution;
    solution.status = SolutionStatus::Solved;
    solution.metres = metres;
    if (withAzimuths) {
        const double sinLambda = std::sin(lambda);
        const double cosLambda = std::cos(lambda);
        solution.azimuths = Azimuths{
            clockwiseFromNorthDeg(cosU2 * sinLambda, cosU1 * sinU2 - sinU1 * cosU2 * cosLambda),
            clockwiseFromNorthDeg(cosU1 * sinLambda, -sinU1 * cosU2 + cosU1 * sinU2 * cosLambda)};
    }
    return solution;
}

// The great circle by the spherical law of cosines; its azimuths when asked.
GeodesicSolution solveSphere(double latADeg, double lonADeg, double latBDeg, double lonBDeg,
                             bool withAzimuths) {
    GeodesicSolution solution;
    if (!allFinite(latADeg, lonADeg, latBDeg, lonBDeg)) return solution;
    const double thetaA = DegToRad(kQuarterLatitudeDeg - latADeg);
    const double thetaB = DegToRad(kQuarterLatitudeDeg - latBDeg);
    const double radA = DegToRad(lonADeg);
    const double radB = DegToRad(lonBDeg);
    const double x = std::cos(thetaA) * std::cos(thetaB) +
                     std::sin(thetaA) * std::sin(thetaB) * std::cos(std::fabs(radA - radB));
    double centralAngle = 0.0;
    if (!(x >= 1.0)) {
        // The arc cosine through atan: at x <= -1 the root is 0 or invalid and the quotient
        // divides by zero; IEEE would hand back pi there, so stop instead.
        if (!(x > -1.0)) return solution;
        centralAngle = std::atan(-x / std::sqrt(1.0 - x * x)) + 2.0 * std::atan(1.0);
    }
    const double metres = kSphereRadiusMetres * centralAngle;
    if (!std::isfinite(metres)) return solution;
    solution.status = SolutionStatus::Solved;
    solution.metres = metres;
    if (withAzimuths && centralAngle > 0.0) {
        // The sine of a latitude is the cosine of its colatitude and the other way round.
        const double sinLatA = std::cos(thetaA);
        const double cosLatA = std::sin(thetaA);
        const double sinLatB = std::cos(thetaB);
        const double cosLatB = std::sin(thetaB);
        const double sinDelta = std::sin(radB - radA);
        const double cosDelta = std::cos(radB - radA);
        solution.azimuths =
            Azimuths{clockwiseFromNorthDeg(sinDelta * cosLatB,
                                           cosLatA * sinLatB - sinLatA * cosLatB * cosDelta),
                     clockwiseFromNorthDeg(sinDelta * cosLatA,
                                           -sinLatA * cosLatB + cosLatA * sinLatB * cosDelta)};
    }
    return solution;
}

}  // namespace

GeodesicSolution VincentyInverse(double latADeg, double lonADeg, double latBDeg, double lonBDeg,
                                 double semiMajorMetres, double semiMinorMetres, double flattening,
                                 WithAzimuths withAzimuths) {
    return solveVincenty(latADeg, lonADeg, latBDeg, lonBDeg, semiMajorMetres, semiMinorMetres,
                         flattening, withAzimuths == WithAzimuths::Yes);
}

GeodesicSolution SphereInverse(double latADeg, double lonADeg, double latBDeg, double lonBDeg,
                               WithAzimuths withAzimuths) {
    return solveSphere(latADeg, lonADeg, latBDeg, lonBDeg, withAzimuths == WithAzimuths::Yes);
}

}  // namespace velmora::geodesy
