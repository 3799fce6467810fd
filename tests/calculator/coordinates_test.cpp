#include "calculator/coordinates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "calculator/distance_units.h"

namespace velmora::calc {
namespace {

#define DEG "\xC2\xB0"

// The history line has a blank behind every degree and minutes mark, then the hemisphere's.
struct EnterCase {
    const char* name;
    std::int16_t field;
    std::int16_t hemisphere;
    const char* display;
    const char* line;
    const char* shown;
    const char* stored;
};

class Enter : public ::testing::TestWithParam<EnterCase> {};

TEST_P(Enter, StoresTheDisplayIntoTheActiveField) {
    const EnterCase& c = GetParam();
    CalculatorState state;
    DetectDecimalSeparator(state);
    ResetCoordinates(state);
    state.ActiveField = c.field;
    state.Hemisphere = c.hemisphere;
    const std::optional<EnteredCoordinate> entered = EnterCoordinate(state, c.display);
    ASSERT_TRUE(entered.has_value());
    EXPECT_EQ(entered->line, c.line);
    EXPECT_EQ(entered->display, c.shown);
    EXPECT_EQ(state.CoordText[static_cast<std::size_t>(c.field)], c.stored);
}

INSTANTIATE_TEST_SUITE_P(
    EnterCoordinate, Enter,
    ::testing::Values(EnterCase{"NorthGetsNoSign", kLatitudeA, kNorth, "45" DEG "30'",
                                "Latitude A: 45" DEG " 30'  N", "0", "45" DEG "30'"},
                      EnterCase{"SouthGetsTheSign", kLatitudeB, kSouth, "33" DEG "52'",
                                "Latitude B: 33" DEG " 52'  S", "0", "-33" DEG "52'"},
                      EnterCase{"WestGetsTheSign", kLongitudeA, kWest, "5" DEG "42'53\"",
                                "Longitude A: 5" DEG " 42' 53\" W", "0", "-5" DEG "42'53\""},
                      EnterCase{"BareNumberGetsTheDegreeMark", kLongitudeB, kEast, "12",
                                "Longitude B: 12" DEG "  E", "0", "12" DEG},
                      EnterCase{"RefusedIsStoredWithoutSign", kLatitudeA, kSouth, "95",
                                "Latitude A: Out of range", "Error", "95" DEG},
                      EnterCase{"OwnSignIsRefused", kLongitudeA, kEast, "-5",
                                "Longitude A: Out of range", "Error", "-5" DEG},
                      EnterCase{"LongitudeLimitPasses", kLongitudeA, kWest, "180",
                                "Longitude A: 180" DEG "  W", "0", "-180" DEG}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EnterCoordinate, NothingWithoutAField) {
    CalculatorState state;
    ResetCoordinates(state);
    EXPECT_FALSE(EnterCoordinate(state, "45").has_value());
    for (const std::string& text : state.CoordText) EXPECT_EQ(text, "0");
}

TEST(ReadStoredPoints, ReadsEachFieldInFieldOrder) {
    CalculatorState state;
    DetectDecimalSeparator(state);
    state.CoordText = {"50" DEG "3'59\"", "-58" DEG "38'", "-5" DEG "42'53\"", "1E+400" DEG};
    const StoredPoints p = ReadStoredPoints(state);
    EXPECT_EQ(p.latADeg, 50.0663888888889);  // 15 digits, as the decimal-degree text reads
    EXPECT_EQ(p.latBDeg, -58.6333333333333);
    EXPECT_EQ(p.lonADeg, -5.71472222222222);
    EXPECT_TRUE(std::isinf(p.lonBDeg));
}

}  // namespace
}  // namespace velmora::calc
