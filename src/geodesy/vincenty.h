#pragma once

#include "geodesy/geodesic_solution.h"

// Distances from A to B: Vincenty's inverse formula on an ellipsoid and the great circle on
// a sphere of fixed radius. Latitudes and longitudes in degrees, North and East positive.
namespace velmora::geodesy {

inline constexpr double kPi = 3.14159265358979;           // the program's pi: 15 digits, not M_PI
inline constexpr double kSphereRadiusMetres = 6372795.5;  // the program's sphere

// (kPi / 180) * degrees, the quotient formed first.
double DegToRad(double degrees);

// Angle of the point (x, y), built from the one-argument arc tangent; ArcTan2(-1, 0) is -pi.
double ArcTan2(double x, double y);

// Whether a solution should carry the azimuths too: a distance alone spares their sines.
enum class WithAzimuths : bool { No, Yes };

// Vincenty's inverse formula on the ellipsoid given by its semi-major and semi-minor axis in
// metres and its flattening: the length in metres and, when asked, the forward azimuths from
// the same iteration, at A towards B and at B onwards, with the settled lambda. Status
// NotSettled when the passes do not converge within the pass limit (nearly antipodal points);
// Fault on an arithmetic fault (division by zero, overflow, invalid operation, an argument
// that is not finite) and for a negative length (absurd axes, a negative b). Never an
// infinity or NaN; no azimuths for coincident points.
GeodesicSolution VincentyInverse(double latADeg, double lonADeg, double latBDeg, double lonBDeg,
                                 double semiMajorMetres, double semiMinorMetres, double flattening,
                                 WithAzimuths withAzimuths = WithAzimuths::Yes);

// The great circle on the sphere of radius kSphereRadiusMetres: the length in metres and,
// when asked, its azimuths. Fault on an arithmetic fault (exactly antipodal points among
// them); no azimuths for coincident points.
GeodesicSolution SphereInverse(double latADeg, double lonADeg, double latBDeg, double lonBDeg,
                               WithAzimuths withAzimuths = WithAzimuths::Yes);

}  // namespace velmora::geodesy
