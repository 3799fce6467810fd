#include "ui/key_highlighter.h"

#include "calculator/calculator.h"
#include "ui/calculator_face.h"

namespace velmora::ui {

void KeyHighlighter::setKeys(std::span<KeyLabel* const> keypad,
                             std::span<KeyLabel* const> selector) {
    m_keypad = keypad;
    m_selector = selector;
}

std::span<KeyLabel* const> KeyHighlighter::keys(KeyBlock block) const {
    return block == KeyBlock::Selector ? m_selector : m_keypad;
}

std::int16_t& KeyHighlighter::lastKey(KeyBlock block) {
    return block == KeyBlock::Selector ? m_state.LastSelectorKey : m_state.LastKeypadKey;
}

void KeyHighlighter::hover(KeyBlock block, std::optional<std::int16_t> index) {
    m_view.processPendingEvents();
    const std::span<KeyLabel* const> blockKeys = keys(block);
    std::int16_t& last = lastKey(block);
    KeyLabel* previous = blockKeys[static_cast<std::size_t>(last)];
    previous->setTextColor(keyColours(block, last).normal);
    previous->setCaptionStyle(previous->isBold(), false);
    if (!index) {
        return;
    }
    KeyLabel* key = blockKeys[static_cast<std::size_t>(*index)];
    key->setTextColor(keyColours(block, *index).highlight);
    key->setCaptionStyle(key->isBold(), m_state.UnderlineOnHover);
    last = *index;
}

void KeyHighlighter::reset() {
    m_state.LastSelectorKey = 0;
    m_state.LastKeypadKey = 0;
    for (const KeyBlock block : {KeyBlock::Selector, KeyBlock::Keypad}) {
        for (KeyLabel* key : keys(block)) {
            key->setTextColor(keyColours(block, key->index()).normal);
        }
    }
}

void KeyHighlighter::setBold(bool bold) {
    for (const KeyBlock block : {KeyBlock::Selector, KeyBlock::Keypad}) {
        for (KeyLabel* key : keys(block)) {
            key->setCaptionStyle(bold, key->isUnderlined());
        }
    }
}

}  // namespace velmora::ui
