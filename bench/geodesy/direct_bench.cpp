// Time of one direct solution, Vincenty's against GeographicLib's Geodesic::Direct on WGS-84 in
// the same run: one case, and the seeded random cases of the direct tests ("per_case" is then
// the time of one). GeographicLib's ellipsoid is built once, outside the timing, as a caller
// that solves many cases would keep it.

#include <GeographicLib/Geodesic.hpp>
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "geodesy/direct.h"
#include "geodesy/ellipsoids.h"
#include "random_pairs.h"

namespace velmora::geodesy {
namespace {

struct DirectCase {
    double latDeg, lonDeg, azimuthDeg, metres;
};

// Land's End towards John o' Groats.
constexpr DirectCase kOrdinaryCase{50.066389, -5.714722, 9.1198, 969'954.0};
constexpr std::size_t kCaseCount = 10'000;

const std::vector<DirectCase>& randomCases() {
    static const std::vector<DirectCase> kCases = [] {
        std::mt19937_64 bits(testing::kPairSeed);
        std::vector<DirectCase> cases(kCaseCount);
        for (DirectCase& c : cases) {
            c = {testing::uniform(bits, -90.0, 90.0), testing::uniform(bits, -180.0, 180.0),
                 testing::uniform(bits, 0.0, 360.0), testing::uniform(bits, 0.0, 20'000'000.0)};
        }
        return cases;
    }();
    return kCases;
}

// WGS-84 with b = a(1 - f), the ellipsoid GeographicLib is given.
Ellipsoid wgs84() {
    const Ellipsoid table = kNamedEllipsoids[kWgs84].ellipsoid();
    const double a = table.semiMajorMetres;
    return {a, a * (1.0 - table.flattening), table.flattening};
}

void BM_OneVincentyDirect(benchmark::State& state) {
    const Ellipsoid e = wgs84();
    const DirectCase c = kOrdinaryCase;
    for (auto _ : state)
        benchmark::DoNotOptimize(VincentyDirect(c.latDeg, c.lonDeg, c.azimuthDeg, c.metres, e));
}
BENCHMARK(BM_OneVincentyDirect);

void BM_OneGeographicLibDirect(benchmark::State& state) {
    const Ellipsoid e = wgs84();
    const GeographicLib::Geodesic geodesic(e.semiMajorMetres, e.flattening);
    const DirectCase c = kOrdinaryCase;
    for (auto _ : state) {
        double lat = 0.0, lon = 0.0, azimuth = 0.0;
        geodesic.Direct(c.latDeg, c.lonDeg, c.azimuthDeg, c.metres, lat, lon, azimuth);
        benchmark::DoNotOptimize(lat);
        benchmark::DoNotOptimize(lon);
        benchmark::DoNotOptimize(azimuth);
    }
}
BENCHMARK(BM_OneGeographicLibDirect);

void reportPerCase(benchmark::State& state) {
    state.counters["per_case"] = benchmark::Counter(
        static_cast<double>(kCaseCount),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_VincentyDirectRandom(benchmark::State& state) {
    const Ellipsoid e = wgs84();
    for (auto _ : state) {
        for (const DirectCase& c : randomCases())
            benchmark::DoNotOptimize(VincentyDirect(c.latDeg, c.lonDeg, c.azimuthDeg, c.metres, e));
    }
    reportPerCase(state);
}
BENCHMARK(BM_VincentyDirectRandom)->Unit(benchmark::kMillisecond);

void BM_GeographicLibDirectRandom(benchmark::State& state) {
    const Ellipsoid e = wgs84();
    const GeographicLib::Geodesic geodesic(e.semiMajorMetres, e.flattening);
    for (auto _ : state) {
        for (const DirectCase& c : randomCases()) {
            double lat = 0.0, lon = 0.0, azimuth = 0.0;
            geodesic.Direct(c.latDeg, c.lonDeg, c.azimuthDeg, c.metres, lat, lon, azimuth);
            benchmark::DoNotOptimize(lat);
            benchmark::DoNotOptimize(lon);
            benchmark::DoNotOptimize(azimuth);
        }
    }
    reportPerCase(state);
}
BENCHMARK(BM_GeographicLibDirectRandom)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora::geodesy
