#pragma once

#include "geodesy/direct.h"
#include "geodesy/ellipsoids.h"
#include "geodesy/geodesic_solution.h"

// The point halfway along the shortest path from A to B. Latitudes and longitudes in degrees,
// North and East positive; latitudes -90 to 90, longitudes any finite value.
namespace velmora::geodesy {

struct MidpointSolution {
    SolutionStatus status = SolutionStatus::Fault;
    GeoPoint point;  // meaningful when Solved; longitude in (-180, 180]
};

// The midpoint of the geodesic on the ellipsoid: Vincenty's inverse for the distance and the
// azimuth at A, then Vincenty's direct from A over half the distance. A itself for coincident
// points. Status NotSettled where the inverse does not settle (nearly antipodal points; the
// exact solver can take over there), Fault where the inverse or the direct fails otherwise
// (input that is not finite, an ellipsoid either refuses, a latitude beyond a pole).
MidpointSolution VincentyMidpoint(double latADeg, double lonADeg, double latBDeg, double lonBDeg,
                                  const Ellipsoid& ellipsoid);

// The midpoint of the great-circle arc, the normalised sum of the two points' unit vectors.
// Fault for input that is not finite, a latitude beyond a pole, and for points so nearly
// antipodal that no great circle is singled out.
MidpointSolution SphereMidpoint(double latADeg, double lonADeg, double latBDeg, double lonBDeg);

}  // namespace velmora::geodesy
