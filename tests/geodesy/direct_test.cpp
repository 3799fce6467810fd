// The direct and midpoint kernels against GeographicLib (Karney's Geodesic::Direct and Inverse,
// accurate to nanometres) on seeded random cases and at the awkward places: the equator, a
// meridian, the 180th meridian, a pole, nearly antipodal points.

#include <GeographicLib/Geodesic.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "geodesy/direct.h"
#include "geodesy/midpoint.h"
#include "geodesy/vincenty.h"
#include "geodesy_exact/exact_direct.h"
#include "random_pairs.h"

namespace velmora::geodesy {
namespace {

constexpr double kGroundToleranceMetres = 0.5e-3;
constexpr double kAzimuthToleranceDeg = 1e-7;
constexpr double kLongestCaseMetres = 20'000'000.0;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The smaller way round between two angles, in degrees.
double angleApart(double a, double b) {
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return std::min(d, 360.0 - d);
}

double groundApartMetres(const GeographicLib::Geodesic& g, double latA, double lonA, double latB,
                         double lonB) {
    double metres = 0.0;
    g.Inverse(latA, lonA, latB, lonB, metres);
    return metres;
}

struct OracleCase {
    const char* name;
    double semiMajorMetres;
    double inverseFlattening;
    int count;
};

class DirectOracle : public ::testing::TestWithParam<OracleCase> {};

// b = a(1 - f) on both sides: GeographicLib knows an ellipsoid by a and f alone.
TEST_P(DirectOracle, AgreesWithGeographicLibAndRetracesByTheInverse) {
    const OracleCase& c = GetParam();
    const double f = 1.0 / c.inverseFlattening;
    const Ellipsoid e{c.semiMajorMetres, c.semiMajorMetres * (1.0 - f), f};
    const GeographicLib::Geodesic oracle(e.semiMajorMetres, f);
    std::mt19937_64 bits(testing::kPairSeed);
    double worstGround = 0.0, worstAzimuth = 0.0, worstTripMetres = 0.0, worstTripDeg = 0.0;
    int retraced = 0;
    for (int i = 0; i < c.count; ++i) {
        const double lat = testing::uniform(bits, -90.0, 90.0);
        const double lon = testing::uniform(bits, -180.0, 180.0);
        const double azimuth = testing::uniform(bits, 0.0, 360.0);
        const double metres = testing::uniform(bits, 0.0, kLongestCaseMetres);
        const auto mine = VincentyDirect(lat, lon, azimuth, metres, e);
        ASSERT_TRUE(mine) << i;
        double latB = 0.0, lonB = 0.0, azimuthB = 0.0;
        oracle.Direct(lat, lon, azimuth, metres, latB, lonB, azimuthB);
        const double ground = groundApartMetres(oracle, mine->latBDeg, mine->lonBDeg, latB, lonB);
        const double turn = angleApart(mine->azimuthAtBDeg, azimuthB);
        worstGround = std::max(worstGround, ground);
        worstAzimuth = std::max(worstAzimuth, turn);
        ASSERT_LE(ground, kGroundToleranceMetres) << i;
        ASSERT_LE(turn, kAzimuthToleranceDeg) << i;
        ASSERT_TRUE(mine->lonBDeg > -180.0 && mine->lonBDeg <= 180.0);
        ASSERT_TRUE(mine->azimuthAtBDeg >= 0.0 && mine->azimuthAtBDeg < 360.0);
        // The inverse retraces only a shortest path: past the cut locus it takes another.
        const double shortestMetres = groundApartMetres(oracle, lat, lon, latB, lonB);
        if (std::fabs(shortestMetres - metres) > kGroundToleranceMetres) continue;
        const GeodesicSolution back =
            VincentyInverse(lat, lon, mine->latBDeg, mine->lonBDeg, e.semiMajorMetres,
                            e.semiMinorMetres, e.flattening);
        if (back.status != SolutionStatus::Solved || !back.azimuths) continue;
        ++retraced;
        worstTripMetres = std::max(worstTripMetres, std::fabs(back.metres - metres));
        worstTripDeg = std::max(worstTripDeg, angleApart(back.azimuths->atADeg, azimuth));
        ASSERT_NEAR(back.metres, metres, kGroundToleranceMetres) << i;
        ASSERT_LE(angleApart(back.azimuths->atADeg, azimuth), kAzimuthToleranceDeg) << i;
    }
    EXPECT_GT(retraced, c.count * 8 / 10);
    std::cout << c.name << ": B within " << worstGround * 1e3 << " mm, arrival azimuth within "
              << worstAzimuth << " deg; round trip of " << retraced << " within "
              << worstTripMetres * 1e3 << " mm and " << worstTripDeg << " deg\n";
    RecordProperty("largest_ground_mm", std::to_string(worstGround * 1e3));
    RecordProperty("largest_azimuth_deg", std::to_string(worstAzimuth));
    RecordProperty("largest_round_trip_mm", std::to_string(worstTripMetres * 1e3));
    RecordProperty("largest_round_trip_deg", std::to_string(worstTripDeg));
}

INSTANTIATE_TEST_SUITE_P(VincentyDirect, DirectOracle,
                         ::testing::Values(OracleCase{"Wgs84", 6378137.0, 298.257223563, 10'000},
                                           OracleCase{"International1924", 6378388.0, 297.0, 2'000},
                                           OracleCase{"Clarke1866", 6378206.4, 294.9787, 2'000},
                                           OracleCase{"Custom", 6400000.0, 250.0, 2'000}),
                         [](const auto& info) { return std::string(info.param.name); });

struct SphereCase {
    const char* name;
    double latA, lonA, azimuthA, arcDeg;
    double latB, lonB, azimuthB;
};

class SphereDirectRows : public ::testing::TestWithParam<SphereCase> {};

TEST_P(SphereDirectRows, FollowsTheGreatCircle) {
    const SphereCase& c = GetParam();
    const double metres = kSphereRadiusMetres * c.arcDeg * std::numbers::pi / 180.0;
    const auto b = SphereDirect(c.latA, c.lonA, c.azimuthA, metres);
    ASSERT_TRUE(b);
    EXPECT_NEAR(b->latBDeg, c.latB, 1e-12);  // degrees: far below a micrometre
    EXPECT_NEAR(b->lonBDeg, c.lonB, 1e-12);
    EXPECT_NEAR(b->azimuthAtBDeg, c.azimuthB, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    SphereDirect, SphereDirectRows,
    ::testing::Values(SphereCase{"QuarterCircleToTheVertex", 0, 0, 45, 90, 45, 90, 90},
                      SphereCase{"EastAlongTheEquator", 0, 10, 90, 90, 0, 100, 90},
                      SphereCase{"WestAcrossThe180th", 0, -170, 270, 20, 0, 170, 270},
                      SphereCase{"NorthAcrossThePole", 80, 0, 0, 20, 80, 180, 180},
                      SphereCase{"FromThePoleAsFromJustBeneathIt", 90, 10, 30, 10, 80, 160, 180},
                      SphereCase{"NoDistance", 12, 34, 56, 0, 12, 34, 56}),
    [](const auto& info) { return std::string(info.param.name); });

// The exact solver takes prolate ellipsoids and knows no b of its own: those rows are
// Vincenty's alone.
TEST(VincentyDirect, RefusesWhatTheFormulaCannotTake) {
    const Ellipsoid wgs84{6378137.0, 6356752.314245, 1.0 / 298.257223563};
    struct Row {
        const char* name;
        double lat, azimuth, metres;
        Ellipsoid e;
        bool exactRefusesToo;
    };
    for (const Row& r : {Row{"NaN latitude", kNaN, 0, 1e6, wgs84, true},
                         Row{"infinite azimuth", 0, kInf, 1e6, wgs84, true},
                         Row{"infinite distance", 0, 0, kInf, wgs84, true},
                         Row{"negative distance", 0, 0, -1.0, wgs84, true},
                         Row{"beyond the pole", 90.5, 0, 1e6, wgs84, true},
                         Row{"flattening 1", 0, 0, 1e6, {6378137.0, 0.0, 1.0}, true},
                         Row{"zero semi-major axis", 0, 0, 1e6, {0.0, 6356752.0, 0.003}, true},
                         Row{"NaN flattening", 0, 0, 1e6, {6378137.0, 6356752.0, kNaN}, true},
                         Row{"prolate", 0, 0, 1e6, {6378137.0, 6400000.0, -0.003}, false},
                         Row{"negative b", 0, 0, 1e6, {6378137.0, -6356752.0, 0.003}, false}}) {
        EXPECT_FALSE(VincentyDirect(r.lat, 0.0, r.azimuth, r.metres, r.e)) << r.name;
        if (r.exactRefusesToo) {
            EXPECT_FALSE(
                ExactDirect(r.lat, 0.0, r.azimuth, r.metres, r.e.semiMajorMetres, r.e.flattening))
                << r.name;
        }
    }
    EXPECT_FALSE(SphereDirect(0.0, kNaN, 0.0, 1e6));
    EXPECT_EQ(VincentyMidpoint(0, 0, kNaN, 0, wgs84).status, SolutionStatus::Fault);
    EXPECT_EQ(SphereMidpoint(0, 0, 0, 180).status, SolutionStatus::Fault);  // no one great circle
    EXPECT_EQ(ExactMidpoint(0, 0, 91, 0, 6378137.0, 0.003).status, SolutionStatus::Fault);
}

struct MidpointCase {
    const char* name;
    double latA, lonA, latB, lonB;
    bool vincentySettles;  // otherwise the midpoint is the exact solver's to give
};

class Midpoints : public ::testing::TestWithParam<MidpointCase> {};

// On WGS-84 against GeographicLib's inverse and its direct over half the distance; on the
// sphere, halfway by the great-circle distance.
TEST_P(Midpoints, LieHalfwayAlongTheShortestPath) {
    const MidpointCase& c = GetParam();
    const double f = 1.0 / 298.257223563;
    const Ellipsoid e{6378137.0, 6378137.0 * (1.0 - f), f};
    const GeographicLib::Geodesic oracle(e.semiMajorMetres, f);
    double metres = 0.0, azimuthA = 0.0, azimuthB = 0.0, latM = 0.0, lonM = 0.0;
    oracle.Inverse(c.latA, c.lonA, c.latB, c.lonB, metres, azimuthA, azimuthB);
    oracle.Direct(c.latA, c.lonA, azimuthA, metres / 2.0, latM, lonM);

    std::vector<MidpointSolution> midpoints{
        ExactMidpoint(c.latA, c.lonA, c.latB, c.lonB, e.semiMajorMetres, f),
        VincentyMidpoint(c.latA, c.lonA, c.latB, c.lonB, e)};
    if (!c.vincentySettles) {
        EXPECT_EQ(midpoints.back().status, SolutionStatus::NotSettled);
        midpoints.pop_back();
    }
    for (const MidpointSolution& m : midpoints) {
        ASSERT_EQ(m.status, SolutionStatus::Solved);
        EXPECT_LE(groundApartMetres(oracle, m.point.latDeg, m.point.lonDeg, latM, lonM),
                  kGroundToleranceMetres);
        EXPECT_TRUE(m.point.lonDeg > -180.0 && m.point.lonDeg <= 180.0) << m.point.lonDeg;
    }
    const MidpointSolution s = SphereMidpoint(c.latA, c.lonA, c.latB, c.lonB);
    ASSERT_EQ(s.status, SolutionStatus::Solved);
    const double half = SphereInverse(c.latA, c.lonA, c.latB, c.lonB).metres / 2.0;
    EXPECT_NEAR(SphereInverse(c.latA, c.lonA, s.point.latDeg, s.point.lonDeg).metres, half, 1e-3);
    EXPECT_NEAR(SphereInverse(s.point.latDeg, s.point.lonDeg, c.latB, c.lonB).metres, half, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(
    Midpoint, Midpoints,
    ::testing::Values(MidpointCase{"OnTheEquator", 0, 10, 0, 50, true},
                      MidpointCase{"OnAMeridian", 10, 20, 60, 20, true},
                      MidpointCase{"AcrossThe180th", 30, 170, -20, -160, true},
                      MidpointCase{"ThroughThePole", 70, 0, 80, 180, true},
                      MidpointCase{"Coincident", 12, 34, 12, 34, true},
                      MidpointCase{"CapeTownToLondon", -33.92, 18.42, 51.51, -0.13, true},
                      MidpointCase{"TokyoToBuenosAires", 35.68, 139.69, -34.60, -58.38, true},
                      MidpointCase{"ShortHop", 45.0, 7.0, 45.0001, 7.0001, true},
                      MidpointCase{"NearlyAntipodal", 0, 0, 0.5, 179.7, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmora::geodesy
