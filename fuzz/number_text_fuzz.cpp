// Number text: reading (leading number, whole-text conversion with a decimal mark), and the
// writings (the 15-digit text, its positional form, the six-decimal and the paste pattern).
#include <cmath>
#include <string>

#include "calculator/number_text.h"
#include "fuzz_input.h"

using namespace velmora;

namespace {

const char* const kMarks[] = {".", ",", "", "\xD9\xAB"};  // the last: Arabic decimal separator

// A writing of a finite value: no infinity or NaN word, at most 15 significant digits where
// asked, and it converts back to about the value.
void checkWriting(const std::string& text, double value, std::string_view mark, double tolerance,
                  bool fifteen) {
    fuzz::check(!fuzz::hasNonFiniteWord(text), "writing of a finite value names a non-finite one",
                text);
    if (fifteen)
        fuzz::check(fuzz::significantDigits(text) <= 15, "more than 15 significant digits", text);
    const auto back = calc::ConvertNumberAllowingOverflow(text, mark.empty() ? "." : mark);
    fuzz::check(back.has_value(), "a writing does not convert back", text);
    // The largest doubles round up to a 15-digit text beyond the range, which reads back as
    // the overflow it nearly is.
    if (std::isinf(*back) && std::fabs(value) > 1.79769313486231e308) return;
    fuzz::check(std::fabs(*back - value) <= tolerance, "a writing converts back to another value",
                text);
}

void checkValue(double value, std::string_view mark) {
    if (!std::isfinite(value)) return;
    const double relative = std::fabs(value) * 1e-14;
    checkWriting(calc::NumberText(value), value, ".", relative, true);
    checkWriting(calc::PositionalNumberText(value), value, ".", relative, true);
    if (mark.empty()) return;
    const auto fixed = calc::FixedSixText(value, mark);
    const auto pasted = calc::PasteNumberText(value, mark);
    fuzz::check(fixed && pasted, "a finite value has no fixed writing", calc::NumberText(value));
    checkWriting(*fixed, value, mark, 5e-7 + relative, true);
    checkWriting(*pasted, value, mark, 5e-6 + relative, true);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input(data, size);
    const std::string_view mark = kMarks[input.byte() % std::size(kMarks)];
    const double raw = input.rawDouble();
    const std::string text = input.rest();

    checkValue(raw, mark);
    // An infinity has its overflow text; a NaN has no writing at all.
    if (std::isnan(raw)) {
        fuzz::check(calc::NumberText(raw).empty(), "a NaN was written", calc::NumberText(raw));
    } else {
        const std::string rawText = calc::NumberText(raw);
        fuzz::check(!fuzz::hasNonFiniteWord(rawText), "an overflow written as a word", rawText);
    }

    if (const auto value = calc::ConvertNumber(text, mark)) {
        fuzz::check(std::isfinite(*value), "a converted number is not finite", text);
        checkValue(*value, mark);
    }
    if (const auto value = calc::ConvertNumberAllowingOverflow(text, mark)) {
        fuzz::check(!std::isnan(*value), "a conversion gave NaN", text);
    }
    const double leading = calc::ReadLeadingNumber(text);
    fuzz::check(!std::isnan(leading), "a leading number read as NaN", text);
    checkValue(leading, mark);
    calc::IsLocaleNumber(text, calc::UserLocale{std::string(mark), ","});
    return 0;
}
