// The calculator engine driven by a stream of actions: keypad, selector, typed characters,
// function keys, the datum menu with the custom datum dialog's replies, paste of any text,
// copy of any selection, send to calculator, the azimuth and exact-solution ticks, paste of a
// whole point. After each action no text the engine writes names an infinity or a NaN, a
// coordinate is stored only as the rules allow, a shown result is a length, an azimuth lies in
// [0, 360), a pasted number shows at most 15 significant digits, and a point that is pasted
// at all is entered whole, both coordinates accepted.
#include <cmath>
#include <string>
#include <vector>

#include "calculator/calculator.h"
#include "calculator/coordinate_text.h"
#include "calculator/datum_menu.h"
#include "calculator/keys.h"
#include "fake_view.h"
#include "fuzz_input.h"

using namespace velmora;

namespace {

const char* const kReplies[] = {
    "6378137", "298.257223563", "@6356752.3142", "1e-320", "@1e-320", "0",
    "-1",      "1e308",         "@1e308",        "1",      "@0",      "6378137,5",
    "2",       "@6378137",      "1E+400",        "abc"};

// Replies from the action stream: Cancel, the default, a known reply or any text.
class Prompts : public calc::UserPrompts {
public:
    explicit Prompts(fuzz::Input& input) : m_input(input) {}
    std::string InputBox(std::string_view, std::string_view prompt,
                         std::string_view defaultReply) override {
        fuzz::check(!fuzz::hasNonFiniteWord(prompt), "a prompt names a non-finite number", prompt);
        fuzz::check(!fuzz::hasNonFiniteWord(defaultReply),
                    "a default reply names a non-finite number", defaultReply);
        const std::uint8_t kind = m_input.byte();
        switch (kind % 4) {
        case 0: return {};
        case 1: return std::string(defaultReply);
        case 2: return kReplies[(kind / 4) % std::size(kReplies)];
        default: return m_input.text(40);
        }
    }
    void CriticalMessage(std::string_view, std::string_view text) override {
        fuzz::check(!fuzz::hasNonFiniteWord(text), "a message names a non-finite number", text);
    }

private:
    fuzz::Input& m_input;
};

void checkText(std::string_view text, const char* where) {
    fuzz::check(!fuzz::hasNonFiniteWord(text), where, text);
}

// A coordinate Enter has just stored: within its axis' limit, "-" once in front exactly for
// the south and the west.
void checkStoredCoordinate(const calc::CalculatorState& state, int field, bool southOrWest) {
    const std::string& stored = state.CoordText[static_cast<std::size_t>(field)];
    fuzz::check(!stored.starts_with("--"), "a coordinate stored with two signs", stored);
    const double value = calc::ReadLeadingNumber(calc::DecimalDegreesText(state, stored));
    const double limit = field <= calc::kLatitudeB ? 90.0 : 180.0;
    fuzz::check(std::fabs(value) <= limit, "a coordinate stored beyond its limit", stored);
    fuzz::check(southOrWest ? value <= 0.0 : value >= 0.0,
                "a coordinate stored with the wrong sign", stored);
}

// The history's azimuth lines: "none, A and B coincide" or an angle of at least 0 and below
// 360 degrees, written in the coordinate format.
void checkAzimuthLine(const calc::CalculatorState& state, std::string_view line) {
    for (const std::string_view label : {"Azimuth at A: ", "Azimuth at B: "}) {
        if (!line.starts_with(label)) continue;
        const std::string_view angle = line.substr(label.size());
        if (angle == "none, A and B coincide") return;
        const double degrees = calc::ReadLeadingNumber(calc::DecimalDegreesText(state, angle));
        fuzz::check(degrees >= 0.0 && degrees < 360.0, "an azimuth outside [0, 360)", line);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input(data, size);
    calc::testing::FakeView view;
    Prompts prompts(input);
    const calc::UserLocale locale{input.byte() % 2 ? "," : ".", ","};
    calc::Calculator calc(view, prompts, locale);
    calc.StartUp();
    calc.FinishStartUp();

    for (int actions = 0; !input.empty() && actions < 200; ++actions) {
        const std::uint8_t action = input.byte();
        const std::uint8_t argument = input.byte();
        const calc::CalculatorState before = calc.state();
        const std::string displayBefore = calc.displayText();
        const std::size_t linesBefore = calc.history().size();
        bool pasted = false;
        std::int16_t pastedPoint = -1;
        switch (action % 10) {
        case 0:
        case 1:
            calc.Lab_Num_Click(static_cast<std::int16_t>(argument % (calc::kKeypadKeyCount + 2)));
            break;
        case 2:
            calc.Lab_Sel_Click(static_cast<std::int16_t>(argument % (calc::kSelectorKeyCount + 2)));
            break;
        case 3: calc.Form_KeyPress(argument == 0xFF ? 176 : argument); break;
        case 4:
            calc.Form_KeyDown(argument % 2 ? 46 : static_cast<std::uint16_t>(113 + argument % 8),
                              argument / 128);
            break;
        case 5:
            calc.MenuDatum_Click(
                static_cast<std::int16_t>(argument % (calc::kDatumEntryCount + 1)));
            break;
        case 6:
            calc.MenuIncolla_Click(input.text(argument));
            pasted = true;
            break;
        case 7:
            view.selection.clear();
            for (int i = 0; i < argument % 4; ++i) view.selection.push_back(input.byte());
            checkText(calc.MenuCopia_Click(), "copied text");
            break;
        case 8:
            if (const auto sent = calc.MenuInviaCalc_Click()) {
                checkText(*sent, "text sent to the calculator");
                fuzz::check(sent->find_first_of("Ee") == std::string::npos,
                            "an exponent sent to the calculator", *sent);
            }
            break;
        default:
            switch (argument % 4) {
            case 2:
                calc.SetShowAzimuths(argument & 4);
                calc.SetExactNearAntipodes(argument & 8);
                break;
            case 3:
                pastedPoint = static_cast<std::int16_t>((argument / 4) % 3);  // 2: no such point
                calc.MenuPastePoint_Click(pastedPoint, input.text(60));
                break;
            default: calc.Display_Click(); break;
            }
            break;
        }

        const calc::CalculatorState& state = calc.state();
        checkText(calc.displayText(), "the display");
        const std::size_t firstNewLine = calc.history().size() < linesBefore ? 0 : linesBefore;
        for (std::size_t line = firstNewLine; line < calc.history().size(); ++line) {
            checkText(calc.history()[line], "a history line");
            checkAzimuthLine(state, calc.history()[line]);
        }
        if (pastedPoint >= 0 && calc.history().size() != linesBefore) {
            fuzz::check(calc.displayText() == "0", "a pasted point not entered whole",
                        calc.history().back());
            for (const int field :
                 {pastedPoint == calc::kPointA ? calc::kLatitudeA : calc::kLatitudeB,
                  pastedPoint == calc::kPointA ? calc::kLongitudeA : calc::kLongitudeB}) {
                const std::string& stored = state.CoordText[static_cast<std::size_t>(field)];
                checkStoredCoordinate(state, field, stored.starts_with("-"));
            }
        }
        if (pasted && calc.displayText() != displayBefore) {
            fuzz::check(fuzz::significantDigits(calc.displayText()) <= 15,
                        "a pasted number shows digits never typed", calc.displayText());
        }
        // Enter under the field and hemisphere chosen before the action (a pasted point chooses
        // its own and is checked above).
        const int field = before.ActiveField;
        if (pastedPoint < 0 && field >= 0 && field <= 3 &&
            state.CoordText[field] != before.CoordText[field] && calc.displayText() != "Error") {
            const bool southOrWest = field <= calc::kLatitudeB ? before.Hemisphere != calc::kNorth
                                                               : before.Hemisphere != calc::kEast;
            checkStoredCoordinate(state, field, southOrWest);
        }
        // A distance line written by this action holds a length, in the user's decimal mark.
        for (std::size_t line = firstNewLine; line < calc.history().size(); ++line) {
            std::string_view text = calc.history()[line];
            if (!text.starts_with("Distance: ") || text.ends_with("]")) continue;
            text.remove_prefix(10);
            if (text.ends_with(" (exact)")) text.remove_suffix(8);
            text = text.substr(0, text.rfind(' '));
            const auto length = calc::ConvertNumber(text, locale.decimalMark);
            fuzz::check(length && *length >= 0.0, "a distance line holds no length",
                        calc.history()[line]);
        }
    }
    return 0;
}
