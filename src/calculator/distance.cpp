#include "calculator/distance.h"

#include <cmath>

#include "calculator/coordinate_text.h"
#include "calculator/number_text.h"
#include "geodesy/units.h"
#include "geodesy/vincenty.h"
#include "geodesy_exact/exact_inverse.h"

namespace velmora::calc {

namespace {

// The stored coordinates in decimal degrees: latitude A, latitude B, longitude A, longitude B.
struct Points {
    double latADeg;
    double latBDeg;
    double lonADeg;
    double lonBDeg;
};

Points readPoints(const CalculatorState& state) {
    auto degrees = [&state](FieldCode field) {
        return ReadLeadingNumber(DecimalDegreesText(state, state.CoordText[field]));
    };
    return {degrees(kLatitudeA), degrees(kLatitudeB), degrees(kLongitudeA), degrees(kLongitudeB)};
}

// A computed distance becomes the routine's result only when it is a distance: finite and
// not negative (absurd custom axes can make it negative). Only then is ResultShown set.
double finish(CalculatorState& state, double metres, bool inKilometres) {
    if (!(metres >= 0.0) || !std::isfinite(metres)) return geodesy::kFailure;
    state.ResultShown = true;
    return inKilometres ? metres / geodesy::kMetresPerKm : metres;
}

// The iteration runs on f alone, so an ellipsoid that Vincenty's length would fault on can
// still leave it unsettled: b = 0 (a division by zero) and axes whose squares overflow stay
// faults rather than going to the exact solver.
bool isSoundEllipsoid(const DatumParameters& datum) {
    const double aSq = datum.semiMajorMetres * datum.semiMajorMetres;
    const double bSq = datum.semiMinorMetres * datum.semiMinorMetres;
    return datum.semiMinorMetres > 0.0 && std::isfinite(aSq) && std::isfinite(bSq);
}

}  // namespace

double VincentyDistance(CalculatorState& state, bool inKilometres) {
    const Points p = readPoints(state);
    const double metres = geodesy::VincentyInverseMetres(
        p.latADeg, p.lonADeg, p.latBDeg, p.lonBDeg, state.Datum.semiMajorMetres,
        state.Datum.semiMinorMetres, state.Datum.flattening);
    return finish(state, metres, inKilometres);
}

double SphereDistance(CalculatorState& state, bool inKilometres) {
    const Points p = readPoints(state);
    return finish(state, geodesy::SphereInverseMetres(p.latADeg, p.lonADeg, p.latBDeg, p.lonBDeg),
                  inKilometres);
}

DistanceSolution SolveDistance(CalculatorState& state, bool exactNearAntipodes) {
    const Points p = readPoints(state);
    const DatumParameters& datum = state.Datum;
    DistanceSolution result;
    geodesy::GeodesicSolution solution;
    if (state.SphereMode) {
        solution = geodesy::SphereInverse(p.latADeg, p.lonADeg, p.latBDeg, p.lonBDeg);
    } else {
        solution = geodesy::VincentyInverse(p.latADeg, p.lonADeg, p.latBDeg, p.lonBDeg,
                                            datum.semiMajorMetres, datum.semiMinorMetres,
                                            datum.flattening);
        if (solution.status == geodesy::SolutionStatus::NotSettled && exactNearAntipodes &&
            isSoundEllipsoid(datum)) {
            solution = geodesy::ExactInverse(p.latADeg, p.lonADeg, p.latBDeg, p.lonBDeg,
                                             datum.semiMajorMetres, datum.flattening);
            result.exact = true;
        }
    }
    if (solution.status != geodesy::SolutionStatus::Solved) return {};
    result.km = finish(state, solution.metres, true);
    if (result.km == geodesy::kFailure) return {};
    result.azimuths = solution.azimuths;
    return result;
}

}  // namespace velmora::calc
