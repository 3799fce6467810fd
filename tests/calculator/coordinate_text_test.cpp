#include "calculator/coordinate_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include <string>

#include "calculator/number_text.h"

namespace velmora::calc {
namespace {

// Marks spelled out so the tables read like the display.
#define DEG "\xC2\xB0"
#define SEC "\""

CalculatorState convertingState() {
    CalculatorState state;
    state.DisplaySeparator = ".";
    state.ConversionSeparator = ",";
    return state;
}

struct ConversionCase {
    const char* name;
    const char* text;
    std::int16_t format;
    const char* expected;
};

class CoordinateConversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(CoordinateConversion, WritesTheAngleInTheFormat) {
    const ConversionCase& c = GetParam();
    CalculatorState state = convertingState();
    EXPECT_EQ(ConvertCoordinateText(state, c.text, c.format), c.expected);
    state.CoordFormat = c.format;
    EXPECT_EQ(ConvertCoordinateText(state, c.text), c.expected) << "through CoordFormat";
}

INSTANTIATE_TEST_SUITE_P(
    ConvertCoordinateText, CoordinateConversion,
    ::testing::Values(
        ConversionCase{"DegMinToDegrees", "45" DEG "30'", kDeg, "45.5" DEG},
        ConversionCase{"DegMinToDegMinSec", "45" DEG "30'", kDegMinSec, "45" DEG "30'0" SEC},
        ConversionCase{"PlainToDegMinSec", "45.5", kDegMinSec, "45" DEG "30'0" SEC},
        ConversionCase{"PlainToDegMin", "12.5", kDegMin, "12" DEG "30'"},
        ConversionCase{"MinutesOnlyHasNoLeadingZero", "0" DEG "30'", kDeg, ".5" DEG},
        ConversionCase{"TwelvePointOneShowsItsRounding", "12.1", kDegMinSec,
                       "12" DEG "5'59.9999999999987" SEC},
        ConversionCase{"SecondsCarryIntoMinutes", "45" DEG "59'90" SEC, kDegMinSec,
                       "46" DEG "0'30" SEC},
        ConversionCase{"MinutesCarryBeforeSecondsAreAdded", "45" DEG "59'90" SEC, kDegMin,
                       "45" DEG "60.5'"},
        ConversionCase{"ManyCarries", "1" DEG "1000000'", kDegMinSec, "16667" DEG "40'0" SEC},
        ConversionCase{"HugeMinutesDoNotHang", "1" DEG "1E+20'", kDegMinSec,
                       "1.66666666666667E+18" DEG "40'0" SEC},
        ConversionCase{"UnclosedNumberIsSeconds", "45" DEG "30", kDegMinSec, "45" DEG "0'30" SEC},
        ConversionCase{"MinutesBeyondSixty", "45" DEG "75'", kDeg, "46.25" DEG},
        ConversionCase{"SignBelongsToWholeAngle", "-45" DEG "30'", kDegMinSec,
                       "-45" DEG "30'0" SEC},
        ConversionCase{"NegativeBelowOneDegree", "-0.5", kDegMin, "-0" DEG "30'"},
        ConversionCase{"NegativeZeroLosesSign", "-0" DEG, kDegMinSec, "0" DEG "0'0" SEC},
        ConversionCase{"NoNumberCountsAsZero", "Erro" DEG, kDeg, "0" DEG},
        ConversionCase{"SurroundingBlanks", "  7" DEG "15'  ", kDeg, "7.25" DEG},
        ConversionCase{"ConversionSeparatorAccepted", "45,5", kDeg, "45.5" DEG},
        ConversionCase{"ZeroUnchanged", "0", kDegMinSec, "0"},
        ConversionCase{"ZeroWithBlanksUnchanged", " 0 ", kDeg, " 0 "},
        ConversionCase{"EmptyUnchanged", "", kDegMin, ""},
        ConversionCase{"NoFormatChosenUnchanged", "45.5", kNone, "45.5"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConvertCoordinateText, ReturnsInputUnchangedWhileLoading) {
    CalculatorState state = convertingState();
    state.Loading = true;
    for (std::int16_t format : {kDegMinSec, kDegMin, kDeg}) {
        EXPECT_EQ(ConvertCoordinateText(state, "45" DEG "30'", format), "45" DEG "30'");
        EXPECT_EQ(ConvertCoordinateText(state, "12.5", format), "12.5");
    }
    EXPECT_EQ(DecimalDegreesText(state, "45" DEG "30'"), "45" DEG "30");
}

struct DegreesCase {
    const char* name;
    const char* text;
    const char* expected;
};

class DecimalDegrees : public ::testing::TestWithParam<DegreesCase> {};

TEST_P(DecimalDegrees, PlainNumberWithoutMark) {
    CalculatorState state = convertingState();
    state.CoordFormat = kDegMinSec;
    EXPECT_EQ(DecimalDegreesText(state, GetParam().text), GetParam().expected);
    EXPECT_EQ(state.CoordFormat, kDegMinSec);
}

INSTANTIATE_TEST_SUITE_P(
    DecimalDegreesText, DecimalDegrees,
    ::testing::Values(DegreesCase{"DegMin", "45" DEG "30'", "45.5"},
                      DegreesCase{"SouthPrefix", "-7" DEG "15'", "-7.25"},
                      DegreesCase{"BelowOne", "0" DEG "30'", ".5"},
                      DegreesCase{"AllThreeParts", "-7" DEG "12'30.5" SEC, "-7.20847222222222"},
                      DegreesCase{"ZeroGivesEmpty", "0", ""},
                      DegreesCase{"EmptyStaysEmpty", "", ""},
                      DegreesCase{"OverflowStaysAnOverflow", "1E+400" DEG, "1E+309"}),
    [](const auto& info) { return std::string(info.param.name); });

// The angle has no writing in any format: the conversion fails instead of writing
// 1E+309°NaN'NaN".
TEST(ConvertCoordinateText, OverflowFailsInEveryFormat) {
    const CalculatorState state = convertingState();
    const std::string texts[] = {"1" + std::string(309, '0'), "1E+400" DEG, "1" DEG "1E+400'",
                                 "-1E+400"};
    for (const std::int16_t format : {kDegMinSec, kDegMin, kDeg}) {
        for (const std::string& text : texts) {
            EXPECT_EQ(ConvertCoordinateText(state, text, format), std::nullopt)
                << text << " " << format;
        }
    }
}

// The one reading of a stored coordinate gives, bit for bit, what reading its decimal-degree
// text gives: the 15-digit rounding of the text included (50°3'59" is 50.0663888888889,
// not the nearer double 50.06638888888889).
TEST(CoordinateDegrees, ReadsAsItsDecimalDegreeText) {
    CalculatorState loading = convertingState();
    loading.Loading = true;
    CalculatorState noSeparators;
    const std::string texts[] = {"50" DEG "3'59" SEC,
                                 "-5" DEG "42'53" SEC,
                                 "0",
                                 "-0",
                                 "",
                                 "0" DEG,
                                 "-0" DEG "0'",
                                 "45",
                                 "45" SEC,
                                 "45" DEG "30",
                                 "45" DEG "30'",
                                 ".5" DEG,
                                 "5." DEG,
                                 "5,25" DEG,
                                 "-7" DEG "12'30.5" SEC,
                                 "100.0001220703125" DEG,  // a tie at 15 digits, left to the text
                                 "99.99999999999999" DEG,
                                 "9.999999999999999e-9" DEG,
                                 "0.00000001" DEG,
                                 "123456789012345678" DEG,
                                 "1" + std::string(309, '0'),
                                 "1E+400" DEG,
                                 "-1E+400" DEG,
                                 "--5" DEG,
                                 "-" DEG,
                                 "0" DEG "-30'",
                                 " 45" DEG " 30' ",
                                 "45" DEG "45" DEG,
                                 "30'5" DEG,
                                 "5" DEG "3'2" DEG,
                                 "45.5.5" DEG,
                                 "1e3" DEG,
                                 SEC,
                                 "12.5",
                                 "45" DEG "30'15" SEC "x"};
    for (const CalculatorState& state : {convertingState(), loading, noSeparators}) {
        for (const std::string& text : texts) {
            const double read = CoordinateDegrees(state, text);
            const double viaText = ReadLeadingNumber(DecimalDegreesText(state, text));
            EXPECT_EQ(std::memcmp(&read, &viaText, sizeof read), 0)
                << text << ": " << read << " against " << viaText;
        }
    }
    // Stored coordinates as the keypad leaves them, over the whole sphere and beyond.
    std::mt19937_64 random(20261209);
    std::uniform_real_distribution<double> degrees(-400.0, 400.0);
    const CalculatorState state = convertingState();
    for (int i = 0; i < 20'000; ++i) {
        const std::string typed = NumberText(degrees(random));
        for (const std::int16_t format : {kDeg, kDegMin, kDegMinSec}) {
            const std::string text = ConvertCoordinateText(state, typed, format).value();
            const double read = CoordinateDegrees(state, text);
            const double viaText = ReadLeadingNumber(DecimalDegreesText(state, text));
            ASSERT_EQ(std::memcmp(&read, &viaText, sizeof read), 0) << text;
        }
    }
}

struct RangeCase {
    const char* name;
    const char* text;
    bool isLatitude;
    bool inRange;
};

class CoordinateRange : public ::testing::TestWithParam<RangeCase> {};

TEST_P(CoordinateRange, FromZeroToTheLimitInclusive) {
    EXPECT_EQ(CoordinateInRange(convertingState(), GetParam().text, GetParam().isLatitude),
              GetParam().inRange);
}

INSTANTIATE_TEST_SUITE_P(
    CoordinateInRange, CoordinateRange,
    ::testing::Values(RangeCase{"LatitudeLimitPasses", "90" DEG, true, true},
                      RangeCase{"OneSecondBeyondFails", "90" DEG "0'1" SEC, true, false},
                      RangeCase{"MinutesPushBeyondFails", "89" DEG "90'", true, false},
                      RangeCase{"MinutesBeyondSixtyPass", "45" DEG "75'", true, true},
                      RangeCase{"NegativeIsOutOfRange", "-120" DEG, true, false},
                      RangeCase{"NegativeZeroIsOutOfRange", "-0" DEG "0'", true, false},
                      RangeCase{"SignAloneIsOutOfRange", " -" DEG, false, false},
                      RangeCase{"LongitudeLimitPasses", "180" DEG, false, true},
                      RangeCase{"HalfDegreeBeyondFails", "180.5" DEG, false, false},
                      RangeCase{"LatitudeLimitIsNotLongitudes", "120" DEG, false, true},
                      RangeCase{"ZeroPasses", "0", true, true},
                      RangeCase{"OverflowFails", "1E+400" DEG, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmora::calc
