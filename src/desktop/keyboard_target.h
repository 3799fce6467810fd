#pragma once

#include <QString>
#include <QtGlobal>

namespace velmora::desktop {

// Typing into another program's window through the window system. A window is named by an
// opaque non-zero number (an X window id, a Windows HWND); 0 is none.
class KeyboardTarget {
public:
    virtual ~KeyboardTarget() = default;
    // False where this session cannot type into other programs (Wayland, no XTest).
    virtual bool isUsable() = 0;
    // A visible top-level window of the process, or 0 while it has none.
    virtual quint64 findWindow(qint64 processId) = 0;
    // Asks for the window to be raised and given the keyboard focus; the answer may come later.
    virtual void bringForward(quint64 window) = 0;
    virtual bool hasFocus(quint64 window) = 0;
    // True when every character of text has a key on the current keyboard map.
    virtual bool canType(const QString& text) = 0;
    // Types text as key presses, each only while the window has the focus and no other program
    // holds a keyboard grab (which would receive the key). False, with nothing typed, when a
    // character has no key; false, with the keys before it typed, when one may not be typed.
    virtual bool typeText(quint64 window, const QString& text) = 0;
};

}  // namespace velmora::desktop
