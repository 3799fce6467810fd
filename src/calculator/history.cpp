#include "calculator/history.h"

#include <utility>

namespace velmora::calc {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

}  // namespace

void History::append(std::string line) {
    m_lines.push_back(std::move(line));
    m_view.historyLineAppended();
}

void History::append(std::vector<std::string> lines) {
    for (std::string& line : lines) append(std::move(line));
}

void History::clear() {
    m_lines.clear();
    m_view.historyCleared();
}

void History::selectLast() {
    m_view.makeLineCurrent(m_lines.empty() ? -1 : static_cast<int>(m_lines.size() - 1));
}

std::string History::copyText(const std::vector<std::size_t>& selected,
                              std::string_view display) const {
    if (selected.empty()) return std::string(display);
    std::string text;
    for (const std::size_t line : selected) {
        if (line >= m_lines.size()) continue;
        text += kLineBreak;
        text += m_lines[line];
    }
    return text;
}

}  // namespace velmora::calc
