#include "desktop/x11_keyboard_target.h"

#include "desktop/x11_window_tree.h"

#include <QGuiApplication>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace velmora::desktop {

namespace {

// Windows can vanish between two requests (a calculator closing, a menu going away); the
// resulting errors are expected and must not reach Xlib's default handler, which exits.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

class ErrorsIgnored {
public:
    explicit ErrorsIgnored(Display* display)
        : m_display(display), m_previous(XSetErrorHandler(ignoreXError)) {}
    ~ErrorsIgnored() {
        XSync(m_display, False);
        XSetErrorHandler(m_previous);
    }
    ErrorsIgnored(const ErrorsIgnored&) = delete;
    ErrorsIgnored& operator=(const ErrorsIgnored&) = delete;

private:
    Display* m_display;
    int (*m_previous)(Display*, XErrorEvent*);
};

bool isViewable(Display* display, Window window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) &&
           attributes.map_state == IsViewable && attributes.c_class == InputOutput;
}

// Depth-first: top-level windows sit right under the root, or one or two levels down inside
// a window manager's frames.
Window findByProcessId(Display* display, Window window, Atom pidAtom, qint64 processId, int depth) {
    for (const Window child : childWindows(display, window)) {
        if (windowProcessId(display, child, pidAtom) == processId && isViewable(display, child))
            return child;
        if (depth > 0) {
            if (const Window found = findByProcessId(display, child, pidAtom, processId, depth - 1))
                return found;
        }
    }
    return 0;
}

bool isAncestorOrSelf(Display* display, Window ancestor, Window window, Window root) {
    for (Window w = window; w != 0 && w != root; w = parentWindow(display, w)) {
        if (w == ancestor) return true;
    }
    return false;
}

constexpr int kSearchDepth = 3;  // root, frame, client, and one spare level for nested frames

struct Stroke {
    KeyCode key;
    bool shifted;
};

// The key and shift state for each character on the current keyboard map (first group);
// nullopt when a character has no key there.
std::optional<std::vector<Stroke>> strokesFor(Display* display, const QString& text) {
    std::vector<Stroke> strokes;
    const KeyCode shift = XKeysymToKeycode(display, XK_Shift_L);
    for (const char32_t c : text.toUcs4()) {
        // Latin-1 keysyms equal their code points; others are 0x1000000 + the code point.
        const KeySym keysym = c < 0x100 ? KeySym(c) : KeySym(0x1000000 | c);
        const KeyCode key = XKeysymToKeycode(display, keysym);
        if (key == 0) return std::nullopt;
        if (XkbKeycodeToKeysym(display, key, 0, 0) == keysym) {
            strokes.push_back({key, false});
        } else if (shift != 0 && XkbKeycodeToKeysym(display, key, 0, 1) == keysym) {
            strokes.push_back({key, true});
        } else {
            return std::nullopt;
        }
    }
    return strokes;
}

}  // namespace

X11KeyboardTarget::X11KeyboardTarget() = default;

X11KeyboardTarget::~X11KeyboardTarget() {
    if (m_display) XCloseDisplay(m_display);
}

bool X11KeyboardTarget::connect() {
    if (m_display) return true;
    // Typing needs an X session: under Wayland keys could only reach XWayland programs, and the
    // focus could not be checked.
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return false;
    QByteArray name;
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        name = DisplayString(x11->display());
    }
    m_display = XOpenDisplay(name.isEmpty() ? nullptr : name.constData());
    return m_display != nullptr;
}

bool X11KeyboardTarget::isUsable() {
    if (!connect()) return false;
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    return XTestQueryExtension(m_display, &eventBase, &errorBase, &major, &minor);
}

quint64 X11KeyboardTarget::findWindow(qint64 processId) {
    if (!connect()) return 0;
    ErrorsIgnored guard(m_display);
    const Atom pidAtom = XInternAtom(m_display, "_NET_WM_PID", False);
    return findByProcessId(m_display, DefaultRootWindow(m_display), pidAtom, processId,
                           kSearchDepth);
}

