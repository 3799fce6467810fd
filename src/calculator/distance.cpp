#include "calculator/distance.h"

#include <cmath>

#include "calculator/coordinates.h"
#include "geodesy/units.h"
#include "geodesy/vincenty.h"
#include "geodesy_exact/exact_inverse.h"

namespace velmora::calc {

namespace {

enum class Method { Sphere, Vincenty, VincentyOrExact };

// The iteration runs on f alone, so an ellipsoid that Vincenty's length would fault on can
// still leave it unsettled: b = 0 (a division by zero) and axes whose squares overflow stay
// faults rather than going to the exact solver.
bool isSoundEllipsoid(const DatumParameters& datum) {
    const double aSq = datum.semiMajorMetres * datum.semiMajorMetres;
    const double bSq = datum.semiMinorMetres * datum.semiMinorMetres;
    return datum.semiMinorMetres > 0.0 && std::isfinite(aSq) && std::isfinite(bSq);
}

// A solution of the kernels that is a distance, in metres.
struct Solved {
    double metres = 0.0;
    bool exact = false;
    std::optional<geodesy::Azimuths> azimuths;
};

std::optional<Solved> solve(CalculatorState& state, Method method,
                            geodesy::WithAzimuths withAzimuths) {
    const StoredPoints p = ReadStoredPoints(state);
    const DatumParameters& datum = state.Datum;
    Solved result;
    geodesy::GeodesicSolution solution;
    if (method == Method::Sphere) {
        solution = geodesy::SphereInverse(p.latADeg, p.lonADeg, p.latBDeg, p.lonBDeg, withAzimuths);
    } else {
        solution = geodesy::VincentyInverse(p.latADeg, p.lonADeg, p.latBDeg, p.lonBDeg,
                                            datum.semiMajorMetres, datum.semiMinorMetres,
                                            datum.flattening, withAzimuths);
        if (solution.status == geodesy::SolutionStatus::NotSettled &&
            method == Method::VincentyOrExact && isSoundEllipsoid(datum)) {
            solution = geodesy::ExactInverse(p.latADeg, p.lonADeg, p.latBDeg, p.lonBDeg,
                                             datum.semiMajorMetres, datum.flattening);
            result.exact = true;
        }
    }
    // A solved length is finite and not negative; the check stays for what the exact solver
    // might hand back.
    if (solution.status != geodesy::SolutionStatus::Solved || !(solution.metres >= 0.0) ||
        !std::isfinite(solution.metres))
        return std::nullopt;
    state.ResultShown = true;
    result.metres = solution.metres;
    result.azimuths = solution.azimuths;
    return result;
}

double metresOrFailure(const std::optional<Solved>& solution, bool inKilometres) {
    if (!solution) return kFailure;
    return inKilometres ? solution->metres / geodesy::kMetresPerKm : solution->metres;
}

}  // namespace

std::optional<DistanceSolution> SolveDistance(CalculatorState& state, bool exactNearAntipodes) {
    Method method = exactNearAntipodes ? Method::VincentyOrExact : Method::Vincenty;
    if (state.SphereMode) method = Method::Sphere;
    const std::optional<Solved> solved = solve(state, method, geodesy::WithAzimuths::Yes);
    if (!solved) return std::nullopt;
    return DistanceSolution{solved->metres / geodesy::kMetresPerKm, solved->exact,
                            solved->azimuths};
}

double VincentyDistance(CalculatorState& state, bool inKilometres) {
    return metresOrFailure(solve(state, Method::Vincenty, geodesy::WithAzimuths::No), inKilometres);
}

double SphereDistance(CalculatorState& state, bool inKilometres) {
    return metresOrFailure(solve(state, Method::Sphere, geodesy::WithAzimuths::No), inKilometres);
}

}  // namespace velmora::calc
