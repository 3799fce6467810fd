#include "calculator/datum_menu.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <string>
#include <string_view>

namespace velmora::calc {
namespace {

// The menu entry of a named ellipsoid.
consteval std::int16_t entryOf(std::string_view name) {
    return static_cast<std::int16_t>(kFirstEllipsoidEntry + geodesy::NamedEllipsoidIndex(name));
}
constexpr std::int16_t kSecondSeparator = kOtherEntry - 1;

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
                         ::testing::Range(kFirstEllipsoidEntry, kSecondSeparator),
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
    EXPECT_TRUE(sameDatum(datumOf(entryOf("ED-50")), datumOf(entryOf("International 1924"))));
    EXPECT_TRUE(sameDatum(datumOf(entryOf("ED-50")), datumOf(entryOf("Rome-40"))));
    EXPECT_TRUE(sameDatum(datumOf(entryOf("Clarke 1866")), datumOf(entryOf("NAD-27"))));
    EXPECT_TRUE(sameDatum(datumOf(entryOf("GRS-80")), datumOf(entryOf("NAD-83"))));
    EXPECT_TRUE(sameDatum(datumOf(entryOf("NWL 10D")), datumOf(entryOf("WGS-72"))));
    EXPECT_FALSE(sameDatum(datumOf(entryOf("GRS-80")), datumOf(kWgs84Entry)));
}

TEST(ApplyDatum, Nwl10dDerivesItsSemiMinorAxisInDouble) {
    const DatumParameters d = datumOf(entryOf("NWL 10D"));
    EXPECT_EQ(d.semiMajorMetres, 6378135.0);
    EXPECT_NEAR(d.semiMinorMetres, 6356750.520016094, 1e-9);
    EXPECT_NEAR(1.0 / d.flattening, 298.26, 1e-10);
}

TEST(ApplyDatum, SphereKeepsThePreviousEllipsoid) {
    CalculatorState state;
    ApplyDatum(state, entryOf("Airy 1830"));
    const DatumParameters airy = state.Datum;
    ApplyDatum(state, kSphereEntry);
    EXPECT_TRUE(state.SphereMode);
    EXPECT_TRUE(sameDatum(state.Datum, airy));
    ApplyDatum(state, kWgs84Entry);
    EXPECT_FALSE(state.SphereMode);
    EXPECT_TRUE(sameDatum(state.Datum, datumOf(kWgs84Entry)));
}

TEST(ApplyDatum, SeparatorsAndUnknownIndexesOnlyLeaveSphereMode) {
    for (int index : {kFirstEllipsoidEntry - 1, int{kSecondSeparator}, -1, kDatumEntryCount, 99}) {
        CalculatorState state;
        ApplyDatum(state, entryOf("Clarke 1880"));
        const DatumParameters before = state.Datum;
        state.SphereMode = true;
        ApplyDatum(state, static_cast<std::int16_t>(index));
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
        EXPECT_EQ(IsDatumSeparator(index),
                  index == kFirstEllipsoidEntry - 1 || index == kSecondSeparator)
            << index;
        EXPECT_EQ(DatumCaption(index) == "-", IsDatumSeparator(index)) << index;
    }
}

}  // namespace
}  // namespace velmora::calc
