#include "calculator/number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <system_error>
#include <utility>

#include "calculator/text.h"

namespace velmora::calc {

namespace {

constexpr int kSignificantDigits = 15;  // digits of the program's number text
// Decimal exponents written as plain digits: 1E-05 and 1E+15 are the first that are not.
constexpr int kPlainExponentLow = -5;
constexpr int kPlainExponentHigh = 15;
constexpr int kFixedSixDecimals = 6;  // "######0.000000"
constexpr int kPasteDecimals = 5;     // "############0.0####"
// Written for an overflowed value: a number text beyond the double range, so that reading it
// back overflows again and the fault reaches whoever computes with it.
constexpr std::string_view kOverflowText = "1E+309";

// Large enough for any double in fixed notation with a few decimals (309 integer digits).
using CharBuffer = std::array<char, 512>;

std::size_t digitRunLength(std::string_view text, std::size_t from) {
    std::size_t i = from;
    while (i < text.size() && IsDigit(text[i])) ++i;
    return i - from;
}

// Length of the longest prefix of text of the form digits [point digits] [exponent], with at
// least one digit before the exponent; 0 when there is none. No sign.
std::size_t unsignedNumberLength(std::string_view text, std::string_view decimalSeparator) {
    const DecimalScan scan = ScanDecimal(text, decimalSeparator);
    if (scan.digits == 0) return 0;
    std::size_t i = scan.length;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        const std::size_t exponentDigits = digitRunLength(text, j);
        if (exponentDigits > 0) i = j + exponentDigits;
    }
    return i;
}

// Decimal exponent of the first significant digit of an unsigned number written with "." as
// point; used only to tell an overflow from an underflow. Saturates far outside the double
// range, so huge exponent texts cannot overflow it.
long decimalExponentOf(std::string_view number) {
    constexpr long kSaturation = 100'000;  // decimal exponent; far beyond 1E+308 and 1E-324
    long exponent = 0;
    bool exponentNegative = false;
    std::size_t ePos = number.find_first_of("Ee");
    if (ePos != std::string_view::npos) {
        std::size_t j = ePos + 1;
        if (j < number.size() && (number[j] == '+' || number[j] == '-')) {
            exponentNegative = number[j] == '-';
            ++j;
        }
        for (; j < number.size(); ++j) {
            exponent = exponent * 10 + (number[j] - '0');
            if (exponent > kSaturation) exponent = kSaturation;
        }
        if (exponentNegative) exponent = -exponent;
        number = number.substr(0, ePos);
    }
    std::size_t point = number.find('.');
    std::size_t integerDigits = point == std::string_view::npos ? number.size() : point;
    // Position of the first non-zero digit relative to the point.
    long position = 0;
    bool found = false;
    for (std::size_t i = 0; i < number.size(); ++i) {
        if (number[i] == '.' || number[i] == '0') continue;
        long index = static_cast<long>(i);
        position = i < integerDigits ? static_cast<long>(integerDigits) - index - 1
                                     : static_cast<long>(integerDigits) - index;
        found = true;
        break;
    }
    if (!found) return -kSaturation;
    return position + exponent;
}

// Parses an unsigned number already matched by unsignedNumberLength, with "." as point.
// A value beyond the double range gives infinity, one below it gives 0.
double parseUnsigned(std::string_view number) {
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value,
                                     std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        return decimalExponentOf(number) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return value;
}

// Reads sign and unsigned number at the start of text. Returns the characters used (0 when
// no number) and the value.
std::size_t readSignedNumber(std::string_view text, std::string_view decimalSeparator,
                             double& value) {
    std::size_t i = 0;
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        i = 1;
    }
    std::size_t length = unsignedNumberLength(text.substr(i), decimalSeparator);
    if (length == 0) return 0;
    std::string_view number = text.substr(i, length);
    if (decimalSeparator == ".") {
        value = parseUnsigned(number);
    } else {
        std::string normalised(number);
        std::size_t at = normalised.find(decimalSeparator);
        if (at != std::string::npos) normalised.replace(at, decimalSeparator.size(), ".");
        value = parseUnsigned(normalised);
    }
    if (negative) value = -value;
    return i + length;
}

