#include "calculator/datum_choice.h"

#include "app_info.h"

namespace velmora::calc {

bool DatumChoice::isTicked(int index) const {
    return index >= 0 && index < kDatumEntryCount && m_ticks[static_cast<std::size_t>(index)];
}

std::optional<std::vector<std::string>> DatumChoice::choose(CalculatorState& state,
                                                            std::int16_t index,
                                                            UserPrompts& prompts,
                                                            const UserLocale& locale) {
    // Separators cannot be chosen from a menu; neither can an entry that does not exist.
    if (index < 0 || index >= kDatumEntryCount || IsDatumSeparator(index)) return std::nullopt;

    std::vector<std::string> lines;
    std::string prefix;
    std::string datumText;
    if (index != kOtherEntry) {
        if (m_ticks[static_cast<std::size_t>(index)]) return std::nullopt;
        datumText = ": " + std::string(DatumCaption(index));
    } else {
        const bool defined = CustomDatumDialog(state, prompts, locale, app::kProductName);
        if (state.DatumDialogCancelled) return std::nullopt;
        if (defined) {
            const CustomDatumValues& custom = state.CustomDatum;
            lines.push_back("Custom Datum Definition:");
            lines.push_back("  - Semi-major axis: " + NumberText(custom.semiMajorMetres) + " [m]");
            lines.push_back("  - Semi-minor axis: " + NumberText(custom.semiMinorMetres) + " [m]");
            lines.push_back("  - Inverse flattening: " + NumberText(custom.inverseFlattening));
            datumText = " adopted";
            prefix = "Custom ";
        } else {
            lines.push_back("Uncorrect custom datum");
            index = kWgs84Entry;
            datumText = ": " + std::string(DatumCaption(index));
            prefix = "Substitutive ";
        }
    }

    for (std::size_t entry = 0; entry < m_ticks.size(); ++entry)
        m_ticks[entry] = static_cast<int>(entry) == index;
    ApplyDatum(state, index);
    lines.push_back(prefix + "Datum" + datumText);
    return lines;
}

}  // namespace velmora::calc
