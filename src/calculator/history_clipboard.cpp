#include <cmath>

#include "calculator/calculator.h"
#include "calculator/coordinate_text.h"
#include "calculator/keys.h"
#include "calculator/text.h"

namespace velmora::calc {

namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kPastedWholeSuffix = ".0";  // dropped: 12 is shown as 12, not 12.0

// An optional "-", digits and at most one decimal separator; at least one digit.
bool isPlainNumber(std::string_view text, std::string_view separator) {
    if (!text.empty() && text.front() == '-') text.remove_prefix(1);
    bool anyDigit = false;
    bool separatorSeen = false;
    while (!text.empty()) {
        if (text.front() >= '0' && text.front() <= '9') {
            anyDigit = true;
            text.remove_prefix(1);
        } else if (!separator.empty() && !separatorSeen && text.starts_with(separator)) {
            separatorSeen = true;
            text.remove_prefix(separator.size());
        } else {
            return false;
        }
    }
    return anyDigit;
}

// A number as the user's locale writes it for typing: up to 15 significant digits placed
// without an exponent (a calculator would take the E for a key), a zero before a leading
// decimal mark ("0.5", "-0.25"), the locale's decimal mark.
std::string localeNumberText(double value, std::string_view decimalMark) {
    std::string text = PositionalNumberText(value);
    if (text.starts_with("."))
        text.insert(0, "0");
    else if (text.starts_with("-."))
        text.insert(1, "0");
    replaceAll(text, ".", decimalMark);
    return text;
}

}  // namespace

std::string Calculator::MenuCopia_Click() const {
    std::string text;
    runIgnoringFailure([&] {
        const std::vector<std::size_t> selected = m_view.selectedLines();
        if (selected.empty()) {
            text = m_display;
            return;
        }
        for (const std::size_t line : selected) {
            if (line >= m_history.size()) continue;
            text += kLineBreak;
            text += m_history[line];
        }
    });
    return text;
}

void Calculator::MenuIncolla_Click(std::string_view clipboardText) {
    runIgnoringFailure([&] {
        // Clipboard text usually comes with a line break behind it; it is no part of the number.
        std::string text(TrimBlanks(clipboardText, kBlanksAndLineBreaks));
        replaceAll(text, m_state.DisplaySeparator, m_state.ConversionSeparator);
        const std::optional<double> value = ConvertNumber(text, m_state.ConversionSeparator);
        if (!value || !std::isfinite(*value)) return;
        std::string shown = PasteNumberText(*value, m_state.DisplaySeparator);
        if (shown.ends_with(kPastedWholeSuffix)) shown.resize(shown.size() - 2);
        m_display = std::move(shown);
        m_view.refresh();
    });
}

std::optional<std::string> Calculator::MenuInviaCalc_Click() const {
    std::optional<std::string> typed;
    runIgnoringFailure([&] {
        // A distance re-expressed by a unit key shows the locale's decimal mark.
        const std::string shown = WithDisplayPoint(m_display, m_locale, m_state);
        const std::string number = isPlainNumber(shown, m_state.DisplaySeparator)
                                       ? shown
                                       : DecimalDegreesText(m_state, shown);
        if (!ConvertNumber(number, ".").has_value()) return;
        const double value = ReadLeadingNumber(number);
        if (!std::isfinite(value)) return;
        typed = localeNumberText(value, m_locale.decimalMark);
    });
    return typed;
}

}  // namespace velmora::calc
