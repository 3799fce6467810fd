#pragma once

#include "geodesy/geodesic_solution.h"

// The inverse problem solved to round-off by GeographicLib (C. F. F. Karney, "Algorithms for
// geodesics", J. Geodesy 87, 2013), which also settles for nearly antipodal points where
// Vincenty's iteration does not. The only part of Velmora that uses a library beyond the
// standard one: it is its own target, velmora_geodesy_exact, which links GeographicLib and
// the pure geodesy library; the calculator links it, and nothing in src/geodesy outside this
// folder may include it.
namespace velmora::geodesy {

// Distance in metres and azimuths from A to B (degrees, North and East positive) on the
// ellipsoid of semi-major axis semiMajorMetres and flattening, the semi-minor axis being
// a(1 - f). Status Fault, never an exception, for arguments that are not finite and for an
// ellipsoid GeographicLib refuses (a or b not positive and finite); Solved otherwise, without
// azimuths for coincident points.
GeodesicSolution ExactInverse(double latADeg, double lonADeg, double latBDeg, double lonBDeg,
                              double semiMajorMetres, double flattening);

}  // namespace velmora::geodesy
