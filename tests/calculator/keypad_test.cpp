#include <cmath>

#include "calculator/number_text.h"
#include "engine_fixture.h"
#include "geodesy/vincenty.h"

namespace velmora::calc::testing {
namespace {

// Typing: selector presses first, then keypad keys, then the display.
struct TypingCase {
    const char* name;
    std::vector<int> selectors;
    std::vector<int> keypad;
    std::string display;
};

class KeypadTyping : public EngineTest, public ::testing::WithParamInterface<TypingCase> {};

TEST_P(KeypadTyping, LeavesTheDisplay) {
    const TypingCase& c = GetParam();
    for (const int s : c.selectors) calc.Lab_Sel_Click(static_cast<std::int16_t>(s));
    for (const int k : c.keypad) calc.Lab_Num_Click(static_cast<std::int16_t>(k));
    EXPECT_EQ(display(), c.display);
}

const std::string kD = kDegreeMark;
constexpr int kDegFmt = kSelDegrees;
constexpr int kDegMinFmt = kSelDegMin;

INSTANTIATE_TEST_SUITE_P(
    Keypad, KeypadTyping,
    ::testing::Values(
        TypingCase{"DigitReplacesIdleZero", {}, {4, 5}, "45"},
        TypingCase{"PointOnIdleZeroIsAppended", {kDegFmt}, {10}, "0."},
        TypingCase{
            "PointBeforeMinutesRefusedInDegMinSec", {}, {1, 2, 15, 3, 0, 10}, "12" + kD + "30"},
        TypingCase{"PointAfterMinutesAcceptedInDegMinSec",
                   {},
                   {1, 2, 15, 3, 0, 16, 10},
                   "12" + kD + "30'."},
        TypingCase{"PointBeforeDegreesRefusedInDegMin", {kDegMinFmt}, {1, 10}, "1"},
        TypingCase{"PointAnywhereOnceInDegrees", {kDegFmt}, {1, 10, 5, 10}, "1.5"},
        TypingCase{"DigitAfterDegreeMarkRefusedInDegrees", {kDegFmt}, {4, 5, 15, 6}, "45" + kD},
        TypingCase{
            "DigitAfterMinutesRefusedInDegMin", {kDegMinFmt}, {4, 15, 3, 16, 6}, "4" + kD + "3'"},
        TypingCase{"DigitAfterSecondsRefusedInDegMinSec",
                   {},
                   {1, 15, 2, 16, 3, 17, 4},
                   "1" + kD + "2'3\""},
        TypingCase{"MarkOnIdleZeroAndNeverTwice", {}, {15, 15}, "0" + kD},
        TypingCase{"MarkKeyOfOtherFormatIsDisabled", {kDegFmt}, {4, 16, 17}, "4"},
        TypingCase{"BackRemovesTheWholeDegreeMark", {}, {4, 5, 15, 12}, "45"},
        TypingCase{"BackOnLastDigitGivesZero", {}, {5, 12}, "0"},
        TypingCase{"BackOnErrorGivesErro", {}, {9, 1, 19, 12}, "Erro"},
        TypingCase{"DigitAfterErroIsAppended", {}, {9, 1, 19, 12, 7}, "Erro7"},
        TypingCase{"DigitOnErrorStartsAnew", {}, {9, 1, 19, 7}, "7"},
        TypingCase{"CancelGivesZero", {}, {4, 15, 13}, "0"},
        TypingCase{"ClearKeepsTheDisplay", {}, {4, 14}, "4"},
        TypingCase{"SignAndPiDoNothing", {}, {4, 11, 20}, "4"},
        TypingCase{"AcceptedEnterGivesZero", {}, {4, 19}, "0"},
        TypingCase{"ResetKeyGivesZero", {}, {4, 18}, "0"}),
    [](const auto& info) { return std::string(info.param.name); });

// Enter: field and hemisphere keys, the typed entry, then what is stored and written.
struct EnterCase {
    const char* name;
    std::vector<int> selectors;
    std::string typed;
    int field;
    std::string stored;
    std::string line;
    std::string display;
};

class KeypadEnter : public EngineTest, public ::testing::WithParamInterface<EnterCase> {};

TEST_P(KeypadEnter, StoresAndWritesTheEntry) {
    const EnterCase& c = GetParam();
    for (const int s : c.selectors) calc.Lab_Sel_Click(static_cast<std::int16_t>(s));
    type(c.typed);
    calc.Lab_Num_Click(kKeyEnter);
    EXPECT_EQ(state().CoordText[c.field], c.stored);
    EXPECT_EQ(lastLine(), c.line);
    EXPECT_EQ(display(), c.display);
}

INSTANTIATE_TEST_SUITE_P(
    Keypad, KeypadEnter,
    ::testing::Values(
        EnterCase{"SouthGetsMinusAndSpacedLine",
                  {kSelSouth},
                  "45" + kD + "30'15\"",
                  0,
                  "-45" + kD + "30'15\"",
                  "Latitude A: 45" + kD + " 30' 15\" S",
                  "0"},
        EnterCase{"NorthHasNoSign",
                  {},
                  "45" + kD + "30'15\"",
                  0,
                  "45" + kD + "30'15\"",
                  "Latitude A: 45" + kD + " 30' 15\" N",
                  "0"},
        EnterCase{
            "IdleZeroBecomesZeroDegrees", {}, "", 0, "0" + kD, "Latitude A: 0" + kD + "  N", "0"},
        EnterCase{"PlainNumberGetsDegreeMark",
                  {kSelDegrees},
                  "12.5",
                  0,
                  "12.5" + kD,
                  "Latitude A: 12.5" + kD + "  N",
                  "0"},
        EnterCase{"LongitudeWest",
                  {kSelLongitudeA, kSelWest},
                  "7",
                  2,
                  "-7" + kD,
                  "Longitude A: 7" + kD + "  W",
                  "0"},
        EnterCase{"LongitudeEastByDefault",
                  {kSelLongitudeB},
                  "7",
                  3,
                  "7" + kD,
                  "Longitude B: 7" + kD + "  E",
                  "0"},
        EnterCase{"LatitudeBSharesTheSouth",
                  {kSelSouth, kSelLatitudeB},
                  "10",
                  1,
                  "-10" + kD,
                  "Latitude B: 10" + kD + "  S",
                  "0"},
        EnterCase{"MinutesHaveNoLimitOfTheirOwn",
                  {},
                  "45" + kD + "75'",
                  0,
                  "45" + kD + "75'",
                  "Latitude A: 45" + kD + " 75'  N",
                  "0"},
        EnterCase{"LatitudeJustOverNinetyRefusedWithoutSign",
                  {kSelSouth},
                  "90" + kD + "0'1\"",
                  0,
                  "90" + kD + "0'1\"",
                  "Latitude A: Out of range",
                  "Error"},
        EnterCase{"LongitudeLimitPasses",
                  {kSelDegrees, kSelLongitudeB},
                  "180",
                  3,
                  "180" + kD,
                  "Longitude B: 180" + kD + "  E",
                  "0"},
        EnterCase{"LongitudeOverLimitRefused",
                  {kSelDegrees, kSelLongitudeA},
                  "180.5",
                  2,
                  "180.5" + kD,
                  "Longitude A: Out of range",
                  "Error"}),
    [](const auto& info) { return std::string(info.param.name); });

// A sign reaches the display only by Paste; the hemisphere gives the sign, so a negative
// value is refused at Enter as a latitude beyond 90 degrees is, in every hemisphere.
TEST_F(EngineTest, NegativePastedCoordinateIsOutOfRange) {
    const struct {
        std::vector<int> selectors;
        const char* pasted;
        int backs;  // Back pressed after the paste
        int field;
        const char* line;
    } cases[] = {
        {{kSelLatitudeA, kSelNorth}, "-500", 0, kLatitudeA, "Latitude A: Out of range"},
        {{kSelLatitudeA, kSelSouth}, "-45", 0, kLatitudeA, "Latitude A: Out of range"},
        {{kSelLongitudeB, kSelWest}, "-45", 0, kLongitudeB, "Longitude B: Out of range"},
        {{kSelLongitudeA, kSelEast}, "-0.5", 0, kLongitudeA, "Longitude A: Out of range"},
        {{kSelLatitudeB, kSelSouth}, "-4", 1, kLatitudeB, "Latitude B: Out of range"},
        {{kSelLongitudeA, kSelWest}, "-4.5", 2, kLongitudeA, "Longitude A: Out of range"},
    };
    for (const auto& c : cases) {
        for (const int s : c.selectors) calc.Lab_Sel_Click(static_cast<std::int16_t>(s));
        calc.MenuIncolla_Click(c.pasted);
        for (int i = 0; i < c.backs; ++i) calc.Lab_Num_Click(kKeyBack);
        calc.Lab_Num_Click(kKeyEnter);
        EXPECT_EQ(lastLine(), c.line) << c.pasted;
        EXPECT_EQ(display(), "Error") << c.pasted;
        EXPECT_FALSE(state().CoordText[c.field].starts_with("--")) << c.pasted;
    }
}

TEST_F(EngineTest, RefusedEntryIsStillUsedByCalculate) {
    type("90" + kD + "0'1\"");
    keys({kKeyEnter, kKeyCalculate});
    ASSERT_TRUE(state().ResultShown);
    const double km = geodesy::VincentyInverse(90.0 + 1.0 / 3600.0, 0, 0, 0, 6378137.0,
                                               6356752.3142, 1 / 298.257223563)
                          .metres /
                      1000;
    EXPECT_EQ(display(), FixedSixText(km, "."));
}

// 50°3'59"N 5°42'53"W to 58°38'35"N 3°4'12"W, typed on the keys as a user would.
TEST_F(EngineTest, FullCalculationThroughTheKeys) {
    enter(kSelLatitudeA, kSelNorth, "50" + kD + "3'59\"");
    enter(kSelLongitudeA, kSelWest, "5" + kD + "42'53\"");
    enter(kSelLatitudeB, kSelNorth, "58" + kD + "38'35\"");
    enter(kSelLongitudeB, kSelWest, "3" + kD + "4'12\"");
    calc.Lab_Num_Click(kKeyCalculate);

    const double metres =
        geodesy::VincentyInverse(50 + 3 / 60.0 + 59 / 3600.0, -(5 + 42 / 60.0 + 53 / 3600.0),
                                 58 + 38 / 60.0 + 35 / 3600.0, -(3 + 4 / 60.0 + 12 / 3600.0),
                                 6378137.0, 6356752.3142, 1 / 298.257223563)
            .metres;
    EXPECT_NEAR(metres / 1000, 969.8, 0.1);  // km
    EXPECT_EQ(display(), FixedSixText(metres / 1000, "."));
    EXPECT_EQ(lastLine(), "Distance: " + display() + " km");
    EXPECT_TRUE(state().ResultShown);
    EXPECT_EQ(state().CoordText[kLongitudeB], "-3" + kD + "4'12\"");
}

TEST_F(EngineTest, CalculateRightAfterStartUpIsZero) {
    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_EQ(display(), "0.000000");
    EXPECT_EQ(lastLine(), "Distance: 0.000000 km");
    EXPECT_TRUE(state().ResultShown);
}

// 0°N 0°E to 0°N 180°E does not converge on the ellipsoid.
TEST_F(EngineTest, FailedCalculationWritesTheDisplayNumberAndShowsError) {
    enter(kSelLongitudeB, kSelEast, "180");
    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_EQ(lastLine(), "0: Error");
    EXPECT_EQ(display(), "Error");
    EXPECT_FALSE(state().ResultShown);

    type("12" + kD);
    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_EQ(lastLine(), "Calculate: Error");
    EXPECT_EQ(display(), "Error");
}

TEST_F(EngineTest, SphereReplacesTheEllipsoid) {
    enter(kSelLatitudeA, kSelNorth, "90");
    enter(kSelLatitudeB, kSelSouth, "90");
    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_NEAR(ReadLeadingNumber(display()), 20003.931, 0.0005);  // km, half a metre
    calc.MenuDatum_Click(kSphereEntry);  // recalculated: poles are antipodal there
    EXPECT_EQ(display(), "Error");
}

struct ShownResultCase {
    const char* name;
    int key;
    bool keepsResult;
    std::string display;  // after the key, on a shown 0.000000
};

class KeypadOnShownResult : public EngineTest,
                            public ::testing::WithParamInterface<ShownResultCase> {};

TEST_P(KeypadOnShownResult, ResetsUnlessClearOrMark) {
    const ShownResultCase& c = GetParam();
    calc.Lab_Num_Click(kKeyCalculate);
    calc.Lab_Num_Click(static_cast<std::int16_t>(c.key));
    EXPECT_EQ(state().ResultShown, c.keepsResult);
    EXPECT_EQ(display(), c.display);
}

INSTANTIATE_TEST_SUITE_P(
    Keypad, KeypadOnShownResult,
    ::testing::Values(ShownResultCase{"DegreeMarkIsAppended", kKeyDegrees, true, "0.000000" + kD},
                      ShownResultCase{"SecondsMarkIsAppended", kKeySeconds, true, "0.000000\""},
                      ShownResultCase{"ClearKeepsTheDistance", kKeyClear, true, "0.000000"},
                      ShownResultCase{"DigitStartsAnew", 7, false, "7"},
                      ShownResultCase{"BackStartsFromZero", kKeyBack, false, "0"},
                      ShownResultCase{"DisabledSignStillResets", kKeySign, false, "0"},
                      ShownResultCase{"PointAfterResetInDegMinSecRefused", kKeyDecimalPoint, false,
                                      "0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EngineTest, EnterOnShownResultStoresZeroDegrees) {
    type("12");
    keys({kKeyEnter, kKeyCalculate, kKeyEnter});
    EXPECT_EQ(state().CoordText[kLatitudeA], "0" + kD);
    EXPECT_EQ(lastLine(), "Latitude A: 0" + kD + "  N");
}

TEST_F(EngineTest, ClearOnShownResultEmptiesHistoryOnly) {
    calc.Lab_Num_Click(kKeyCalculate);
    calc.Lab_Num_Click(kKeyClear);
    EXPECT_TRUE(calc.history().empty());
    EXPECT_EQ(view.currentLine, -1);
    EXPECT_EQ(display(), "0.000000");
}

TEST_F(EngineTest, ResetKeyErasesCoordinatesButKeepsSelections) {
    enter(kSelLongitudeA, kSelWest, "12");
    calc.Lab_Num_Click(kKeyResetPoints);
    EXPECT_EQ(lastLine(), "Coordinates erased");
    EXPECT_EQ(state().CoordText[kLongitudeA], "0");
    EXPECT_EQ(state().ActiveField, kLongitudeA);
    EXPECT_EQ(state().Hemisphere, kWest);
    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_EQ(display(), "0.000000");
}

TEST_F(EngineTest, EveryKeyYieldsTwiceAndScrollsToTheNewestLine) {
    const int before = view.pendingEventRuns;
    calc.Lab_Num_Click(4);
    EXPECT_EQ(view.pendingEventRuns - before, 2);
    EXPECT_EQ(view.currentLine, static_cast<int>(calc.history().size()) - 1);
}

class CommaLocaleTest : public EngineTest {
protected:
    CommaLocaleTest() : EngineTest(UserLocale{",", "."}) {}
};

// The distance arrives with the locale's comma: the display shows the point, the history
// line keeps the text as it was formatted.
TEST_F(CommaLocaleTest, CalculateShowsThePointAndWritesTheComma) {
    enter(kSelLatitudeB, kSelNorth, "1");
    calc.Lab_Num_Click(kKeyCalculate);
    ASSERT_EQ(display().find(','), std::string::npos);
    std::string withComma = display();
    withComma[withComma.find('.')] = ',';
    EXPECT_EQ(lastLine(), "Distance: " + withComma + " km");
}

}  // namespace
}  // namespace velmora::calc::testing
