#include "calculator/coordinate_text.h"

#include <cmath>
#include <optional>
#include <stdexcept>

#include "calculator/number_text.h"
#include "calculator/text.h"

namespace velmora::calc {

namespace {

constexpr double kMinutesPerDegree = 60.0;
constexpr double kSecondsPerMinute = 60.0;
constexpr double kCarryAt = 60.0;  // seconds carry into minutes, minutes into degrees
constexpr double kSecondsPerDegree = 3600.0;
constexpr double kLatitudeLimitDeg = 90.0;    // inclusive
constexpr double kLongitudeLimitDeg = 180.0;  // inclusive

constexpr std::string_view kDegree = kDegreeMark;
constexpr std::string_view kMinutes = kMinutesMark;
constexpr std::string_view kSeconds = kSecondsMark;

// A number part: an overflow stays infinite (a fault for the distance routines); a part that
// is no number counts as 0.
double partValue(std::string_view text, std::string_view separator) {
    return ConvertNumberAllowingOverflow(text, separator).value_or(0.0);
}

// Takes the part up to and including the first mark off the work text: returns its number
// and removes every occurrence of that part, then trims.
double takePart(std::string& work, std::string_view mark, std::string_view separator) {
    std::size_t at = work.find(mark);
    std::string part = work.substr(0, at + mark.size());
    double value = partValue(std::string_view(part).substr(0, at), separator);
    replaceAll(work, part, "");
    work = std::string(TrimBlanks(work));
    return value;
}

// The carries "while value >= 60: value - 60 and next + 1", done in one step. For values
// below 2^53 every one of those subtractions is exact, so the remainder and the count below
// are what the loop would give; for larger or infinite values the loop would never end.
void carrySixty(double& value, double& next) {
    if (!(value >= kCarryAt) || !std::isfinite(value)) return;
    double remainder = std::fmod(value, kCarryAt);
    next += (value - remainder) / kCarryAt;
    value = remainder;
}

std::string degMinSecText(double d, double m, double s) {
    double deg = std::floor(d);
    double min = (d - deg) * kMinutesPerDegree + m;
    double wholeMin = std::floor(min);
    double sec = (min - wholeMin) * kSecondsPerMinute + s;
    carrySixty(sec, wholeMin);
    carrySixty(wholeMin, deg);
    std::string out = NumberText(deg);
    out += kDegree;
    out += NumberText(wholeMin);
    out += kMinutes;
    out += NumberText(sec);
    out += kSeconds;
    return out;
}

std::string degMinText(double d, double m, double s) {
    double deg = std::floor(d);
    double min = (d - deg) * kMinutesPerDegree + m;
    double fraction = s / kSecondsPerMinute;
    // The carry is tested before the seconds are added, so the minutes may end at 60 or more.
    carrySixty(min, deg);
    std::string out = NumberText(deg);
    out += kDegree;
    out += NumberText(min + fraction);
    out += kMinutes;
    return out;
}

std::string degText(double d, double m, double s) {
    std::string out = NumberText(d + m / kMinutesPerDegree + s / kSecondsPerDegree);
    out += kDegree;
    return out;
}

}  // namespace

std::string ConvertCoordinateText(const CalculatorState& state, std::string_view text) {
    return ConvertCoordinateText(state, text, state.CoordFormat);
}

std::string ConvertCoordinateText(const CalculatorState& state, std::string_view text,
                                  std::int16_t format) {
    std::string work(text);
    replaceAll(work, state.DisplaySeparator, state.ConversionSeparator);
    work = std::string(TrimBlanks(work));
    if (work.empty() || work == "0" || state.Loading) return std::string(text);
    // No format chosen yet: nothing to write the angle in.
    if (format != kDegMinSec && format != kDegMin && format != kDeg) return std::string(text);

    const std::string_view separator = state.ConversionSeparator;
    const bool negative = work.front() == '-';
    if (negative) work = std::string(TrimBlanks(std::string_view(work).substr(1)));

    double d = 0.0;
    double m = 0.0;
    double s = 0.0;
    const bool hasMark = work.find(kDegree) != std::string::npos ||
                         work.find(kMinutes) != std::string::npos ||
                         work.find(kSeconds) != std::string::npos;
    if (!hasMark) {
        d = partValue(work, separator);
    } else {
        if (work.find(kDegree) != std::string::npos) d = takePart(work, kDegree, separator);
        if (work.find(kMinutes) != std::string::npos) m = takePart(work, kMinutes, separator);
        if (work.find(kSeconds) != std::string::npos) DropLastCharacter(work);
        // Without a closing mark, a trailing number counts as seconds: 45°30 is 45° 0' 30".
        s = partValue(work, separator);
    }

    // An angle beyond the double range has no writing: the conversion is a failed step.
    if (!std::isfinite(d + m / kMinutesPerDegree + s / kSecondsPerDegree) || !std::isfinite(m) ||
        !std::isfinite(s)) {
        throw std::overflow_error("coordinate beyond the number range");
    }
    std::string out;
    switch (format) {
    case kDegMinSec: out = degMinSecText(d, m, s); break;
    case kDegMin: out = degMinText(d, m, s); break;
    default: out = degText(d, m, s); break;
    }
    if (negative && d + m / kMinutesPerDegree + s / kSecondsPerDegree != 0.0) {
        out.insert(0, "-");
    }
    return out;
}

std::string DecimalDegreesText(const CalculatorState& state, std::string_view text) {
    std::string degrees;
    try {
        degrees = ConvertCoordinateText(state, text, kDeg);
    } catch (const std::overflow_error&) {
        // Read back, the overflow text overflows again: the fault reaches whoever computes.
        const bool negative = TrimBlanks(text).starts_with('-');
        return NumberText(negative ? -HUGE_VAL : HUGE_VAL);
    }
    DropLastCharacter(degrees);
    return degrees;
}

bool CoordinateInRange(const CalculatorState& state, std::string_view text, bool isLatitude) {
    // The hemisphere gives the sign; a text that brings its own is no coordinate, "-0" and a
    // sign left alone by Back included.
    if (TrimBlanks(text).starts_with('-')) return false;
    const double value = ReadLeadingNumber(DecimalDegreesText(state, text));
    const double limit = isLatitude ? kLatitudeLimitDeg : kLongitudeLimitDeg;
    return value >= 0.0 && value <= limit;
}

}  // namespace velmora::calc
