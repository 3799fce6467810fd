#include "calculator/distance_units.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace velmora::calc {
namespace {

CalculatorState stateInUnit(std::int16_t unit) {
    CalculatorState state;
    DetectDecimalSeparator(state);
    state.UnitIndex = unit;
    return state;
}

struct FormatCase {
    const char* name;
    std::int16_t unit;
    double km;
    const char* mark;
    const char* text;
    const char* unitText;
};

class DistanceText : public ::testing::TestWithParam<FormatCase> {};

TEST_P(DistanceText, WritesSixDecimalsInTheSelectedUnit) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(FormatDistance(c.km, c.unit, c.mark), c.text);
    EXPECT_EQ(UnitSymbol(c.unit), c.unitText);
}

INSTANTIATE_TEST_SUITE_P(
    FormatDistance, DistanceText,
    ::testing::Values(FormatCase{"ZeroKilometres", 0, 0.0, ".", "0.000000", "km"},
                      FormatCase{"ZeroMiles", 1, 0.0, ".", "0.000000", "mi"},
                      FormatCase{"Kilometres", 0, 969.845344, ".", "969.845344", "km"},
                      FormatCase{"StatuteMiles", 1, 969.845344, ".", "602.633958", "mi"},
                      FormatCase{"NauticalMilesOfOnePointEightFiveThree", 2, 969.845344, ".",
                                 "523.391983", "nmi"},
                      FormatCase{"LocaleComma", 0, 969.845344, ",", "969,845344", "km"},
                      FormatCase{"NoUnitYet", -1, 969.845344, ".", "Error", ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct ReexpressCase {
    const char* name;
    std::int16_t from;
    const char* text;
    std::int16_t to;
    const char* mark;
    const char* expected;
    const char* unitText;
};

class ShownDistance : public ::testing::TestWithParam<ReexpressCase> {};

TEST_P(ShownDistance, IsReexpressedFromItsText) {
    const ReexpressCase& c = GetParam();
    const CalculatorState state = stateInUnit(c.from);
    EXPECT_EQ(ConvertDistanceText(state, c.text, c.to, c.mark), c.expected);
    EXPECT_EQ(UnitSymbol(c.to), c.unitText);
    EXPECT_EQ(state.UnitIndex, c.from) << "the caller changes UnitIndex afterwards";
}

INSTANTIATE_TEST_SUITE_P(
    ConvertDistanceText, ShownDistance,
    ::testing::Values(
        ReexpressCase{"KilometresToMiles", 0, "10.000000", 1, ".", "6.213712", "mi"},
        ReexpressCase{"MilesBackFromTheRoundedText", 1, "6.213712", 0, ".", "10.000000", "km"},
        ReexpressCase{"MilesToNauticalMultipliesFirst", 1, "62.137119", 2, ".", "53.966541", "nmi"},
        ReexpressCase{"NauticalToMilesDoesNotRoundTrip", 2, "53.966541", 1, ".", "62.137120", "mi"},
        ReexpressCase{"NauticalToKilometres", 2, "1.000000", 0, ".", "1.853000", "km"},
        ReexpressCase{"CommaTextIsReadBack", 1, "6,213712", 0, ",", "10,000000", "km"},
        ReexpressCase{"SameUnit", 0, "969.845344", 0, ".", "969.845344", "km"},
        ReexpressCase{"NoNumberReadsAsZero", 0, "Error", 1, ".", "0.000000", "mi"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DetectDecimalSeparator, PointForDisplayCommaForConversionInAnyLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    for (const char* name : {"C", "de_DE.UTF-8", "it_IT.UTF-8", "fr_FR.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) == nullptr) continue;
        CalculatorState state;
        DetectDecimalSeparator(state);
        EXPECT_EQ(state.DisplaySeparator, ".") << name;
        EXPECT_EQ(state.ConversionSeparator, ",") << name;
    }
    std::setlocale(LC_ALL, previous.c_str());
}

}  // namespace
}  // namespace velmora::calc
