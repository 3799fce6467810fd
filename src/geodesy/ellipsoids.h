#pragma once

#include <cstdint>
#include <string_view>

#include "calculator/state.h"

// The datum menu's entries and their ellipsoids, keyed by menu index.
namespace velmora::geodesy {

inline constexpr int kDatumEntryCount = 19;
inline constexpr std::int16_t kSphereEntry = 0;
inline constexpr std::int16_t kWgs84Entry = 16;
inline constexpr std::int16_t kOtherEntry = 18;

// Caption of menu entry index ("-" for the separators 1 and 17); empty outside 0..18.
std::string_view DatumCaption(int index);

// True for the two separator entries.
bool IsDatumSeparator(int index);

// Installs the parameters of menu entry index: 0 switches SphereMode on and keeps a, b, f;
// 2..16 set a, b and f from the table; 18 takes them from state.CustomDatum; anything else
// only switches SphereMode off.
void ApplyDatum(calc::CalculatorState& state, std::int16_t index);

}  // namespace velmora::geodesy
