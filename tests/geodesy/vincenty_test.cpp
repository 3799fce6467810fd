#include "geodesy/vincenty.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace velmora::geodesy {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct FaultCase {
    const char* name;
    double latA, lonA, latB, lonB;
    double a, b, f;
};

class KernelFaults : public ::testing::TestWithParam<FaultCase> {};

// IEEE arithmetic would hand back an infinity, a NaN or a finite angle made from one; the
// kernel must say Fault instead.
TEST_P(KernelFaults, ReturnFailureNeverInfinityOrNaN) {
    const FaultCase& c = GetParam();
    for (const WithAzimuths with : {WithAzimuths::No, WithAzimuths::Yes}) {
        const GeodesicSolution s =
            VincentyInverse(c.latA, c.lonA, c.latB, c.lonB, c.a, c.b, c.f, with);
        EXPECT_EQ(s.status, SolutionStatus::Fault);
        EXPECT_FALSE(s.azimuths.has_value());
    }
}

constexpr double kWgs84A = 6378137.0;
constexpr double kWgs84B = 6356752.3142;
constexpr double kWgs84F = 1.0 / 298.257223563;

INSTANTIATE_TEST_SUITE_P(
    VincentyInverse, KernelFaults,
    ::testing::Values(
        FaultCase{"ZeroSemiMinorAxisDividesByZero", 10, 20, 30, 40, kWgs84A, 0.0, kWgs84F},
        FaultCase{"ZeroAxesAreInvalid", 10, 20, 30, 40, 0.0, 0.0, kWgs84F},
        FaultCase{"AxisSquareOverflows", 10, 20, 30, 40, 1e200, kWgs84B, kWgs84F},
        FaultCase{"FlatteningOverflowsReducedLatitude", 10, 20, 30, 40, kWgs84A, kWgs84B, 1e308},
        FaultCase{"InfiniteFlattening", 10, 20, 30, 40, kWgs84A, kWgs84B, kInf},
        FaultCase{"NaNFlattening", 10, 20, 30, 40, kWgs84A, kWgs84B, kNaN},
        FaultCase{"OverflowedLatitude", kInf, 20, 30, 40, kWgs84A, kWgs84B, kWgs84F},
        FaultCase{"OverflowedLongitude", 10, -kInf, 30, 40, kWgs84A, kWgs84B, kWgs84F},
        FaultCase{"LongitudeDifferenceOverflows", 10, -1.7e308, 30, 1.7e308, kWgs84A, kWgs84B,
                  kWgs84F},
        FaultCase{"NaNLatitude", 10, 20, kNaN, 40, kWgs84A, kWgs84B, kWgs84F}),
    [](const auto& info) { return std::string(info.param.name); });

// Near-antipodal pairs found by counting passes: the first settles in its 19th pass, the
// second only in its 20th, which the pass limit does not allow.
TEST(VincentyInverse, AResultNeedsConvergenceWithinNineteenPasses) {
    const GeodesicSolution settled =
        VincentyInverse(0, 0, -0.01, 179.35, kWgs84A, kWgs84B, kWgs84F);
    ASSERT_EQ(settled.status, SolutionStatus::Solved);
    EXPECT_NEAR(settled.metres, 19'965'045.050, 1e-3);  // GeographicLib: 19965045.0502 m
    EXPECT_EQ(VincentyInverse(0, 0, -0.03, 179.3, kWgs84A, kWgs84B, kWgs84F).status,
              SolutionStatus::NotSettled);
}

TEST(SphereInverse, FaultsReturnFailure) {
    EXPECT_EQ(SphereInverse(0, 0, 0, 180).status, SolutionStatus::Fault);
    EXPECT_EQ(SphereInverse(90, 0, -90, 0).status, SolutionStatus::Fault);
    EXPECT_EQ(SphereInverse(kInf, 0, 0, 0).status, SolutionStatus::Fault);
    EXPECT_EQ(SphereInverse(0, kNaN, 0, 0, WithAzimuths::No).status, SolutionStatus::Fault);
}

struct ArcTanCase {
    const char* name;
    double x;
    double y;
};

class ArcTanQuadrants : public ::testing::TestWithParam<ArcTanCase> {};

// Every branch lands in the right quadrant. The program's pi is 3.2e-15 below the true one,
// so the branches that add or subtract it differ from atan2 by that much.
TEST_P(ArcTanQuadrants, AgreesWithAtan2) {
    const ArcTanCase& c = GetParam();
    EXPECT_NEAR(ArcTan2(c.x, c.y), std::atan2(c.y, c.x), 1e-14);
}

INSTANTIATE_TEST_SUITE_P(
    ArcTan2, ArcTanQuadrants,
    ::testing::Values(
        ArcTanCase{"UpperRightFlat", 2.0, 1.0}, ArcTanCase{"UpperDiagonal", 1.0, 1.0},
        ArcTanCase{"UpperLeftFlat", -2.0, 1.0}, ArcTanCase{"UpperLeftDiagonal", -1.0, 1.0},
        ArcTanCase{"UpperSteepRight", 0.5, 2.0}, ArcTanCase{"UpperSteepLeft", -0.5, 2.0},
        ArcTanCase{"PositiveXAxis", 1.0, 0.0}, ArcTanCase{"LowerRightFlat", 2.0, -1.0},
        ArcTanCase{"LowerDiagonal", 1.0, -1.0}, ArcTanCase{"LowerLeftFlat", -2.0, -1.0},
        ArcTanCase{"LowerLeftDiagonal", -1.0, -1.0}, ArcTanCase{"LowerSteepRight", 0.5, -2.0},
        ArcTanCase{"LowerSteepLeft", -0.5, -2.0}, ArcTanCase{"NegativeYAxis", 0.0, -1.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ArcTan2, AxisEndsUseTheProgramsPi) {
    EXPECT_EQ(ArcTan2(-1.0, 0.0), -kPi);
    EXPECT_EQ(ArcTan2(0.0, 1.0), kPi / 2.0);
}

}  // namespace
}  // namespace velmora::geodesy
