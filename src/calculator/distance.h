#pragma once

#include "calculator/state.h"

// Distances between the four stored coordinates, on the state's ellipsoid or sphere.
namespace velmora::calc {

// Distance between the four stored coordinates on state.Datum by Vincenty's inverse formula,
// in metres (kilometres when inKilometres). Sets state.ResultShown on success; returns
// geodesy::kFailure and leaves it alone otherwise, also when the length comes out negative.
// A coordinate whose decimal degrees overflow when read is an arithmetic fault.
double VincentyDistance(CalculatorState& state, bool inKilometres);

// The same on the sphere of radius geodesy::kSphereRadiusMetres; used while state.SphereMode.
double SphereDistance(CalculatorState& state, bool inKilometres);

}  // namespace velmora::calc
