#include "calculator/clipboard.h"

#include <cmath>

#include "calculator/coordinate_text.h"
#include "calculator/text.h"

namespace velmora::calc {

namespace {

constexpr std::string_view kPastedWholeSuffix = ".0";  // dropped: 12 is shown as 12, not 12.0

// An optional "-", digits and at most one decimal separator; at least one digit.
bool isPlainNumber(std::string_view text, std::string_view separator) {
    if (!text.empty() && text.front() == '-') text.remove_prefix(1);
    const DecimalScan scan = ScanDecimal(text, separator);
    return scan.digits > 0 && scan.length == text.size();
}

// A number as the user's locale writes it for typing: up to 15 significant digits placed
// without an exponent (a calculator would take the E for a key), a zero before a leading
// decimal mark ("0.5", "-0.25"), the locale's decimal mark.
std::string localeNumberText(double value, std::string_view decimalMark) {
    std::string text = PositionalNumberText(value);
    if (text.starts_with(".")) text.insert(0, "0");
    else if (text.starts_with("-.")) text.insert(1, "0");
    replaceAll(text, ".", decimalMark);
    return text;
}

}  // namespace

std::optional<std::string> PastedNumberDisplay(std::string_view clipboardText,
                                               const CalculatorState& state) {
    // Clipboard text usually comes with a line break behind it; it is no part of the number.
    std::string text(TrimBlanks(clipboardText, kBlanksAndLineBreaks));
    replaceAll(text, state.DisplaySeparator, state.ConversionSeparator);
    const std::optional<double> value = ConvertNumber(text, state.ConversionSeparator);
    if (!value || !std::isfinite(*value)) return std::nullopt;
    std::optional<std::string> shown = PasteNumberText(*value, state.DisplaySeparator);
    if (shown && shown->ends_with(kPastedWholeSuffix)) shown->resize(shown->size() - 2);
    return shown;
}

std::optional<std::string> CalculatorEntryText(std::string_view display,
                                               const CalculatorState& state,
                                               const UserLocale& locale) {
    // A distance re-expressed by a unit key shows the locale's decimal mark.
    const std::string shown = WithDisplayPoint(std::string(display), locale, state);
    const std::string number =
        isPlainNumber(shown, state.DisplaySeparator) ? shown : DecimalDegreesText(state, shown);
    if (!ConvertNumber(number, ".").has_value()) return std::nullopt;
    const double value = ReadLeadingNumber(number);
    if (!std::isfinite(value)) return std::nullopt;
    return localeNumberText(value, locale.decimalMark);
}

}  // namespace velmora::calc
