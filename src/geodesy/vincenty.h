#pragma once

#include "calculator/state.h"

// Distances from A to B: Vincenty's inverse formula on the ellipsoid in use and the great
// circle on a sphere of fixed radius.
namespace velmora::geodesy {

inline constexpr double kPi = 3.14159265358979;  // the program's pi: 15 digits, not M_PI
inline constexpr double kFailure = -1.0;         // what a failed distance returns

// (kPi / 180) * degrees, the quotient formed first.
double DegToRad(double degrees);

// Angle of the point (x, y), built from the one-argument arc tangent; ArcTan2(-1, 0) is -pi.
double ArcTan2(double x, double y);

// The arithmetic kernel of VincentyDistance: latitudes and longitudes in degrees (North and
// East positive), semi-major and semi-minor axis in metres, flattening. Returns metres, or
// kFailure when the passes do not converge within the pass limit or the arithmetic faults
// (division by zero, overflow, invalid operation) or the length comes out negative (absurd
// axes, a negative b); never an infinity or NaN.
double VincentyInverseMetres(double latADeg, double lonADeg, double latBDeg, double lonBDeg,
                             double semiMajorMetres, double semiMinorMetres, double flattening);

// The kernel of SphereDistance: great-circle distance in metres on the fixed sphere, or
// kFailure on an arithmetic fault (exactly antipodal points among them).
double SphereInverseMetres(double latADeg, double lonADeg, double latBDeg, double lonBDeg);

// Distance between the four stored coordinates on state.Datum, in metres (kilometres when
// inKilometres). Sets state.ResultShown on success; returns kFailure and leaves it alone
// otherwise, also when the length comes out negative. A coordinate whose decimal degrees
// overflow when read is an arithmetic fault.
double VincentyDistance(calc::CalculatorState& state, bool inKilometres);

// The same on the sphere of radius 6372795.5 m; used while state.SphereMode.
double SphereDistance(calc::CalculatorState& state, bool inKilometres);

}  // namespace velmora::geodesy
