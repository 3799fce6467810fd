#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calculator/number_text.h"
#include "calculator/state.h"

// Numbers to and from the outside: a number pasted onto the display, and the displayed number
// typed into the system calculator.
namespace velmora::calc {

// The display for a pasted text: one whole number (surrounding blanks and line breaks
// dropped, either separator of the state as the point) written "############0.0####" with
// the display's point and without a bare ".0"; nullopt for anything else.
std::optional<std::string> PastedNumberDisplay(std::string_view clipboardText,
                                               const CalculatorState& state);

// The number on the display as the user's locale writes it for typing: a plain number as it
// stands, a coordinate in decimal degrees; up to 15 significant digits without an exponent, a
// zero before a leading decimal mark. nullopt when the display holds no finite number.
std::optional<std::string> CalculatorEntryText(std::string_view display,
                                               const CalculatorState& state,
                                               const UserLocale& locale);

}  // namespace velmora::calc
