#include "calculator/angle_text.h"

#include <cmath>
#include <string_view>

#include "calculator/state.h"

namespace velmora::calc {

namespace {

constexpr std::int64_t kSixty = 60;
constexpr std::int64_t kFullTurnDeg = 360;

// Decimals of the last part: typed entries keep about 1e-10 degree (far below a millimetre),
// azimuths show about 2e-6 degree.
constexpr int kTypedDecimals[3] = {6, 8, 10};  // by format: deg/min/sec, deg/min, deg
constexpr int kAzimuthDecimals[3] = {2, 4, 6};

// An angle split into whole degrees, whole minutes, whole seconds (as the format has them) and
// the decimals of the last part as an integer count of 10^-decimals. All parts come from one
// rounded integer, so 59.9999999" carries into the minutes instead of showing 60".
struct Parts {
    std::int64_t degrees = 0;
    std::int64_t minutes = 0;
    std::int64_t seconds = 0;
    std::int64_t fraction = 0;
};

std::int64_t powerOfTen(int decimals) {
    std::int64_t power = 1;
    for (int i = 0; i < decimals; ++i) power *= 10;
    return power;
}

// At most 360 degrees in units of 1e-6 second or 1e-10 degree: below 4e12, exact in a double.
Parts split(double degrees, std::int16_t format, int decimals) {
    const std::int64_t unit = powerOfTen(decimals);
    std::int64_t lastPartsPerDegree = 1;
    if (format == kDegMin) lastPartsPerDegree = kSixty;
    if (format == kDegMinSec) lastPartsPerDegree = kSixty * kSixty;
    std::int64_t units = std::llround(degrees * static_cast<double>(lastPartsPerDegree * unit));
    Parts parts;
    parts.fraction = units % unit;
    units /= unit;
    if (format == kDegMinSec) {
        parts.seconds = units % kSixty;
        units /= kSixty;
    }
    if (format != kDeg) {
        parts.minutes = units % kSixty;
        units /= kSixty;
    }
    parts.degrees = units;
    return parts;
}

// "whole" or "whole.decimals", the decimals zero-padded to their count; trailing zeros and
// then a bare point dropped when trimmed.
std::string partText(std::int64_t whole, std::int64_t fraction, int decimals, bool trimmed) {
    std::string text = std::to_string(whole);
    if (decimals == 0) return text;
    std::string digits = std::to_string(fraction);
    digits.insert(0, static_cast<std::size_t>(decimals) - digits.size(), '0');
    if (trimmed) {
        while (!digits.empty() && digits.back() == '0') digits.pop_back();
        if (digits.empty()) return text;
    }
    return text + "." + digits;
}

int formatSlot(std::int16_t format) { return format == kDegMin ? 1 : (format == kDeg ? 2 : 0); }

// The parts with their marks; gap goes behind the degree and minutes marks.
std::string angleText(const Parts& parts, std::int16_t format, int decimals, bool trimmed,
                      std::string_view gap) {
    std::string text;
    if (format == kDeg) {
        text = partText(parts.degrees, parts.fraction, decimals, trimmed);
        return text + kDegreeMark;
    }
    text = std::to_string(parts.degrees) + kDegreeMark;
    text += gap;
    if (format == kDegMin) {
        return text + partText(parts.minutes, parts.fraction, decimals, trimmed) + kMinutesMark;
    }
    text += std::to_string(parts.minutes) + kMinutesMark;
    text += gap;
    return text + partText(parts.seconds, parts.fraction, decimals, trimmed) + kSecondsMark;
}

}  // namespace

std::string TypedAngleText(double degrees, std::int16_t format) {
    if (format != kDeg && format != kDegMin) format = kDegMinSec;
    const int decimals = kTypedDecimals[formatSlot(format)];
    return angleText(split(std::fabs(degrees), format, decimals), format, decimals, true, "");
}

std::string AzimuthText(double degrees, std::int16_t format) {
    if (format != kDeg && format != kDegMin) format = kDegMinSec;
    const int decimals = kAzimuthDecimals[formatSlot(format)];
    double turn = std::fmod(degrees, static_cast<double>(kFullTurnDeg));
    if (turn < 0.0) turn += static_cast<double>(kFullTurnDeg);
    Parts parts = split(turn, format, decimals);
    parts.degrees %= kFullTurnDeg;  // 359.9999999 rounds up to a full turn: north again
    return angleText(parts, format, decimals, false, " ");
}

}  // namespace velmora::calc
