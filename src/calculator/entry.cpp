#include "calculator/entry.h"

#include "calculator/keys.h"
#include "calculator/number_text.h"
#include "calculator/text.h"

namespace velmora::calc {

namespace {

// The mark that closes an entry in format: no digit may follow it. Empty for no format.
std::string_view closingMark(std::int16_t format) {
    switch (format) {
    case kDegMinSec: return kSecondsMark;
    case kDegMin: return kMinutesMark;
    case kDeg: return kDegreeMark;
    default: return {};
    }
}

}  // namespace

void TypeDigit(std::string& display, std::int16_t format, std::string_view digit) {
    if (display == "0" || display == "Error") display.clear();
    const std::string_view closing = closingMark(format);
    if (!closing.empty() && Contains(display, closing)) return;
    display += digit;
}

void TypeDecimalPoint(std::string& display, std::int16_t format) {
    if (format == kDegMinSec && !Contains(display, kMinutesMark)) return;
    if (format == kDegMin && !Contains(display, kDegreeMark)) return;
    if (Contains(display, ".")) return;
    display += '.';
}

void TypeMark(std::string& display, std::string_view mark) {
    if (!Contains(display, mark)) display += mark;
}

void DeleteLastCharacter(std::string& display) {
    std::string text = " " + display;
    DropLastCharacter(text);
    text = TrimBlanks(text);
    display = text.empty() ? "0" : text;
}

std::string FailureLine(std::string_view display, std::string_view separator,
                        std::string_view caption) {
    if (separator.empty()) separator = ".";
    if (ConvertNumber(display, separator).has_value()) return std::string(display) + ": Error";
    return std::string(caption) + ": Error";
}

std::pair<std::int16_t, std::size_t> KeyAtFront(std::string_view text) {
    const std::string_view degree = kDegreeMark;
    if (text.starts_with(degree)) return {kKeyDegrees, degree.size()};
    switch (text.front()) {
    case '\'': return {kKeyMinutes, 1};
    case '"': return {kKeySeconds, 1};
    case '.': return {kKeyDecimalPoint, 1};
    default: return {static_cast<std::int16_t>(text.front() - '0'), 1};
    }
}

}  // namespace velmora::calc
