#include "x_session.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace velmora::desktop::testing {

namespace {

// A panel holding only a notification area, big enough to click on its icons.
constexpr char kTint2Config[] =
    "panel_items = S\n"
    "panel_size = 100% 32\n"
    "panel_position = bottom center horizontal\n"
    "systray_padding = 2 2 2\n"
    "systray_icon_size = 24\n"
    "disable_transparency = 1\n";

int countWindows(Display* display, Window window) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
    int total = static_cast<int>(count);
    for (unsigned int i = 0; i < count; ++i) total += countWindows(display, children[i]);
    if (children) XFree(children);
    return total;
}

// Windows below `window` (at any depth below the root's children) whose _NET_WM_PID is pid.
int countNested(Display* display, Window window, Atom pidAtom, qint64 pid, bool nested) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
    int total = 0;
    for (unsigned int i = 0; i < count; ++i) {
        if (nested) {
            Atom type = 0;
            int format = 0;
            unsigned long items = 0;
            unsigned long remaining = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(display, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items,
                                   &remaining, &data) == Success &&
                data && items == 1 && static_cast<qint64>(*reinterpret_cast<unsigned long*>(data)) == pid) {
                ++total;
            }
            if (data) XFree(data);
        }
        total += countNested(display, children[i], pidAtom, pid, true);
    }
    if (children) XFree(children);
    return total;
}

// Windows of other programs come and go while the tree is walked; Xlib's default handler
// would end the test at the first BadWindow.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

void endProcess(QProcess& process) {
    if (process.state() == QProcess::NotRunning) return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

}  // namespace

void dieWithParent(QProcess& process) {
    process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

XSession::XSession() {
    dieWithParent(m_xvfb);
    dieWithParent(m_tint2);
}

XSession::~XSession() {
    stopTrayHost();
    if (m_connection) XCloseDisplay(m_connection);
    endProcess(m_xvfb);
}

bool XSession::start(QString* error) {
    if (QStandardPaths::findExecutable("Xvfb").isEmpty()) {
        *error = "Xvfb is not installed";
        return false;
    }
    // -displayfd 1: Xvfb picks a free display and writes its number to standard output.
    // -noreset: root properties set here survive the last client disconnecting.
    m_xvfb.start("Xvfb", {"-displayfd", "1", "-noreset", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
    const QDeadlineTimer deadline(10000);
    QByteArray output;
    while (!output.contains('\n') && !deadline.hasExpired() && m_xvfb.state() != QProcess::NotRunning) {
        m_xvfb.waitForReadyRead(200);
        output += m_xvfb.readAllStandardOutput();
    }
    bool ok = false;
    const int number = output.trimmed().toInt(&ok);
    if (!ok) {
        *error = "Xvfb did not report a display: " + QString::fromLocal8Bit(m_xvfb.readAllStandardError());
        return false;
    }
    m_display = ":" + QString::number(number);
    XSetErrorHandler(ignoreXError);
    m_connection = XOpenDisplay(m_display.toLocal8Bit().constData());
    if (!m_connection) {
        *error = "cannot connect to " + m_display;
        return false;
    }
    return true;
}

QProcessEnvironment XSession::environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", m_display);
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/velmora-test-bus");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("XDG_SESSION_TYPE");
    return environment;
}

bool XSession::startTrayHost(QString* error) {
    if (hasTrayHost()) return true;
    if (QStandardPaths::findExecutable("tint2").isEmpty()) {
        *error = "tint2 is not installed";
        return false;
    }
    // tint2 waits up to 15 s for a window manager to announce its desktops; there is none here.
    const Window root = DefaultRootWindow(m_connection);
    const long desktops = 1;
    XChangeProperty(m_connection, root, XInternAtom(m_connection, "_NET_NUMBER_OF_DESKTOPS", False), XA_CARDINAL,
                    32, PropModeReplace, reinterpret_cast<const unsigned char*>(&desktops), 1);
    XSync(m_connection, False);

    const QString config = m_dir.filePath("tint2rc");
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly) || file.write(kTint2Config) < 0) {
        *error = "cannot write " + config;
        return false;
    }
    file.close();
    m_tint2.setProcessEnvironment(environment());
    m_tint2.setStandardOutputFile(QProcess::nullDevice());
    m_tint2.setStandardErrorFile(QProcess::nullDevice());
    m_tint2.start("tint2", {"-c", config});
    m_tint2.waitForStarted(5000);

    const Atom selection = XInternAtom(m_connection, "_NET_SYSTEM_TRAY_S0", False);
    const QDeadlineTimer deadline(10000);
    while (XGetSelectionOwner(m_connection, selection) == None) {
        if (deadline.hasExpired() || m_tint2.state() == QProcess::NotRunning) {
            *error = "tint2 did not open a notification area";
            stopTrayHost();
            return false;
        }
        QThread::msleep(50);
    }
    return true;
}

void XSession::stopTrayHost() {
    endProcess(m_tint2);
}

bool XSession::hasTrayHost() const {
    return m_tint2.state() != QProcess::NotRunning;
}

int XSession::windowCount() const {
    return countWindows(m_connection, DefaultRootWindow(m_connection));
}

int XSession::windowsInsideOthers(qint64 processId) const {
    const Atom pidAtom = XInternAtom(m_connection, "_NET_WM_PID", False);
    return countNested(m_connection, DefaultRootWindow(m_connection), pidAtom, processId, false);
}

QByteArray XSession::run(const QString& program, const QStringList& arguments, int timeoutMs) const {
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
    }
    return process.readAllStandardOutput();
}

}  // namespace velmora::desktop::testing
