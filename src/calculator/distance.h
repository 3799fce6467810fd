#pragma once

#include <optional>

#include "calculator/state.h"
#include "geodesy/geodesic_solution.h"
#include "geodesy/vincenty.h"

// Distances between the four stored coordinates, on the state's ellipsoid or sphere.
namespace velmora::calc {

// Distance between the four stored coordinates on state.Datum by Vincenty's inverse formula,
// in metres (kilometres when inKilometres). Sets state.ResultShown on success; returns
// geodesy::kFailure and leaves it alone otherwise, also when the length comes out negative.
// A coordinate whose decimal degrees overflow when read is an arithmetic fault.
double VincentyDistance(CalculatorState& state, bool inKilometres);

// The same on the sphere of radius geodesy::kSphereRadiusMetres; used while state.SphereMode.
double SphereDistance(CalculatorState& state, bool inKilometres);

// A distance with what the extras add to it.
struct DistanceSolution {
    double km = geodesy::kFailure;              // kFailure: the failure path
    bool exact = false;                         // solved by GeographicLib, not by Vincenty
    std::optional<geodesy::Azimuths> azimuths;  // none for coincident points
};

// The distance between the four stored coordinates in kilometres, on the sphere while
// state.SphereMode and by Vincenty's inverse formula otherwise, with the azimuths of the same
// solution. Where Vincenty's iteration does not settle and exactNearAntipodes is on, the
// distance is solved exactly on the same ellipsoid (a and f; b must be positive). Sets
// state.ResultShown on success; km is kFailure and ResultShown left alone on every failure,
// exactly as VincentyDistance and SphereDistance.
DistanceSolution SolveDistance(CalculatorState& state, bool exactNearAntipodes);

}  // namespace velmora::calc
