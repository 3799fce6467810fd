#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "calculator/state.h"

// The typing rules of the keypad over the display text, by coordinate format (CoordFormat).
namespace velmora::calc {

// Appends digit, after "0" or "Error" in their place; nothing once the mark that closes an
// entry in format (seconds, minutes or degree mark) stands on the display.
void TypeDigit(std::string& display, std::int16_t format, std::string_view digit);

// Appends "." where the format lets a part have decimals: in deg/min/sec only behind the
// minutes mark, in deg/min only behind the degree mark, in degrees anywhere; never twice.
void TypeDecimalPoint(std::string& display, std::int16_t format);

// Appends mark unless the display holds it already.
void TypeMark(std::string& display, std::string_view mark);

// Back: the last character gone (both bytes of the degree mark), blanks trimmed, "0" for an
// empty display.
void DeleteLastCharacter(std::string& display);

// The failure line of a key: the display's number in front when it holds one (read with
// separator, "." when empty), else the key's caption, then ": Error".
std::string FailureLine(std::string_view display, std::string_view separator,
                        std::string_view caption);

// The keypad key that types the character at the front of text, and its length in bytes;
// text holds digits, "." and the three marks only, as TypedAngleText writes it.
std::pair<std::int16_t, std::size_t> KeyAtFront(std::string_view text);

}  // namespace velmora::calc
