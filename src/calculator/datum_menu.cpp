#include "calculator/datum_menu.h"

#include "app_info.h"
#include "calculator/calculator.h"
#include "calculator/custom_datum.h"
#include "calculator/keys.h"

namespace velmora::calc {

namespace {

constexpr std::string_view kSphereCaption = "Sphere";
constexpr std::string_view kSeparatorCaption = "-";
constexpr std::string_view kOtherCaption = "Other...";
constexpr int kSecondSeparator = kOtherEntry - 1;

bool inMenu(int index) { return index >= 0 && index < kDatumEntryCount; }

// The named ellipsoid of a menu entry, or null for the entries that are none.
const geodesy::NamedEllipsoid* ellipsoidOf(int index) {
    if (index < kFirstEllipsoidEntry || index >= kSecondSeparator) return nullptr;
    return &geodesy::kNamedEllipsoids[static_cast<std::size_t>(index - kFirstEllipsoidEntry)];
}

}  // namespace

std::string_view DatumCaption(int index) {
    if (!inMenu(index)) return {};
    if (index == kSphereEntry) return kSphereCaption;
    if (index == kOtherEntry) return kOtherCaption;
    if (IsDatumSeparator(index)) return kSeparatorCaption;
    return ellipsoidOf(index)->name;
}

bool IsDatumSeparator(int index) {
    return index == kFirstEllipsoidEntry - 1 || index == kSecondSeparator;
}

void ApplyDatum(CalculatorState& state, std::int16_t index) {
    state.SphereMode = false;
    if (index == kSphereEntry) {
        state.SphereMode = true;  // a, b and f of the previous datum stay in place
        return;
    }
    if (index == kOtherEntry) {
        state.Datum.semiMajorMetres = state.CustomDatum.semiMajorMetres;
        state.Datum.semiMinorMetres = state.CustomDatum.semiMinorMetres;
        state.Datum.flattening = 1.0 / state.CustomDatum.inverseFlattening;
        return;
    }
    if (const geodesy::NamedEllipsoid* row = ellipsoidOf(index)) state.Datum = row->ellipsoid();
}

void Calculator::MenuDatum_Click(std::int16_t index) {
    runIgnoringFailure([&] { chooseDatum(index); });
}

void Calculator::chooseDatum(std::int16_t index) {
    // Separators cannot be chosen from a menu; neither can an entry that does not exist.
    if (index < 0 || index >= kDatumEntryCount || IsDatumSeparator(index))
        return;

    std::string prefix;
    std::string datumText;
    if (index != kOtherEntry) {
        if (m_datumTicks[index]) return;
        datumText = ": " + std::string(DatumCaption(index));
    } else {
        bool defined = false;
        try {
            defined = CustomDatumDialog(m_state, m_prompts, m_locale, app::kProductName);
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
            index = kWgs84Entry;
            datumText = ": " + std::string(DatumCaption(index));
            prefix = "Substitutive ";
        }
    }

    for (std::size_t entry = 0; entry < m_datumTicks.size(); ++entry)
        m_datumTicks[entry] = static_cast<int>(entry) == index;
    ApplyDatum(m_state, index);
    runIgnoringFailure([&] { appendHistory(prefix + "Datum" + datumText); });
    runIgnoringFailure([&] { selectLastHistoryLine(); });
    // A distance on the display is computed again on the new ellipsoid.
    if (m_state.ResultShown) Lab_Num_Click(kKeyCalculate);
    runIgnoringFailure([&] { m_view.refresh(); });
}

}  // namespace velmora::calc
