#include "calculator/distance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "calculator/datum_menu.h"
#include "geodesy/vincenty.h"

namespace velmora::calc {
namespace {

#define DEG "\xC2\xB0"

constexpr double kMillimetreKm = 1e-6;  // tolerance of the distances below, in kilometres

// CoordText in field-code order: latitude A, latitude B, longitude A, longitude B; South and
// West carry the "-" that Enter puts in front.
CalculatorState stateWithPoints(const char* latA, const char* latB, const char* lonA,
                                const char* lonB, std::int16_t datum = kWgs84Entry) {
    CalculatorState state;
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
    CalculatorState ellipsoid = stateWithPoints(c.latA, c.latB, c.lonA, c.lonB);
    const double vincentyKm = VincentyDistance(ellipsoid, true);
    CalculatorState sphere = stateWithPoints(c.latA, c.latB, c.lonA, c.lonB);
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

    // Calculate's own routine gives the same lengths, bit for bit, on either datum.
    CalculatorState program = stateWithPoints(c.latA, c.latB, c.lonA, c.lonB);
    const std::optional<DistanceSolution> onEllipsoid = SolveDistance(program, false);
    EXPECT_EQ(onEllipsoid ? onEllipsoid->km : kFailure, vincentyKm);
    ApplyDatum(program, kSphereEntry);
    const std::optional<DistanceSolution> onSphere = SolveDistance(program, false);
    EXPECT_EQ(onSphere ? onSphere->km : kFailure, sphereKm);
}

INSTANTIATE_TEST_SUITE_P(
    VincentyDistance, Distances,
    ::testing::Values(
        DistanceCase{"CoincidentStartUpPoints", "0", "0", "0", "0", 0.0, 0.0},
        DistanceCase{"QuarterEquator", "0", "0", "0", "90" DEG, 10018.754171, 10010.363763},
        DistanceCase{"LandsEndToJohnOGroats", "50.0664" DEG, "58.6431" DEG, "-5.7147" DEG,
                     "-3.07" DEG, 969.845344, 969.039070},
        DistanceCase{"PoleToPole", "90" DEG, "-90" DEG, "0", "0", 20003.931459, kFailure},
        DistanceCase{"AcrossThe180thMeridianWestToEast", "10" DEG, "50" DEG, "-180" DEG, "180" DEG,
                     4434.992208, 4449.050561},
        DistanceCase{"AcrossThe180thMeridianEastToWest", "10" DEG, "50" DEG, "180" DEG, "-180" DEG,
                     4434.992208, 4449.050561},
        DistanceCase{"AntipodalOnTheEquator", "0", "0", "0", "180" DEG, kFailure, kFailure},
        DistanceCase{"NearlyAntipodalDoesNotConverge", "0", ".5" DEG, "0", "179.7" DEG, kFailure,
                     19955.872244},
        DistanceCase{"SouthWestAsTyped", "-45" DEG "30'", "-33" DEG "52'", "-70" DEG "40'",
                     "151" DEG "12'", 10259.914883, 10239.457297}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VincentyDistance, MetresUnlessKilometresAreAsked) {
    CalculatorState state = stateWithPoints("0", "0", "0", "90" DEG);
    EXPECT_NEAR(VincentyDistance(state, false), 10'018'754.171, 1e-3);
    EXPECT_NEAR(SphereDistance(state, false), 10'010'363.763, 1e-3);
}

TEST(VincentyDistance, FailureLeavesResultShownAlone) {
    CalculatorState state = stateWithPoints("0", "0", "0", "180" DEG);
    state.ResultShown = true;
    EXPECT_EQ(VincentyDistance(state, true), kFailure);
    EXPECT_TRUE(state.ResultShown);
    state.ResultShown = false;
    EXPECT_EQ(SphereDistance(state, true), kFailure);
    EXPECT_FALSE(state.ResultShown);
}

TEST(VincentyDistance, CoordinateOverflowIsAFault) {
    // DBL_MAX as typed is a number, but its 15-digit decimal degrees overflow when read.
    for (const char* text : {"1E+400" DEG, "-1.7976931348623157E+308" DEG}) {
        CalculatorState state = stateWithPoints(text, "0", "0", "0");
        EXPECT_EQ(VincentyDistance(state, true), kFailure) << text;
        EXPECT_EQ(SphereDistance(state, true), kFailure) << text;
        EXPECT_FALSE(state.ResultShown);
    }
}

TEST(VincentyDistance, CustomAxesGivingNegativeLengthFail) {
    CalculatorState state = stateWithPoints("10" DEG, "30" DEG, "20" DEG, "40" DEG);
    state.CustomDatum = {6378137.0, -6356752.3142, 298.257223563};
    ApplyDatum(state, kOtherEntry);
    EXPECT_EQ(VincentyDistance(state, true), kFailure);
    EXPECT_FALSE(state.ResultShown);
}

TEST(VincentyDistance, CoincidentPointsGiveZeroEvenOnADegenerateEllipsoid) {
    CalculatorState state = stateWithPoints("12" DEG, "12" DEG, "34" DEG, "34" DEG);
    state.CustomDatum = {6378137.0, 0.0, 298.257223563};
    ApplyDatum(state, kOtherEntry);
    EXPECT_EQ(VincentyDistance(state, true), 0.0);
    EXPECT_TRUE(state.ResultShown);
}

}  // namespace
}  // namespace velmora::calc
