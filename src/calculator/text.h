#pragma once

#include <string>
#include <string_view>

#include "calculator/number_text.h"
#include "calculator/state.h"

// Small text helpers shared by the calculator's routines. Texts are UTF-8.
namespace velmora::calc {

// Blanks of typed and stored text; pasted text may bring line breaks among its blanks too.
inline constexpr std::string_view kBlanks = " \t";
inline constexpr std::string_view kBlanksAndLineBreaks = " \t\r\n";

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Whether c is one of blanks (spaces and tabs by default).
constexpr bool IsBlank(char c, std::string_view blanks = kBlanks) {
    return blanks.find(c) != std::string_view::npos;
}

// text without the leading and trailing characters of blanks (spaces and tabs by default).
constexpr std::string_view TrimBlanks(std::string_view text, std::string_view blanks = kBlanks) {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Whether text contains needle anywhere.
constexpr bool Contains(std::string_view text, std::string_view needle) {
    return text.find(needle) != std::string_view::npos;
}

// Removes the last character, all of its bytes (the degree mark has two); nothing when empty.
void DropLastCharacter(std::string& text);

// text with every decimal mark of the user's locale turned into the point the display shows:
// a distance re-expressed by a unit key carries the locale's mark, while the routines that
// read the display know only the point and the comma.
std::string WithDisplayPoint(std::string text, const UserLocale& locale,
                             const CalculatorState& state);

}  // namespace velmora::calc
