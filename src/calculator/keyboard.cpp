#include "calculator/keyboard.h"

#include "calculator/keys.h"

namespace velmora::calc {

namespace {

// Codes of the typed characters that are not printable ASCII.
constexpr std::uint16_t kCharBackspace = 8;
constexpr std::uint16_t kCharReturn = 13;
constexpr std::uint16_t kCharDegree = 176;  // U+00B0, also its code in the ANSI code page

constexpr std::uint16_t kNoModifier = 0;

// Selector keys of F2..F8, in key-code order.
constexpr std::int16_t kFunctionKeySelectors[] = {kSelLatitudeA,  kSelLongitudeA, kSelLatitudeB,
                                                  kSelLongitudeB, kSelDegrees,    kSelDegMin,
                                                  kSelDegMinSec};

constexpr KeyTarget keypad(std::int16_t index) { return {KeyTarget::Panel::Keypad, index}; }
constexpr KeyTarget selector(std::int16_t index) { return {KeyTarget::Panel::Selector, index}; }

}  // namespace

KeyTarget KeyForCharacter(std::uint16_t charCode, std::int16_t activeField) {
    const bool latitudeField = activeField < kLongitudeA;
    const bool longitudeField = activeField > kLatitudeB;
    if (charCode >= '0' && charCode <= '9')
        return keypad(static_cast<std::int16_t>(charCode - '0'));
    switch (charCode) {
    case ',':
    case '.': return keypad(kKeyDecimalPoint);
    case '-': return keypad(kKeySign);
    case kCharBackspace: return keypad(kKeyBack);
    case kCharDegree: return keypad(kKeyDegrees);
    case '\'': return keypad(kKeyMinutes);
    case '"': return keypad(kKeySeconds);
    case 'R':
    case 'r': return keypad(kKeyResetPoints);
    case kCharReturn: return keypad(kKeyEnter);
    case '=': return keypad(kKeyCalculate);
    case 'N':
    case 'n': return latitudeField ? selector(kSelNorth) : KeyTarget{};
    case 'S':
    case 's': return latitudeField ? selector(kSelSouth) : KeyTarget{};
    case 'W':
    case 'w': return longitudeField ? selector(kSelWest) : KeyTarget{};
    case 'E':
    case 'e': return longitudeField ? selector(kSelEast) : KeyTarget{};
    case 'K':
    case 'k': return selector(kSelKilometres);
    case 'M':
    case 'm': return selector(kSelStatuteMiles);
    case 'I':
    case 'i': return selector(kSelNauticalMiles);
    default: return {};
    }
}

KeyTarget KeyForKeyDown(std::uint16_t keyCode, std::uint16_t shiftState) {
    if (keyCode == kKeyCodeDelete && shiftState == kNoModifier) return keypad(kKeyCancel);
    if (keyCode == kKeyCodeDelete && shiftState == kShiftBit) return keypad(kKeyClear);
    if (keyCode >= kKeyCodeF2 && keyCode <= kKeyCodeF8 && shiftState == kNoModifier)
        return selector(kFunctionKeySelectors[keyCode - kKeyCodeF2]);
    return {};
}

}  // namespace velmora::calc
