// The distance kernel against an independent solution of the inverse problem: GeographicLib's
// Geodesic::Inverse (Karney's algorithm, accurate to nanometres), on seeded random pairs.

#include <GeographicLib/Geodesic.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <iostream>
#include <string>

#include "geodesy/ellipsoids.h"
#include "random_pairs.h"
#include "geodesy/vincenty.h"

namespace velmora::geodesy {
namespace {

constexpr double kAgreementMetres = 1e-3;  // Vincenty's own accuracy is a fraction of this
// Largest distance between two points on these ellipsoids, rounded up, in metres.
constexpr double kLongestPathMetres = 20'040'000.0;

class AgainstGeographicLib : public ::testing::TestWithParam<std::size_t> {};

TEST_P(AgainstGeographicLib, AgreesToAMillimetreWhereverItConverges) {
    const NamedEllipsoid& named = kNamedEllipsoids[GetParam()];
    const Ellipsoid ellipsoid = named.ellipsoid();
    const double a = ellipsoid.semiMajorMetres;
    const double f = ellipsoid.flattening;

    // GeographicLib describes an ellipsoid by a and f alone, while the table gives b a
    // constant of its own that is not exactly a(1 - f): for Airy 1830 it is 0.24 mm short,
    // which scales a 20,000 km distance by up to 0.75 mm. That is a property of the published
    // constants, not of the algorithm, and it would eat most of the 1 mm budget. So both
    // sides get the same ellipsoid: the kernel runs with b = a(1 - f). (The table's own b is
    // pinned by the reference distances of the distance tests and by the consistency check
    // of the ellipsoid table.)
    const double b = a * (1.0 - f);
    const double tableScaleErrorMetres =
        std::fabs(ellipsoid.semiMinorMetres - b) / b * kLongestPathMetres;

    const GeographicLib::Geodesic oracle(a, f);
    double largestDifference = 0.0;
    int notConverged = 0;
    for (const testing::PointPair& p : testing::RandomPointPairs()) {
        const GeodesicSolution solution =
            VincentyInverse(p.latADeg, p.lonADeg, p.latBDeg, p.lonBDeg, a, b, f, WithAzimuths::No);
        if (solution.status != SolutionStatus::Solved) {
            ++notConverged;
            continue;
        }
        const double metres = solution.metres;
        double expected = 0.0;
        oracle.Inverse(p.latADeg, p.lonADeg, p.latBDeg, p.lonBDeg, expected);
        const double difference = std::fabs(metres - expected);
        largestDifference = std::max(largestDifference, difference);
        ASSERT_LE(difference, kAgreementMetres)
            << "A " << p.latADeg << " " << p.lonADeg << ", B " << p.latBDeg << " " << p.lonBDeg;
    }
    // Only the near-antipodal tenth of the pairs may fail to converge.
    EXPECT_LT(notConverged, static_cast<int>(testing::kPairCount / testing::kNearAntipodalEvery));
    std::cout << named.name << ": largest difference " << largestDifference * 1e3 << " mm; "
              << notConverged << " of " << testing::kPairCount
              << " pairs did not converge; the table's b moves distances by up to "
              << tableScaleErrorMetres * 1e3 << " mm\n";
    RecordProperty("largest_difference_mm", std::to_string(largestDifference * 1e3));
    RecordProperty("not_converged", notConverged);
}

INSTANTIATE_TEST_SUITE_P(VincentyInverse, AgainstGeographicLib,
                         ::testing::Values(kWgs84, NamedEllipsoidIndex("Airy 1830"),
                                           NamedEllipsoidIndex("Bessel 1841"),
                                           NamedEllipsoidIndex("Clarke 1880")),
                         [](const auto& info) {
                             std::string name(kNamedEllipsoids[info.param].name);
                             std::erase_if(name, [](char c) {
                                 return !std::isalnum(static_cast<unsigned char>(c));
                             });
                             return name;
                         });

}  // namespace
}  // namespace velmora::geodesy
