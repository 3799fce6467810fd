#include "calculator/entry.h"

#include <gtest/gtest.h>

#include <string>

#include "calculator/keys.h"

namespace velmora::calc {
namespace {

#define DEG "\xC2\xB0"

enum class Step { Digit, Point, Mark, Back };

struct EntryCase {
    const char* name;
    std::int16_t format;
    const char* display;
    Step step;
    const char* typed;  // the digit or mark; unused otherwise
    const char* expected;
};

class EntryRules : public ::testing::TestWithParam<EntryCase> {};

TEST_P(EntryRules, EditTheDisplay) {
    const EntryCase& c = GetParam();
    std::string display = c.display;
    switch (c.step) {
    case Step::Digit: TypeDigit(display, c.format, c.typed); break;
    case Step::Point: TypeDecimalPoint(display, c.format); break;
    case Step::Mark: TypeMark(display, c.typed); break;
    case Step::Back: DeleteLastCharacter(display); break;
    }
    EXPECT_EQ(display, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Entry, EntryRules,
    ::testing::Values(
        EntryCase{"DigitReplacesError", kDeg, "Error", Step::Digit, "7", "7"},
        EntryCase{"NoDigitBehindTheSecondsMark", kDegMinSec, "1" DEG "2'3\"", Step::Digit, "4",
                  "1" DEG "2'3\""},
        EntryCase{"DigitBehindSecondsInDegrees", kDeg, "1\"", Step::Digit, "4", "1\"4"},
        EntryCase{"NoDigitBehindTheDegreeInDegrees", kDeg, "1" DEG, Step::Digit, "4", "1" DEG},
        EntryCase{"DigitsWithoutAFormat", kNone, "1" DEG "2'3\"", Step::Digit, "4",
                  "1" DEG "2'3\"4"},
        EntryCase{"PointBehindMinutesMark", kDegMinSec, "1" DEG "2'", Step::Point, "",
                  "1" DEG "2'."},
        EntryCase{"NoPointBeforeTheDegreeInDegMin", kDegMin, "12", Step::Point, "", "12"},
        EntryCase{"NoSecondPoint", kDeg, "1.5", Step::Point, "", "1.5"},
        EntryCase{"MarkOnce", kDegMinSec, "12" DEG, Step::Mark, DEG, "12" DEG},
        EntryCase{"BackTakesTheWholeDegreeMark", kDegMinSec, "12" DEG, Step::Back, "", "12"},
        EntryCase{"BackToEmptyShowsZero", kDegMinSec, "5", Step::Back, "", "0"},
        EntryCase{"BackTrimsBlanks", kDegMinSec, " 5 7", Step::Back, "", "5"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FailureLine, NamesTheDisplayedNumberOrTheKey) {
    EXPECT_EQ(FailureLine("12.5", ".", "Calculate"), "12.5: Error");
    EXPECT_EQ(FailureLine("12.5", "", "Calculate"), "12.5: Error");
    EXPECT_EQ(FailureLine("12" DEG, ".", "Enter"), "Enter: Error");
    EXPECT_EQ(FailureLine("0", ".", "Enter"), "0: Error");
}

TEST(KeyAtFront, GivesTheKeyAndItsBytes) {
    EXPECT_EQ(KeyAtFront(DEG "5"), std::make_pair(kKeyDegrees, std::size_t{2}));
    EXPECT_EQ(KeyAtFront("'"), std::make_pair(kKeyMinutes, std::size_t{1}));
    EXPECT_EQ(KeyAtFront("\""), std::make_pair(kKeySeconds, std::size_t{1}));
    EXPECT_EQ(KeyAtFront(".5"), std::make_pair(kKeyDecimalPoint, std::size_t{1}));
    EXPECT_EQ(KeyAtFront("7"), std::make_pair(std::int16_t{7}, std::size_t{1}));
}

}  // namespace
}  // namespace velmora::calc