// Plain or exponent writing of a finite, non-zero magnitude from its significant digits
// (no trailing zeros) and the decimal exponent of the first one.
std::string placeDigits(std::string_view digits, int exponent, bool exponentAllowed) {
    std::string out;
    if (exponentAllowed && (exponent >= kPlainExponentHigh || exponent <= kPlainExponentLow)) {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out += digits.substr(1);
        }
        out += 'E';
        out += exponent < 0 ? '-' : '+';
        int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude < 10) out += '0';
        out += std::to_string(magnitude);
        return out;
    }
    if (exponent < 0) {
        out += '.';
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
        return out;
    }
    const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integerDigits) {
        out += digits;
        out.append(integerDigits - digits.size(), '0');
    } else {
        out += digits.substr(0, integerDigits);
        out += '.';
        out += digits.substr(integerDigits);
    }
    return out;
}

// True when |value| lies exactly halfway between two multiples of 10^-decimals. Such a
// double is an odd multiple of 2^-(decimals + 1); no other double can be a tie.
bool isDecimalTie(double value, int decimals) {
    constexpr double kAllEvenFrom = 0x1p53;  // every double of this magnitude is an even integer
    double scaled = std::ldexp(value, decimals + 1);
    if (!std::isfinite(scaled) || std::fabs(scaled) >= kAllEvenFrom) return false;
    return std::fabs(std::fmod(scaled, 2.0)) == 1.0;
}

// Adds one unit in the last place to a string of decimal digits and a point.
void incrementLastDigit(std::string& digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] == '.') continue;
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
}

// |value| with exactly `decimals` decimals and "." as point, rounded half away from zero
// from the exact binary value.
std::string fixedMagnitude(double magnitude, int decimals) {
    CharBuffer buffer{};
    if (isDecimalTie(magnitude, decimals)) {
        // The tie is exact at decimals + 1 places; cut the final 5 and round up.
        auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                       std::chars_format::fixed, decimals + 1);
        std::string text(buffer.data(), end);
        text.pop_back();
        incrementLastDigit(text);
        return text;
    }
    auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                   std::chars_format::fixed, decimals);
    return std::string(buffer.data(), end);
}

std::string significantDigitsText(double value, bool exponentAllowed);

// Decimal exponent of the first of the 15 significant digits of a finite, non-zero magnitude.
int decimalExponent(double magnitude) {
    CharBuffer buffer{};
    auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                   std::chars_format::scientific, kSignificantDigits - 1);
    const std::string_view written(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
    std::string_view exponentText = written.substr(written.find('e') + 1);
    if (exponentText.front() == '+') exponentText.remove_prefix(1);
    int exponent = 0;
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
    return exponent;
}

// |value| with exactly `decimals` decimals, at most 15 of its digits significant: beyond
// them a double's digits were never typed or computed, so zeros stand there.
std::string fixedMagnitudeAtFifteenDigits(double magnitude, int decimals) {
    if (magnitude == 0.0 || decimalExponent(magnitude) + 1 + decimals <= kSignificantDigits) {
        return fixedMagnitude(magnitude, decimals);
    }
    std::string text = significantDigitsText(magnitude, false);
    std::size_t point = text.find('.');
    if (point == std::string::npos) {
        point = text.size();
        text += '.';
    }
    text.append(static_cast<std::size_t>(decimals) - (text.size() - point - 1), '0');
    if (decimals == 0) text.pop_back();
    return text;
}

