#pragma once

#include "calculator/state.h"
#include "ui/map_scene.h"

namespace velmora::ui {

// The map's snapshot of the calculator: the points as their fields are stored (a field still
// "0" from the start or Reset A and B, or holding a refused entry, is not stored), the datum,
// the exact-solution and midpoint ticks and whether a result is shown. The one place the map
// reads the calculator.
MapInput MapInputFromState(const calc::CalculatorState& state, bool exactNearAntipodes,
                           bool showMidpoint);

}  // namespace velmora::ui
