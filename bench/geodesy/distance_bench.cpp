// Time per point pair of the distance routines, on the 10,000 seeded pairs that the
// GeographicLib comparison uses (one pair in ten nearly antipodal). Each benchmark iteration
// runs every pair once; the "per_pair" counter is the time of one pair.

#include <GeographicLib/Geodesic.hpp>
#include <benchmark/benchmark.h>

#include <vector>

#include "calculator/coordinate_text.h"
#include "calculator/datum_menu.h"
#include "calculator/distance.h"
#include "calculator/distance_units.h"
#include "calculator/number_text.h"
#include "geodesy/ellipsoids.h"
#include "geodesy/vincenty.h"
#include "random_pairs.h"

namespace velmora::geodesy {
namespace {

using testing::PointPair;

const std::vector<PointPair>& pairs() {
    static const std::vector<PointPair> kPairs = testing::RandomPointPairs();
    return kPairs;
}

Ellipsoid wgs84() { return kNamedEllipsoids[kWgs84].ellipsoid(); }

// One calculator state per pair, its coordinates stored as the keypad stores them: degrees,
// minutes and seconds with the hemisphere's "-".
std::vector<calc::CalculatorState> statesForPairs() {
    std::vector<calc::CalculatorState> states;
    states.reserve(pairs().size());
    for (const PointPair& p : pairs()) {
        calc::CalculatorState state;
        calc::DetectDecimalSeparator(state);
        calc::ApplyDatum(state, calc::kWgs84Entry);
        auto stored = [&state](double degrees) {
            return calc::ConvertCoordinateText(state, calc::NumberText(degrees), calc::kDegMinSec);
        };
        state.CoordText = {stored(p.latADeg), stored(p.latBDeg), stored(p.lonADeg),
                           stored(p.lonBDeg)};
        states.push_back(std::move(state));
    }
    return states;
}

void reportPerPair(benchmark::State& state) {
    state.counters["per_pair"] = benchmark::Counter(
        static_cast<double>(pairs().size()),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_VincentyKernel(benchmark::State& state) {
    const Ellipsoid d = wgs84();
    for (auto _ : state) {
        for (const PointPair& p : pairs()) {
            benchmark::DoNotOptimize(VincentyInverseMetres(p.latADeg, p.lonADeg, p.latBDeg,
                                                           p.lonBDeg, d.semiMajorMetres,
                                                           d.semiMinorMetres, d.flattening));
        }
    }
    reportPerPair(state);
}
BENCHMARK(BM_VincentyKernel)->Unit(benchmark::kMillisecond);

void BM_VincentyDistanceFromCoordinateText(benchmark::State& state) {
    std::vector<calc::CalculatorState> states = statesForPairs();
    for (auto _ : state) {
        for (calc::CalculatorState& s : states)
            benchmark::DoNotOptimize(calc::VincentyDistance(s, true));
    }
    reportPerPair(state);
}
BENCHMARK(BM_VincentyDistanceFromCoordinateText)->Unit(benchmark::kMillisecond);

void BM_SphereDistanceFromCoordinateText(benchmark::State& state) {
    std::vector<calc::CalculatorState> states = statesForPairs();
    for (auto _ : state) {
        for (calc::CalculatorState& s : states)
            benchmark::DoNotOptimize(calc::SphereDistance(s, true));
    }
    reportPerPair(state);
}
BENCHMARK(BM_SphereDistanceFromCoordinateText)->Unit(benchmark::kMillisecond);

void BM_GeographicLibInverse(benchmark::State& state) {
    const Ellipsoid d = wgs84();
    const GeographicLib::Geodesic geodesic(d.semiMajorMetres, d.flattening);
    for (auto _ : state) {
        for (const PointPair& p : pairs()) {
            double metres = 0.0;
            geodesic.Inverse(p.latADeg, p.lonADeg, p.latBDeg, p.lonBDeg, metres);
            benchmark::DoNotOptimize(metres);
        }
    }
    reportPerPair(state);
}
BENCHMARK(BM_GeographicLibInverse)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora::geodesy
