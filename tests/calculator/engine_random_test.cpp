#include <cstdint>
#include <random>
#include <sstream>

#include "engine_fixture.h"
#include "calculator/datum_menu.h"

namespace velmora::calc::testing {
namespace {

constexpr int kActionCount = 100'000;
constexpr std::uint64_t kSeed = 20261207;

// Random integers in [0, n) from the raw generator, so the sequence does not depend on the
// standard library's distributions.
class Dice {
public:
    explicit Dice(std::uint64_t seed) : m_engine(seed) {}
    int roll(int n) { return static_cast<int>(m_engine() % static_cast<std::uint64_t>(n)); }
    template <class T, std::size_t N>
    const T& pick(const T (&items)[N]) {
        return items[roll(static_cast<int>(N))];
    }

private:
    std::mt19937_64 m_engine;
};

// Dialog replies drawn at random: numbers, the "@" form, garbage, 0, overflow and Cancel.
class RandomPrompts : public UserPrompts {
public:
    explicit RandomPrompts(Dice& dice) : m_dice(dice) {}
    std::string InputBox(std::string_view, std::string_view, std::string_view) override {
        static constexpr const char* kReplies[] = {"",
                                                   "6378137",
                                                   "298.257223563",
                                                   "@6356752.3142",
                                                   "@6378137",
                                                   "@6400000",
                                                   "0",
                                                   "abc",
                                                   "@",
                                                   "6378137,5",
                                                   "1E+400",
                                                   "-1",
                                                   "1E-320",
                                                   "@-1E+308",
                                                   "300",
                                                   "6356000",
                                                   " 42 ",
                                                   "@0"};
        return m_dice.pick(kReplies);
    }
    void CriticalMessage(std::string_view, std::string_view) override { ++messages; }
    int messages = 0;

private:
    Dice& m_dice;
};

// The picture each indicator must show for the current settings.
int expectedFieldPicture(std::int16_t field) {
    constexpr int kByField[] = {1, 3, 2, 4};  // Lat A, Lat B, Lon A, Lon B
    return kByField[field];
}
int expectedFormatPicture(std::int16_t format) { return 14 - format; }

std::string firstViolation(const Calculator& calc) {
    const CalculatorState& s = calc.state();
    std::ostringstream out;
    if (s.ActiveField < kLatitudeA || s.ActiveField > kLongitudeB)
        return "ActiveField out of range";
    const bool latitude = s.ActiveField <= kLatitudeB;
    if (calc.isSelectorKeyEnabled(kSelNorth) != latitude ||
        calc.isSelectorKeyEnabled(kSelSouth) != latitude ||
        calc.isSelectorKeyEnabled(kSelWest) == latitude ||
        calc.isSelectorKeyEnabled(kSelEast) == latitude)
        return "hemisphere keys do not match the field's axis";
    if (latitude ? s.Hemisphere > kSouth : (s.Hemisphere < kWest || s.Hemisphere > kEast))
        return "Hemisphere off the field's axis";
    if (s.CoordFormat < kDegMinSec || s.CoordFormat > kDeg) return "CoordFormat out of range";
    if (!calc.isKeypadKeyEnabled(kKeyDegrees) ||
        calc.isKeypadKeyEnabled(kKeyMinutes) != (s.CoordFormat != kDeg) ||
        calc.isKeypadKeyEnabled(kKeySeconds) != (s.CoordFormat == kDegMinSec))
        return "mark keys do not match CoordFormat";
    if (calc.isKeypadKeyEnabled(kKeySign) || calc.isKeypadKeyEnabled(kKeyPi))
        return "sign or pi key enabled";
    if (calc.indicatorPicture(Indicator::LatLon) != expectedFieldPicture(s.ActiveField))
        return "field picture";
    if (calc.indicatorPicture(Indicator::Bussola) != 8 + s.Hemisphere) return "compass picture";
    if (s.UnitIndex < kKilometres || s.UnitIndex > kNauticalMiles ||
        calc.indicatorPicture(Indicator::UMisura) != 5 + s.UnitIndex)
        return "unit picture";
    if (calc.indicatorPicture(Indicator::Gms) != expectedFormatPicture(s.CoordFormat))
        return "format picture";
    int ticks = 0;
    for (int i = 0; i < kDatumEntryCount; ++i) ticks += calc.isDatumTicked(i) ? 1 : 0;
    if (ticks != 1) {
        out << ticks << " datum entries ticked";
        return out.str();
    }
    if (calc.displayText().empty()) return "empty display";
    return {};
}

TEST(CalculatorRandomised, InvariantsHoldAfterEveryAction) {
    Dice dice(kSeed);
    FakeView view;
    RandomPrompts prompts(dice);
    Calculator calc(view, prompts, UserLocale{});
    calc.StartUp();
    calc.FinishStartUp();

    static constexpr std::uint16_t kChars[] = {'0', '1', '2', '3', '4', '5',  '6', '7', '8', '9',
                                               ',', '.', '-', 8,   176, '\'', '"', 'R', 'r', 13,
                                               '=', 'N', 'n', 'S', 's', 'W',  'w', 'E', 'e', 'K',
                                               'k', 'M', 'm', 'I', 'i', 'C',  'x', 0,   255};
    static constexpr std::uint16_t kKeyCodes[] = {46,  112, 113, 114, 115, 116,
                                                  117, 118, 119, 120, 13};
    static constexpr const char* kClipboard[] = {"12.5", "-3.14159265", "abc",  "", "1E+400",
                                                 "7,25", "45\xC2\xB0",  " 90 ", "0"};

    std::string last;
    int resultsShown = 0;
    int customDatums = 0;
    for (int step = 0; step < kActionCount; ++step) {
        std::ostringstream action;
        switch (dice.roll(10)) {
        case 0:
        case 1:
        case 2: {
            const int key = dice.roll(kKeypadKeyCount);
            action << "Lab_Num_Click " << key;
            calc.Lab_Num_Click(static_cast<std::int16_t>(key));
            break;
        }
        case 3:
        case 4: {
            const int key = dice.roll(kSelectorKeyCount + 2) - 1;
            action << "Lab_Sel_Click " << key;
            calc.Lab_Sel_Click(static_cast<std::int16_t>(key));
            break;
        }
        case 5:
        case 6: {
            const std::uint16_t ch = dice.pick(kChars);
            action << "Form_KeyPress " << ch;
            calc.Form_KeyPress(ch);
            break;
        }
        case 7: {
            const std::uint16_t code = dice.pick(kKeyCodes);
            const auto modifiers = static_cast<std::uint16_t>(dice.roll(8) < 6 ? 0 : dice.roll(8));
            action << "Form_KeyDown " << code << " " << modifiers;
            calc.Form_KeyDown(code, modifiers);
            break;
        }
        case 8: {
            // "Other..." half of the time, so that the dialog's replies get their share.
            const int entry = dice.roll(2) == 0 ? kOtherEntry : dice.roll(kDatumEntryCount);
            action << "MenuDatum_Click " << entry;
            calc.MenuDatum_Click(static_cast<std::int16_t>(entry));
            break;
        }
        default: {
            switch (dice.roll(4)) {
            case 0: {
                const char* text = dice.pick(kClipboard);
                action << "MenuIncolla_Click " << text;
                calc.MenuIncolla_Click(text);
                break;
            }
            case 1:
                view.selection.clear();
                if (!calc.history().empty()) {
                    const int lines = static_cast<int>(calc.history().size());
                    view.selection.push_back(static_cast<std::size_t>(dice.roll(lines)));
                }
                action << "MenuCopia_Click";
                (void)calc.MenuCopia_Click();
                break;
            case 2:
                action << "MenuInviaCalc_Click";
                (void)calc.MenuInviaCalc_Click();
                break;
            default:
                action << "Display_Click";
                calc.Display_Click();
                break;
            }
        }
        }
        const std::string violation = firstViolation(calc);
        ASSERT_TRUE(violation.empty())
            << violation << " after action " << step << " (" << action.str()
            << "), previous: " << last << ", display " << calc.displayText();
        last = action.str();
        resultsShown += calc.state().ResultShown ? 1 : 0;
        customDatums += calc.isDatumTicked(kOtherEntry) ? 1 : 0;
    }
    // The run must reach the states that matter, not idle on the start-up screen.
    EXPECT_GT(resultsShown, kActionCount / 100);
    EXPECT_GT(customDatums, kActionCount / 100);
    EXPECT_GT(prompts.messages, 0);
    RecordProperty("results_shown", resultsShown);
    RecordProperty("custom_datum_steps", customDatums);
}

}  // namespace
}  // namespace velmora::calc::testing
