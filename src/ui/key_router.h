#pragma once

#include <QObject>

#include <functional>
#include <vector>

class QAction;
class QKeyEvent;
class QWidget;

namespace velmora::calc {
class Calculator;
}

namespace velmora::ui {

// Takes the window's keys to the engine (Form_KeyPress, Form_KeyDown) before the focused history
// list sees them, so the list never acts on a key the engine takes (no keyboard search on
// letters, no Enter, no Delete). It leaves to the list its navigation and command keys (arrows,
// Home, End, Ctrl+A) and to the menus their shortcuts.
//
// Keys go to the focused control first and reach the window only when that control leaves
// them, so the router watches the window and the history list, the one control of the window
// that takes the focus. The menu bar opened with Alt or F10, popup menus and the About box are
// not watched and keep their keys.
class KeyRouter : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        std::function<void()> beforeListKeys;   // the list's own keys start from its current line
        std::function<void()> openHistoryMenu;  // Shift+F10 and the Menu key
    };

    // menuShortcuts: the menu entries with a shortcut, filled in as the menus are built.
    KeyRouter(QWidget& window, calc::Calculator& engine, const std::vector<QAction*>& menuShortcuts,
              Hooks hooks);

    // Routes the keys of `widget`: the window and its focus control.
    void watch(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool forwardKey(const QKeyEvent& event);
    bool isMenuShortcut(const QKeyEvent& event) const;

    QWidget& m_window;
    calc::Calculator& m_engine;
    const std::vector<QAction*>& m_menuShortcuts;
    Hooks m_hooks;
};

}  // namespace velmora::ui
