#pragma once

#include <cstdint>
#include <string_view>

#include "calculator/state.h"
#include "geodesy/ellipsoids.h"

// The datum menu: "Sphere", a separator, every named ellipsoid in table order, a separator and
// "Other..." for the user's own ellipsoid. Entries are addressed by menu index.
namespace velmora::calc {

inline constexpr std::int16_t kSphereEntry = 0;
inline constexpr std::int16_t kFirstEllipsoidEntry = 2;
inline constexpr int kDatumEntryCount =
    kFirstEllipsoidEntry + static_cast<int>(geodesy::kNamedEllipsoids.size()) + 2;
inline constexpr std::int16_t kOtherEntry = kDatumEntryCount - 1;
inline constexpr std::int16_t kWgs84Entry = kFirstEllipsoidEntry + geodesy::kWgs84;

// Caption of menu entry index ("-" for the separators); empty outside the menu.
std::string_view DatumCaption(int index);

// True for the two separator entries.
bool IsDatumSeparator(int index);

// Installs the parameters of menu entry index: kSphereEntry switches SphereMode on and keeps
// a, b, f; an ellipsoid entry sets a, b and f from the table; kOtherEntry takes them from
// state.CustomDatum; anything else only switches SphereMode off.
void ApplyDatum(CalculatorState& state, std::int16_t index);

}  // namespace velmora::calc