// Fixed writing with sign and the caller's decimal mark. A negative value that rounds to
// zero loses its sign: "-0.000000" is not a distance anyone should see. A value that is not
// finite (an overflow) has no writing: the step that wanted one fails.
std::optional<std::string> fixedText(double value, int decimals, std::string_view decimalMark) {
    if (!std::isfinite(value)) return std::nullopt;
    std::string text = fixedMagnitudeAtFifteenDigits(std::fabs(value), decimals);
    bool allZero = text.find_first_not_of("0.") == std::string::npos;
    std::size_t point = text.find('.');
    if (point != std::string::npos) text.replace(point, 1, decimalMark);
    if (value < 0 && !allZero) text.insert(text.begin(), '-');
    return text;
}

}  // namespace

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    if (from.empty()) return;
    std::size_t at = text.find(from);
    if (at == std::string::npos) return;
    // Built anew rather than replaced in place, which would move the rest of the text once
    // for every occurrence.
    std::string out;
    out.reserve(text.size());
    std::size_t done = 0;
    for (; at != std::string::npos; at = text.find(from, done)) {
        out.append(text, done, at - done);
        out.append(to);
        done = at + from.size();
    }
    out.append(text, done, std::string::npos);
    text = std::move(out);
}

DecimalScan ScanDecimal(std::string_view text, std::string_view mark,
                        std::string_view markBetweenDigits) {
    DecimalScan scan;
    const std::size_t before = digitRunLength(text, 0);
    scan.length = before;
    scan.digits = before;
    const std::string_view rest = text.substr(before);
    std::size_t markLength = 0;
    bool needsDigitsOnBothSides = false;
    if (!mark.empty() && rest.starts_with(mark)) {
        markLength = mark.size();
    } else if (!markBetweenDigits.empty() && rest.starts_with(markBetweenDigits)) {
        markLength = markBetweenDigits.size();
        needsDigitsOnBothSides = true;
    }
    if (markLength == 0) return scan;
    const std::size_t after = digitRunLength(text, before + markLength);
    if (after == 0 && (needsDigitsOnBothSides || before == 0)) return scan;
    if (before == 0 && needsDigitsOnBothSides) return scan;
    scan.markAt = before;
    scan.length = before + markLength + after;
    scan.digits = before + after;
    return scan;
}

namespace {

// NumberText, or its digits placed positionally whatever the exponent.
std::string significantDigitsText(double value, bool exponentAllowed) {
    if (std::isnan(value)) return {};
    if (!exponentAllowed && !std::isfinite(value)) return {};
    if (std::isinf(value)) {
        return value < 0 ? "-" + std::string(kOverflowText) : std::string(kOverflowText);
    }
    if (value == 0.0) return "0";  // -0 as well

    CharBuffer buffer{};
    // d.dddddddddddddde±x: 15 significant digits, correctly rounded from the binary value.
    auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value),
                                   std::chars_format::scientific, kSignificantDigits - 1);
    std::string_view written(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
    std::size_t ePos = written.find('e');
    std::string digits;
    digits += written[0];
    if (ePos > 2) digits += written.substr(2, ePos - 2);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    int exponent = 0;
    std::string_view exponentText = written.substr(ePos + 1);
    if (exponentText.front() == '+') exponentText.remove_prefix(1);
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);

    std::string out = value < 0 ? "-" : "";
    out += placeDigits(digits, exponent, exponentAllowed);
    return out;
}

}  // namespace

std::string NumberText(double value) { return significantDigitsText(value, true); }

std::string PositionalNumberText(double value) { return significantDigitsText(value, false); }

