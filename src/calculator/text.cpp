#include "calculator/text.h"

namespace velmora::calc {

void DropLastCharacter(std::string& text) {
    while (!text.empty()) {
        const auto byte = static_cast<unsigned char>(text.back());
        text.pop_back();
        if ((byte & 0xC0) != 0x80) return;  // not a continuation byte: a whole character gone
    }
}

std::string WithDisplayPoint(std::string text, const UserLocale& locale,
                             const CalculatorState& state) {
    replaceAll(text, locale.decimalMark, state.DisplaySeparator);
    return text;
}

}  // namespace velmora::calc
