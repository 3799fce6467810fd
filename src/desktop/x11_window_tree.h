#pragma once

#include <QtGlobal>

#include <optional>
#include <vector>

using Display = struct _XDisplay;

namespace velmora::desktop {

// Reading the window tree of an X server over an Xlib connection. Windows and atoms are X ids
// (Window, Atom). A window that vanishes meanwhile reads as one without parent, children or
// properties; its errors go to the caller's error handler, which must not be Xlib's default
// (that one ends the process).

std::vector<unsigned long> childWindows(Display* display, unsigned long window);
// The parent of the window; 0 when it has none or is gone.
unsigned long parentWindow(Display* display, unsigned long window);
// The process that owns the window as its _NET_WM_PID says (pidAtom is that atom); nullopt
// when the window carries none.
std::optional<qint64> windowProcessId(Display* display, unsigned long window,
                                      unsigned long pidAtom);

}  // namespace velmora::desktop
