// Direct geodesic problem by T. Vincenty, "Direct and inverse solutions of geodesics on the
// ellipsoid with application of nested equations", Survey Review 23 (176), 1975: equations 1 to
// 12 with the series coefficients of that paper. On a sphere (f = 0, a = b) the series vanish
// and the same equations are the great circle's.

#include "geodesy/direct.h"

#include <cmath>
#include <numbers>

#include "geodesy/vincenty.h"

namespace velmora::geodesy {

namespace {

constexpr double kHalfTurnDeg = 180.0;
constexpr double kFullTurnDeg = 360.0;
constexpr double kLatitudeLimitDeg = 90.0;
// The true pi, not the program's kPi: atan2 returns angles of the true one, so a half turn
// comes back as 180 degrees exactly. Against the inverse's kPi this moves a point by 1e-15
// of its angle, nanometres.
constexpr double kRadPerDeg = std::numbers::pi / kHalfTurnDeg;
constexpr double kDegPerRad = kHalfTurnDeg / std::numbers::pi;
// Radians on the arc sigma: 6 micrometres on the Earth. The passes shrink the error by about B
// (under 0.002 on the Earth's ellipsoids), so the arc that passes this test is good to 1e-14.
constexpr double kArcTolerance = 1e-12;
// Passes on sigma: the Earth's ellipsoids settle in 4, a flattening of 0.1 in about 8; 20 leaves
// room for flatter custom ellipsoids and stops the iteration where the series diverge.
constexpr int kPassLimit = 20;

// The direction of (east, north) in degrees clockwise from north, in [0, 360): an azimuth a
// hair west of north rounds to 360 when the turn is added and is then north itself.
double clockwiseFromNorthDeg(double east, double north) {
    double degrees = std::atan2(east, north) * kDegPerRad;
    if (degrees < 0.0) degrees += kFullTurnDeg;
    if (degrees >= kFullTurnDeg) degrees = 0.0;
    return degrees + 0.0;  // -0 as 0
}

bool isFinite(double a, double b, double c, double d) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

// Vincenty's Delta sigma (eq. 6) from the arc sigma and the cosine of twice the arc from the
// equator to its mid-point.
double arcCorrection(double bigB, double sinSigma, double cosSigma, double cos2SigmaM) {
    const double cos2SigmaMSq = cos2SigmaM * cos2SigmaM;
    return bigB * sinSigma *
           (cos2SigmaM + bigB / 4.0 *
                             (cosSigma * (-1.0 + 2.0 * cos2SigmaMSq) -
                              bigB / 6.0 * cos2SigmaM * (-3.0 + 4.0 * sinSigma * sinSigma) *
                                  (-3.0 + 4.0 * cos2SigmaMSq)));
}

}  // namespace

double NormalisedLongitudeDeg(double degrees) {
    const double turn = std::fmod(degrees, kFullTurnDeg);  // exact, as are both steps below
    if (turn <= -kHalfTurnDeg) return turn + kFullTurnDeg;
    if (turn > kHalfTurnDeg) return turn - kFullTurnDeg;
    return turn;
}

std::optional<DirectSolution> VincentyDirect(double latADeg, double lonADeg, double azimuthADeg,
                                             double metres, const Ellipsoid& ellipsoid) {
    const double a = ellipsoid.semiMajorMetres;
    const double b = ellipsoid.semiMinorMetres;
    const double f = ellipsoid.flattening;
    if (!isFinite(latADeg, lonADeg, azimuthADeg, metres) || !isFinite(a, b, f, 0.0)) return {};
    if (!(std::fabs(latADeg) <= kLatitudeLimitDeg) || !(metres >= 0.0)) return {};
    if (!(a > 0.0) || !(b > 0.0) || !(f >= 0.0 && f < 1.0)) return {};

    const double latRad = kRadPerDeg * latADeg;
    const double azimuthRad = kRadPerDeg * azimuthADeg;
    const double sinAlpha1 = std::sin(azimuthRad);
    const double cosAlpha1 = std::cos(azimuthRad);
    // The reduced latitude U1, tan U1 = (1 - f) tan phi1, from its sine and cosine: no tangent
    // to blow up at the poles.
    const double reducedSin = (1.0 - f) * std::sin(latRad);
    const double reducedCos = std::cos(latRad);
    const double reducedNorm = std::hypot(reducedSin, reducedCos);
    const double sinU1 = reducedSin / reducedNorm;
    const double cosU1 = reducedCos / reducedNorm;
    // sigma1, the arc from the equator to A (eq. 1), enters only as 2 sigma1: its sine and
    // cosine, from those of sigma1. Along the equator it is undefined and does not matter,
    // since B below vanishes there.
    const double sigma1Norm = std::hypot(sinU1, cosU1 * cosAlpha1);
    const double sinSigma1 = sigma1Norm > 0.0 ? sinU1 / sigma1Norm : 0.0;
    const double cosSigma1 = sigma1Norm > 0.0 ? cosU1 * cosAlpha1 / sigma1Norm : 1.0;
    const double sin2Sigma1 = 2.0 * sinSigma1 * cosSigma1;
    const double cos2Sigma1 = 1.0 - 2.0 * sinSigma1 * sinSigma1;

    const double sinAlpha = cosU1 * sinAlpha1;  // eq. 2
    const double cosSqAlpha = 1.0 - sinAlpha * sinAlpha;
    const double uSq = cosSqAlpha * (a * a - b * b) / (b * b);
    const double bigA =
        uSq / 16384.0 * (4096.0 + uSq * (-768.0 + uSq * (320.0 - 175.0 * uSq))) + 1.0;
    const double bigB = uSq / 1024.0 * (256.0 + uSq * (-128.0 + uSq * (74.0 - 47.0 * uSq)));

    const double firstSigma = metres / (b * bigA);
    double sigma = firstSigma;
    double previousSigma = 0.0;
    int passesLeft = kPassLimit;
    do {
        if (passesLeft-- == 0) return {};  // not settled; NaN never settles either
        const double sinSigma = std::sin(sigma);
        const double cosSigma = std::cos(sigma);
        const double cos2SigmaM = cos2Sigma1 * cosSigma - sin2Sigma1 * sinSigma;  // eq. 5
        previousSigma = sigma;
        sigma = firstSigma + arcCorrection(bigB, sinSigma, cosSigma, cos2SigmaM);  // eq. 7
    } while (!(std::fabs(sigma - previousSigma) <= kArcTolerance));

    const double sinSigma = std::sin(sigma);
    const double cosSigma = std::cos(sigma);
    const double cos2SigmaM = cos2Sigma1 * cosSigma - sin2Sigma1 * sinSigma;
    const double towardsA = sinU1 * sinSigma - cosU1 * cosSigma * cosAlpha1;
    const double latBRad =
        std::atan2(sinU1 * cosSigma + cosU1 * sinSigma * cosAlpha1,
                   (1.0 - f) * std::hypot(sinAlpha, towardsA));  // eq. 8
    const double lambda = std::atan2(sinSigma * sinAlpha1,
                                     cosU1 * cosSigma - sinU1 * sinSigma * cosAlpha1);  // eq. 9
    const double c = f / 16.0 * cosSqAlpha * (4.0 + f * (4.0 - 3.0 * cosSqAlpha));  // eq. 10
    const double bigL =
        lambda - (1.0 - c) * f * sinAlpha *
                     (sigma + c * sinSigma *
                                  (cos2SigmaM + c * cosSigma * (-1.0 + 2.0 * cos2SigmaM * cos2SigmaM)));

    DirectSolution solution;
    solution.latBDeg = latBRad * kDegPerRad;
    solution.lonBDeg = NormalisedLongitudeDeg(NormalisedLongitudeDeg(lonADeg) + bigL * kDegPerRad);
    solution.azimuthAtBDeg = clockwiseFromNorthDeg(sinAlpha, -towardsA);  // eq. 12
    if (!isFinite(solution.latBDeg, solution.lonBDeg, solution.azimuthAtBDeg, 0.0)) return {};
    return solution;
}

std::optional<DirectSolution> SphereDirect(double latADeg, double lonADeg, double azimuthADeg,
                                           double metres) {
    return VincentyDirect(latADeg, lonADeg, azimuthADeg, metres,
                          Ellipsoid{kSphereRadiusMetres, kSphereRadiusMetres, 0.0});
}

}  // namespace velmora::geodesy
