#pragma once

#include <optional>

// The outcome of an inverse geodesic problem (distance and directions from A to B), shared by
// the kernels that solve it.
namespace velmora::geodesy {

// Forward azimuths in degrees, clockwise from north, 0 up to but not including 360: at A the
// direction of departure towards B, at B the direction of travel on arrival.
struct Azimuths {
    double atADeg = 0.0;
    double atBDeg = 0.0;
};

enum class SolutionStatus {
    Solved,
    NotSettled,  // the iteration did not settle within its pass limit (nearly antipodal points)
    Fault,       // an arithmetic fault: division by zero, overflow, an invalid operation
};

struct GeodesicSolution {
    SolutionStatus status = SolutionStatus::Fault;
    double metres = 0.0;               // meaningful when Solved
    std::optional<Azimuths> azimuths;  // none when Solved for coincident points
};

}  // namespace velmora::geodesy
