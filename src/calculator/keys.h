#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "calculator/distance_units.h"
#include "calculator/state.h"

// The keys of the calculator: the keypad and the selector panel, by the index they deliver, each
// described once (caption, role, spoken name, tooltip, place, painted face, the picture it
// lights) for the engine, the window, assistive technology and the picture generator alike; and
// the key codes of the keys without a character.
namespace velmora::calc {

// Keypad (Lab_Num). Digits are 0..9 under their own index.
inline constexpr std::int16_t kKeyDecimalPoint = 10;
inline constexpr std::int16_t kKeySign = 11;  // disabled for good at start-up
inline constexpr std::int16_t kKeyBack = 12;
inline constexpr std::int16_t kKeyCancel = 13;  // "C"
inline constexpr std::int16_t kKeyClear = 14;   // clears the history
inline constexpr std::int16_t kKeyDegrees = 15;
inline constexpr std::int16_t kKeyMinutes = 16;
inline constexpr std::int16_t kKeySeconds = 17;
inline constexpr std::int16_t kKeyResetPoints = 18;  // ">|<"
inline constexpr std::int16_t kKeyEnter = 19;
inline constexpr std::int16_t kKeyPi = 20;  // disabled for good at start-up
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
    Digit,  // types its caption
    DecimalPoint,
    Sign,  // no action
    Back,
    Cancel,
    Clear,
    Mark,  // types its caption, the degree, minutes or seconds mark
    ResetPoints,
    Enter,
    Pi,  // no action
    Calculate,
    Field,       // selects the field of its code
    Hemisphere,  // selects the hemisphere of its code
    Unit,        // selects the distance unit of its code
    Format,      // selects the coordinate format of its code
};

