#include "desktop/x11_window_tree.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace velmora::desktop {

namespace {

struct TreeLinks {
    Window parent = 0;
    std::vector<Window> children;
};

TreeLinks queryTree(Display* display, Window window) {
    Window root = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    TreeLinks links;
    if (XQueryTree(display, window, &root, &links.parent, &children, &count) && children) {
        links.children.assign(children, children + count);
    }
    if (children) XFree(children);
    return links;
}

}  // namespace

std::vector<unsigned long> childWindows(Display* display, unsigned long window) {
    return queryTree(display, window).children;
}

unsigned long parentWindow(Display* display, unsigned long window) {
    return queryTree(display, window).parent;
}

std::optional<qint64> windowProcessId(Display* display, unsigned long window,
                                      unsigned long pidAtom) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type,
                                          &format, &count, &remaining, &data);
    std::optional<qint64> processId;
    if (status == Success && data && type == XA_CARDINAL && format == 32 && count == 1) {
        // Xlib hands 32-bit properties over as longs.
        processId = static_cast<qint64>(*reinterpret_cast<unsigned long*>(data));
    }
    if (data) XFree(data);
    return processId;
}

}  // namespace velmora::desktop
