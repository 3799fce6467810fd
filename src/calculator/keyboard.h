#pragma once

#include <cstdint>

// The keyboard: which key of the face a typed character or a key without a character presses.
namespace velmora::calc {

// A key of the face: a keypad key (Lab_Num) or a selector key (Lab_Sel), by index; or none.
struct KeyTarget {
    enum class Panel : std::uint8_t { None, Keypad, Selector };
    Panel panel = Panel::None;
    std::int16_t index = -1;
};

// A typed character (UTF-16 code; the degree sign is 176). The hemisphere letters count only
// while a field of their axis is active (activeField, a field code or -1).
KeyTarget KeyForCharacter(std::uint16_t charCode, std::int16_t activeField);

// Delete and F2..F8 with exactly the modifier state of the key's row (1 Shift, 2 Ctrl, 4 Alt):
// Ctrl+Delete, Shift+F2 and the like press nothing.
KeyTarget KeyForKeyDown(std::uint16_t keyCode, std::uint16_t shiftState);

}  // namespace velmora::calc
