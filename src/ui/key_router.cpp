#include "ui/key_router.h"

#include <QAction>
#include <QKeyEvent>
#include <QWidget>

#include <algorithm>
#include <optional>

#include "calculator/calculator.h"

namespace velmora::ui {

namespace {

// The engine's code of a key without a character that it takes: Delete and F2..F8.
std::optional<std::uint16_t> keyDownCode(int qtKey) {
    if (qtKey == Qt::Key_Delete) {
        return calc::kKeyCodeDelete;
    }
    if (qtKey >= Qt::Key_F2 && qtKey <= Qt::Key_F8) {
        return static_cast<std::uint16_t>(calc::kKeyCodeF2 + (qtKey - Qt::Key_F2));
    }
    return std::nullopt;
}

// The engine's modifier bits of a key event.
std::uint16_t shiftState(Qt::KeyboardModifiers modifiers) {
    std::uint16_t state = 0;
    if (modifiers & Qt::ShiftModifier) {
        state |= calc::kShiftBit;
    }
    if (modifiers & Qt::ControlModifier) {
        state |= calc::kCtrlBit;
    }
    if (modifiers & Qt::AltModifier) {
        state |= calc::kAltBit;
    }
    return state;
}

}  // namespace

KeyRouter::KeyRouter(QWidget& window, calc::Calculator& engine,
                     const std::vector<QAction*>& menuShortcuts, Hooks hooks)
    : m_window(window),
      m_engine(engine),
      m_menuShortcuts(menuShortcuts),
      m_hooks(std::move(hooks)) {}

void KeyRouter::watch(QWidget* widget) { widget->installEventFilter(this); }

bool KeyRouter::forwardKey(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (const std::optional<std::uint16_t> code = keyDownCode(event.key())) {
        m_engine.Form_KeyDown(*code, shiftState(modifiers));
        return true;
    }
    const QString text = event.text();
    if (text.isEmpty()) {
        return false;
    }
    // Ctrl or Alt alone make a command key that belongs to the list or the menus (Ctrl+A,
    // Ctrl+Home); Ctrl and Alt together are AltGr on Windows and type a character.
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const bool alt = modifiers.testFlag(Qt::AltModifier);
    if (ctrl != alt) {
        return false;
    }
    m_engine.Form_KeyPress(text.at(0).unicode());
    return true;
}

bool KeyRouter::isMenuShortcut(const QKeyEvent& event) const {
    const QKeySequence typed(event.keyCombination());
    return std::any_of(m_menuShortcuts.begin(), m_menuShortcuts.end(),
                       [&typed](const QAction* action) { return action->shortcut() == typed; });
}

bool KeyRouter::eventFilter(QObject*, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) {
        return false;
    }
    // While the About box is up the window is disabled and takes no keys.
    if (!m_window.isEnabled()) {
        return false;
    }
    m_hooks.beforeListKeys();
    const auto& key = *static_cast<QKeyEvent*>(event);
    if (event->type() == QEvent::ShortcutOverride) {
        // The list would claim Ctrl+C and Ctrl+V for its own copy; the menus have them.
        if (isMenuShortcut(key)) {
            event->ignore();
            return true;
        }
        return false;
    }
    // The context menu keys of every list; the list itself has no keyboard menu.
    if (key.key() == Qt::Key_Menu ||
        (key.key() == Qt::Key_F10 && key.modifiers() == Qt::ShiftModifier)) {
        m_hooks.openHistoryMenu();
        return true;
    }
    return forwardKey(key);
}

}  // namespace velmora::ui
