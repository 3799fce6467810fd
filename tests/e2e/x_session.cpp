#include "x_session.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace velmora::e2e {
namespace {

constexpr milliseconds kPollInterval{20};       // between two looks at a condition
constexpr milliseconds kXvfbStartTimeout{10'000};
constexpr milliseconds kToolTimeout{10'000};    // xdotool, xclip: each call is quick
constexpr milliseconds kStopGrace{2'000};       // SIGTERM, then SIGKILL after this

Display* xlib(void* p) { return static_cast<Display*>(p); }

// Children die with the test process, even when ctest kills it on a timeout.
void dieWithParent() { prctl(PR_SET_PDEATHSIG, SIGKILL); }

void stopProcess(QProcess& p) {
    if (p.state() == QProcess::NotRunning) return;
    p.terminate();
    if (!p.waitForFinished(int(kStopGrace.count()))) {
        p.kill();
        p.waitForFinished(int(kStopGrace.count()));
    }
}

unsigned long windowNumber(const QString& windowId) { return windowId.toULong(nullptr, 0); }

}  // namespace

bool waitUntil(const std::function<bool()>& cond, milliseconds timeout) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (cond()) return true;
        if (clock.elapsed() >= timeout.count()) return false;
        QThread::msleep(kPollInterval.count());
    }
}

XSession::XSession() = default;

XSession::~XSession() {
    if (m_clipboardOwner) stopProcess(*m_clipboardOwner);
    if (m_program) stopProcess(*m_program);
    if (m_trayHost) stopProcess(*m_trayHost);
    if (m_xlib) XCloseDisplay(xlib(m_xlib));
    if (m_xvfbPid > 0) {
        kill(m_xvfbPid, SIGTERM);
        QElapsedTimer clock;
        clock.start();
        while (waitpid(m_xvfbPid, nullptr, WNOHANG) == 0) {
            if (clock.elapsed() > kStopGrace.count()) {
                kill(m_xvfbPid, SIGKILL);
                waitpid(m_xvfbPid, nullptr, 0);
                break;
            }
            QThread::msleep(5);
        }
    }
}

bool XSession::start(QString& error) {
    if (!m_home.isValid()) {
        error = QStringLiteral("no temporary folder");
        return false;
    }
    for (const char* sub : {".config", "runtime", "Desktop"}) QDir(m_home.path()).mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(m_home.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // Xvfb chooses a free display itself and writes its number on fd 3 once it is ready.
    int fds[2];
    if (pipe(fds) != 0) {
        error = QStringLiteral("pipe failed");
        return false;
    }
    const QByteArray log = QFile::encodeName(m_home.filePath(QStringLiteral("xvfb.log")));
    m_xvfbPid = fork();
    if (m_xvfbPid == 0) {
        dieWithParent();
        close(fds[0]);
        if (fds[1] != 3) {
            dup2(fds[1], 3);
            close(fds[1]);
        }
        const int logFd = open(log.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (logFd >= 0) dup2(logFd, 2);
        execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    if (m_xvfbPid < 0) {
        close(fds[0]);
        error = QStringLiteral("fork failed");
        return false;
    }
    QByteArray number;
    QElapsedTimer clock;
    clock.start();
    while (!number.endsWith('\n') && clock.elapsed() < kXvfbStartTimeout.count()) {
        pollfd pfd{fds[0], POLLIN, 0};
        if (poll(&pfd, 1, int(kPollInterval.count())) <= 0) continue;
        char buf[32];
        const ssize_t n = read(fds[0], buf, sizeof buf);
        if (n <= 0) break;  // Xvfb ended
        number.append(buf, int(n));
    }
    close(fds[0]);
    if (!number.endsWith('\n')) {
        QFile f(QString::fromLocal8Bit(log));
        f.open(QIODevice::ReadOnly);
        error = QStringLiteral("Xvfb did not start: ") + QString::fromLocal8Bit(f.readAll());
        return false;
    }
    m_display = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
    if (!openDisplay()) {
        error = QStringLiteral("cannot connect to ") + m_display;
        return false;
    }
    mapDegreeSign();
    // The pointer starts in the middle of the screen, where the window will appear; move it
    // away so that no key is hovered unless a test means it.
    xdotool({QStringLiteral("mousemove"), QStringLiteral("0"), QStringLiteral("0")});
    return true;
}

// The default keymap has no degree sign, and xdotool would map one to a spare key just while
// typing it, racing the program's reading of the new keymap (the first "°" can get lost).
// Mapping it once, before the program starts, makes it an ordinary key.
void XSession::mapDegreeSign() {
    Display* dpy = xlib(m_xlib);
    if (XKeysymToKeycode(dpy, XK_degree) != 0) return;
    int minCode = 0, maxCode = 0, perCode = 0;
    XDisplayKeycodes(dpy, &minCode, &maxCode);
    KeySym* map = XGetKeyboardMapping(dpy, KeyCode(minCode), maxCode - minCode + 1, &perCode);
    if (!map) return;
    for (int code = maxCode; code >= minCode; --code) {
        const KeySym* syms = map + (code - minCode) * perCode;
        if (std::all_of(syms, syms + perCode, [](KeySym k) { return k == NoSymbol; })) {
            KeySym degree[2] = {XK_degree, XK_degree};
            XChangeKeyboardMapping(dpy, code, 2, degree, 1);
            break;
        }
    }
    XFree(map);
    XSync(dpy, False);
}

bool XSession::openDisplay() {
    m_xlib = XOpenDisplay(m_display.toLatin1().constData());
    if (m_xlib) fcntl(ConnectionNumber(xlib(m_xlib)), F_SETFD, FD_CLOEXEC);
    return m_xlib != nullptr;
}

QProcessEnvironment XSession::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.insert(QStringLiteral("HOME"), m_home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral(".config")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.filePath(QStringLiteral("runtime")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // xdotool reads the degree sign of its argument through the locale; keep it UTF-8 and
    // keep number formats the same everywhere.
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral(".local/share")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), m_home.filePath(QStringLiteral(".cache")));
    // Nothing of the user's desktop session: no Wayland, no session manager, and no session
    // bus, where a tray icon would show up on the user's own panel.
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("SESSION_MANAGER"));
    env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    return env;
}

std::unique_ptr<QProcess> XSession::makeProcess() const {
    auto p = std::make_unique<QProcess>();
    p->setProcessEnvironment(environment());
    p->setChildProcessModifier(dieWithParent);
    return p;
}

bool XSession::startTrayHost(QString& error) {
    // A panel holding only the notification area, along the bottom edge.
    static const char kTint2Config[] =
        "panel_items = S\n"
        "panel_size = 100% 30\n"
        "panel_position = bottom center horizontal\n"
        "systray_padding = 2 2 2\n"
        "systray_icon_size = 22\n";
    QFile config(m_home.filePath(QStringLiteral("tint2rc")));
    if (!config.open(QIODevice::WriteOnly) || config.write(kTint2Config) < 0) {
        error = QStringLiteral("cannot write ") + config.fileName();
        return false;
    }
    config.close();
    // tint2 waits for a window manager to announce its desktops; there is none, so announce one.
    Display* dpy = xlib(m_xlib);
    const long desktops = 1;
    XChangeProperty(dpy, DefaultRootWindow(dpy), XInternAtom(dpy, "_NET_NUMBER_OF_DESKTOPS", False), XA_CARDINAL,
                    32, PropModeReplace, reinterpret_cast<const unsigned char*>(&desktops), 1);
    XSync(dpy, False);

    m_trayHost = makeProcess();
    m_trayHost->setStandardOutputFile(QProcess::nullDevice());
    m_trayHost->setStandardErrorFile(QProcess::nullDevice());
    m_trayHost->start(QStringLiteral("tint2"), {QStringLiteral("-c"), config.fileName()});
    if (!m_trayHost->waitForStarted()) {
        error = QStringLiteral("cannot start tint2");
        return false;
    }
    const Atom tray = XInternAtom(dpy, "_NET_SYSTEM_TRAY_S0", False);
    if (!waitUntil([&] { return XGetSelectionOwner(dpy, tray) != None; }, kToolTimeout)) {
        error = QStringLiteral("tint2 opened no notification area");
        return false;
    }
    return true;
}

bool XSession::launch(const QString& program, QString& error) {
    if (m_program) stopProcess(*m_program);
    m_program = makeProcess();
    m_program->setProcessChannelMode(QProcess::ForwardedChannels);
    m_program->start(program, {});
    if (!m_program->waitForStarted()) {
        error = QStringLiteral("cannot start ") + program + QStringLiteral(": ") + m_program->errorString();
        return false;
    }
    return true;
}

std::optional<QByteArray> XSession::run(const QString& tool, const QStringList& args,
                                        const QByteArray& input) {
    std::unique_ptr<QProcess> p = makeProcess();
    p->start(tool, args);
    if (!p->waitForStarted()) return std::nullopt;
    if (!input.isEmpty()) {
        p->write(input);
        p->waitForBytesWritten(int(kToolTimeout.count()));
    }
    p->closeWriteChannel();
    if (!p->waitForFinished(int(kToolTimeout.count()))) {
        stopProcess(*p);
        return std::nullopt;
    }
    if (p->exitStatus() != QProcess::NormalExit || p->exitCode() != 0) return std::nullopt;
    return p->readAllStandardOutput();
}

std::optional<QString> XSession::waitForWindow(const QString& title, milliseconds timeout, const QString& except) {
    std::optional<QString> found;
    const QStringList args{QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                           QLatin1Char('^') + title + QLatin1Char('$')};
    waitUntil(
        [&] {
            const std::optional<QByteArray> out = run(QStringLiteral("xdotool"), args);
            if (!out) return false;
            for (const QByteArray& id : out->trimmed().split('\n'))
                if (!id.isEmpty() && QString::fromLatin1(id) != except) {
                    found = QString::fromLatin1(id);
                    break;
                }
            return found.has_value();
        },
        timeout);
    return found;
}

std::optional<QString> XSession::waitForClass(const QString& windowClass, milliseconds timeout) {
    std::optional<QString> found;
    const QStringList args{QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--class"),
                           QLatin1Char('^') + windowClass + QLatin1Char('$')};
    waitUntil(
        [&] {
            const std::optional<QByteArray> out = run(QStringLiteral("xdotool"), args);
            if (out && !out->trimmed().isEmpty())
                found = QString::fromLatin1(out->trimmed().split('\n').first());
            return found.has_value();
        },
        timeout);
    return found;
}

bool XSession::waitForWindowGone(const QString& title, milliseconds timeout) {
    const QStringList args{QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                           QLatin1Char('^') + title + QLatin1Char('$')};
    return waitUntil(
        [&] {
            const std::optional<QByteArray> out = run(QStringLiteral("xdotool"), args);
            return !out || out->trimmed().isEmpty();  // xdotool search fails when nothing matches
        },
        timeout);
}

// The first viewable child of the root (top-level window) for which accept holds.
std::optional<QString> XSession::waitForTopLevel(const std::function<bool(const QString&, bool)>& accept,
                                                 milliseconds timeout) {
    Display* dpy = xlib(m_xlib);
    std::optional<QString> found;
    waitUntil(
        [&] {
            Window root = 0, parent = 0;
            Window* children = nullptr;
            unsigned int count = 0;
            if (!XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &children, &count)) return false;
            for (unsigned int i = 0; i < count && !found; ++i) {
                XWindowAttributes attrs;
                const QString id = QString::number(children[i]);
                if (XGetWindowAttributes(dpy, children[i], &attrs) && attrs.map_state == IsViewable &&
                    accept(id, attrs.override_redirect))
                    found = id;
            }
            if (children) XFree(children);
            return found.has_value();
        },
        timeout);
    return found;
}

std::optional<QString> XSession::waitForPopup(milliseconds timeout) {
    return waitForTopLevel([](const QString&, bool overrideRedirect) { return overrideRedirect; }, timeout);
}

std::optional<QString> XSession::waitForOtherWindow(const QStringList& known, milliseconds timeout) {
    return waitForTopLevel(
        [&](const QString& id, bool overrideRedirect) { return !overrideRedirect && !known.contains(id); },
        timeout);
}

std::optional<QString> XSession::clipboard() {
    const std::optional<QByteArray> out =
        run(QStringLiteral("xclip"), {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard")});
    if (!out) return std::nullopt;
    return QString::fromUtf8(*out);
}

bool XSession::setClipboard(const QString& text) {
    if (m_clipboardOwner) stopProcess(*m_clipboardOwner);
    // -quiet keeps xclip in the foreground, so that it stays ours to stop.
    m_clipboardOwner = makeProcess();
    m_clipboardOwner->start(QStringLiteral("xclip"), {QStringLiteral("-quiet"), QStringLiteral("-i"),
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

QSize XSession::windowSize(const QString& windowId) {
    XWindowAttributes attrs;
    if (!m_xlib || !XGetWindowAttributes(xlib(m_xlib), windowNumber(windowId), &attrs)) return {};
    return {attrs.width, attrs.height};
}

QImage XSession::grabWindow(const QString& windowId) {
    Display* dpy = xlib(m_xlib);
    const Window win = windowNumber(windowId);
    XWindowAttributes attrs;
    if (!dpy || !XGetWindowAttributes(dpy, win, &attrs)) return {};
    XImage* ximage = XGetImage(dpy, win, 0, 0, unsigned(attrs.width), unsigned(attrs.height), AllPlanes, ZPixmap);
    if (!ximage) return {};
    QImage image(attrs.width, attrs.height, QImage::Format_RGB32);
    for (int y = 0; y < attrs.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < attrs.width; ++x) {
            const unsigned long pixel = XGetPixel(ximage, x, y);  // 24-bit TrueColor: 0xRRGGBB
            line[x] = qRgb(int((pixel & ximage->red_mask) >> 16), int((pixel & ximage->green_mask) >> 8),
                           int(pixel & ximage->blue_mask));
        }
    }
    XDestroyImage(ximage);
    return image;
}

bool XSession::requestClose(const QString& windowId) {
    Display* dpy = xlib(m_xlib);
    if (!dpy) return false;
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = windowNumber(windowId);
    ev.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = long(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
    ev.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(dpy, ev.xclient.window, False, NoEventMask, &ev);
    XSync(dpy, False);
    return sent != 0;
}

ImageDifference compareImages(const QImage& actual, const QImage& expected, int channelTolerance,
                              QImage* diff) {
    ImageDifference result;
    result.total = qint64(expected.width()) * expected.height();
    if (actual.size() != expected.size()) {
        result.differing = result.total;
        return result;
    }
    const QImage a = actual.convertToFormat(QImage::Format_RGB32);
    const QImage e = expected.convertToFormat(QImage::Format_RGB32);
    if (diff) {
        *diff = QImage(e.size(), QImage::Format_RGB32);
        diff->fill(Qt::white);
    }
    for (int y = 0; y < e.height(); ++y) {
        const auto* la = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* le = reinterpret_cast<const QRgb*>(e.constScanLine(y));
        for (int x = 0; x < e.width(); ++x) {
            const int d = std::max({std::abs(qRed(la[x]) - qRed(le[x])), std::abs(qGreen(la[x]) - qGreen(le[x])),
                                    std::abs(qBlue(la[x]) - qBlue(le[x]))});
            if (d > channelTolerance) {
                ++result.differing;
                if (diff) diff->setPixel(x, y, qRgb(255, 0, 0));
            }
        }
    }
    return result;
}

}  // namespace velmora::e2e
