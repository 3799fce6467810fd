#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// A whole position as people paste it: latitude first, then longitude, in decimal degrees
// ("48.8566, 2.3522"), with degree, minute and second marks ("48°51'24\"N 2°21'08\"E"), with
// hemisphere letters before or after the numbers or with signs, typographic primes and quotes,
// a comma as decimal mark when the two numbers are not parted by a comma. Standard C++ only.
namespace velmora::calc {

// The longest text read as a position, in bytes of UTF-8: the longest position people write
// takes well under a hundred.
inline constexpr std::size_t kPositionTextLimitBytes = 1000;

// Signed decimal degrees: North and East positive.
struct Position {
    double latitudeDeg = 0.0;
    double longitudeDeg = 0.0;
};

// A parse: the position, or why the text is not one unambiguous position: a clause for a
// message box, in lower case and without a full stop ("the latitude lies beyond 90 degrees").
struct PositionParse {
    std::optional<Position> position;
    std::string refusal;
};

// Reads text (UTF-8) as exactly one position. Refused: no number or one, more than two
// angles, latitude beyond 90 or longitude beyond 180 degrees, a hemisphere letter of the
// other axis (E on the first angle), minutes or seconds of 60 or more, a sign together with
// a letter on one angle ("-48 S"), anything that is no part of a position, and a text that
// reads as two different positions; and, before any reading, a text of more than
// kPositionTextLimitBytes. Linear in the length of text.
PositionParse ParsePosition(std::string_view text);

}  // namespace velmora::calc
