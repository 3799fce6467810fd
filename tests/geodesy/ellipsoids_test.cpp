#include "geodesy/ellipsoids.h"

#include <gtest/gtest.h>

#include <set>
#include <string_view>

namespace velmora::geodesy {
namespace {

// Names are how rows are found (NamedEllipsoidIndex) and what menus show: one row per name.
TEST(NamedEllipsoids, NamesAreUniqueAndWgs84IsFoundByName) {
    std::set<std::string_view> names;
    for (const NamedEllipsoid& row : kNamedEllipsoids) {
        EXPECT_FALSE(row.name.empty());
        EXPECT_TRUE(names.insert(row.name).second) << row.name;
    }
    EXPECT_EQ(kNamedEllipsoids[kWgs84].name, "WGS-84");
    EXPECT_EQ(kNamedEllipsoids[kWgs84].semiMajorMetres, 6378137.0);
}

// The published b is kept as it is, not recomputed from a and 1/f.
TEST(NamedEllipsoids, EllipsoidKeepsThePublishedSemiMinorAxis) {
    const Ellipsoid airy = kNamedEllipsoids[NamedEllipsoidIndex("Airy 1830")].ellipsoid();
    EXPECT_EQ(airy.semiMajorMetres, 6377563.396);
    EXPECT_EQ(airy.semiMinorMetres, 6356256.909);
    EXPECT_EQ(airy.flattening, 1.0 / 299.3249646);
}

}  // namespace
}  // namespace velmora::geodesy
