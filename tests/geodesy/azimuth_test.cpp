// Azimuths of the inverse kernels: Vincenty's own test lines, the awkward places (meridians,
// the equator, the poles, the 180th meridian) and seeded random pairs against GeographicLib.

#include <GeographicLib/Geodesic.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <string>

#include "geodesy/vincenty.h"
#include "random_pairs.h"

namespace velmora::geodesy {
namespace {

constexpr double kSecondDeg = 1.0 / 3600.0;
constexpr double kWgs84SemiMajorMetres = 6378137.0;
constexpr double kWgs84SemiMinorMetres = 6356752.3142;
constexpr double kWgs84Flattening = 1.0 / 298.257223563;
// International 1924 as the datum table holds it.
constexpr double kInternationalSemiMajorMetres = 6378388.0;
constexpr double kInternationalSemiMinorMetres = 6356911.946;
constexpr double kInternationalFlattening = 1.0 / 297.0;

constexpr double kSphereMetres = 6372795.5;  // the program's sphere
constexpr double kAgreementDeg = 1e-8;       // with GeographicLib, wherever Vincenty converges
// Within two degrees of the antipode Vincenty's azimuths stray further: its series for lambda
// stops at f^3, and there the azimuth turns fast with lambda. Iterating on to full
// convergence does not move them, so this is the method's own error; it stays far below the
// 0.01" (2.8e-6 degrees) the history shows.
constexpr double kNearAntipodalAgreementDeg = 1e-7;
constexpr double kNearAntipodalArcDeg = 178.0;

double dms(double degrees, double minutes, double seconds) {
    return degrees + minutes / 60.0 + seconds / 3600.0;
}

// The smaller way round between two azimuths, in degrees.
double angleApart(double a, double b) {
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return std::min(d, 360.0 - d);
}

struct OracleAzimuths {
    double atADeg;
    double atBDeg;
    double arcDeg;  // the arc from A to B on the auxiliary sphere; 180 at the antipode
};

OracleAzimuths oracle(const GeographicLib::Geodesic& g, double latA, double lonA, double latB,
                      double lonB) {
    double metres = 0.0;
    OracleAzimuths z{};
    z.arcDeg = g.Inverse(latA, lonA, latB, lonB, metres, z.atADeg, z.atBDeg);
    return z;
}

struct PublishedLine {
    const char* name;
    double latADeg, latBDeg, lonBDeg;  // A on the zero meridian
    double azimuthADeg, azimuthBDeg, metres;
    double toleranceSeconds;
};

class VincentyTestLines : public ::testing::TestWithParam<PublishedLine> {};

TEST_P(VincentyTestLines, AgreeWithThePublishedAzimuths) {
    const PublishedLine& line = GetParam();
    const GeodesicSolution s = VincentyInverse(
        line.latADeg, 0.0, line.latBDeg, line.lonBDeg, kInternationalSemiMajorMetres,
        kInternationalSemiMinorMetres, kInternationalFlattening);
    ASSERT_EQ(s.status, SolutionStatus::Solved);
    ASSERT_TRUE(s.azimuths.has_value());
    EXPECT_NEAR(s.azimuths->atADeg, line.azimuthADeg, line.toleranceSeconds * kSecondDeg);
    EXPECT_NEAR(s.azimuths->atBDeg, line.azimuthBDeg, line.toleranceSeconds * kSecondDeg);
    EXPECT_NEAR(s.metres, line.metres, 1e-3);
    std::cout << line.name << ": " << (s.azimuths->atADeg - line.azimuthADeg) / kSecondDeg << "\", "
              << (s.azimuths->atBDeg - line.azimuthBDeg) / kSecondDeg << "\"\n";
}

// T. Vincenty, Survey Review 23 (176), 1975, lines (b) to (e) on the International ellipsoid:
// latitudes of A and B, longitude of B from A, azimuths at A and B, length. Line (d) runs 0.7
// degrees from the antipode, where the azimuths turn a hundred times faster than the
// longitude: its published longitude, rounded to 0.00001", alone moves them by 0.00103"
// (GeographicLib gives the same from the same figures), so it gets 0.0011".
INSTANTIATE_TEST_SUITE_P(
    VincentyInverse, VincentyTestLines,
    ::testing::Values(
        PublishedLine{"b", dms(37, 19, 54.95367), dms(26, 7, 42.83946), dms(41, 28, 35.50729),
                      dms(95, 27, 59.63089), dms(118, 5, 58.96161), 4'085'966.703, 0.001},
        PublishedLine{"c", dms(35, 16, 11.24862), dms(67, 22, 14.77638), dms(137, 47, 28.31435),
                      dms(15, 44, 23.74850), dms(144, 55, 39.92147), 8'084'823.839, 0.001},
        PublishedLine{"d", 1.0, -dms(0, 59, 53.83076), dms(179, 17, 48.02997), 89.0,
                      dms(91, 0, 6.11733), 19'960'000.000, 0.0011},
        PublishedLine{"e", 1.0, dms(1, 1, 15.18952), dms(179, 46, 17.84244), dms(4, 59, 59.99995),
                      dms(174, 59, 59.88481), 19'780'006.558, 0.001}),
    [](const auto& info) { return std::string(info.param.name); });

struct PlaceCase {
    const char* name;
    double latA, lonA, latB, lonB;
    double atADeg, atBDeg;  // NaN: GeographicLib's alone
};

constexpr double kFromOracle = std::numeric_limits<double>::quiet_NaN();

class AwkwardPlaces : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(AwkwardPlaces, AgreeWithGeographicLib) {
    const PlaceCase& c = GetParam();
    const GeodesicSolution s =
        VincentyInverse(c.latA, c.lonA, c.latB, c.lonB, kWgs84SemiMajorMetres,
                        kWgs84SemiMinorMetres, kWgs84Flattening);
    ASSERT_EQ(s.status, SolutionStatus::Solved);
    ASSERT_TRUE(s.azimuths.has_value());
    const GeographicLib::Geodesic g(kWgs84SemiMajorMetres, kWgs84Flattening);
    const OracleAzimuths z = oracle(g, c.latA, c.lonA, c.latB, c.lonB);
    EXPECT_LE(angleApart(s.azimuths->atADeg, z.atADeg), kAgreementDeg) << s.azimuths->atADeg;
    EXPECT_LE(angleApart(s.azimuths->atBDeg, z.atBDeg), kAgreementDeg) << s.azimuths->atBDeg;
    for (const double azimuth : {s.azimuths->atADeg, s.azimuths->atBDeg}) {
        EXPECT_GE(azimuth, 0.0);
        EXPECT_LT(azimuth, 360.0);
    }
    if (!std::isnan(c.atADeg)) {
        EXPECT_LE(angleApart(s.azimuths->atADeg, c.atADeg), kAgreementDeg);
    }
    if (!std::isnan(c.atBDeg)) {
        EXPECT_LE(angleApart(s.azimuths->atBDeg, c.atBDeg), kAgreementDeg);
    }
}

INSTANTIATE_TEST_SUITE_P(
    VincentyInverse, AwkwardPlaces,
    ::testing::Values(
        PlaceCase{"NorthAlongAMeridian", 10, 20, 50, 20, 0, 0},
        PlaceCase{"SouthAlongAMeridian", 50, -70, -10, -70, 180, 180},
        PlaceCase{"EastAlongTheEquator", 0, 10, 0, 100, 90, 90},
        PlaceCase{"WestAlongTheEquator", 0, 10, 0, -60, 270, 270},
        PlaceCase{"OverTheNorthPole", 60, 0, 60, 180, 0, 180},
        PlaceCase{"FromTheNorthPole", 90, 0, 30, 45, 135, kFromOracle},
        PlaceCase{"ToTheSouthPole", 30, 45, -90, 0, 180, kFromOracle},
        PlaceCase{"AcrossThe180thMeridianEast", 10, 179.5, -10, -179.5, kFromOracle, kFromOracle},
        PlaceCase{"AcrossThe180thMeridianWest", -20, -179.9, 15, 179.9, kFromOracle, kFromOracle},
        PlaceCase{"OnThe180thMeridian", -40, 180, 40, -180, 0, 0},
        PlaceCase{"ShortLine", 41.6961, 12.5, 41.6962, 12.5001, kFromOracle, kFromOracle}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VincentyInverse, AgreesWithGeographicLibOnRandomPairs) {
    const GeographicLib::Geodesic g(kWgs84SemiMajorMetres, kWgs84Flattening);
    double largest = 0.0;
    double largestAwayFromAntipodes = 0.0;
    int converged = 0;
    for (const testing::PointPair& p : testing::RandomPointPairs()) {
        const GeodesicSolution s =
            VincentyInverse(p.latADeg, p.lonADeg, p.latBDeg, p.lonBDeg, kWgs84SemiMajorMetres,
                            kWgs84SemiMinorMetres, kWgs84Flattening);
        if (s.status == SolutionStatus::NotSettled) continue;
        ASSERT_EQ(s.status, SolutionStatus::Solved);
        ++converged;
        const OracleAzimuths z = oracle(g, p.latADeg, p.lonADeg, p.latBDeg, p.lonBDeg);
        const bool nearAntipodal = z.arcDeg > kNearAntipodalArcDeg;
        const double apart = std::max(angleApart(s.azimuths->atADeg, z.atADeg),
                                      angleApart(s.azimuths->atBDeg, z.atBDeg));
        largest = std::max(largest, apart);
        if (!nearAntipodal) largestAwayFromAntipodes = std::max(largestAwayFromAntipodes, apart);
        ASSERT_LE(apart, nearAntipodal ? kNearAntipodalAgreementDeg : kAgreementDeg)
            << "A " << p.latADeg << " " << p.lonADeg << ", B " << p.latBDeg << " " << p.lonBDeg;
    }
    std::cout << converged << " pairs converged; largest azimuth difference " << largest
              << " degrees, " << largestAwayFromAntipodes << " away from the antipodes\n";
    RecordProperty("largest_azimuth_difference_deg", std::to_string(largest));
}

TEST(SphereInverse, GreatCircleAzimuthsAgreeWithGeographicLibOnItsSphere) {
    const GeographicLib::Geodesic sphere(kSphereMetres, 0.0);
    double largest = 0.0;
    for (const testing::PointPair& p : testing::RandomPointPairs()) {
        const GeodesicSolution s = SphereInverse(p.latADeg, p.lonADeg, p.latBDeg, p.lonBDeg);
        ASSERT_EQ(s.status, SolutionStatus::Solved);
        const OracleAzimuths z = oracle(sphere, p.latADeg, p.lonADeg, p.latBDeg, p.lonBDeg);
        largest = std::max({largest, angleApart(s.azimuths->atADeg, z.atADeg),
                            angleApart(s.azimuths->atBDeg, z.atBDeg)});
    }
    EXPECT_LE(largest, kAgreementDeg);
}

TEST(InverseKernels, CoincidentPointsHaveALengthButNoAzimuth) {
    const GeodesicSolution ellipsoid = VincentyInverse(45, 7, 45, 7, kWgs84SemiMajorMetres,
                                                       kWgs84SemiMinorMetres, kWgs84Flattening);
    EXPECT_EQ(ellipsoid.status, SolutionStatus::Solved);
    EXPECT_EQ(ellipsoid.metres, 0.0);
    EXPECT_FALSE(ellipsoid.azimuths.has_value());
    const GeodesicSolution sphere = SphereInverse(45, 7, 45, 7);
    EXPECT_EQ(sphere.status, SolutionStatus::Solved);
    EXPECT_FALSE(sphere.azimuths.has_value());
}

// A direction a hair west of north rounds to 360 when turned into [0, 360): it is north, 0.
TEST(InverseKernels, AzimuthsStayBelowAFullTurn) {
    const GeodesicSolution ellipsoid = VincentyInverse(0, 0, 10, -1e-16, kWgs84SemiMajorMetres,
                                                       kWgs84SemiMinorMetres, kWgs84Flattening);
    const GeodesicSolution sphere = SphereInverse(0, 0, 10, -1e-16);
    for (const GeodesicSolution& s : {ellipsoid, sphere}) {
        ASSERT_TRUE(s.azimuths.has_value());
        for (const double deg : {s.azimuths->atADeg, s.azimuths->atBDeg}) {
            EXPECT_TRUE(deg >= 0.0 && deg < 360.0) << deg;
        }
    }
}

// Only an iteration that does not settle may be handed to another solver; faults stay faults.
TEST(VincentyInverse, TellsAnUnsettledIterationFromAFault) {
    EXPECT_EQ(VincentyInverse(0, 0, 0.5, 179.7, kWgs84SemiMajorMetres, kWgs84SemiMinorMetres,
                              kWgs84Flattening)
                  .status,
              SolutionStatus::NotSettled);
    EXPECT_EQ(
        VincentyInverse(0, 0, 0.5, 179.7, kWgs84SemiMajorMetres, 0.0, kWgs84Flattening).status,
        SolutionStatus::NotSettled);  // the iteration runs on f alone
    EXPECT_EQ(VincentyInverse(10, 0, 20, 30, kWgs84SemiMajorMetres, 0.0, kWgs84Flattening).status,
              SolutionStatus::Fault);
    EXPECT_EQ(VincentyInverse(0, 0, 0.5, 179.7, 1e300, 1e300, 1e300).status, SolutionStatus::Fault);
    EXPECT_EQ(VincentyInverse(std::numeric_limits<double>::infinity(), 0, 1, 1,
                              kWgs84SemiMajorMetres, kWgs84SemiMinorMetres, kWgs84Flattening)
                  .status,
              SolutionStatus::Fault);
    EXPECT_EQ(SphereInverse(0, 0, 0, 180).status, SolutionStatus::Fault);
}

}  // namespace
}  // namespace velmora::geodesy