// A rectangle of the window design in twips (1/1440 inch, 15 to the pixel at 96 dpi), measured
// from the top-left corner of the client area: Left, Top, Width, Height.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// A key's painted face in the background picture, in its pixels, both ends included. The
// picture lies at the client area's top-left corner, so these are also the client area's
// logical pixels; the key's rectangle lies inside its face.
struct FaceRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Everything about one key, by the index it delivers: its caption (UTF-8, as shown and as the
// history names it), its role and, for the selector keys, the field, hemisphere, unit or format
// code it selects; the caption in words, as assistive technology speaks it ("Degrees" for the
// degree sign); its tooltip; where it stands and where its face is painted. A selector key also
// names the picture of the information panel it lights: its 1-based index in the picture list,
// its word on that picture and the picture read aloud.
struct KeyFace {
    std::string_view caption{};
    KeyRole role = KeyRole::Digit;
    std::int16_t code = kNone;
    std::string_view name{};
    std::string_view toolTip{};
    TwipsRect rect{};
    FaceRect face{};
    int picture = 0;  // 0 for the keypad keys, which light no picture
    std::string_view pictureLabel{};
    std::string_view pictureWords{};
};

// Keypad keys Lab_Num: 510 x 300 twips unless given otherwise.
inline constexpr std::array<KeyFace, kKeypadKeyCount> kKeypadKeys{{
    {.caption = "0",
     .role = KeyRole::Digit,
     .name = "0",
     .toolTip = "0",
     .rect = {215, 5150, 510, 300},
     .face = {12, 336, 49, 368}},
    {.caption = "1",
     .role = KeyRole::Digit,
     .name = "1",
     .toolTip = "1",
     .rect = {215, 4630, 510, 300},
     .face = {12, 301, 49, 333}},
    {.caption = "2",
     .role = KeyRole::Digit,
     .name = "2",
     .toolTip = "2",
     .rect = {830, 4630, 510, 300},
     .face = {53, 301, 90, 333}},
    {.caption = "3",
     .role = KeyRole::Digit,
     .name = "3",
     .toolTip = "3",
     .rect = {1440, 4630, 510, 300},
     .face = {94, 301, 131, 333}},
    {.caption = "4",
     .role = KeyRole::Digit,
     .name = "4",
     .toolTip = "4",
     .rect = {215, 4100, 510, 300},
     .face = {12, 266, 49, 298}},
    {.caption = "5",
     .role = KeyRole::Digit,
     .name = "5",
     .toolTip = "5",
     .rect = {830, 4100, 510, 300},
     .face = {53, 266, 90, 298}},
    {.caption = "6",
     .role = KeyRole::Digit,
     .name = "6",
     .toolTip = "6",
     .rect = {1440, 4100, 510, 300},
     .face = {94, 266, 131, 298}},
    {.caption = "7",
     .role = KeyRole::Digit,
     .name = "7",
     .toolTip = "7",
     .rect = {215, 3560, 510, 300},
     .face = {12, 230, 49, 262}},
    {.caption = "8",
     .role = KeyRole::Digit,
     .name = "8",
     .toolTip = "8",
     .rect = {830, 3560, 510, 300},
     .face = {53, 230, 90, 262}},
    {.caption = "9",
     .role = KeyRole::Digit,
     .name = "9",
     .toolTip = "9",
     .rect = {1440, 3560, 510, 300},
     .face = {94, 230, 131, 262}},
    {.caption = ".",
     .role = KeyRole::DecimalPoint,
     .name = "Decimal point",
     .toolTip = "Decimal",
     .rect = {830, 5150, 510, 300},
     .face = {53, 336, 90, 368}},
    {.caption = "+/-",
     .role = KeyRole::Sign,
     .name = "Plus minus",
     .toolTip = "Change sign",
     .rect = {1440, 5150, 510, 300},
     .face = {94, 336, 131, 368}},
    {.caption = "Back",
     .role = KeyRole::Back,
     .name = "Back",
     .toolTip = "Delete last figure",
     .rect = {2050, 3570, 510, 255},
     .face = {135, 230, 172, 262}},
    {.caption = "C",
     .role = KeyRole::Cancel,
     .name = "C",
     .toolTip = "Cancel",
     .rect = {2670, 3570, 510, 255},
     .face = {176, 230, 213, 262}},
    {.caption = "Clear",
     .role = KeyRole::Clear,
     .name = "Clear",
     .toolTip = "Clear the historical list",
     .rect = {3290, 3570, 510, 255},
     .face = {217, 230, 254, 262}},
    {.caption = kDegreeMark,
     .role = KeyRole::Mark,
     .name = "Degrees",
     .toolTip = "Degrees",
     .rect = {2050, 4100, 510, 300},
     .face = {135, 266, 172, 298}},
    {.caption = kMinutesMark,
     .role = KeyRole::Mark,
     .name = "Minutes",
     .toolTip = "Minutes",
     .rect = {2670, 4100, 510, 300},
     .face = {176, 266, 213, 298}},
    {.caption = kSecondsMark,
     .role = KeyRole::Mark,
     .name = "Seconds",
     .toolTip = "Seconds",
     .rect = {3290, 4100, 510, 300},
     .face = {217, 266, 254, 298}},
    {.caption = ">|<",
     .role = KeyRole::ResetPoints,
     .name = "Reset A and B",
     .toolTip = "Reset both A and B coordinates",
     .rect = {2050, 4630, 510, 300},
     .face = {135, 301, 172, 333}},
    {.caption = "Enter",
     .role = KeyRole::Enter,
     .name = "Enter",
     .toolTip = "Enter",
     .rect = {2670, 4630, 1095, 255},
     .face = {176, 301, 254, 333}},
    {.caption = "\u03C0",
     .role = KeyRole::Pi,
     .name = "pi",
     .toolTip = "pi",
     .rect = {2050, 5150, 510, 300},
     .face = {135, 336, 172, 368}},
    {.caption = "Calculate",
     .role = KeyRole::Calculate,
     .name = "Calculate",
     .toolTip = "Calculate the distance",
     .rect = {2670, 5150, 1095, 255},
     .face = {176, 336, 254, 368}},
}};

// Selector keys Lab_Sel: 510 x 255 twips unless given otherwise. The picture list runs by row
// of the information panel: 1-4 fields, 5-7 units, 8-11 hemispheres, 12-14 formats.
inline constexpr std::array<KeyFace, kSelectorKeyCount> kSelectorKeys{{
    {.caption = "Latitude A",
     .role = KeyRole::Field,
     .code = kLatitudeA,
     .name = "Latitude A",
     .toolTip = "First point latitude",
     .rect = {210, 2220, 1140, 240},
     .face = {12, 145, 90, 167},
     .picture = 1,
     .pictureLabel = "Lat.A",
     .pictureWords = "Latitude A"},
    {.caption = "Latitude B",
     .role = KeyRole::Field,
     .code = kLatitudeB,
     .name = "Latitude B",
     .toolTip = "Second point latitude",
     .rect = {1430, 2220, 1140, 240},
     .face = {94, 145, 172, 167},
     .picture = 3,
     .pictureLabel = "Lat.B",
     .pictureWords = "Latitude B"},
    {.caption = "N",
     .role = KeyRole::Hemisphere,
     .code = kNorth,
     .name = "North",
     .toolTip = "North",
     .rect = {2670, 2220, 510, 255},
     .face = {176, 145, 213, 167},
     .picture = 8,
     .pictureLabel = "N",
     .pictureWords = "North"},
    {.caption = "S",
     .role = KeyRole::Hemisphere,
     .code = kSouth,
     .name = "South",
     .toolTip = "South",
     .rect = {3280, 2220, 510, 255},
     .face = {217, 145, 254, 167},
     .picture = 9,
     .pictureLabel = "S",
     .pictureWords = "South"},
    {.caption = "Longitude A",
     .role = KeyRole::Field,
     .code = kLongitudeA,
     .name = "Longitude A",
     .toolTip = "First point longitude",
     .rect = {210, 2610, 1140, 240},
     .face = {12, 171, 90, 193},
     .picture = 2,
     .pictureLabel = "Lon.A",
     .pictureWords = "Longitude A"},
    {.caption = "Longitude B",
     .role = KeyRole::Field,
     .code = kLongitudeB,
     .name = "Longitude B",
     .toolTip = "Second point longitude",
     .rect = {1430, 2610, 1140, 255},
     .face = {94, 171, 172, 193},
     .picture = 4,
     .pictureLabel = "Lon.B",
     .pictureWords = "Longitude B"},
    {.caption = "W",
     .role = KeyRole::Hemisphere,
     .code = kWest,
     .name = "West",
     .toolTip = "West",
     .rect = {2670, 2610, 510, 255},
     .face = {176, 171, 213, 193},
     .picture = 10,
     .pictureLabel = "W",
     .pictureWords = "West"},
    {.caption = "E",
     .role = KeyRole::Hemisphere,
     .code = kEast,
     .name = "East",
     .toolTip = "East",
     .rect = {3280, 2610, 510, 255},
     .face = {217, 171, 254, 193},
     .picture = 11,
     .pictureLabel = "E",
     .pictureWords = "East"},
    {.caption = kDistanceUnits[kKilometres].symbol,
     .role = KeyRole::Unit,
     .code = kKilometres,
     .name = "Kilometres",
     .toolTip = "Distance between A and B in kilometers",
     .rect = {210, 3000, 510, 255},
     .face = {12, 197, 49, 219},
     .picture = 5,
     .pictureLabel = "km",
     .pictureWords = "kilometres"},
    {.caption = kDistanceUnits[kStatuteMiles].symbol,
     .role = KeyRole::Unit,
     .code = kStatuteMiles,
     .name = "Statute miles",
     .toolTip = "Distance between A and B in statute miles",
     .rect = {830, 3000, 510, 255},
     .face = {53, 197, 90, 219},
     .picture = 6,
     .pictureLabel = "UK mile",
     .pictureWords = "statute miles"},
    {.caption = kDistanceUnits[kNauticalMiles].symbol,
     .role = KeyRole::Unit,
     .code = kNauticalMiles,
     .name = "Nautical miles",
     .toolTip = "Distance between A and B in nautical miles",
     .rect = {1440, 3000, 510, 255},
     .face = {94, 197, 131, 219},
     .picture = 7,
     .pictureLabel = "Nautical mile",
     .pictureWords = "nautical miles"},
    {.caption = "\u00B0",
     .role = KeyRole::Format,
     .code = kDeg,
     .name = "Degrees",
     .toolTip = "Coordinates in degrees",
     .rect = {2050, 3000, 510, 255},
     .face = {135, 197, 172, 219},
     .picture = 12,
     .pictureLabel = "deg",
     .pictureWords = "degrees"},
    {.caption = "\u00B0 '",
     .role = KeyRole::Format,
     .code = kDegMin,
     .name = "Degrees and minutes",
     .toolTip = "Coordinates in degrees / minutes",
     .rect = {2670, 3000, 510, 255},
     .face = {176, 197, 213, 219},
     .picture = 13,
     .pictureLabel = "deg.min",
     .pictureWords = "degrees / minutes"},
    {.caption = "\u00B0 ' \"",
     .role = KeyRole::Format,
     .code = kDegMinSec,
     .name = "Degrees, minutes and seconds",
     .toolTip = "Coordinates in degrees / minutes / seconds",
     .rect = {3280, 3000, 510, 255},
     .face = {217, 197, 254, 219},
     .picture = 14,
     .pictureLabel = "deg.min.sec",
     .pictureWords = "degrees / minutes / seconds"},
}};

// Number of pictures in the picture list: one per selector key.
inline constexpr int kPictureListCount = kSelectorKeyCount;

// The selector key that lights picture-list picture `picture` (1-based); -1 for none.
constexpr int SelectorKeyOfPicture(int picture) {
    for (std::size_t i = 0; i < kSelectorKeys.size(); ++i) {
        if (kSelectorKeys[i].picture == picture) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

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
