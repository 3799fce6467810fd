#include "x_session.h"

#include "desktop/x11_window_tree.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <fcntl.h>
#include <sys/prctl.h>

#include <algorithm>
#include <csignal>
#include <vector>

namespace velmora::testing {

using desktop::childWindows;
using desktop::windowProcessId;
using std::chrono::milliseconds;

namespace {

constexpr milliseconds kPollInterval{20};      // between two looks at a condition
constexpr milliseconds kStartTimeout{10'000};  // Xvfb or tint2 coming up on a loaded machine
constexpr milliseconds kToolTimeout{10'000};   // xdotool, xclip: each call is quick
constexpr milliseconds kStopGrace{2'000};      // SIGTERM, then SIGKILL after this

// A panel holding only a notification area, big enough to click on its icons.
constexpr char kTint2Config[] =
    "panel_items = S\n"
    "panel_size = 100% 32\n"
    "panel_position = bottom center horizontal\n"
    "systray_padding = 2 2 2\n"
    "systray_icon_size = 24\n"
    "disable_transparency = 1\n";

Display* xlib(void* connection) { return static_cast<Display*>(connection); }

Window windowNumber(const QString& windowId) { return windowId.toULong(nullptr, 0); }

// Windows of other programs come and go while the tree is walked or a window is grabbed;
// Xlib's default handler would end the test at the first BadWindow.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

void stopProcess(QProcess& process) {
    if (process.state() == QProcess::NotRunning) return;
    process.terminate();
    if (!process.waitForFinished(int(kStopGrace.count()))) {
        process.kill();
        process.waitForFinished(int(kStopGrace.count()));
    }
}

int countWindows(Display* display, Window window) {
    const std::vector<Window> children = childWindows(display, window);
    int total = int(children.size());
    for (const Window child : children) total += countWindows(display, child);
    return total;
}

// Windows of the process at any depth below `window`; its own children count only when nested
// is true, so that from the root, top-level windows are left out.
int countNested(Display* display, Window window, Atom pidAtom, qint64 processId, bool nested) {
    int total = 0;
    for (const Window child : childWindows(display, window)) {
        if (nested && windowProcessId(display, child, pidAtom) == processId) ++total;
        total += countNested(display, child, pidAtom, processId, true);
    }
    return total;
}

// xdotool's search for visible windows whose name or class (option) is exactly text.
QStringList searchExactly(const char* option, const QString& text) {
    return {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QString::fromLatin1(option),
            QLatin1Char('^') + text + QLatin1Char('$')};
}

}  // namespace

bool waitUntil(const std::function<bool()>& condition, milliseconds timeout) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (condition()) return true;
        if (clock.elapsed() >= timeout.count()) return false;
        QThread::msleep(kPollInterval.count());
    }
}

void dieWithParent(QProcess& process) {
    process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

XSession::XSession() = default;

XSession::~XSession() {
    for (auto* process : {&m_clipboardOwner, &m_program, &m_trayHost}) {
        if (*process) stopProcess(**process);
    }
    if (m_connection) XCloseDisplay(xlib(m_connection));
    if (m_xvfb) stopProcess(*m_xvfb);
}

bool XSession::start(QString* error) {
    if (!m_home.isValid()) {
        *error = QStringLiteral("no temporary folder");
        return false;
    }
    for (const char* folder : {".config", ".cache", ".local/share", "runtime", "Desktop"}) {
        QDir(m_home.path()).mkpath(QString::fromLatin1(folder));
    }
    QFile::setPermissions(m_home.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // -displayfd 1: Xvfb picks a free display and writes its number on standard output once it
    // is ready. -noreset: root properties set here survive the last client disconnecting.
    const QString log = m_home.filePath(QStringLiteral("xvfb.log"));
    m_xvfb = std::make_unique<QProcess>();
    dieWithParent(*m_xvfb);
    m_xvfb->setStandardErrorFile(log);
    m_xvfb->start(
        QStringLiteral("Xvfb"),
        {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
         QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-screen"),
         QStringLiteral("0"),
         QStringLiteral("%1x%2x24").arg(m_screenSize.width()).arg(m_screenSize.height())});
    QByteArray number;
    QElapsedTimer clock;
    clock.start();
    while (!number.endsWith('\n') && clock.elapsed() < kStartTimeout.count() &&
           m_xvfb->state() != QProcess::NotRunning) {
        m_xvfb->waitForReadyRead(int(kPollInterval.count()));
        number += m_xvfb->readAllStandardOutput();
    }
    if (!number.endsWith('\n')) {
        QFile file(log);
        file.open(QIODevice::ReadOnly);
        *error = QStringLiteral("Xvfb did not start: ") + m_xvfb->errorString() + QLatin1Char(' ') +
                 QString::fromLocal8Bit(file.readAll());
        return false;
    }
    m_display = QLatin1Char(':') + QString::fromLatin1(number.trimmed());

    XSetErrorHandler(ignoreXError);
    m_connection = XOpenDisplay(m_display.toLatin1().constData());
    if (!m_connection) {
        *error = QStringLiteral("cannot connect to ") + m_display;
        return false;
    }
    Display* display = xlib(m_connection);
    fcntl(ConnectionNumber(display), F_SETFD, FD_CLOEXEC);  // not for the programs started here
    mapDegreeSign();
    // The pointer starts in the middle of the screen, where windows appear; keep it away so
    // that nothing is hovered unless a test means it.
    XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, 0, 0);
    XSync(display, False);
    return true;
}

// The default keymap has no degree sign, and xdotool would map one to a spare key just while
// typing it, racing the program's reading of the new keymap (the first "°" can get lost).
// Mapping it once, before any program starts, makes it an ordinary key.
void XSession::mapDegreeSign() {
    Display* display = xlib(m_connection);
    if (XKeysymToKeycode(display, XK_degree) != 0) return;
    int minCode = 0;
    int maxCode = 0;
    int perCode = 0;
    XDisplayKeycodes(display, &minCode, &maxCode);
    KeySym* map = XGetKeyboardMapping(display, KeyCode(minCode), maxCode - minCode + 1, &perCode);
    if (!map) return;
    for (int code = maxCode; code >= minCode; --code) {
        const KeySym* syms = map + (code - minCode) * perCode;
        if (std::all_of(syms, syms + perCode, [](KeySym k) { return k == NoSymbol; })) {
            KeySym degree[2] = {XK_degree, XK_degree};
            XChangeKeyboardMapping(display, code, 2, degree, 1);
            break;
        }
    }
    XFree(map);
    XSync(display, False);
}

QProcessEnvironment XSession::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.insert(QStringLiteral("HOME"), m_home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral(".config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral(".local/share")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), m_home.filePath(QStringLiteral(".cache")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.filePath(QStringLiteral("runtime")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // xdotool reads the degree sign of its argument through the locale; keep it UTF-8 and
    // number formats the same everywhere.
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    // An address nobody listens on, rather than none: without one a program may find or
    // start the user's session bus, where a tray icon would show on the user's own panel.
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
               QStringLiteral("unix:path=/nonexistent/velmora-test-bus"));
    for (const char* name : {"WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "SESSION_MANAGER"}) {
        env.remove(QString::fromLatin1(name));
    }
    env.insert(m_variables);
    return env;
}

std::unique_ptr<QProcess> XSession::makeProcess() const {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment());
    dieWithParent(*process);
    return process;
}

bool XSession::startTrayHost(QString* error) {
    if (hasTrayHost()) return true;
    QFile config(m_home.filePath(QStringLiteral("tint2rc")));
    if (!config.open(QIODevice::WriteOnly) || config.write(kTint2Config) < 0) {
        *error = QStringLiteral("cannot write ") + config.fileName();
        return false;
    }
    config.close();
    // tint2 waits up to 15 s for a window manager to announce its desktops; there is none here.
    Display* display = xlib(m_connection);
    const long desktops = 1;
    XChangeProperty(display, DefaultRootWindow(display),
                    XInternAtom(display, "_NET_NUMBER_OF_DESKTOPS", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&desktops), 1);
    XSync(display, False);

    m_trayHost = makeProcess();
    m_trayHost->setStandardOutputFile(QProcess::nullDevice());
    m_trayHost->setStandardErrorFile(QProcess::nullDevice());
    m_trayHost->start(QStringLiteral("tint2"), {QStringLiteral("-c"), config.fileName()});
    if (!m_trayHost->waitForStarted()) {
        *error = QStringLiteral("cannot start tint2: ") + m_trayHost->errorString();
        return false;
    }
    const Atom selection = XInternAtom(display, "_NET_SYSTEM_TRAY_S0", False);
    if (!waitUntil(
            [&] {
                return XGetSelectionOwner(display, selection) != None ||
                       m_trayHost->state() == QProcess::NotRunning;
            },
            kStartTimeout) ||
        m_trayHost->state() == QProcess::NotRunning) {
        *error = QStringLiteral("tint2 did not open a notification area");
        stopTrayHost();
        return false;
    }
    return true;
}

void XSession::stopTrayHost() {
    if (m_trayHost) stopProcess(*m_trayHost);
}

bool XSession::hasTrayHost() const {
    return m_trayHost && m_trayHost->state() != QProcess::NotRunning;
}

bool XSession::launch(const QString& program, QString* error) {
    if (m_program) stopProcess(*m_program);
    m_program = makeProcess();
    m_program->setProcessChannelMode(QProcess::ForwardedChannels);
    m_program->start(program, {});
    if (!m_program->waitForStarted()) {
        *error = QStringLiteral("cannot start ") + program + QStringLiteral(": ") +
                 m_program->errorString();
        return false;
    }
    return true;
}

std::optional<QByteArray> XSession::run(const QString& tool, const QStringList& arguments,
                                        const QByteArray& input) {
    std::unique_ptr<QProcess> process = makeProcess();
    process->start(tool, arguments);
    if (!process->waitForStarted()) return std::nullopt;
    if (!input.isEmpty()) {
        process->write(input);
        process->waitForBytesWritten(int(kToolTimeout.count()));
    }
    process->closeWriteChannel();
    if (!process->waitForFinished(int(kToolTimeout.count()))) {
        stopProcess(*process);
        return std::nullopt;
    }
    if (process->exitStatus() != QProcess::NormalExit || process->exitCode() != 0)
        return std::nullopt;
    return process->readAllStandardOutput();
}

std::optional<QString> XSession::clipboard() {
    const std::optional<QByteArray> text =
        run(QStringLiteral("xclip"),
            {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard")});
    if (!text) return std::nullopt;
    return QString::fromUtf8(*text);
}

bool XSession::setClipboard(const QString& text) {
    if (m_clipboardOwner) stopProcess(*m_clipboardOwner);
    // -quiet keeps xclip in the foreground, so that it stays ours to stop.
    m_clipboardOwner = makeProcess();
    m_clipboardOwner->start(QStringLiteral("xclip"),
                            {QStringLiteral("-quiet"), QStringLiteral("-i"),
                             QStringLiteral("-selection"), QStringLiteral("clipboard")});
    if (!m_clipboardOwner->waitForStarted()) return false;
    // Nothing here runs an event loop: push the bytes out before closing the pipe.
    m_clipboardOwner->write(text.toUtf8());
    m_clipboardOwner->waitForBytesWritten(int(kToolTimeout.count()));
    m_clipboardOwner->closeWriteChannel();
    return waitUntil([&] { return clipboard() == text; }, kToolTimeout);
}

bool XSession::waitForClipboardTaken(milliseconds timeout) {
    // xclip ends as soon as it loses the selection.
    return !m_clipboardOwner || m_clipboardOwner->state() == QProcess::NotRunning ||
           m_clipboardOwner->waitForFinished(int(timeout.count()));
}

std::optional<QString> XSession::waitForSearch(const QStringList& search, const QString& except,
                                               milliseconds timeout) {
    std::optional<QString> found;
    waitUntil(
        [&] {
            const std::optional<QByteArray> ids = run(QStringLiteral("xdotool"), search);
            if (!ids) return false;  // xdotool search fails when nothing matches
            for (const QByteArray& id : ids->trimmed().split('\n')) {
                if (!id.isEmpty() && QString::fromLatin1(id) != except) {
                    found = QString::fromLatin1(id);
                    break;
                }
            }
            return found.has_value();
        },
        timeout);
    return found;
}

std::optional<QString> XSession::waitForWindow(const QString& title, milliseconds timeout,
                                               const QString& except) {
    return waitForSearch(searchExactly("--name", title), except, timeout);
}

std::optional<QString> XSession::waitForClass(const QString& windowClass, milliseconds timeout) {
    return waitForSearch(searchExactly("--class", windowClass), {}, timeout);
}

bool XSession::waitForWindowGone(const QString& title, milliseconds timeout) {
    return waitUntil(
        [&] {
            const std::optional<QByteArray> ids =
                run(QStringLiteral("xdotool"), searchExactly("--name", title));
            return !ids || ids->trimmed().isEmpty();
        },
        timeout);
}

// The first viewable child of the root (top-level window) for which accept holds.
std::optional<QString> XSession::waitForTopLevel(
    const std::function<bool(const QString&, bool)>& accept, milliseconds timeout) {
    Display* display = xlib(m_connection);
    std::optional<QString> found;
    waitUntil(
        [&] {
            for (const Window child : childWindows(display, DefaultRootWindow(display))) {
                XWindowAttributes attributes;
                const QString id = QString::number(child);
                if (XGetWindowAttributes(display, child, &attributes) &&
                    attributes.map_state == IsViewable &&
                    accept(id, attributes.override_redirect)) {
                    found = id;
                    break;
                }
            }
            return found.has_value();
        },
        timeout);
    return found;
}

std::optional<QString> XSession::waitForPopup(milliseconds timeout) {
    return waitForTopLevel([](const QString&, bool overrideRedirect) { return overrideRedirect; },
                           timeout);
}

bool XSession::waitForMenusClosed(milliseconds timeout) {
    Display* display = xlib(m_connection);
    const Atom typeAtom = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
    const Atom menuTypes[] = {XInternAtom(display, "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU", False),
                              XInternAtom(display, "_NET_WM_WINDOW_TYPE_POPUP_MENU", False)};
    const auto isMenu = [&](Window window) {
        Atom actualType = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, window, typeAtom, 0, 16, False, XA_ATOM, &actualType,
                               &format, &count, &after, &data) != Success ||
            !data)
            return false;
        const Atom* types = reinterpret_cast<const Atom*>(data);
        const bool menu = format == 32 && std::any_of(types, types + count, [&](Atom type) {
                              return std::find(std::begin(menuTypes), std::end(menuTypes), type) !=
                                     std::end(menuTypes);
                          });
        XFree(data);
        return menu;
    };
    return waitUntil(
        [&] {
            for (const Window child : childWindows(display, DefaultRootWindow(display))) {
                XWindowAttributes attributes;
                if (XGetWindowAttributes(display, child, &attributes) &&
                    attributes.map_state == IsViewable && isMenu(child))
                    return false;
            }
            return true;
        },
        timeout);
}

std::optional<QString> XSession::waitForOtherWindow(const QStringList& known,
                                                    milliseconds timeout) {
    return waitForTopLevel(
        [&](const QString& id, bool overrideRedirect) {
            return !overrideRedirect && !known.contains(id);
        },
        timeout);
}

int XSession::windowCount() const {
    Display* display = xlib(m_connection);
    return countWindows(display, DefaultRootWindow(display));
}

int XSession::windowsInsideOthers(qint64 processId) const {
    Display* display = xlib(m_connection);
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    return countNested(display, DefaultRootWindow(display), pidAtom, processId, false);
}

QSize XSession::windowSize(const QString& windowId) const {
    XWindowAttributes attributes;
    if (!m_connection ||
        !XGetWindowAttributes(xlib(m_connection), windowNumber(windowId), &attributes))
        return {};
    return {attributes.width, attributes.height};
}

QImage XSession::grabWindow(const QString& windowId) const {
    Display* display = xlib(m_connection);
    const Window window = windowNumber(windowId);
    XWindowAttributes attributes;
    if (!display || !XGetWindowAttributes(display, window, &attributes)) return {};
    XImage* ximage = XGetImage(display, window, 0, 0, unsigned(attributes.width),
                               unsigned(attributes.height), AllPlanes, ZPixmap);
    if (!ximage) return {};
    QImage image(attributes.width, attributes.height, QImage::Format_RGB32);
    for (int y = 0; y < attributes.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < attributes.width; ++x) {
            const unsigned long pixel = XGetPixel(ximage, x, y);  // 24-bit TrueColor: 0xRRGGBB
            line[x] = qRgb(int((pixel & ximage->red_mask) >> 16),
                           int((pixel & ximage->green_mask) >> 8), int(pixel & ximage->blue_mask));
        }
    }
    XDestroyImage(ximage);
    return image;
}

bool XSession::requestClose(const QString& windowId) {
    Display* display = xlib(m_connection);
    if (!display) return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = windowNumber(windowId);
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XSync(display, False);
    return sent != 0;
}

}  // namespace velmora::testing
