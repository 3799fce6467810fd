#include "calculator/distance_solution.h"

#include <cmath>

#include "calculator/coordinate_text.h"
#include "calculator/number_text.h"
#include "geodesy_exact/exact_inverse.h"

namespace velmora::calc {

namespace {

constexpr double kMetresPerKm = 1000.0;

double degrees(const CalculatorState& state, FieldCode field) {
    return ReadLeadingNumber(DecimalDegreesText(state, state.CoordText[field]));
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

DistanceSolution SolveDistance(CalculatorState& state, bool exactNearAntipodes) {
    const double latA = degrees(state, kLatitudeA);
    const double lonA = degrees(state, kLongitudeA);
    const double latB = degrees(state, kLatitudeB);
    const double lonB = degrees(state, kLongitudeB);
    const DatumParameters& datum = state.Datum;

    DistanceSolution result;
    geodesy::GeodesicSolution solution;
    if (state.SphereMode) {
        solution = geodesy::SphereInverse(latA, lonA, latB, lonB);
    } else {
        solution = geodesy::VincentyInverse(latA, lonA, latB, lonB, datum.semiMajorMetres,
                                            datum.semiMinorMetres, datum.flattening);
        if (solution.status == geodesy::SolutionStatus::NotSettled && exactNearAntipodes &&
            isSoundEllipsoid(datum)) {
            solution = geodesy::ExactInverse(latA, lonA, latB, lonB, datum.semiMajorMetres,
                                             datum.flattening);
            result.exact = true;
        }
    }
    const double metres = solution.metres;
    if (solution.status != geodesy::SolutionStatus::Solved || !(metres >= 0.0) ||
        !std::isfinite(metres)) {
        return {};
    }
    state.ResultShown = true;
    result.km = metres / kMetresPerKm;
    result.azimuths = solution.azimuths;
    return result;
}

}  // namespace velmora::calc
