#include "calculator/calculator.h"
#include "calculator/keys.h"
#include "geodesy/custom_datum.h"
#include "geodesy/ellipsoids.h"

namespace velmora::calc {

void Calculator::MenuDatum_Click(std::int16_t index) {
    runIgnoringFailure([&] { chooseDatum(index); });
}

void Calculator::chooseDatum(std::int16_t index) {
    // Separators cannot be chosen from a menu; neither can an entry that does not exist.
    if (index < 0 || index >= geodesy::kDatumEntryCount || geodesy::IsDatumSeparator(index))
        return;

    std::string prefix;
    std::string datumText;
    if (index != geodesy::kOtherEntry) {
        if (m_datumTicks[index]) return;
        datumText = ": " + std::string(geodesy::DatumCaption(index));
    } else {
        bool defined = false;
        try {
            defined = geodesy::CustomDatumDialog(m_state, m_prompts, m_locale, kMainWindowCaption);
        } catch (...) {
            defined = false;
        }
        if (m_state.DatumDialogCancelled) return;
        if (defined) {
            const CustomDatumValues& custom = m_state.CustomDatum;
            runIgnoringFailure([&] {
                appendHistory("Custom Datum Definition:");
                appendHistory("  - Semi-major axis: " + NumberText(custom.semiMajorMetres) +
                              " [m]");
                appendHistory("  - Semi-minor axis: " + NumberText(custom.semiMinorMetres) +
                              " [m]");
                appendHistory("  - Inverse flattening: " + NumberText(custom.inverseFlattening));
            });
            datumText = " adopted";
            prefix = "Custom ";
        } else {
            runIgnoringFailure([&] { appendHistory("Uncorrect custom datum"); });
            index = geodesy::kWgs84Entry;
            datumText = ": " + std::string(geodesy::DatumCaption(index));
            prefix = "Substitutive ";
        }
    }

    for (std::size_t entry = 0; entry < m_datumTicks.size(); ++entry)
        m_datumTicks[entry] = static_cast<int>(entry) == index;
    geodesy::ApplyDatum(m_state, index);
    runIgnoringFailure([&] { appendHistory(prefix + "Datum" + datumText); });
    runIgnoringFailure([&] { selectLastHistoryLine(); });
    // A distance on the display is computed again on the new ellipsoid.
    if (m_state.ResultShown) Lab_Num_Click(kKeyCalculate);
    runIgnoringFailure([&] { m_view.refresh(); });
}

}  // namespace velmora::calc
