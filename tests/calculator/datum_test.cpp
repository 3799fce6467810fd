#include "calculator/datum_menu.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <string>


namespace velmora::calc {
namespace {

class BuiltInEllipsoid : public ::testing::TestWithParam<std::int16_t> {};

// The three constants of a row are typed independently; a typo in any of them breaks
// b = a(1 - f), which the published values satisfy to a fraction of a millimetre.
TEST_P(BuiltInEllipsoid, InstallsConsistentAxesAndFlattening) {
    CalculatorState state;
    state.SphereMode = true;
    ApplyDatum(state, GetParam());
    const DatumParameters& d = state.Datum;
    EXPECT_FALSE(state.SphereMode);
    EXPECT_NEAR(d.semiMajorMetres * (1.0 - d.flattening), d.semiMinorMetres, 0.5e-3);  // metres
    EXPECT_GT(d.semiMajorMetres, 6'377'000.0);
    EXPECT_LT(d.semiMajorMetres, 6'379'000.0);
    EXPECT_GT(1.0 / d.flattening, 293.0);
    EXPECT_LT(1.0 / d.flattening, 300.0);
}

INSTANTIATE_TEST_SUITE_P(ApplyDatum, BuiltInEllipsoid,
                         ::testing::Range(std::int16_t{2}, std::int16_t{17}),
                         [](const auto& info) {
                             std::string name(DatumCaption(info.param));
                             std::erase_if(name, [](char c) {
                                 return !std::isalnum(static_cast<unsigned char>(c));
                             });
                             return name;
                         });

DatumParameters datumOf(std::int16_t index) {
    CalculatorState state;
    ApplyDatum(state, index);
    return state.Datum;
}

bool sameDatum(const DatumParameters& x, const DatumParameters& y) {
    return x.semiMajorMetres == y.semiMajorMetres && x.semiMinorMetres == y.semiMinorMetres &&
           x.flattening == y.flattening;
}

TEST(ApplyDatum, EntriesSharingAnEllipsoidInstallTheSameValues) {
    EXPECT_TRUE(sameDatum(datumOf(6), datumOf(9)));    // ED-50, International 1924
    EXPECT_TRUE(sameDatum(datumOf(6), datumOf(13)));   // ED-50, Rome-40
    EXPECT_TRUE(sameDatum(datumOf(4), datumOf(10)));   // Clarke 1866, NAD-27
    EXPECT_TRUE(sameDatum(datumOf(8), datumOf(11)));   // GRS-80, NAD-83
    EXPECT_TRUE(sameDatum(datumOf(12), datumOf(15)));  // NWL 10D, WGS-72
    EXPECT_FALSE(sameDatum(datumOf(8), datumOf(16)));  // GRS-80 is not WGS-84
}

TEST(ApplyDatum, Nwl10dDerivesItsSemiMinorAxisInDouble) {
    const DatumParameters d = datumOf(12);
    EXPECT_EQ(d.semiMajorMetres, 6378135.0);
    EXPECT_NEAR(d.semiMinorMetres, 6356750.520016094, 1e-9);
    EXPECT_NEAR(1.0 / d.flattening, 298.26, 1e-10);
}

TEST(ApplyDatum, SphereKeepsThePreviousEllipsoid) {
    CalculatorState state;
    ApplyDatum(state, 2);  // Airy 1830
    const DatumParameters airy = state.Datum;
    ApplyDatum(state, kSphereEntry);
    EXPECT_TRUE(state.SphereMode);
    EXPECT_TRUE(sameDatum(state.Datum, airy));
    ApplyDatum(state, kWgs84Entry);
    EXPECT_FALSE(state.SphereMode);
    EXPECT_TRUE(sameDatum(state.Datum, datumOf(kWgs84Entry)));
}

TEST(ApplyDatum, SeparatorsAndUnknownIndexesOnlyLeaveSphereMode) {
    for (std::int16_t index : {1, 17, -1, 19, 99}) {
        CalculatorState state;
        ApplyDatum(state, 5);
        const DatumParameters before = state.Datum;
        state.SphereMode = true;
        ApplyDatum(state, index);
        EXPECT_FALSE(state.SphereMode) << index;
        EXPECT_TRUE(sameDatum(state.Datum, before)) << index;
    }
}

TEST(ApplyDatum, OtherTakesTheCustomDefinition) {
    CalculatorState state;
    state.CustomDatum = {6378137.0, 6356752.31424518, 298.257223563};
    ApplyDatum(state, kOtherEntry);
    EXPECT_EQ(state.Datum.semiMajorMetres, 6378137.0);
    EXPECT_EQ(state.Datum.semiMinorMetres, 6356752.31424518);
    EXPECT_EQ(state.Datum.flattening, 1.0 / 298.257223563);
    EXPECT_FALSE(state.SphereMode);
}

TEST(DatumCaption, SeparatorsAndOutsideTheMenu) {
    EXPECT_EQ(DatumCaption(-1), "");
    EXPECT_EQ(DatumCaption(kDatumEntryCount), "");
    for (int index = 0; index < kDatumEntryCount; ++index) {
        EXPECT_EQ(IsDatumSeparator(index), index == 1 || index == 17) << index;
        EXPECT_EQ(DatumCaption(index) == "-", IsDatumSeparator(index)) << index;
    }
}

}  // namespace
}  // namespace velmora::calc
