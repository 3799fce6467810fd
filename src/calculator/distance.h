#pragma once

#include <optional>

#include "calculator/state.h"
#include "geodesy/geodesic_solution.h"

// Distances between the four stored coordinates, on the state's ellipsoid or sphere. Every
// distance the program computes goes through SolveDistance.
namespace velmora::calc {

// What VincentyDistance and SphereDistance return for a failed distance.
inline constexpr double kFailure = -1.0;

// A distance with what the extras add to it.
struct DistanceSolution {
    double km = 0.0;                            // 0 or more, finite
    bool exact = false;                         // solved by GeographicLib, not by Vincenty
    std::optional<geodesy::Azimuths> azimuths;  // none for coincident points
};

// The distance between the four stored coordinates (each read once, CoordinateDegrees) in
// kilometres, on the sphere of radius geodesy::kSphereRadiusMetres while state.SphereMode and
// by Vincenty's inverse formula on state.Datum otherwise, with the azimuths of the same
// solution. Where Vincenty's iteration does not settle and exactNearAntipodes is on, the
// distance is solved exactly on the same ellipsoid (a and f; b must be positive). Sets
// state.ResultShown on success; nullopt and ResultShown left alone on every failure: the
// iteration does not settle, the arithmetic faults (a coordinate that overflows among the
// causes), or the length comes out negative.
std::optional<DistanceSolution> SolveDistance(CalculatorState& state, bool exactNearAntipodes);

// SolveDistance on state.Datum by Vincenty's formula whatever SphereMode says, without the
// exact solution and the azimuths: metres (kilometres when inKilometres), or kFailure.
double VincentyDistance(CalculatorState& state, bool inKilometres);

// SolveDistance on the sphere whatever SphereMode says, without the azimuths: metres
// (kilometres when inKilometres), or kFailure.
double SphereDistance(CalculatorState& state, bool inKilometres);

}  // namespace velmora::calc
