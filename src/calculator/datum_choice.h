#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "calculator/custom_datum.h"
#include "calculator/datum_menu.h"
#include "calculator/number_text.h"
#include "calculator/state.h"

// The datum menu's choice: which entry is ticked, the ellipsoid it installs, and the history
// lines it writes.
namespace velmora::calc {

class DatumChoice {
public:
    bool isTicked(int index) const;

    // Menu entry index chosen. The ticked entry again, a separator or another index does
    // nothing; "Other..." always asks (prompts), a cancel does nothing, and a refused
    // definition puts WGS-84 in its place. Ticks and installs the entry (ApplyDatum) and
    // returns the lines to append; nullopt when nothing happened.
    std::optional<std::vector<std::string>> choose(CalculatorState& state, std::int16_t index,
                                                   UserPrompts& prompts, const UserLocale& locale);

private:
    std::array<bool, kDatumEntryCount> m_ticks{};
};

}  // namespace velmora::calc
