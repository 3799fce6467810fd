// The distance kernels on arbitrary doubles: the result is a failure or a finite length of at
// least 0.
#include <cmath>

#include "fuzz_input.h"
#include "geodesy/vincenty.h"

using namespace velmora;

namespace {

void checkLength(const geodesy::GeodesicSolution& solution, const char* kernel) {
    if (solution.status != geodesy::SolutionStatus::Solved) return;
    fuzz::check(std::isfinite(solution.metres), kernel);
    fuzz::check(solution.metres >= 0.0, kernel);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input(data, size);
    double values[7];
    for (double& value : values) value = input.rawDouble();
    const auto& [latA, lonA, latB, lonB, a, b, f] = values;
    checkLength(
        geodesy::VincentyInverse(latA, lonA, latB, lonB, a, b, f, geodesy::WithAzimuths::No),
        "Vincenty kernel");
    checkLength(geodesy::SphereInverse(latA, lonA, latB, lonB, geodesy::WithAzimuths::No),
                "sphere kernel");
    return 0;
}
