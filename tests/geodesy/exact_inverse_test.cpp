#include "geodesy_exact/exact_inverse.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace velmora::geodesy {
namespace {

constexpr double kWgs84SemiMajorMetres = 6378137.0;
constexpr double kWgs84Flattening = 1.0 / 298.257223563;
constexpr double kMillimetre = 1e-3;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct AntipodalCase {
    const char* name;
    double latA, lonA, latB, lonB;
    double metres;
};

class NearlyAntipodal : public ::testing::TestWithParam<AntipodalCase> {};

// Pairs where Vincenty's iteration does not settle on WGS-84, with their lengths to the
// millimetre (the third is 19,965,379.7105 m, given as .711).
TEST_P(NearlyAntipodal, SolvedOnWgs84) {
    const AntipodalCase& c = GetParam();
    const GeodesicSolution s =
        ExactInverse(c.latA, c.lonA, c.latB, c.lonB, kWgs84SemiMajorMetres, kWgs84Flattening);
    ASSERT_EQ(s.status, SolutionStatus::Solved);
    EXPECT_NEAR(s.metres, c.metres, kMillimetre);
    ASSERT_TRUE(s.azimuths.has_value());
    for (const double azimuth : {s.azimuths->atADeg, s.azimuths->atBDeg}) {
        EXPECT_GE(azimuth, 0.0);
        EXPECT_LT(azimuth, 360.0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    ExactInverse, NearlyAntipodal,
    ::testing::Values(AntipodalCase{"EquatorTo179_7", 0, 0, 0.5, 179.7, 19'944'127.421},
                      AntipodalCase{"EquatorTo179_5", 0, 0, 0.5, 179.5, 19'936'288.579},
                      AntipodalCase{"AcrossTheEquator", 5, 0, -5.1, 179.4, 19'965'379.711}),
    [](const auto& info) { return std::string(info.param.name); });

// Westward along the equator the azimuths come back as -90 from GeographicLib: 270 here.
TEST(ExactInverse, AzimuthsRunClockwiseFromNorthUpTo360) {
    const GeodesicSolution west =
        ExactInverse(0, 10, 0, -10, kWgs84SemiMajorMetres, kWgs84Flattening);
    ASSERT_EQ(west.status, SolutionStatus::Solved);
    EXPECT_DOUBLE_EQ(west.azimuths->atADeg, 270.0);
    EXPECT_DOUBLE_EQ(west.azimuths->atBDeg, 270.0);
    const GeodesicSolution south =
        ExactInverse(10, 0, -10, 0, kWgs84SemiMajorMetres, kWgs84Flattening);
    EXPECT_DOUBLE_EQ(south.azimuths->atADeg, 180.0);
}

TEST(ExactInverse, CoincidentPointsHaveNoAzimuth) {
    const GeodesicSolution s =
        ExactInverse(12, 34, 12, 34, kWgs84SemiMajorMetres, kWgs84Flattening);
    ASSERT_EQ(s.status, SolutionStatus::Solved);
    EXPECT_EQ(s.metres, 0.0);
    EXPECT_FALSE(s.azimuths.has_value());
}

struct FaultCase {
    const char* name;
    double latA, latB, semiMajorMetres, flattening;
};

class ExactFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(ExactFaults, AreFaultsNotExceptions) {
    const FaultCase& c = GetParam();
    GeodesicSolution s;
    ASSERT_NO_THROW(s = ExactInverse(c.latA, 0, c.latB, 179.7, c.semiMajorMetres, c.flattening));
    EXPECT_EQ(s.status, SolutionStatus::Fault);
}

INSTANTIATE_TEST_SUITE_P(
    ExactInverse, ExactFaults,
    ::testing::Values(FaultCase{"SemiMinorAxisZero", 0, 0.5, 6378137.0, 1.0},
                      FaultCase{"FlatteningBeyondOne", 0, 0.5, 6378137.0, 2.0},
                      FaultCase{"SemiMajorAxisZero", 0, 0.5, 0.0, 0.003},
                      FaultCase{"NegativeSemiMajorAxis", 0, 0.5, -6378137.0, 0.003},
                      FaultCase{"OverflowingAxis", 0, 0.5, kInf, 0.003},
                      FaultCase{"NaNFlattening", 0, 0.5, 6378137.0, kNaN},
                      FaultCase{"OverflowedLatitude", kInf, 0.5, 6378137.0, 0.003},
                      FaultCase{"LatitudeBeyondThePole", 90.5, 0.5, 6378137.0, 0.003}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmora::geodesy