namespace {

// Every power of ten a double holds exactly, 10^0 to 10^22.
constexpr std::array<double, 23> kExactPowersOfTen{1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
// Fifteen significant digits as an integer n: 10^14 <= n < 10^15.
constexpr double kFifteenDigitsLow = 1e14;
constexpr double kFifteenDigitsHigh = 1e15;
// Magnitudes rounded without text: 10^k must be exact for the 15 digits, k = 14 - exponent.
constexpr double kArithmeticLow = 1e-8;
constexpr double kArithmeticHigh = 1e15;
constexpr double kRoundingShift = 0x1p52;  // the ulp of a double from here on is 1

// Decimal exponent of magnitude, maybe one too small near a power of ten (the caller
// corrects it); magnitude within [kArithmeticLow, kArithmeticHigh).
int roughDecimalExponent(double magnitude) {
    int exponent = 0;
    if (magnitude >= 1.0) {
        while (exponent < 14 && magnitude >= kExactPowersOfTen[exponent + 1]) ++exponent;
        return exponent;
    }
    while (exponent > -8 && magnitude * kExactPowersOfTen[-exponent] < 1.0) --exponent;
    return exponent;
}

}  // namespace

// The digits NumberText writes are the 15-digit decimal nearest the exact binary value (ties
// to even), and reading them back rounds correctly. For magnitudes where n * 10^-k has an
// exact 10^k, both steps are done in arithmetic: n is the integer nearest the exact product
// magnitude * 10^k (its rounding error known from fma), and n / 10^k, two exact operands, is
// one correctly rounded division, as the reading would give. An exact tie and everything
// else go through the text.
double AtFifteenDigits(double value) {
    if (std::isnan(value) || value == 0.0) return 0.0;
    if (std::isinf(value)) return value;
    const double magnitude = std::fabs(value);
    if (magnitude >= kArithmeticLow && magnitude < kArithmeticHigh) {
        int k = kSignificantDigits - 1 - roughDecimalExponent(magnitude);
        for (int attempt = 0; attempt < 3 && k >= 0 && k <= 22; ++attempt) {
            const double scale = kExactPowersOfTen[static_cast<std::size_t>(k)];
            const double product = magnitude * scale;
            // The rounding error of the product, exactly; needed only where the rounded
            // product cannot tell: on a bound of the 15 digits and halfway between integers.
            const auto error = [&] { return std::fma(magnitude, scale, -product); };
            if (product < kFifteenDigitsLow || (product == kFifteenDigitsLow && error() < 0.0)) {
                ++k;
                continue;
            }
            if (product > kFifteenDigitsHigh || (product == kFifteenDigitsHigh && error() >= 0.0)) {
                --k;
                continue;
            }
            // Below 2^52, adding and taking away 2^52 rounds to an integer, ties to even.
            double digits = (product + kRoundingShift) - kRoundingShift;
            if (std::fabs(product - digits) == 0.5) {
                const double e = error();
                if (e == 0.0) break;
                digits = e > 0.0 ? product + 0.5 : product - 0.5;
            }
            const double rounded = digits / scale;
            return value < 0.0 ? -rounded : rounded;
        }
    }
    return ReadLeadingNumber(NumberText(value));
}

double ReadLeadingNumber(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    double value = 0.0;
    if (readSignedNumber(text, ".", value) == 0) return 0.0;
    return value;
}

std::optional<double> ConvertNumberAllowingOverflow(std::string_view text,
                                                    std::string_view decimalSeparator) {
    text = TrimBlanks(text);
    double value = 0.0;
    std::size_t used = readSignedNumber(text, decimalSeparator, value);
    if (used == 0 || used != text.size()) return std::nullopt;
    return value;
}

std::optional<double> ConvertNumber(std::string_view text, std::string_view decimalSeparator) {
    std::optional<double> value = ConvertNumberAllowingOverflow(text, decimalSeparator);
    if (value && !std::isfinite(*value)) return std::nullopt;
    return value;
}

bool IsLocaleNumber(std::string_view text, const UserLocale& locale) {
    return ConvertNumber(text, locale.decimalMark).has_value() ||
           ConvertNumber(text, ".").has_value();
}

std::optional<std::string> FixedSixText(double value, std::string_view decimalMark) {
    return fixedText(value, kFixedSixDecimals, decimalMark);
}

std::optional<std::string> PasteNumberText(double value, std::string_view decimalMark) {
    std::optional<std::string> written = fixedText(value, kPasteDecimals, ".");
    if (!written) return std::nullopt;
    std::string& text = *written;
    std::size_t point = text.find('.');
    if (point != std::string::npos) {
        std::size_t keep = text.find_last_not_of('0');
        if (keep == point) keep = point + 1;  // one decimal always stays
        text.erase(keep + 1);
        text.replace(point, 1, decimalMark);
    }
    return written;
}

}  // namespace velmora::calc
