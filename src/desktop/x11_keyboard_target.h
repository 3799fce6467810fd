#pragma once

#include "desktop/keyboard_target.h"

#include <QByteArray>

using Display = struct _XDisplay;

namespace velmora::desktop {

// Finds windows by their _NET_WM_PID, focuses them and types through the XTest extension, on a
// connection of its own to the X server the application uses.
class X11KeyboardTarget : public KeyboardTarget {
public:
    X11KeyboardTarget();
    ~X11KeyboardTarget() override;
    X11KeyboardTarget(const X11KeyboardTarget&) = delete;
    X11KeyboardTarget& operator=(const X11KeyboardTarget&) = delete;

    bool isUsable() override;
    quint64 findWindow(qint64 processId) override;
    void bringForward(quint64 window) override;
    bool hasFocus(quint64 window) override;
    bool canType(const QString& text) override;
    bool typeText(quint64 window, const QString& text) override;

private:
    bool connect();
    bool focusIsOn(quint64 window);  // on an open connection, errors already ignored

    Display* m_display = nullptr;
};

// Ends the X11 startup notification of that id (the launcher's busy cursor or task-bar entry)
// with a "remove" message, as a program does whose window is up; nothing without an X display.
void endStartupNotification(const QByteArray& startupId);

}  // namespace velmora::desktop
