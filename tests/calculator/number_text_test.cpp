#include "calculator/number_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace velmora::calc {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct WriteCase {
    const char* name;
    double value;
    const char* text;
};

class NumberTextWrites : public ::testing::TestWithParam<WriteCase> {};

TEST_P(NumberTextWrites, FifteenDigitsPointAndNoSpareZeros) {
    EXPECT_EQ(NumberText(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    NumberText, NumberTextWrites,
    ::testing::Values(
        WriteCase{"SemiMinorAxis", 6378137.0 - 6378137.0 / 298.257223563, "6356752.31424518"},
        WriteCase{"InverseFlatteningFromAxes", 6378137.0 / (6378137.0 - 6356752.3142),
                  "298.25722293287"},
        WriteCase{"LargestFifteenDigitValue", 1.79769313486231E+308, "1.79769313486231E+308"},
        WriteCase{"DblMaxRoundsUp", DBL_MAX, "1.79769313486232E+308"},
        WriteCase{"HalfWithoutLeadingZero", 0.5, ".5"}, WriteCase{"NegativeQuarter", -0.25, "-.25"},
        WriteCase{"NegativeDecimal", -7.25, "-7.25"}, WriteCase{"WholeNumber", 100.0, "100"},
        WriteCase{"Zero", 0.0, "0"}, WriteCase{"NegativeZero", -0.0, "0"},
        WriteCase{"SumRoundsAtFifteenDigits", 0.1 + 0.2, ".3"},
        WriteCase{"Third", 1.0 / 3.0, ".333333333333333"},
        WriteCase{"TwoThirdsRoundsUp", 2.0 / 3.0, ".666666666666667"},
        WriteCase{"SmallestPlainFraction", 0.0001, ".0001"},
        WriteCase{"FirstExponentBelow", 1e-5, "1E-05"},
        WriteCase{"SmallWithMantissa", -1.5e-7, "-1.5E-07"},
        WriteCase{"LargestPlainWhole", 123456789012345.0, "123456789012345"},
        WriteCase{"FirstExponentAbove", 1e15, "1E+15"},
        WriteCase{"RoundingCarriesIntoExponent", 999999999999999.6, "1E+15"},
        WriteCase{"ThreeExponentDigits", -1e300, "-1E+300"},
        WriteCase{"Subnormal", 5e-324, "4.94065645841247E-324"},
        WriteCase{"InfinityReadsBackAsOverflow", kInf, "1E+309"},
        WriteCase{"NegativeInfinity", -kInf, "-1E+309"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ReadCase {
    const char* name;
    const char* text;
    double value;
};

class NumberTextReads : public ::testing::TestWithParam<ReadCase> {};

TEST_P(NumberTextReads, LongestLeadingNumberWithPoint) {
    EXPECT_EQ(ReadLeadingNumber(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    ReadLeadingNumber, NumberTextReads,
    ::testing::Values(
        ReadCase{"Decimal", "45.5", 45.5}, ReadCase{"StopsAtMark", "-7.25\xC2\xB0", -7.25},
        ReadCase{"LeadingPoint", ".5", 0.5}, ReadCase{"Exponent", "1E-05x", 1e-5},
        ReadCase{"SecondPointEnds", "1.5.3", 1.5}, ReadCase{"CommaIsNotAPoint", "3,5", 3.0},
        ReadCase{"LeadingBlanks", "  12", 12.0}, ReadCase{"PlusSign", "+3", 3.0},
        ReadCase{"BareExponentLetter", "1e", 1.0}, ReadCase{"ExponentWithoutDigits", "1E+", 1.0},
        ReadCase{"Empty", "", 0.0}, ReadCase{"SignOnly", "-", 0.0}, ReadCase{"PointOnly", ".", 0.0},
        ReadCase{"NoNumber", "Error", 0.0}, ReadCase{"NotANumberText", "NaN", 0.0},
        ReadCase{"OverflowIsInfinite", "1E+400", kInf},
        ReadCase{"DblMaxTextOverflows", "-1.79769313486232E+308", -kInf},
        ReadCase{"UnderflowIsZero", "1E-400", 0.0}),
    [](const auto& info) { return std::string(info.param.name); });

struct ConvertCase {
    const char* name;
    const char* text;
    const char* separator;
    std::optional<double> value;
};

class NumberTextConverts : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(NumberTextConverts, WholeTextWithGivenSeparator) {
    EXPECT_EQ(ConvertNumber(GetParam().text, GetParam().separator), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(ConvertNumber, NumberTextConverts,
                         ::testing::Values(ConvertCase{"CommaSeparator", "1,5", ",", 1.5},
                                           ConvertCase{"PointRefusedWhenCommaIsTheSeparator", "1.5",
                                                       ",", std::nullopt},
                                           ConvertCase{"SurroundingBlanks", " \t12 ", ".", 12.0},
                                           ConvertCase{"NegativeFraction", "-.5", ".", -0.5},
                                           ConvertCase{"TrailingPoint", "5.", ".", 5.0},
                                           ConvertCase{"Exponent", "1E-05", ".", 1e-5},
                                           ConvertCase{"LowerCaseExponent", "2.5e3", ".", 2500.0},
                                           ConvertCase{"TrailingText", "12a", ".", std::nullopt},
                                           ConvertCase{"InnerBlank", "1 2", ".", std::nullopt},
                                           ConvertCase{"Empty", "", ".", std::nullopt},
                                           ConvertCase{"PointOnly", ".", ".", std::nullopt},
                                           ConvertCase{"Infinity", "inf", ".", std::nullopt},
                                           ConvertCase{"Overflow", "1E+400", ".", std::nullopt}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ConvertNumberAllowingOverflow, TellsOverflowFromNoNumber) {
    EXPECT_EQ(ConvertNumberAllowingOverflow("-1E+400", "."), -kInf);
    EXPECT_EQ(ConvertNumberAllowingOverflow("1,5E+999", ","), kInf);
    EXPECT_EQ(ConvertNumberAllowingOverflow("abc", "."), std::nullopt);
}

// Every normal double, written and read back, keeps its 15 digits: the text is a fixed point.
// (Subnormals hold fewer than 15 digits, so their text need not survive a second trip.)
TEST(NumberText, RoundTripsThroughBothReaders) {
    std::mt19937_64 bits(20261207);
    int checked = 0;
    while (checked < 20000) {
        const std::uint64_t pattern = bits();
        double value = 0.0;
        static_assert(sizeof value == sizeof pattern);
        std::memcpy(&value, &pattern, sizeof value);
        if (!std::isnormal(value)) continue;
        ++checked;
        const std::string text = NumberText(value);
        const double read = ReadLeadingNumber(text);
        ASSERT_EQ(ConvertNumber(text, "."), read) << text;
        ASSERT_EQ(NumberText(read), text) << value;
        // Rounding to 15 significant digits moves a value by at most half a unit of the 15th.
        const double bound = std::fabs(value) * 5.2e-15;  // plus the read's own rounding
        ASSERT_LE(std::fabs(read - value), bound) << text;
    }
}

TEST(IsLocaleNumber, AcceptsLocaleMarkAndPointButNoGrouping) {
    const UserLocale comma{",", "."};
    const UserLocale point{".", ","};
    EXPECT_TRUE(IsLocaleNumber("6378137,5", comma));
    EXPECT_TRUE(IsLocaleNumber("298.257223563", comma));
    EXPECT_TRUE(IsLocaleNumber(" 6378137 ", point));
    EXPECT_FALSE(IsLocaleNumber("6378137,5", point));
    EXPECT_FALSE(IsLocaleNumber("6,378,137", point));
    EXPECT_FALSE(IsLocaleNumber("6.378.137", comma));
    EXPECT_FALSE(IsLocaleNumber("abc", comma));
    EXPECT_FALSE(IsLocaleNumber("", point));
    EXPECT_FALSE(IsLocaleNumber("1E+400", point));
}

struct FixedCase {
    const char* name;
    double value;
    const char* mark;
    const char* text;
};

class FixedSixWrites : public ::testing::TestWithParam<FixedCase> {};

TEST_P(FixedSixWrites, SixDecimalsHalfAwayFromZero) {
    EXPECT_EQ(FixedSixText(GetParam().value, GetParam().mark), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    FixedSixText, FixedSixWrites,
    ::testing::Values(FixedCase{"Zero", 0.0, ".", "0.000000"},
                      FixedCase{"Distance", 969.845344, ".", "969.845344"},
                      FixedCase{"PadsWithZeros", 12345.6789, ".", "12345.678900"},
                      FixedCase{"CommaMark", 969.845344, ",", "969,845344"},
                      FixedCase{"ExactTieGoesUp", 0.0078125, ".", "0.007813"},
                      FixedCase{"NegativeTieGoesDown", -1.0078125, ".", "-1.007813"},
                      FixedCase{"BelowHalfAsStored", 0.0000005, ".", "0.000000"},
                      FixedCase{"AboveHalfAsStored", 0.0000015, ".", "0.000002"},
                      FixedCase{"CarryIntoIntegerPart", 9.9999999, ".", "10.000000"},
                      FixedCase{"NegativeRoundingToZeroHasNoSign", -0.0000001, ".", "0.000000"},
                      FixedCase{"NegativeKeepsSign", -0.0000006, ".", "-0.000001"},
                      FixedCase{"LargeValueNoGrouping", 1e15, ".", "1000000000000000.000000"},
                      FixedCase{"FifteenSignificantDigitsAtMost", 12345678901.123456, ".",
                                "12345678901.123500"}),
    [](const auto& info) { return std::string(info.param.name); });

class PasteNumberWrites : public ::testing::TestWithParam<FixedCase> {};

TEST_P(PasteNumberWrites, OneToFiveDecimals) {
    EXPECT_EQ(PasteNumberText(GetParam().value, GetParam().mark), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    PasteNumberText, PasteNumberWrites,
    ::testing::Values(FixedCase{"KeepsOneDecimal", 12.5, ".", "12.5"},
                      FixedCase{"WholeKeepsPointZero", 12.0, ".", "12.0"},
                      FixedCase{"FiveDecimals", 3.14159265, ".", "3.14159"},
                      FixedCase{"ExactTieGoesUp", 0.015625, ".", "0.01563"},
                      FixedCase{"RoundsUpToWhole", 2.999999, ".", "3.0"},
                      FixedCase{"SmallestStep", 0.00001, ".", "0.00001"},
                      FixedCase{"NegativeCommaMark", -12.5, ",", "-12,5"},
                      FixedCase{"NegativeRoundingToZeroHasNoSign", -0.000001, ".", "0.0"},
                      FixedCase{"DigitsBeyondFifteenAreZeros", 123456789012345678901234567890.0,
                                ".", "123456789012346000000000000000.0"},
                      FixedCase{"DecimalsBeyondFifteenDigitsDropped", -1234567890123.456789, ",",
                                "-1234567890123,46"}),
    [](const auto& info) { return std::string(info.param.name); });

// An overflow has no writing: each writer fails, so the step that wanted it fails too.
TEST(NumberWriters, NoWritingOfAValueThatIsNotFinite) {
    for (const double value : {kInf, -kInf, std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_EQ(FixedSixText(value, "."), std::nullopt) << value;
        EXPECT_EQ(PasteNumberText(value, ","), std::nullopt) << value;
        EXPECT_EQ(PositionalNumberText(value), "") << value;
    }
    EXPECT_EQ(NumberText(std::numeric_limits<double>::quiet_NaN()), "");
    // The largest double, in 15 digits and zeros.
    EXPECT_EQ(FixedSixText(1.7976931348623157e308, "."),
              "179769313486232" + std::string(294, '0') + ".000000");
}

// AtFifteenDigits is the round trip through NumberText, bit for bit, at every magnitude, near
// powers of ten (where the 15 digits carry into a 16th) and at decimal ties (x + k/8192 is
// exactly halfway between two 15-digit decimals near 100).
TEST(AtFifteenDigits, IsTheTripThroughNumberText) {
    std::vector<double> values = {0.0,
                                  -0.0,
                                  1.0,
                                  99.99999999999999,
                                  100.0001220703125,
                                  -100.0001220703125,
                                  9.999999999999999e-9,
                                  1e-8,
                                  1e15,
                                  999999999999999.9,
                                  0.30000000000000004,
                                  kInf,
                                  -kInf,
                                  5e-324,
                                  1.7976931348623157e308};
    std::mt19937_64 random(20261209);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-12, 17);
    for (int i = 0; i < 200'000; ++i) {
        const double value = mantissa(random) * std::pow(10.0, exponent(random));
        values.push_back(i % 2 ? value : -value);
        values.push_back(std::nextafter(std::pow(10.0, exponent(random)), 0.0));
    }
    for (int k = 1; k < 8192; k += 7) values.push_back(100.0 + k / 8192.0);
    for (const double value : values) {
        const double direct = AtFifteenDigits(value);
        const double viaText = ReadLeadingNumber(NumberText(value));
        ASSERT_EQ(std::memcmp(&direct, &viaText, sizeof direct), 0) << NumberText(value);
    }
    EXPECT_EQ(AtFifteenDigits(std::numeric_limits<double>::quiet_NaN()), 0.0);
}

// Replacing is linear in the text: two megabytes of no-break spaces become blanks at once,
// which replacing in place (moving the rest of the text each time) would take minutes over.
TEST(ReplaceAll, IsLinearInTheText) {
    std::string text;
    for (int i = 0; i < 1'000'000; ++i) text += "\u00A0";
    const auto start = std::chrono::steady_clock::now();
    replaceAll(text, "\u00A0", " ");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(text, std::string(1'000'000, ' '));
    std::string growing = "a-b-c";
    replaceAll(growing, "-", "--");  // scans on behind each replacement
    EXPECT_EQ(growing, "a--b--c");
}

// The process locale must not reach number text: a comma locale changes nothing.
TEST(NumberText, IgnoresProcessLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const char* found = nullptr;
    for (const char* name : {"de_DE.UTF-8", "it_IT.UTF-8", "fr_FR.UTF-8", "de_DE.utf8",
                             "it_IT.utf8", "fr_FR.utf8", "de_DE", "it_IT"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            found = name;
            break;
        }
    }
    if (found == nullptr) GTEST_SKIP() << "no locale with a decimal comma is installed";
    const std::string numberText = NumberText(6356752.31424518);
    const double read = ReadLeadingNumber("45.5");
    const std::optional<double> converted = ConvertNumber("1.5", ".");
    const std::optional<std::string> fixed = FixedSixText(969.845344, ".");
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(numberText, "6356752.31424518") << found;
    EXPECT_EQ(read, 45.5);
    EXPECT_EQ(converted, 1.5);
    EXPECT_EQ(fixed, "969.845344");
}

}  // namespace
}  // namespace velmora::calc
