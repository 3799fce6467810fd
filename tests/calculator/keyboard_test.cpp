#include "engine_fixture.h"

namespace velmora::calc::testing {
namespace {

const std::string kD = kDegreeMark;

// A key event: a typed character, or a key code with its modifier bits.
struct KeyEvent {
    bool isChar;
    std::uint16_t code;
    std::uint16_t modifiers = 0;
};
KeyEvent typed(std::uint16_t code) { return {true, code}; }
KeyEvent keyDown(std::uint16_t code, std::uint16_t modifiers = 0) {
    return {false, code, modifiers};
}

constexpr std::uint16_t kDelete = 46, kF2 = 113, kF3 = 114, kF4 = 115, kF5 = 116, kF6 = 117,
                        kF7 = 118, kF8 = 119;
constexpr std::uint16_t kShift = 1, kCtrl = 2, kAlt = 4;

// The settings after the keys; the defaults are those of a fresh start-up.
struct Settings {
    std::int16_t field = kLatitudeA;
    std::int16_t hemisphere = kNorth;
    std::int16_t format = kDegMinSec;
    std::int16_t unit = kKilometres;
};

struct KeyboardCase {
    const char* name;
    std::vector<KeyEvent> events;
    std::string display;
    Settings settings;
};

class Keyboard : public EngineTest, public ::testing::WithParamInterface<KeyboardCase> {};

TEST_P(Keyboard, RunsTheKeysAction) {
    const KeyboardCase& c = GetParam();
    for (const KeyEvent& e : c.events) {
        const int focus = view.focusRequests;
        if (e.isChar) calc.Form_KeyPress(e.code);
        else calc.Form_KeyDown(e.code, e.modifiers);
        EXPECT_GT(view.focusRequests, focus) << "the main window keeps the focus";
    }
    EXPECT_EQ(display(), c.display);
    EXPECT_EQ(state().ActiveField, c.settings.field);
    EXPECT_EQ(state().Hemisphere, c.settings.hemisphere);
    EXPECT_EQ(state().CoordFormat, c.settings.format);
    EXPECT_EQ(state().UnitIndex, c.settings.unit);
}

INSTANTIATE_TEST_SUITE_P(
    Keyboard, Keyboard,
    ::testing::Values(
        KeyboardCase{"DigitsAndMarks",
                     {typed('4'), typed(176), typed('3'), typed('\''), typed('2'), typed('"')},
                     "4" + kD + "3'2\"",
                     {}},
        KeyboardCase{
            "CommaTypesThePoint", {keyDown(kF6), typed('1'), typed(',')}, "1.", {.format = kDeg}},
        KeyboardCase{
            "PointTypesThePoint", {keyDown(kF6), typed('1'), typed('.')}, "1.", {.format = kDeg}},
        KeyboardCase{"BackspaceDeletes", {typed('4'), typed('5'), typed(8)}, "4", {}},
        KeyboardCase{"EastIgnoredOnLatitude", {typed('e'), typed('E'), typed('w')}, "0", {}},
        KeyboardCase{"SouthOnLatitude", {typed('s')}, "0", {.hemisphere = kSouth}},
        KeyboardCase{"NorthIgnoredOnLongitude",
                     {keyDown(kF3), typed('w'), typed('n'), typed('S')},
                     "0",
                     {.field = kLongitudeA, .hemisphere = kWest}},
        KeyboardCase{"EastAfterWestOnLongitude",
                     {keyDown(kF3), typed('W'), typed('e')},
                     "0",
                     {.field = kLongitudeA, .hemisphere = kEast}},
        KeyboardCase{"DeleteCancels", {typed('4'), keyDown(kDelete)}, "0", {}},
        KeyboardCase{"CtrlDeleteDoesNothing", {typed('4'), keyDown(kDelete, kCtrl)}, "4", {}},
        KeyboardCase{"ShiftDeleteKeepsDisplay", {typed('4'), keyDown(kDelete, kShift)}, "4", {}},
        KeyboardCase{"ShiftF2DoesNothing",
                     {keyDown(kF3), keyDown(kF2, kShift)},
                     "0",
                     {.field = kLongitudeA, .hemisphere = kEast}},
        KeyboardCase{"AltF2DoesNothing",
                     {keyDown(kF3), keyDown(kF2, kAlt)},
                     "0",
                     {.field = kLongitudeA, .hemisphere = kEast}},
        KeyboardCase{"F2SelectsLatitudeA", {keyDown(kF3), keyDown(kF2)}, "0", {}},
        KeyboardCase{"F4AndF5SelectTheBFields",
                     {keyDown(kF4), typed('s'), keyDown(kF5)},
                     "0",
                     {.field = kLongitudeB, .hemisphere = kEast}},
        KeyboardCase{"F7SelectsDegMin", {keyDown(kF7)}, "0", {.format = kDegMin}},
        KeyboardCase{"F8SelectsDegMinSec", {keyDown(kF6), keyDown(kF8)}, "0", {}},
        KeyboardCase{"UnitLetters", {typed('M'), typed('i')}, "0", {.unit = kNauticalMiles}},
        KeyboardCase{"CapitalKSelectsKilometres", {typed('m'), typed('K')}, "0", {}},
        KeyboardCase{"CIsNoShortcut", {typed('4'), typed('C'), typed('c'), typed('x')}, "4", {}},
        KeyboardCase{"MinusResetsAShownResult", {typed('='), typed('-')}, "0", {}},
        KeyboardCase{"MarkOfOtherFormatDoesNothing",
                     {keyDown(kF6), typed('4'), typed('\''), typed('"')},
                     "4",
                     {.format = kDeg}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EngineTest, ShiftDeleteClearsTheHistory) {
    calc.Form_KeyDown(kDelete, kShift);
    EXPECT_TRUE(calc.history().empty());
    EXPECT_EQ(view.cleared, 2);  // once at start-up
}

TEST_F(EngineTest, ReturnEntersAndEqualsCalculates) {
    type("1");
    calc.Form_KeyPress(13);
    EXPECT_EQ(state().CoordText[kLatitudeA], "1" + kD);
    calc.Form_KeyPress('=');
    EXPECT_TRUE(state().ResultShown);
    EXPECT_EQ(lastLine(), "Distance: " + display() + " km");
}

TEST_F(EngineTest, ResetLetterErasesBothPoints) {
    enter(kSelLatitudeA, kSelSouth, "12");
    calc.Form_KeyPress('r');
    EXPECT_EQ(state().CoordText[kLatitudeA], "0");
    EXPECT_EQ(lastLine(), "Coordinates erased");
}

}  // namespace
}  // namespace velmora::calc::testing
