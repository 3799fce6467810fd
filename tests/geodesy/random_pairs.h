#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

// Seeded point pairs shared by the GeographicLib comparison and the distance benchmark. The
// values come from the raw 64-bit engine through explicit arithmetic, never a standard
// distribution, so every standard library yields the same pairs.
namespace velmora::geodesy::testing {

struct PointPair {
    double latADeg;
    double lonADeg;
    double latBDeg;
    double lonBDeg;
};

inline constexpr std::uint64_t kPairSeed = 0x5645'4c4d'4f52'4131;  // fixed: results repeat
inline constexpr std::size_t kPairCount = 10'000;
// One pair in ten puts B within a degree of A's antipode, where the iteration is hardest and
// may not converge.
inline constexpr std::size_t kNearAntipodalEvery = 10;
inline constexpr double kNearAntipodalSpreadDeg = 1.0;

// Uniform in [low, high): the top 53 bits of the engine as a fraction.
inline double uniform(std::mt19937_64& bits, double low, double high) {
    const double unit = static_cast<double>(bits() >> 11) * 0x1p-53;
    return low + (high - low) * unit;
}

inline std::vector<PointPair> RandomPointPairs(std::size_t count = kPairCount,
                                               std::uint64_t seed = kPairSeed) {
    std::mt19937_64 bits(seed);
    std::vector<PointPair> pairs;
    pairs.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        PointPair p{};
        p.latADeg = uniform(bits, -90.0, 90.0);
        p.lonADeg = uniform(bits, -180.0, 180.0);
        if (i % kNearAntipodalEvery == kNearAntipodalEvery - 1) {
            const double s = kNearAntipodalSpreadDeg;
            p.latBDeg = -p.latADeg + uniform(bits, -s, s);
            p.lonBDeg = p.lonADeg + 180.0 + uniform(bits, -s, s);
            if (p.latBDeg > 90.0) p.latBDeg = 180.0 - p.latBDeg;
            if (p.latBDeg < -90.0) p.latBDeg = -180.0 - p.latBDeg;
            if (p.lonBDeg > 180.0) p.lonBDeg -= 360.0;
        } else {
            p.latBDeg = uniform(bits, -90.0, 90.0);
            p.lonBDeg = uniform(bits, -180.0, 180.0);
        }
        pairs.push_back(p);
    }
    return pairs;
}

}  // namespace velmora::geodesy::testing
