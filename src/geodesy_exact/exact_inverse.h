#pragma once

#include "geodesy/geodesic_solution.h"

// The inverse problem solved to round-off by GeographicLib (C. F. F. Karney, "Algorithms for
// geodesics", J. Geodesy 87, 2013), which also settles for nearly antipodal points where
// Vincenty's iteration does not. The one core library that uses a library beyond the
// standard one: velmora_geodesy_exact links GeographicLib and sees the pure geodesy library's
// types; the calculator links it. The dependency points one way: the geodesy library may not
// include this header or GeographicLib (its CMakeLists checks that at every configure).
namespace velmora::geodesy {

// Distance in metres and azimuths from A to B (degrees, North and East positive) on the
// ellipsoid of semi-major axis semiMajorMetres and flattening, the semi-minor axis being
// a(1 - f). Status Fault, never an exception, for arguments that are not finite and for an
// ellipsoid GeographicLib refuses (a or b not positive and finite); Solved otherwise, without
// azimuths for coincident points.
GeodesicSolution ExactInverse(double latADeg, double lonADeg, double latBDeg, double lonBDeg,
                              double semiMajorMetres, double flattening);

}  // namespace velmora::geodesy
