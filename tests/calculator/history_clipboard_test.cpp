#include "engine_fixture.h"

namespace velmora::calc::testing {
namespace {

const std::string kD = kDegreeMark;

TEST_F(EngineTest, CopyTakesSelectedLinesEachBehindALineBreak) {
    enter(kSelLatitudeA, kSelNorth, "1");
    enter(kSelLatitudeB, kSelNorth, "2");
    ASSERT_GE(calc.history().size(), 5u);
    view.selection = {1, 3};
    EXPECT_EQ(calc.MenuCopia_Click(), "\r\n" + calc.history()[1] + "\r\n" + calc.history()[3]);
}

TEST_F(EngineTest, CopyWithoutSelectionTakesTheDisplayUnchanged) {
    type("45" + kD + "30'");
    EXPECT_EQ(calc.MenuCopia_Click(), "45" + kD + "30'");
    calc.Lab_Num_Click(kKeyEnter);
    type("1");
    view.selection = {0};
    calc.Display_Click();
    EXPECT_EQ(calc.MenuCopia_Click(), "1");
    EXPECT_EQ(view.currentLine, -1);
}

TEST_F(EngineTest, CopyIgnoresASelectionBeyondTheList) {
    view.selection = {0, 999};
    EXPECT_EQ(calc.MenuCopia_Click(), "\r\n" + calc.history()[0]);
}

struct PasteCase {
    const char* name;
    std::string clipboard;
    std::string display;  // "7" when the paste changes nothing
};

class Paste : public EngineTest, public ::testing::WithParamInterface<PasteCase> {};

TEST_P(Paste, PutsTheNumberOnTheDisplay) {
    const PasteCase& c = GetParam();
    type("7");
    const auto lines = calc.history();
    calc.MenuIncolla_Click(c.clipboard);
    EXPECT_EQ(display(), c.display);
    EXPECT_EQ(calc.history(), lines);
}

INSTANTIATE_TEST_SUITE_P(
    Clipboard, Paste,
    ::testing::Values(PasteCase{"Decimal", "12.5", "12.5"},
                      PasteCase{"WholeLosesPointZero", "12", "12"},
                      PasteCase{"FiveDecimalsAtMost", "3.14159265", "3.14159"},
                      PasteCase{"Negative", "-2.25", "-2.25"},
                      PasteCase{"CommaIsTheOtherSeparator", "12,5", "12.5"},
                      PasteCase{"SurroundingBlanksAndLineBreak", " 12.5\r\n", "12.5"},
                      PasteCase{"Exponent", "1E-05", "0.00001"}, PasteCase{"Letters", "abc", "7"},
                      PasteCase{"Empty", "", "7"}, PasteCase{"Coordinate", "45" + kD, "7"},
                      PasteCase{"Overflow", "1E+400", "7"},
                      PasteCase{"DigitsNeverTypedAreZeros", "123456789012345678901234567890",
                                "123456789012346000000000000000"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EngineTest, PasteKeepsAShownResultShown) {
    calc.Lab_Num_Click(kKeyCalculate);
    calc.MenuIncolla_Click("5");
    EXPECT_EQ(display(), "5");
    EXPECT_TRUE(state().ResultShown);
}

bool namesANonFiniteValue(const std::string& text) {
    for (const char* word : {"inf", "Inf", "INF", "nan", "NaN", "NAN"}) {
        if (text.find(word) != std::string::npos) return true;
    }
    return false;
}

// A conversion whose value overflows is a failed step: nothing on the display or in the
// history names an infinity or a NaN, and the display stays as it was.
TEST_F(EngineTest, OverflowingConversionsLeaveTheDisplay) {
    // Coordinate formats: 10^309 typed behind a pasted 1e308.
    for (const std::uint16_t formatKey : {119, 118, 117}) {  // F8, F7, F6
        calc.MenuIncolla_Click("1e308");
        type("0");
        const std::string shown = display();
        calc.Form_KeyDown(formatKey, 0);
        EXPECT_EQ(display(), shown) << formatKey;
    }
    // Units: 1e308 nautical miles in statute miles.
    calc.Lab_Num_Click(kKeyCancel);
    selector({kSelNauticalMiles});
    enter(kSelLatitudeA, kSelNorth, "1");
    calc.Lab_Num_Click(kKeyCalculate);
    ASSERT_TRUE(state().ResultShown);
    calc.MenuIncolla_Click("1e308");
    const std::string shown = display();
    calc.Form_KeyPress('m');
    EXPECT_EQ(display(), shown);
    EXPECT_EQ(state().UnitIndex, kNauticalMiles);
    EXPECT_EQ(calc.MenuInviaCalc_Click(), "1" + std::string(308, '0'));
    for (const std::string& line : calc.history()) EXPECT_FALSE(namesANonFiniteValue(line)) << line;
}

struct SendCase {
    const char* name;
    std::vector<int> selectors;
    std::string typed;
    std::string decimalMark;
    std::optional<std::string> sent;
};

class SendToCalculator : public ::testing::TestWithParam<SendCase> {};

TEST_P(SendToCalculator, TypesTheDisplayedNumber) {
    const SendCase& c = GetParam();
    FakeView view;
    ScriptedPrompts prompts;
    Calculator calc(view, prompts, UserLocale{c.decimalMark, ""});
    calc.StartUp();
    calc.FinishStartUp();
    for (const int s : c.selectors) calc.Lab_Sel_Click(static_cast<std::int16_t>(s));
    for (const char ch : c.typed) calc.Form_KeyPress(static_cast<unsigned char>(ch));
    EXPECT_EQ(calc.MenuInviaCalc_Click(), c.sent);
}

// A calculator reads "1E-05" as the keys E, -, 0, 5: the digits go out positionally, as many
// significant ones as the display's value has.
TEST_F(EngineTest, SendTypesPlainDigitsNeverAnExponent) {
    const std::pair<std::string, std::string> cases[] = {
        {"0.00001", "0.00001"},
        {"-0.000012", "-0.00001"},
        {"1e15", "1000000000000000"},
        {"123456789012345678", "123456789012346000"},
        {"1e308", "1" + std::string(308, '0')},
    };
    for (const auto& [pasted, sent] : cases) {
        calc.MenuIncolla_Click(pasted);
        EXPECT_EQ(calc.MenuInviaCalc_Click(), sent) << pasted;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Clipboard, SendToCalculator,
    ::testing::Values(SendCase{"PlainNumber", {kSelDegrees}, "12.5", ".", "12.5"},
                      SendCase{"IdleZero", {}, "", ".", "0"},
                      SendCase{"CoordinateAsDecimalDegrees",
                               {},
                               "45\xB0"
                               "30'",
                               ".",
                               "45.5"},
                      SendCase{"LeadingZeroBeforeThePoint",
                               {},
                               "0\xB0"
                               "30'",
                               ".",
                               "0.5"},
                      SendCase{"LocaleComma",
                               {},
                               "0\xB0"
                               "30'",
                               ",",
                               "0,5"},
                      SendCase{"ErrorSendsZero", {}, "91\r", ".", "0"},
                      SendCase{"TrailingPoint", {kSelDegrees}, "12.", ".", "12"}),
    [](const auto& info) { return std::string(info.param.name); });

// After a unit key the display carries the locale's mark, whatever it is.
TEST(SendToCalculatorInLocale, ReadsAReExpressedDistance) {
    for (const std::string mark : {",", "\u066B"}) {
        FakeView view;
        ScriptedPrompts prompts;
        Calculator calc(view, prompts, UserLocale{mark, ""});
        calc.StartUp();
        calc.FinishStartUp();
        calc.Form_KeyPress('1');
        calc.Lab_Num_Click(kKeyEnter);
        calc.Lab_Num_Click(kKeyCalculate);
        calc.Lab_Sel_Click(kSelStatuteMiles);
        std::string miles = calc.displayText();
        miles.replace(miles.find(mark), mark.size(), ".");
        std::string expected = NumberText(ReadLeadingNumber(miles));
        expected.replace(expected.find('.'), 1, mark);
        EXPECT_EQ(calc.MenuInviaCalc_Click(), expected) << mark;
    }
}

}  // namespace
}  // namespace velmora::calc::testing
