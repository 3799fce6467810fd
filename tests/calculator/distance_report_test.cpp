#include "calculator/distance_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calculator/datum_menu.h"
#include "calculator/distance_units.h"

namespace velmora::calc {
namespace {

#define DEG "\xC2\xB0"

CalculatorState stateInUnit(std::int16_t unit) {
    CalculatorState state;
    DetectDecimalSeparator(state);
    ApplyDatum(state, kWgs84Entry);
    state.UnitIndex = unit;
    state.CoordFormat = kDeg;
    return state;
}

using Lines = std::vector<std::string>;

struct ReportCase {
    const char* name;
    DistanceSolution solution;
    std::int16_t unit;
    const char* mark;
    bool azimuths;
    const char* display;
    Lines lines;
};

class Reports : public ::testing::TestWithParam<ReportCase> {};

TEST_P(Reports, GiveTheDisplayAndTheLines) {
    const ReportCase& c = GetParam();
    DistanceReporter reporter;
    reporter.setShowAzimuths(c.azimuths);
    CalculatorState state = stateInUnit(c.unit);
    const DistanceReport report = reporter.report(c.solution, state, UserLocale{c.mark, ","});
    EXPECT_EQ(report.display, c.display);
    EXPECT_EQ(report.lines, c.lines);
    EXPECT_EQ(state.UnitText, UnitSymbol(c.unit));
}

INSTANTIATE_TEST_SUITE_P(
    DistanceReporter, Reports,
    ::testing::Values(
        ReportCase{"Kilometres",
                   {969.845344, false, {}},
                   kKilometres,
                   ".",
                   false,
                   "969.845344",
                   {"Distance: 969.845344 km"}},
        ReportCase{"CommaLocaleLineDisplayPoint",
                   {969.845344, false, {}},
                   kStatuteMiles,
                   ",",
                   false,
                   "602.633958",
                   {"Distance: 602,633958 mi"}},
        ReportCase{"ExactWithAzimuths",
                   {19'965.045, true, geodesy::Azimuths{90.5, 270.25}},
                   kKilometres,
                   ".",
                   true,
                   "19965.045000",
                   {"Distance: 19965.045000 km (exact)", "Azimuth at A: 90.500000" DEG,
                    "Azimuth at B: 270.250000" DEG}},
        ReportCase{"CoincidentHaveNoAzimuth",
                   {0.0, false, std::nullopt},
                   kNauticalMiles,
                   ".",
                   true,
                   "0.000000",
                   {"Distance: 0.000000 nmi", "Azimuth at A: none, A and B coincide",
                    "Azimuth at B: none, A and B coincide"}},
        ReportCase{
            "NoUnitYet", {1.0, false, {}}, kNone, ".", false, "Error", {"Distance: Error "}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DistanceReporter, CalculateFailsAsAValueAndLeavesResultShownAlone) {
    DistanceReporter reporter;
    CalculatorState state = stateInUnit(kKilometres);
    state.CoordText = {"0", "0", "0", "180" DEG};  // exactly antipodal: Vincenty never settles
    EXPECT_FALSE(reporter.calculate(state, {}).has_value());
    EXPECT_FALSE(state.ResultShown);
    state.CoordText = {"0", "0", "0", "90" DEG};
    const std::optional<DistanceReport> report = reporter.calculate(state, {});
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(report->lines, Lines{"Distance: 10018.754171 km"});
    EXPECT_TRUE(state.ResultShown);
}

struct UnitCase {
    const char* name;
    bool resultShown;
    std::string display;
    std::int16_t unit;
    bool changes;
    Lines lines;
    std::optional<std::string> display2;
};

class UnitKeys : public ::testing::TestWithParam<UnitCase> {};

TEST_P(UnitKeys, ReexpressAShownDistance) {
    const UnitCase& c = GetParam();
    DistanceReporter reporter;
    reporter.setShowAzimuths(true);
    CalculatorState state = stateInUnit(kKilometres);
    state.ResultShown = c.resultShown;
    const auto change = reporter.chooseUnit(state, c.display, c.unit, {});
    ASSERT_EQ(change.has_value(), c.changes);
    EXPECT_EQ(state.UnitIndex, c.changes ? c.unit : kKilometres);
    if (!change) return;
    EXPECT_EQ(change->lines, c.lines);
    EXPECT_EQ(change->display, c.display2);
}

INSTANTIATE_TEST_SUITE_P(
    DistanceReporter, UnitKeys,
    ::testing::Values(
        UnitCase{"ShownDistanceWithItsAzimuths",
                 true,
                 "10.000000",
                 kStatuteMiles,
                 true,
                 {"Distance: statute miles [mi]", "Distance: 6.213712 mi",
                  "Azimuth at A: none, A and B coincide", "Azimuth at B: none, A and B coincide"},
                 "6.213712"},
        UnitCase{"NoDistanceShownOnlyTheUnit",
                 false,
                 "45",
                 kNauticalMiles,
                 true,
                 {"Distance: nautical miles [nmi]"},
                 std::nullopt},
        UnitCase{"NegativeNumberIsNoLength",
                 true,
                 "-3",
                 kStatuteMiles,
                 true,
                 {"Distance: statute miles [mi]"},
                 std::nullopt},
        UnitCase{"SameUnitDoesNothing", true, "10.000000", kKilometres, false, {}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DistanceReporter, AUnitThatOverflowsChangesNothing) {
    DistanceReporter reporter;
    CalculatorState state = stateInUnit(kStatuteMiles);
    state.ResultShown = true;
    const std::string shown = "17" + std::string(307, '0') + ".0";  // 1.7E+308 mi: beyond in km
    EXPECT_FALSE(reporter.chooseUnit(state, shown, kKilometres, {}).has_value());
    EXPECT_EQ(state.UnitIndex, kStatuteMiles);
}

}  // namespace
}  // namespace velmora::calc
