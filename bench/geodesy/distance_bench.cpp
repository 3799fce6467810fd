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
#include "geodesy_exact/exact_inverse.h"
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
            return calc::ConvertCoordinateText(state, calc::NumberText(degrees), calc::kDegMinSec)
                .value();
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
            benchmark::DoNotOptimize(VincentyInverse(p.latADeg, p.lonADeg, p.latBDeg, p.lonBDeg,
                                                     d.semiMajorMetres, d.semiMinorMetres,
                                                     d.flattening, WithAzimuths::No));
        }
    }
    reportPerPair(state);
}
BENCHMARK(BM_VincentyKernel)->Unit(benchmark::kMillisecond);

void BM_VincentyKernelWithAzimuths(benchmark::State& state) {
    const Ellipsoid d = wgs84();
    for (auto _ : state) {
        for (const PointPair& p : pairs()) {
            benchmark::DoNotOptimize(VincentyInverse(p.latADeg, p.lonADeg, p.latBDeg, p.lonBDeg,
                                                     d.semiMajorMetres, d.semiMinorMetres,
                                                     d.flattening, WithAzimuths::Yes));
        }
    }
    reportPerPair(state);
}
BENCHMARK(BM_VincentyKernelWithAzimuths)->Unit(benchmark::kMillisecond);

// Calculate's own routine: the stored fields read, the solution with its azimuths.
void BM_SolveDistanceFromCoordinateText(benchmark::State& state) {
    std::vector<calc::CalculatorState> states = statesForPairs();
    for (auto _ : state) {
        for (calc::CalculatorState& s : states)
            benchmark::DoNotOptimize(calc::SolveDistance(s, false));
    }
    reportPerPair(state);
}
BENCHMARK(BM_SolveDistanceFromCoordinateText)->Unit(benchmark::kMillisecond);

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

// One solution each, distance and both azimuths, for the same pair in the same run: Vincenty's
// iteration and the exact solver the calculator falls back on near antipodes. Lands End to
// John o' Groats, where both settle, and a nearly antipodal pair, where only the exact one does.
constexpr PointPair kOrdinaryPair{50.066389, -5.714722, 58.643889, -3.07};
constexpr PointPair kNearlyAntipodalPair{0.0, 0.0, 0.5, 179.7};

void BM_OneVincentySolution(benchmark::State& state) {
    const calc::DatumParameters d = wgs84();
    const PointPair p = kOrdinaryPair;
    for (auto _ : state) {
        benchmark::DoNotOptimize(VincentyInverse(p.latADeg, p.lonADeg, p.latBDeg, p.lonBDeg,
                                                 d.semiMajorMetres, d.semiMinorMetres,
                                                 d.flattening));
    }
}
BENCHMARK(BM_OneVincentySolution);

void oneExactSolution(benchmark::State& state, const PointPair& p) {
    const calc::DatumParameters d = wgs84();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ExactInverse(p.latADeg, p.lonADeg, p.latBDeg, p.lonBDeg,
                                              d.semiMajorMetres, d.flattening));
    }
}
BENCHMARK_CAPTURE(oneExactSolution, Ordinary, kOrdinaryPair);
BENCHMARK_CAPTURE(oneExactSolution, NearlyAntipodal, kNearlyAntipodalPair);

}  // namespace
}  // namespace velmora::geodesy
