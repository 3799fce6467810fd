#include "calculator/coordinate_text.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "calculator/number_text.h"
#include "calculator/text.h"

namespace velmora::calc {

namespace {

constexpr double kCarryAt = 60.0;  // seconds carry into minutes, minutes into degrees

constexpr std::string_view kDegree = kDegreeMark;
constexpr std::string_view kMinutes = kMinutesMark;
constexpr std::string_view kSeconds = kSecondsMark;

// The numbers of an angle as written, before any carry; the sign is the text's leading "-".
struct AngleParts {
    bool negative = false;
    double degrees = 0.0;
    double minutes = 0.0;
    double seconds = 0.0;
};

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

// The parts of any text; nullopt where the conversion hands the text back unchanged (empty,
// "0", or while Loading).
std::optional<AngleParts> splitAnyText(const CalculatorState& state, std::string_view text) {
    std::string work(text);
    replaceAll(work, state.DisplaySeparator, state.ConversionSeparator);
    work = std::string(TrimBlanks(work));
    if (work.empty() || work == "0" || state.Loading) return std::nullopt;

    const std::string_view separator = state.ConversionSeparator;
    AngleParts parts;
    parts.negative = work.front() == '-';
    if (parts.negative) work = std::string(TrimBlanks(std::string_view(work).substr(1)));

    const bool hasMark = work.find(kDegree) != std::string::npos ||
                         work.find(kMinutes) != std::string::npos ||
                         work.find(kSeconds) != std::string::npos;
    if (!hasMark) {
        parts.degrees = partValue(work, separator);
        return parts;
    }
    if (work.find(kDegree) != std::string::npos) parts.degrees = takePart(work, kDegree, separator);
    if (work.find(kMinutes) != std::string::npos)
        parts.minutes = takePart(work, kMinutes, separator);
    if (work.find(kSeconds) != std::string::npos) DropLastCharacter(work);
    // Without a closing mark, a trailing number counts as seconds: 45°30 is 45° 0' 30".
    parts.seconds = partValue(work, separator);
    return parts;
}

// Largest integer of digits read without rounding: a double holds every integer up to 2^53.
constexpr std::uint64_t kExactIntegerLimit = std::uint64_t{1} << 53;
// Every power of ten a double holds exactly, 10^0 to 10^22.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr std::size_t kExactPowerLimit = 22;

// One number of a stored coordinate as Enter leaves it, at the front of text: digits with at
// most one "." or ",", at least one digit. Gives its value exactly as the conversion reads it
// (an integer of at most 2^53 over an exact power of ten is one correctly rounded division,
// as from_chars rounds) and its length; false for anything else.
bool readPlainPart(std::string_view text, double& value, std::size_t& length) {
    constexpr std::size_t kMostDigits = 19;  // 10^19 - 1 still fits in 64 bits
    std::uint64_t integer = 0;
    std::size_t i = 0;
    const auto readDigits = [&] {
        const std::size_t from = i;
        for (; i < text.size() && IsDigit(text[i]); ++i)
            integer = integer * 10 + static_cast<std::uint64_t>(text[i] - '0');
        return i - from;
    };
    const std::size_t integerDigits = readDigits();
    std::size_t decimals = 0;
    if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
        ++i;
        decimals = readDigits();
    }
    const std::size_t digits = integerDigits + decimals;
    if (digits == 0 || digits > kMostDigits || decimals > kExactPowerLimit ||
        integer > kExactIntegerLimit)
        return false;
    value = static_cast<double>(integer);
    if (decimals > 0) value /= kExactPowersOfTen[decimals];
    length = i;
    return true;
}

// The parts of the texts Enter stores, as splitAnyText would find them: "-" once in front,
// then number and degree mark, number and minutes mark, number and an optional seconds mark,
// each part optional but in that order, and nothing else; with the separators "." and ","
// that DetectDecimalSeparator sets. False for any other text.
bool splitStoredText(const CalculatorState& state, std::string_view text, AngleParts& parts) {
    if (state.Loading || state.DisplaySeparator != "." || state.ConversionSeparator != ",")
        return false;
    parts = AngleParts{};
    if (text.starts_with('-')) {
        parts.negative = true;
        text.remove_prefix(1);
    }
    bool any = false;
    double value = 0.0;
    std::size_t length = 0;
    if (text.empty()) return false;
    if (readPlainPart(text, value, length) && text.substr(length).starts_with(kDegree)) {
        parts.degrees = value;
        text.remove_prefix(length + kDegree.size());
        any = true;
    }
    if (!text.empty() && readPlainPart(text, value, length) &&
        text.substr(length).starts_with(kMinutes)) {
        parts.minutes = value;
        text.remove_prefix(length + kMinutes.size());
        any = true;
    }
    if (!text.empty()) {
        if (!readPlainPart(text, value, length)) return false;
        text.remove_prefix(length);
        if (!any && text.empty()) {
            parts.degrees = value;  // a bare number is degrees
            return true;
        }
        if (text.starts_with(kSeconds)) text.remove_prefix(kSeconds.size());
        parts.seconds = value;
        any = true;
    }
    return any && text.empty();
}

std::optional<AngleParts> splitText(const CalculatorState& state, std::string_view text) {
    AngleParts parts;
    if (splitStoredText(state, text, parts)) return parts;
    return splitAnyText(state, text);
}

double decimalDegrees(const AngleParts& p) {
    return p.degrees + p.minutes / kMinutesPerDegree + p.seconds / kSecondsPerDegree;
}

// An angle beyond the double range has no writing.
bool overflows(const AngleParts& p) {
    return !std::isfinite(decimalDegrees(p)) || !std::isfinite(p.minutes) ||
           !std::isfinite(p.seconds);
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

std::string degText(const AngleParts& p) {
    std::string out = NumberText(decimalDegrees(p));
    out += kDegree;
    return out;
}

bool bringsItsOwnSign(std::string_view text) { return TrimBlanks(text).starts_with('-'); }

}  // namespace

std::optional<std::string> ConvertCoordinateText(const CalculatorState& state,
                                                 std::string_view text) {
    return ConvertCoordinateText(state, text, state.CoordFormat);
}

std::optional<std::string> ConvertCoordinateText(const CalculatorState& state,
                                                 std::string_view text, std::int16_t format) {
    const std::optional<AngleParts> parts = splitAnyText(state, text);
    // Handed back as it is; also with no format chosen yet: nothing to write the angle in.
    if (!parts || (format != kDegMinSec && format != kDegMin && format != kDeg))
        return std::string(text);
    if (overflows(*parts)) return std::nullopt;
    const AngleParts& p = *parts;
    std::string out;
    switch (format) {
    case kDegMinSec: out = degMinSecText(p.degrees, p.minutes, p.seconds); break;
    case kDegMin: out = degMinText(p.degrees, p.minutes, p.seconds); break;
    default: out = degText(p); break;
    }
    if (p.negative && decimalDegrees(p) != 0.0) out.insert(0, "-");
    return out;
}

std::string DecimalDegreesText(const CalculatorState& state, std::string_view text) {
    const std::optional<std::string> degrees = ConvertCoordinateText(state, text, kDeg);
    // Read back, the overflow text overflows again: the fault reaches whoever computes.
    if (!degrees) return NumberText(bringsItsOwnSign(text) ? -HUGE_VAL : HUGE_VAL);
    std::string out = *degrees;
    DropLastCharacter(out);
    return out;
}

// Mirrors DecimalDegreesText and the reading of its text step by step: the unchanged text
// less its last character; the overflow text; NumberText(value) behind the sign, where
// "-" in front of a negative value ("--.5") reads as no number, 0.
double CoordinateDegrees(const CalculatorState& state, std::string_view text) {
    const std::optional<AngleParts> parts = splitText(state, text);
    if (!parts) {
        std::string unchanged(text);
        DropLastCharacter(unchanged);
        return ReadLeadingNumber(unchanged);
    }
    const double value = decimalDegrees(*parts);
    if (!std::isfinite(value) || !std::isfinite(parts->minutes) || !std::isfinite(parts->seconds)) {
        constexpr double kInfinity = std::numeric_limits<double>::infinity();
        return bringsItsOwnSign(text) ? -kInfinity : kInfinity;
    }
    if (parts->negative && value != 0.0) return value < 0.0 ? 0.0 : -AtFifteenDigits(value);
    return AtFifteenDigits(value);
}

bool CoordinateInRange(const CalculatorState& state, std::string_view text, bool isLatitude) {
    // The hemisphere gives the sign; a text that brings its own is no coordinate, "-0" and a
    // sign left alone by Back included.
    if (bringsItsOwnSign(text)) return false;
    const double value = CoordinateDegrees(state, text);
    const double limit = isLatitude ? kLatitudeLimitDeg : kLongitudeLimitDeg;
    return value >= 0.0 && value <= limit;
}

}  // namespace velmora::calc
