// The distance kernels on arbitrary doubles: the result is finite and either the failure value
// or a length of at least 0.
#include <cmath>

#include "fuzz_input.h"
#include "geodesy/vincenty.h"

using namespace velmora;

namespace {

void checkLength(double metres, const char* kernel) {
    fuzz::check(std::isfinite(metres), kernel);
    fuzz::check(metres == geodesy::kFailure || metres >= 0.0, kernel);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input(data, size);
    double values[7];
    for (double& value : values) value = input.rawDouble();
    const auto& [latA, lonA, latB, lonB, a, b, f] = values;
    checkLength(geodesy::VincentyInverseMetres(latA, lonA, latB, lonB, a, b, f), "Vincenty kernel");
    checkLength(geodesy::SphereInverseMetres(latA, lonA, latB, lonB), "sphere kernel");
    return 0;
}
