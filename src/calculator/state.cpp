#include "calculator/state.h"

namespace velmora::calc {

void ResetCoordinates(CalculatorState& state) {
    for (std::string& text : state.CoordText) text = "0";
}

}  // namespace velmora::calc
