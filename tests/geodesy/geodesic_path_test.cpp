// The sampled geodesic: ends exactly on A and B, even spacing along the path, at least the
// minimum number of points, nothing at all when a sample fails.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "geodesy/ellipsoids.h"
#include "geodesy/geodesic_path.h"
#include "geodesy/vincenty.h"

namespace velmora::geodesy {
namespace {

const Ellipsoid kWgs84{6378137.0, 6356752.314245, 1.0 / 298.257223563};

DirectSolver vincentyOn(const Ellipsoid& e) {
    return [e](double lat, double lon, double az, double m) {
        return VincentyDirect(lat, lon, az, m, e);
    };
}

struct PathCase {
    std::string name;
    GeoPoint a;
    GeoPoint b;
    int expectedPoints;
};

class SampleGeodesicTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(SampleGeodesicTest, EndsExactlyAtBothPointsAndStepsEvenly) {
    const PathCase& c = GetParam();
    const GeodesicSolution inverse =
        VincentyInverse(c.a.latDeg, c.a.lonDeg, c.b.latDeg, c.b.lonDeg, kWgs84.semiMajorMetres,
                        kWgs84.semiMinorMetres, kWgs84.flattening);
    ASSERT_EQ(inverse.status, SolutionStatus::Solved);
    const std::vector<GeoPoint> path =
        SampleGeodesic(c.a, c.b, inverse.azimuths->atADeg, inverse.metres, vincentyOn(kWgs84));
    ASSERT_EQ(static_cast<int>(path.size()), c.expectedPoints);
    EXPECT_EQ(path.front().latDeg, c.a.latDeg);
    EXPECT_EQ(path.front().lonDeg, c.a.lonDeg);
    EXPECT_EQ(path.back().latDeg, c.b.latDeg);
    EXPECT_EQ(path.back().lonDeg, c.b.lonDeg);
    const double step = inverse.metres / static_cast<double>(path.size() - 1);
    EXPECT_LE(step, kPathStepMetres);
    for (std::size_t i = 1; i < path.size(); ++i) {
        const double apart =
            VincentyInverse(path[i - 1].latDeg, path[i - 1].lonDeg, path[i].latDeg, path[i].lonDeg,
                            kWgs84.semiMajorMetres, kWgs84.semiMinorMetres, kWgs84.flattening,
                            WithAzimuths::No)
                .metres;
        EXPECT_NEAR(apart, step, 1e-3) << "segment " << i;  // metres, 1 mm
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, SampleGeodesicTest,
    ::testing::Values(
        // 477 km: the minimum of 64 points, well under 100 km apart.
        PathCase{"MilanToRome", {45.4642, 9.19}, {41.9028, 12.4964}, 64},
        // 15,340 km over the Arctic: one point every 100 km or closer, 154 segments.
        PathCase{"NewYorkToSingapore", {40.7128, -74.006}, {1.3521, 103.8198}, 155},
        // Across the 180th meridian: the longitudes jump sign along the way.
        PathCase{"FijiToSamoa", {-18.1416, 178.4419}, {-13.759, -172.1046}, 64}),
    [](const ::testing::TestParamInfo<PathCase>& info) { return info.param.name; });

TEST(SampleGeodesic, GivesNothingWithoutADistanceOrWhenASampleFails) {
    const GeoPoint a{10.0, 20.0};
    const GeoPoint b{11.0, 21.0};
    EXPECT_TRUE(SampleGeodesic(a, b, 45.0, 0.0, vincentyOn(kWgs84)).empty());
    EXPECT_TRUE(SampleGeodesic(a, b, 45.0, -5.0, vincentyOn(kWgs84)).empty());
    EXPECT_TRUE(SampleGeodesic(a, b, 45.0, std::nan(""), vincentyOn(kWgs84)).empty());
    int calls = 0;
    const DirectSolver failsAtTheTenth = [&calls](double lat, double lon, double,
                                                  double) -> std::optional<DirectSolution> {
        if (++calls == 10) return std::nullopt;
        return DirectSolution{lat, lon, 0.0};
    };
    EXPECT_TRUE(SampleGeodesic(a, b, 45.0, 150'000.0, failsAtTheTenth).empty());
}

TEST(SampleGeodesic, AnAbsurdDistanceIsBoundedInPoints) {
    const std::vector<GeoPoint> path =
        SampleGeodesic({0.0, 0.0}, {0.0, 1.0}, 90.0, 1e15, vincentyOn(kWgs84));
    EXPECT_EQ(path.size(), 4097u);
}

}  // namespace
}  // namespace velmora::geodesy
