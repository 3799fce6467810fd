#include "calculator/calculator.h"
#include "calculator/keys.h"

namespace velmora::calc {

namespace {

// Codes of the typed characters that are not printable ASCII.
constexpr std::uint16_t kCharBackspace = 8;
constexpr std::uint16_t kCharReturn = 13;
constexpr std::uint16_t kCharDegree = 176;  // U+00B0, also its code in the ANSI code page

constexpr std::uint16_t kNoModifier = 0;

// Selector keys of F2..F8, in key-code order.
constexpr std::int16_t kFunctionKeySelectors[] = {kSelLatitudeA, kSelLongitudeA, kSelLatitudeB,
                                                  kSelLongitudeB, kSelDegrees, kSelDegMin,
                                                  kSelDegMinSec};

}  // namespace

void Calculator::Form_KeyPress(std::uint16_t charCode) {
    runIgnoringFailure([&] { m_view.processPendingEvents(); });

    const bool latitudeField = m_state.ActiveField < kLongitudeA;
    const bool longitudeField = m_state.ActiveField > kLatitudeB;
    if (charCode >= '0' && charCode <= '9') {
        Lab_Num_Click(static_cast<std::int16_t>(charCode - '0'));
    } else {
        switch (charCode) {
        case ',':
        case '.': Lab_Num_Click(kKeyDecimalPoint); break;
        case '-': Lab_Num_Click(kKeySign); break;
        case kCharBackspace: Lab_Num_Click(kKeyBack); break;
        case kCharDegree: Lab_Num_Click(kKeyDegrees); break;
        case '\'': Lab_Num_Click(kKeyMinutes); break;
        case '"': Lab_Num_Click(kKeySeconds); break;
        case 'R':
        case 'r': Lab_Num_Click(kKeyResetPoints); break;
        case kCharReturn: Lab_Num_Click(kKeyEnter); break;
        case '=': Lab_Num_Click(kKeyCalculate); break;
        case 'N':
        case 'n':
            if (latitudeField) Lab_Sel_Click(kSelNorth);
            break;
        case 'S':
        case 's':
            if (latitudeField) Lab_Sel_Click(kSelSouth);
            break;
        case 'W':
        case 'w':
            if (longitudeField) Lab_Sel_Click(kSelWest);
            break;
        case 'E':
        case 'e':
            if (longitudeField) Lab_Sel_Click(kSelEast);
            break;
        case 'K':
        case 'k': Lab_Sel_Click(kSelKilometres); break;
        case 'M':
        case 'm': Lab_Sel_Click(kSelStatuteMiles); break;
        case 'I':
        case 'i': Lab_Sel_Click(kSelNauticalMiles); break;
        default: break;
        }
    }

    runIgnoringFailure([&] { m_view.focusMainWindow(); });
}

// Only the exact modifier state counts: Ctrl+Delete, Shift+F2 and the like do nothing.
void Calculator::Form_KeyDown(std::uint16_t keyCode, std::uint16_t shiftState) {
    runIgnoringFailure([&] { m_view.processPendingEvents(); });

    if (keyCode == kKeyCodeDelete && shiftState == kNoModifier) {
        Lab_Num_Click(kKeyCancel);
    } else if (keyCode == kKeyCodeDelete && shiftState == kShiftBit) {
        Lab_Num_Click(kKeyClear);
    } else if (keyCode >= kKeyCodeF2 && keyCode <= kKeyCodeF8 && shiftState == kNoModifier) {
        Lab_Sel_Click(kFunctionKeySelectors[keyCode - kKeyCodeF2]);
    }

    runIgnoringFailure([&] { m_view.focusMainWindow(); });
}

}  // namespace velmora::calc