void X11KeyboardTarget::bringForward(quint64 window) {
    if (!connect()) return;
    ErrorsIgnored guard(m_display);
    const Window root = DefaultRootWindow(m_display);
    // Through the window manager when there is one (source 2: on the user's behalf, so focus
    // stealing prevention lets it pass); directly as well, for sessions without one.
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(m_display, "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(m_display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XRaiseWindow(m_display, window);
    XSetInputFocus(m_display, window, RevertToParent, CurrentTime);
}

bool X11KeyboardTarget::hasFocus(quint64 window) {
    if (!connect()) return false;
    ErrorsIgnored guard(m_display);
    return focusIsOn(window);
}

bool X11KeyboardTarget::focusIsOn(quint64 window) {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(m_display, &focus, &revert);
    const Window root = DefaultRootWindow(m_display);
    if (focus == None || focus == PointerRoot || focus == root) return false;
    // The focus may sit on a child of the window (a toolkit's focus proxy) or on the frame a
    // window manager put around it.
    return isAncestorOrSelf(m_display, window, focus, root) ||
           isAncestorOrSelf(m_display, focus, window, root);
}

bool X11KeyboardTarget::canType(const QString& text) {
    return connect() && strokesFor(m_display, text).has_value();
}

bool X11KeyboardTarget::typeText(quint64 window, const QString& text) {
    if (!connect()) return false;
    const auto strokes = strokesFor(m_display, text);
    if (!strokes) return false;
    const KeyCode shift = XKeysymToKeycode(m_display, XK_Shift_L);
    const Window root = DefaultRootWindow(m_display);
    ErrorsIgnored guard(m_display);
    for (const Stroke& stroke : *strokes) {
        // While the server is grabbed no other program's request is carried out, so neither
        // the focus nor a keyboard grab can change between the checks and the key, and XTest
        // delivers the key as its request is carried out. A grab held by another program (a
        // pop-up menu, a password prompt, a window switcher) would receive the key although
        // the focus is unchanged; taking a grab of our own fails then. Ours is let go just
        // before the key, in the same batch of requests.
        XGrabServer(m_display);
        const bool free =
            focusIsOn(window) && XGrabKeyboard(m_display, root, False, GrabModeAsync, GrabModeAsync,
                                               CurrentTime) == GrabSuccess;
        if (free) {
            XUngrabKeyboard(m_display, CurrentTime);
            if (stroke.shifted) XTestFakeKeyEvent(m_display, shift, True, CurrentTime);
            XTestFakeKeyEvent(m_display, stroke.key, True, CurrentTime);
            XTestFakeKeyEvent(m_display, stroke.key, False, CurrentTime);
            if (stroke.shifted) XTestFakeKeyEvent(m_display, shift, False, CurrentTime);
        }
        XUngrabServer(m_display);
        XSync(m_display, False);
        if (!free) return false;
    }
    return true;
}

void endStartupNotification(const QByteArray& startupId) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
    QByteArray name;
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        name = DisplayString(x11->display());
    Display* display = XOpenDisplay(name.isEmpty() ? nullptr : name.constData());
    if (!display) return;
    {
        ErrorsIgnored guard(display);
        // The value quoted, with '"' and '\\' escaped; the message ends with its zero byte.
        QByteArray message = QByteArrayLiteral("remove: ID=\"");
        for (const char c : startupId) {
            if (c == '"' || c == '\\') message += '\\';
            message += c;
        }
        message += QByteArrayLiteral("\"");
        message += '\0';
        const Window root = DefaultRootWindow(display);
        // The protocol names the sender by a window of its own.
        const Window sender = XCreateSimpleWindow(display, root, -100, -100, 1, 1, 0, 0, 0);
        const Atom begin = XInternAtom(display, "_NET_STARTUP_INFO_BEGIN", False);
        const Atom more = XInternAtom(display, "_NET_STARTUP_INFO", False);
        constexpr qsizetype kBytesPerEvent = 20;  // the data of one client message, format 8
        for (qsizetype offset = 0; offset < message.size(); offset += kBytesPerEvent) {
            XEvent event{};
            event.xclient.type = ClientMessage;
            event.xclient.window = sender;
            event.xclient.message_type = offset == 0 ? begin : more;
            event.xclient.format = 8;
            const qsizetype count = std::min(kBytesPerEvent, message.size() - offset);
            std::copy_n(message.constData() + offset, count, event.xclient.data.b);
            XSendEvent(display, root, False, PropertyChangeMask, &event);
        }
        XDestroyWindow(display, sender);
    }
    XCloseDisplay(display);
}

}  // namespace velmora::desktop
