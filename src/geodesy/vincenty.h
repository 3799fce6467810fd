#pragma once

#include "geodesy/geodesic_solution.h"

// Distances from A to B: Vincenty's inverse formula on an ellipsoid and the great circle on
// a sphere of fixed radius. Latitudes and longitudes in degrees, North and East positive.
namespace velmora::geodesy {

inline constexpr double kPi = 3.14159265358979;  // the program's pi: 15 digits, not M_PI
inline constexpr double kFailure = -1.0;         // what a failed distance returns
inline constexpr double kSphereRadiusMetres = 6372795.5;  // the program's sphere

// (kPi / 180) * degrees, the quotient formed first.
double DegToRad(double degrees);

// Angle of the point (x, y), built from the one-argument arc tangent; ArcTan2(-1, 0) is -pi.
double ArcTan2(double x, double y);

// Vincenty's inverse formula on the ellipsoid given by its semi-major and semi-minor axis in
// metres and its flattening. Returns metres, or
// kFailure when the passes do not converge within the pass limit or the arithmetic faults
// (division by zero, overflow, invalid operation) or the length comes out negative (absurd
// axes, a negative b); never an infinity or NaN.
double VincentyInverseMetres(double latADeg, double lonADeg, double latBDeg, double lonBDeg,
                             double semiMajorMetres, double semiMinorMetres, double flattening);

// VincentyInverseMetres with the forward azimuths from the same iteration: at A towards B and
// at B onwards, with the settled lambda. Status NotSettled when the passes do not converge
// within the pass limit, Fault on an arithmetic fault; the length as VincentyInverseMetres
// gives it (negative for absurd axes); no azimuths for coincident points.
GeodesicSolution VincentyInverse(double latADeg, double lonADeg, double latBDeg, double lonBDeg,
                                 double semiMajorMetres, double semiMinorMetres,
                                 double flattening);

// Great-circle distance in metres on the sphere of radius kSphereRadiusMetres, or
// kFailure on an arithmetic fault (exactly antipodal points among them).
double SphereInverseMetres(double latADeg, double lonADeg, double latBDeg, double lonBDeg);

// SphereInverseMetres with the great-circle azimuths; Fault where it fails, no azimuths for
// coincident points.
GeodesicSolution SphereInverse(double latADeg, double lonADeg, double latBDeg, double lonBDeg);

}  // namespace velmora::geodesy
