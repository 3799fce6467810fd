// Direct geodesic problem by T. Vincenty, "Direct and inverse solutions of geodesics on the
// ellipsoid with application of nested equations", Survey Review 23 (176), 1975: equations 1 to
// 12 with the series coefficients of that paper, eq. 7 solved by Newton's method where the
// paper repeats it. On a sphere (f = 0, a = b) the series vanish
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
// Radians on the arc sigma, the error a pass may leave: 6 micrometres on the Earth.
constexpr double kArcTolerance = 1e-12;
// Passes on sigma: the Earth's ellipsoids settle in 1 or 2, a flattening of 0.1 in 4; 20 leaves
// room for flatter custom ellipsoids and stops the iteration where the series diverge.
constexpr int kPassLimit = 20;
// Radians: a step of the arc up to this turns its sine and cosine by the series of the step's
// sine and cosine to the fifth power, good to 1e-17 (the next term is step^6 / 720), instead
// of two more calls of sin and cos. The Earth's first step is at most B, under 0.002.
constexpr double kSmallStepRad = 4e-3;
// The series' factors as products: a division would lengthen every pass.
constexpr double kSixth = 1.0 / 6.0;
constexpr double kTwelfth = 1.0 / 12.0;
constexpr double kTwentieth = 1.0 / 20.0;

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
                              bigB * kSixth * cos2SigmaM * (-3.0 + 4.0 * sinSigma * sinSigma) *
                                  (-3.0 + 4.0 * cos2SigmaMSq)));
}

}  // namespace

double NormalisedLongitudeDeg(double degrees) {
    if (degrees > -kHalfTurnDeg && degrees <= kHalfTurnDeg) return degrees;
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
    const double reducedScale = 1.0 / std::sqrt(reducedSin * reducedSin + reducedCos * reducedCos);
    const double sinU1 = reducedSin * reducedScale;
    const double cosU1 = reducedCos * reducedScale;
    // sigma1, the arc from the equator to A (eq. 1), enters only as 2 sigma1: its sine and
    // cosine come from sigma1's unnormalised ones s and c as 2sc / (s^2 + c^2) and
    // (c^2 - s^2) / (s^2 + c^2). Along the equator it is undefined and does not matter, since
    // B below vanishes there.
    const double sigma1Cos = cosU1 * cosAlpha1;
    const double sigma1NormSq = sinU1 * sinU1 + sigma1Cos * sigma1Cos;
    const double sigma1Scale = sigma1NormSq > 0.0 ? 1.0 / sigma1NormSq : 0.0;
    const double sin2Sigma1 = 2.0 * sinU1 * sigma1Cos * sigma1Scale;
    const double cos2Sigma1 =
        sigma1NormSq > 0.0 ? (sigma1Cos * sigma1Cos - sinU1 * sinU1) * sigma1Scale : 1.0;

    const double sinAlpha = cosU1 * sinAlpha1;  // eq. 2
    const double cosSqAlpha = 1.0 - sinAlpha * sinAlpha;
    // The ellipsoid's factor first: its division then waits for no sine.
    const double uSq = cosSqAlpha * ((a * a - b * b) / (b * b));
    const double bigA =
        uSq / 16384.0 * (4096.0 + uSq * (-768.0 + uSq * (320.0 - 175.0 * uSq))) + 1.0;
    const double bigB = uSq / 1024.0 * (256.0 + uSq * (-128.0 + uSq * (74.0 - 47.0 * uSq)));

    const double firstSigma = metres / (b * bigA);
    double sigma = firstSigma;
    double sinSigma = std::sin(sigma);
    double cosSigma = std::cos(sigma);
    for (int pass = 0;; ++pass) {
        if (pass == kPassLimit) return {};  // not settled; NaN never settles either
        const double cos2SigmaM = cos2Sigma1 * cosSigma - sin2Sigma1 * sinSigma;  // eq. 5
        // Eq. 7 solved for sigma by Newton's method rather than by repeating it: the slope of
        // its right-hand side is B cos(2 sigma1 + 2 sigma) up to terms in B^2, so each pass
        // shrinks the error by a factor of about B^2 instead of B.
        const double sin2SigmaM = sin2Sigma1 * cosSigma + cos2Sigma1 * sinSigma;
        const double slope = bigB * (cos2SigmaM * cosSigma - sin2SigmaM * sinSigma);
        const double residual =
            firstSigma + arcCorrection(bigB, sinSigma, cosSigma, cos2SigmaM) - sigma;
        const double step = residual * (1.0 + slope * (1.0 + slope));  // residual / (1 - slope)
        const double next = sigma + step;
        if (std::fabs(step) <= kSmallStepRad) {
            // The sine and cosine of next by turning those of sigma through the small step.
            const double stepSq = step * step;
            const double sinStep = step * (1.0 - stepSq * kSixth * (1.0 - stepSq * kTwentieth));
            const double cosStep = 1.0 - stepSq * 0.5 * (1.0 - stepSq * kTwelfth);
            const double turnedSin = sinSigma * cosStep + cosSigma * sinStep;
            cosSigma = cosSigma * cosStep - sinSigma * sinStep;
            sinSigma = turnedSin;
        } else {
            sinSigma = std::sin(next);
            cosSigma = std::cos(next);
        }
        sigma = next;
        // What this step leaves: the neglected slope (under B^2) and the curvature (under 2B)
        // each act on the step.
        if (std::fabs(step) * (bigB * bigB + 2.0 * std::fabs(bigB * step)) <= kArcTolerance) break;
    }

    const double cos2SigmaM = cos2Sigma1 * cosSigma - sin2Sigma1 * sinSigma;
    const double towardsA = sinU1 * sinSigma - cosU1 * cosSigma * cosAlpha1;
    const double latBRad =
        std::atan2(sinU1 * cosSigma + cosU1 * sinSigma * cosAlpha1,
                   (1.0 - f) * std::sqrt(sinAlpha * sinAlpha + towardsA * towardsA));  // eq. 8
    const double lambda = std::atan2(sinSigma * sinAlpha1,
                                     cosU1 * cosSigma - sinU1 * sinSigma * cosAlpha1);  // eq. 9
    const double c = f / 16.0 * cosSqAlpha * (4.0 + f * (4.0 - 3.0 * cosSqAlpha));      // eq. 10
    const double bigL =
        lambda -
        (1.0 - c) * f * sinAlpha *
            (sigma +
             c * sinSigma * (cos2SigmaM + c * cosSigma * (-1.0 + 2.0 * cos2SigmaM * cos2SigmaM)));

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
