#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "ui/key_label.h"

namespace velmora::calc {
class CalculatorView;
}

namespace velmora::ui {

// Which key of each block was highlighted last, and whether hovering underlines. Not saved.
struct HighlightState {
    std::int16_t LastSelectorKey = 0;
    std::int16_t LastKeypadKey = 0;
    bool UnderlineOnHover = false;
};

// Lights the key under the mouse, one key per block at a time: its caption in the highlight
// colour, underlined when the font option asks for it. The last key lit goes back to its colour
// at rest as soon as the mouse is over another key of its block or over the block's gaps; the
// other block keeps its highlight. Also applies the bold font option to every key.
class KeyHighlighter {
public:
    // view: its pending paints are let through before each change, so that a fast mouse leaves
    // no key lit behind it.
    explicit KeyHighlighter(calc::CalculatorView& view) : m_view(view) {}

    void setKeys(std::span<KeyLabel* const> keypad, std::span<KeyLabel* const> selector);

    // The mouse over key `index` of `block`, or over the block's gaps when there is none.
    void hover(KeyBlock block, std::optional<std::int16_t> index);
    // Every key in its colour at rest; the first key of each block counts as lit last.
    void reset();
    void setBold(bool bold);
    // Takes effect at the next key the mouse reaches.
    void setUnderlineOnHover(bool underline) { m_state.UnderlineOnHover = underline; }

    const HighlightState& state() const { return m_state; }

private:
    std::span<KeyLabel* const> keys(KeyBlock block) const;
    std::int16_t& lastKey(KeyBlock block);

    calc::CalculatorView& m_view;
    std::span<KeyLabel* const> m_keypad;
    std::span<KeyLabel* const> m_selector;
    HighlightState m_state;
};

}  // namespace velmora::ui
