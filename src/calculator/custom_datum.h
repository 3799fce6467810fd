#pragma once

#include <string>
#include <string_view>

#include "calculator/number_text.h"
#include "calculator/state.h"

namespace velmora::calc {

// The modal boxes the custom datum dialog needs; the window supplies real ones, tests a
// scripted one.
class UserPrompts {
public:
    virtual ~UserPrompts() = default;
    // An input box; returns the reply, the empty text for Cancel.
    virtual std::string InputBox(std::string_view title, std::string_view prompt,
                                 std::string_view defaultReply) = 0;
    // A message box with the critical icon and one OK button, in front of all windows.
    virtual void CriticalMessage(std::string_view title, std::string_view text) = 0;
};

// Asks for the semi-major axis and the inverse flattening (or, behind "@", the semi-minor
// axis) and stores them in state.CustomDatum. True when the definition is usable; false when
// cancelled (state.DatumDialogCancelled set), refused, or an arithmetic fault occurred.
bool CustomDatumDialog(CalculatorState& state, UserPrompts& prompts, const UserLocale& locale,
                       std::string_view windowCaption);

}  // namespace velmora::calc
