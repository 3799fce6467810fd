#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "calculator/number_text.h"

// Key and entry indices of the calculator, as the keypad, the selector panel and the datum
// menu deliver them, and the small text helpers the engine's handlers share.
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

// Caption of keypad key index as the failure path names it; empty outside 0..21.
std::string_view keypadCaption(int index);

// Whether text contains needle anywhere.
inline bool contains(std::string_view text, std::string_view needle) {
    return text.find(needle) != std::string_view::npos;
}

// Runs one step of a handler; a failure inside it is swallowed so that the handler goes on
// with its next step and nothing escapes to the window's event loop.
template <class Step>
void runIgnoringFailure(Step&& step) noexcept {
    try {
        step();
    } catch (...) {
    }
}

}  // namespace velmora::calc
