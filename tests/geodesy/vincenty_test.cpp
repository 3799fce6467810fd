#include "geodesy/vincenty.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "geodesy/ellipsoids.h"

namespace velmora::geodesy {
namespace {

#define DEG "\xC2\xB0"

constexpr double kMillimetreKm = 1e-6;  // tolerance of the distances below, in kilometres
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// CoordText in field-code order: latitude A, latitude B, longitude A, longitude B; South and
// West carry the "-" that Enter puts in front.
calc::CalculatorState stateWithPoints(const char* latA, const char* latB, const char* lonA,
                                      const char* lonB, std::int16_t datum = kWgs84Entry) {
    calc::CalculatorState state;
    state.DisplaySeparator = ".";
    state.ConversionSeparator = ",";
    state.CoordText = {latA, latB, lonA, lonB};
    ApplyDatum(state, datum);
    return state;
}

struct DistanceCase {
    const char* name;
    const char* latA;
    const char* latB;
    const char* lonA;
    const char* lonB;
    double ellipsoidKm;  // kFailure when the iteration must fail
    double sphereKm;
};

class Distances : public ::testing::TestWithParam<DistanceCase> {};

// Ellipsoid references agree with GeographicLib on WGS-84 to well under a millimetre; sphere
// references are the arc cosine on the 6372795.5 m sphere.
TEST_P(Distances, MatchReferenceToTheMillimetre) {
    const DistanceCase& c = GetParam();
    calc::CalculatorState ellipsoid = stateWithPoints(c.latA, c.latB, c.lonA, c.lonB);
    const double vincentyKm = VincentyDistance(ellipsoid, true);
    calc::CalculatorState sphere = stateWithPoints(c.latA, c.latB, c.lonA, c.lonB);
    const double sphereKm = SphereDistance(sphere, true);

    if (c.ellipsoidKm == kFailure) {
        EXPECT_EQ(vincentyKm, kFailure);
        EXPECT_FALSE(ellipsoid.ResultShown);
    } else {
        EXPECT_NEAR(vincentyKm, c.ellipsoidKm, kMillimetreKm);
        EXPECT_TRUE(ellipsoid.ResultShown);
    }
    if (c.sphereKm == kFailure) {
        EXPECT_EQ(sphereKm, kFailure);
        EXPECT_FALSE(sphere.ResultShown);
    } else {
        EXPECT_NEAR(sphereKm, c.sphereKm, kMillimetreKm);
        EXPECT_TRUE(sphere.ResultShown);
    }
}

INSTANTIATE_TEST_SUITE_P(
    VincentyDistance, Distances,
    ::testing::Values(
        DistanceCase{"CoincidentStartUpPoints", "0", "0", "0", "0", 0.0, 0.0},
        DistanceCase{"QuarterEquator", "0", "0", "0", "90" DEG, 10018.754171, 10010.363763},
        DistanceCase{"LandsEndToJohnOGroats", "50.0664" DEG, "58.6431" DEG, "-5.7147" DEG,
                     "-3.07" DEG, 969.845344, 969.039070},
        DistanceCase{"PoleToPole", "90" DEG, "-90" DEG, "0", "0", 20003.931459, kFailure},
        DistanceCase{"AcrossThe180thMeridianWestToEast", "10" DEG, "50" DEG, "-180" DEG,
                     "180" DEG, 4434.992208, 4449.050561},
        DistanceCase{"AcrossThe180thMeridianEastToWest", "10" DEG, "50" DEG, "180" DEG,
                     "-180" DEG, 4434.992208, 4449.050561},
        DistanceCase{"AntipodalOnTheEquator", "0", "0", "0", "180" DEG, kFailure, kFailure},
        DistanceCase{"NearlyAntipodalDoesNotConverge", "0", ".5" DEG, "0", "179.7" DEG,
                     kFailure, 19955.872244},
        DistanceCase{"SouthWestAsTyped", "-45" DEG "30'", "-33" DEG "52'", "-70" DEG "40'",
                     "151" DEG "12'", 10259.914883, 10239.457297}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VincentyDistance, MetresUnlessKilometresAreAsked) {
    calc::CalculatorState state = stateWithPoints("0", "0", "0", "90" DEG);
    EXPECT_NEAR(VincentyDistance(state, false), 10'018'754.171, 1e-3);
    EXPECT_NEAR(SphereDistance(state, false), 10'010'363.763, 1e-3);
}

TEST(VincentyDistance, FailureLeavesResultShownAlone) {
    calc::CalculatorState state = stateWithPoints("0", "0", "0", "180" DEG);
    state.ResultShown = true;
    EXPECT_EQ(VincentyDistance(state, true), kFailure);
    EXPECT_TRUE(state.ResultShown);
    state.ResultShown = false;
    EXPECT_EQ(SphereDistance(state, true), kFailure);
    EXPECT_FALSE(state.ResultShown);
}

struct FaultCase {
    const char* name;
    double latA, lonA, latB, lonB;
    double a, b, f;
};

class KernelFaults : public ::testing::TestWithParam<FaultCase> {};

// IEEE arithmetic would hand back an infinity, a NaN or a finite angle made from one; the
// kernel must say kFailure instead.
TEST_P(KernelFaults, ReturnFailureNeverInfinityOrNaN) {
    const FaultCase& c = GetParam();
    EXPECT_EQ(VincentyInverseMetres(c.latA, c.lonA, c.latB, c.lonB, c.a, c.b, c.f), kFailure);
}

constexpr double kWgs84A = 6378137.0;
constexpr double kWgs84B = 6356752.3142;
constexpr double kWgs84F = 1.0 / 298.257223563;

INSTANTIATE_TEST_SUITE_P(
    VincentyInverseMetres, KernelFaults,
    ::testing::Values(
        FaultCase{"ZeroSemiMinorAxisDividesByZero", 10, 20, 30, 40, kWgs84A, 0.0, kWgs84F},
        FaultCase{"ZeroAxesAreInvalid", 10, 20, 30, 40, 0.0, 0.0, kWgs84F},
        FaultCase{"AxisSquareOverflows", 10, 20, 30, 40, 1e200, kWgs84B, kWgs84F},
        FaultCase{"FlatteningOverflowsReducedLatitude", 10, 20, 30, 40, kWgs84A, kWgs84B,
                  1e308},
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
TEST(VincentyInverseMetres, AResultNeedsConvergenceWithinNineteenPasses) {
    EXPECT_NEAR(VincentyInverseMetres(0, 0, -0.01, 179.35, kWgs84A, kWgs84B, kWgs84F),
                19'965'045.050, 1e-3);  // GeographicLib: 19965045.0502 m
    EXPECT_EQ(VincentyInverseMetres(0, 0, -0.03, 179.3, kWgs84A, kWgs84B, kWgs84F), kFailure);
}

TEST(SphereInverseMetres, FaultsReturnFailure) {
    EXPECT_EQ(SphereInverseMetres(0, 0, 0, 180), kFailure);
    EXPECT_EQ(SphereInverseMetres(90, 0, -90, 0), kFailure);
    EXPECT_EQ(SphereInverseMetres(kInf, 0, 0, 0), kFailure);
    EXPECT_EQ(SphereInverseMetres(0, kNaN, 0, 0), kFailure);
}

TEST(VincentyDistance, CoordinateOverflowIsAFault) {
    // DBL_MAX as typed is a number, but its 15-digit decimal degrees overflow when read.
    for (const char* text : {"1E+400" DEG, "-1.7976931348623157E+308" DEG}) {
        calc::CalculatorState state = stateWithPoints(text, "0", "0", "0");
        EXPECT_EQ(VincentyDistance(state, true), kFailure) << text;
        EXPECT_EQ(SphereDistance(state, true), kFailure) << text;
        EXPECT_FALSE(state.ResultShown);
    }
}

TEST(VincentyDistance, CustomAxesGivingNegativeLengthFail) {
    calc::CalculatorState state = stateWithPoints("10" DEG, "30" DEG, "20" DEG, "40" DEG);
    state.CustomDatum = {6378137.0, -6356752.3142, 298.257223563};
    ApplyDatum(state, kOtherEntry);
    EXPECT_EQ(VincentyDistance(state, true), kFailure);
    EXPECT_FALSE(state.ResultShown);
}

TEST(VincentyDistance, CoincidentPointsGiveZeroEvenOnADegenerateEllipsoid) {
    calc::CalculatorState state = stateWithPoints("12" DEG, "12" DEG, "34" DEG, "34" DEG);
    state.CustomDatum = {6378137.0, 0.0, 298.257223563};
    ApplyDatum(state, kOtherEntry);
    EXPECT_EQ(VincentyDistance(state, true), 0.0);
    EXPECT_TRUE(state.ResultShown);
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
    ::testing::Values(ArcTanCase{"UpperRightFlat", 2.0, 1.0},
                      ArcTanCase{"UpperDiagonal", 1.0, 1.0},
                      ArcTanCase{"UpperLeftFlat", -2.0, 1.0},
                      ArcTanCase{"UpperLeftDiagonal", -1.0, 1.0},
                      ArcTanCase{"UpperSteepRight", 0.5, 2.0},
                      ArcTanCase{"UpperSteepLeft", -0.5, 2.0},
                      ArcTanCase{"PositiveXAxis", 1.0, 0.0},
                      ArcTanCase{"LowerRightFlat", 2.0, -1.0},
                      ArcTanCase{"LowerDiagonal", 1.0, -1.0},
                      ArcTanCase{"LowerLeftFlat", -2.0, -1.0},
                      ArcTanCase{"LowerLeftDiagonal", -1.0, -1.0},
                      ArcTanCase{"LowerSteepRight", 0.5, -2.0},
                      ArcTanCase{"LowerSteepLeft", -0.5, -2.0},
                      ArcTanCase{"NegativeYAxis", 0.0, -1.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ArcTan2, AxisEndsUseTheProgramsPi) {
    EXPECT_EQ(ArcTan2(-1.0, 0.0), -kPi);
    EXPECT_EQ(ArcTan2(0.0, 1.0), kPi / 2.0);
}

}  // namespace
}  // namespace velmora::geodesy
