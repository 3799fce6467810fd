#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/calculator_view.h"

// The history list beside the keypad: lines appended in order, cleared by "Clear", copied by
// selection. Every change is told to the window.
namespace velmora::calc {

class History {
public:
    explicit History(CalculatorView& view) : m_view(view) {}

    const std::vector<std::string>& lines() const { return m_lines; }

    void append(std::string line);
    void append(std::vector<std::string> lines);
    void clear();
    // The newest line made current (scrolled into view); none while the list is empty.
    void selectLast();

    // The text Copy puts on the clipboard: the selected lines (indices beyond the list
    // ignored), each behind CR LF; the display when none is selected.
    std::string copyText(const std::vector<std::size_t>& selected, std::string_view display) const;

private:
    CalculatorView& m_view;
    std::vector<std::string> m_lines;
};

}  // namespace velmora::calc
