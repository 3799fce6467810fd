#include "calculator/datum_menu.h"

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

}  // namespace velmora::calc
