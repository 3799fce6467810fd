// Coordinate text: every format, the range check of both axes, and the "-" that a south or
// west hemisphere puts in front of a stored coordinate.
#include <cmath>
#include <cstring>
#include <string>

#include "calculator/coordinate_text.h"
#include "calculator/number_text.h"
#include "fuzz_input.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input(data, size);
    calc::CalculatorState state;
    state.DisplaySeparator = ".";
    state.ConversionSeparator = ",";
    const std::uint8_t flags = input.byte();
    state.CoordFormat = static_cast<std::int16_t>(flags % 4 == 3 ? calc::kNone : flags % 4);
    const std::string text = input.rest();

    // Text returned as it came is not written by the conversion; an overflow fails it.
    const auto checkConverted = [&text](const std::string& converted) {
        fuzz::check(converted == text || !fuzz::hasNonFiniteWord(converted),
                    "a converted coordinate names a non-finite number", converted);
    };
    for (const std::int16_t format :
         {calc::kDegMinSec, calc::kDegMin, calc::kDeg, state.CoordFormat}) {
        if (const auto converted = calc::ConvertCoordinateText(state, text, format))
            checkConverted(*converted);
    }
    const std::string degrees = calc::DecimalDegreesText(state, text);
    // The one reading of a stored coordinate is the reading of its decimal-degree text.
    const double read = calc::CoordinateDegrees(state, text);
    const double viaText = calc::ReadLeadingNumber(degrees);
    fuzz::check(std::memcmp(&read, &viaText, sizeof read) == 0,
                "a coordinate read otherwise than its text", text);
    fuzz::check(degrees == text.substr(0, degrees.size()) || !fuzz::hasNonFiniteWord(degrees),
                "decimal degrees name a non-finite number", degrees);

    for (const bool latitude : {true, false}) {
        if (!calc::CoordinateInRange(state, text, latitude)) continue;
        const double limit = latitude ? 90.0 : 180.0;
        const double value = calc::ReadLeadingNumber(degrees);
        fuzz::check(value >= 0.0 && value <= limit, "a coordinate out of range passed the check",
                    text);
        // Stored for the south or west: the same angle, negative. (A "-" of its own never
        // reaches a stored coordinate: it is out of range, as checked above.)
        if (text.find('-') != std::string::npos) continue;
        const double stored = calc::ReadLeadingNumber(calc::DecimalDegreesText(state, "-" + text));
        fuzz::check(stored == -value, "the hemisphere sign changes the angle", text);
    }
    return 0;
}
