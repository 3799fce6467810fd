#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "calculator/distance_units.h"
#include "calculator/state.h"

// The keys of the calculator: the keypad and the selector panel, by the index they deliver,
// each with its caption and role; and the key codes of the keys without a character.
namespace velmora::calc {

// Keypad (Lab_Num). Digits are 0..9 under their own index.
inline constexpr std::int16_t kKeyDecimalPoint = 10;
inline constexpr std::int16_t kKeySign = 11;      // disabled for good at start-up
inline constexpr std::int16_t kKeyBack = 12;
inline constexpr std::int16_t kKeyCancel = 13;    // "C"
inline constexpr std::int16_t kKeyClear = 14;     // clears the history
inline constexpr std::int16_t kKeyDegrees = 15;
inline constexpr std::int16_t kKeyMinutes = 16;
inline constexpr std::int16_t kKeySeconds = 17;
inline constexpr std::int16_t kKeyResetPoints = 18;  // ">|<"
inline constexpr std::int16_t kKeyEnter = 19;
inline constexpr std::int16_t kKeyPi = 20;        // disabled for good at start-up
inline constexpr std::int16_t kKeyCalculate = 21;
inline constexpr int kKeypadKeyCount = 22;

// Selector panel (Lab_Sel).
inline constexpr std::int16_t kSelLatitudeA = 0;
inline constexpr std::int16_t kSelLatitudeB = 1;
inline constexpr std::int16_t kSelNorth = 2;
inline constexpr std::int16_t kSelSouth = 3;
inline constexpr std::int16_t kSelLongitudeA = 4;
inline constexpr std::int16_t kSelLongitudeB = 5;
inline constexpr std::int16_t kSelWest = 6;
inline constexpr std::int16_t kSelEast = 7;
inline constexpr std::int16_t kSelKilometres = 8;
inline constexpr std::int16_t kSelStatuteMiles = 9;
inline constexpr std::int16_t kSelNauticalMiles = 10;
inline constexpr std::int16_t kSelDegrees = 11;
inline constexpr std::int16_t kSelDegMin = 12;
inline constexpr std::int16_t kSelDegMinSec = 13;
inline constexpr int kSelectorKeyCount = 14;

// What pressing a key does.
enum class KeyRole : std::uint8_t {
    Digit,        // types its caption
    DecimalPoint,
    Sign,         // no action
    Back,
    Cancel,
    Clear,
    Mark,         // types its caption, the degree, minutes or seconds mark
    ResetPoints,
    Enter,
    Pi,           // no action
    Calculate,
    Field,        // selects the field of its code
    Hemisphere,   // selects the hemisphere of its code
    Unit,         // selects the distance unit of its code
    Format,       // selects the coordinate format of its code
};

// A key's caption (UTF-8, as shown and as the history names it), its role and, for the
// selector keys, the field, hemisphere, unit or format code it selects.
struct KeyFace {
    std::string_view caption;
    KeyRole role;
    std::int16_t code = kNone;
};

inline constexpr std::array<KeyFace, kKeypadKeyCount> kKeypadKeys{{
    {"0", KeyRole::Digit},
    {"1", KeyRole::Digit},
    {"2", KeyRole::Digit},
    {"3", KeyRole::Digit},
    {"4", KeyRole::Digit},
    {"5", KeyRole::Digit},
    {"6", KeyRole::Digit},
    {"7", KeyRole::Digit},
    {"8", KeyRole::Digit},
    {"9", KeyRole::Digit},
    {".", KeyRole::DecimalPoint},
    {"+/-", KeyRole::Sign},
    {"Back", KeyRole::Back},
    {"C", KeyRole::Cancel},
    {"Clear", KeyRole::Clear},
    {kDegreeMark, KeyRole::Mark},
    {kMinutesMark, KeyRole::Mark},
    {kSecondsMark, KeyRole::Mark},
    {">|<", KeyRole::ResetPoints},
    {"Enter", KeyRole::Enter},
    {"\u03C0", KeyRole::Pi},
    {"Calculate", KeyRole::Calculate},
}};

inline constexpr std::array<KeyFace, kSelectorKeyCount> kSelectorKeys{{
    {"Latitude A", KeyRole::Field, kLatitudeA},
    {"Latitude B", KeyRole::Field, kLatitudeB},
    {"N", KeyRole::Hemisphere, kNorth},
    {"S", KeyRole::Hemisphere, kSouth},
    {"Longitude A", KeyRole::Field, kLongitudeA},
    {"Longitude B", KeyRole::Field, kLongitudeB},
    {"W", KeyRole::Hemisphere, kWest},
    {"E", KeyRole::Hemisphere, kEast},
    {kDistanceUnits[kKilometres].symbol, KeyRole::Unit, kKilometres},
    {kDistanceUnits[kStatuteMiles].symbol, KeyRole::Unit, kStatuteMiles},
    {kDistanceUnits[kNauticalMiles].symbol, KeyRole::Unit, kNauticalMiles},
    {"\u00B0", KeyRole::Format, kDeg},
    {"\u00B0 '", KeyRole::Format, kDegMin},
    {"\u00B0 ' \"", KeyRole::Format, kDegMinSec},
}};

// Whether a keypad key writes a number (digits, point, sign): the window colours these keys
// apart from the function keys.
constexpr bool IsFigureKey(KeyRole role) {
    return role == KeyRole::Digit || role == KeyRole::DecimalPoint || role == KeyRole::Sign;
}

// Caption of keypad key index, as the history names the key; empty outside the keypad.
std::string_view keypadCaption(int index);

// Key codes of Form_KeyDown for the keys without a character, as the desktop numbers them,
// and the bits of its modifier state.
inline constexpr std::uint16_t kKeyCodeDelete = 46;
inline constexpr std::uint16_t kKeyCodeF2 = 113;
inline constexpr std::uint16_t kKeyCodeF8 = 119;
inline constexpr std::uint16_t kShiftBit = 1;
inline constexpr std::uint16_t kCtrlBit = 2;
inline constexpr std::uint16_t kAltBit = 4;

}  // namespace velmora::calc
