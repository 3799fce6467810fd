// Measures a windowed program from outside, in the X server it draws to:
//  - start-up: from just before the program is started to its first top-level window being
//    mapped and fully painted (the window's whole area damaged by the program's own drawing),
//  - memory: the program's VmRSS at that moment,
//  - latency (optional): from a synthetic key press to the next repaint of the window.
// Nothing is added to the measured program: the window is found by MapNotify on the root
// window and painting is seen through the DAMAGE extension, so the same method measures any
// program. Every run starts a fresh process; medians are printed per measure.
//
// Usage: startup_watch [--runs N] [--keys N] [--label TEXT] [--display X,Y,W,H] -- PROGRAM
// [ARGS...]
// --display: the rectangle whose repaint ends a key's timing, in pixels of the client area,
// taken as the window's bottom 384 rows (the menu bar above it varies with the style); by
// default any repaint of the window counts.
// Output: one line "label start_ms rss_mib key_median_ms key_worst_ms" (medians over the
// runs; key figures "-" without --keys). Exits non-zero when a run fails or times out.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kStartTimeoutMs = 15'000.0;  // a start-up slower than this is a failure
constexpr double kKeyTimeoutMs = 1'000.0;     // no repaint within this after a key: a failure
constexpr int kStopGraceMs = 2'000;           // SIGTERM, then SIGKILL after this

double msSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

double median(std::vector<double> v) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

// Resident set size in MiB from /proc/<pid>/status; 0 when unreadable.
double rssMib(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;  // kB
    }
    return 0.0;
}

constexpr int kClientHeight = 384;  // pixels below the menu bar, in both measured programs

struct Options {
    int runs = 10;
    int keys = 0;
    std::optional<XRectangle> display;
    std::string label;
    std::vector<char*> argv;  // null-terminated
};

struct RunResult {
    double startMs = 0;
    double rssMib = 0;
    std::vector<double> keyMs;
};

class Watcher {
public:
    explicit Watcher(Display* dpy) : m_dpy(dpy), m_root(DefaultRootWindow(dpy)) {}

    bool init() {
        int errorBase = 0;
        if (!XDamageQueryExtension(m_dpy, &m_damageEvent, &errorBase)) {
            std::fprintf(stderr, "startup_watch: the X server has no DAMAGE extension\n");
            return false;
        }
        int major = 0, minor = 0, eventBase = 0;
        if (!XTestQueryExtension(m_dpy, &eventBase, &errorBase, &major, &minor)) {
            std::fprintf(stderr, "startup_watch: the X server has no XTEST extension\n");
            return false;
        }
        // Damage on the root reports drawing anywhere on the screen, children included, so
        // nothing is missed between the window's creation and our noticing it.
        m_damage = XDamageCreate(m_dpy, m_root, XDamageReportRawRectangles);
        XSelectInput(m_dpy, m_root, SubstructureNotifyMask);
        XSync(m_dpy, False);
        fcntl(ConnectionNumber(m_dpy), F_SETFD, FD_CLOEXEC);
        return true;
    }

    std::optional<RunResult> run(const Options& opt) {
        drain();
        const Clock::time_point t0 = Clock::now();
        const pid_t pid = fork();
        if (pid < 0) return std::nullopt;
        if (pid == 0) {
            execvp(opt.argv[0], opt.argv.data());
            std::perror("startup_watch: exec");
            _exit(127);
        }
        RunResult result;
        std::optional<XRectangle> win = waitShown(pid, t0);
        if (win) {
            result.startMs = msSince(t0);
            result.rssMib = rssMib(pid);
            XRectangle target = *win;
            if (opt.display) {
                target = *opt.display;
                target.x = static_cast<short>(target.x + win->x);
                target.y = static_cast<short>(target.y + win->y + win->height - kClientHeight);
            }
            if (opt.keys > 0 && !typeKeys(target, opt.keys, result.keyMs)) win.reset();
        }
        stop(pid);
        if (!win) return std::nullopt;
        return result;
    }

private:
    // Waits for the first top-level window mapped after t0 and for damage covering all of it.
    std::optional<XRectangle> waitShown(pid_t pid, Clock::time_point t0) {
        Window win = 0;
        XRectangle area{};
        Region painted = XCreateRegion();
        std::optional<XRectangle> shown;
        while (!shown && msSince(t0) < kStartTimeoutMs) {
            if (waitpid(pid, nullptr, WNOHANG) == pid) {
                std::fprintf(stderr, "startup_watch: the program ended before showing a window\n");
                break;
            }
            XEvent ev;
            if (!nextEvent(ev, 50.0)) continue;
            if (ev.type == MapNotify && !win && !ev.xmap.override_redirect &&
                ev.xmap.event == m_root) {
                XWindowAttributes attrs;
                if (XGetWindowAttributes(m_dpy, ev.xmap.window, &attrs)) {
                    win = ev.xmap.window;
                    area = {static_cast<short>(attrs.x), static_cast<short>(attrs.y),
                            static_cast<unsigned short>(attrs.width),
                            static_cast<unsigned short>(attrs.height)};
                    m_window = win;
                }
            } else if (ev.type == m_damageEvent + XDamageNotify && win) {
                auto* d = reinterpret_cast<XDamageNotifyEvent*>(&ev);
                XRectangle r = d->area;
                XUnionRectWithRegion(&r, painted, painted);
                if (XRectInRegion(painted, area.x, area.y, area.width, area.height) == RectangleIn)
                    shown = area;
            }
        }
        XDestroyRegion(painted);
        return shown;
    }

    // Presses keys on the shown window, one at a time, each timed to the next damage that
    // touches area (root coordinates).
    // The cycle "1" "2" "3" Delete changes the display on every key in both measured programs.
    bool typeKeys(const XRectangle& area, int count, std::vector<double>& latencies) {
        XSetInputFocus(m_dpy, m_window, RevertToParent, CurrentTime);
        XSync(m_dpy, False);
        drain();
        const KeySym cycle[] = {XK_1, XK_2, XK_3, XK_Delete};
        for (int i = 0; i < count; ++i) {
            const KeyCode code = XKeysymToKeycode(m_dpy, cycle[i % 4]);
            const Clock::time_point t0 = Clock::now();
            XTestFakeKeyEvent(m_dpy, code, True, CurrentTime);
            XTestFakeKeyEvent(m_dpy, code, False, CurrentTime);
            XFlush(m_dpy);
            bool repainted = false;
            while (!repainted && msSince(t0) < kKeyTimeoutMs) {
                XEvent ev;
                if (!nextEvent(ev, kKeyTimeoutMs)) continue;
                if (ev.type != m_damageEvent + XDamageNotify) continue;
                const XRectangle& r = reinterpret_cast<XDamageNotifyEvent*>(&ev)->area;
                repainted = r.x < area.x + area.width && area.x < r.x + r.width &&
                            r.y < area.y + area.height && area.y < r.y + r.height;
            }
            if (!repainted) {
                std::fprintf(stderr, "startup_watch: no repaint after key %d\n", i);
                return false;
            }
            latencies.push_back(msSince(t0));
            // Let the rest of this key's repaint arrive before the next key is timed.
            XEvent ev;
            while (nextEvent(ev, 2.0)) {}
        }
        return true;
    }

    // Next X event, waiting at most timeoutMs; false on timeout.
    bool nextEvent(XEvent& ev, double timeoutMs) {
        const Clock::time_point t0 = Clock::now();
        while (!XPending(m_dpy)) {
            const double left = timeoutMs - msSince(t0);
            if (left <= 0) return false;
            fd_set fds;
            FD_ZERO(&fds);
            FD_SET(ConnectionNumber(m_dpy), &fds);
            timeval tv{static_cast<time_t>(left / 1000),
                       static_cast<suseconds_t>(static_cast<long>(left * 1000) % 1'000'000)};
            select(ConnectionNumber(m_dpy) + 1, &fds, nullptr, nullptr, &tv);
        }
        XNextEvent(m_dpy, &ev);
        return true;
    }

    void drain() {
        XSync(m_dpy, False);
        XEvent ev;
        while (XPending(m_dpy)) XNextEvent(m_dpy, &ev);
    }

    static void stop(pid_t pid) {
        kill(pid, SIGTERM);
        const Clock::time_point t0 = Clock::now();
        while (waitpid(pid, nullptr, WNOHANG) == 0) {
            if (msSince(t0) > kStopGraceMs) {
                kill(pid, SIGKILL);
                waitpid(pid, nullptr, 0);
                break;
            }
            usleep(2'000);
        }
    }

    Display* m_dpy;
    Window m_root;
    Window m_window = 0;
    Damage m_damage = 0;
    int m_damageEvent = 0;
};

std::optional<Options> parseArgs(int argc, char** argv) {
    Options opt;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--") {
            ++i;
            break;
        }
        if (i + 1 >= argc) return std::nullopt;
        if (a == "--runs") opt.runs = std::atoi(argv[++i]);
        else if (a == "--keys") opt.keys = std::atoi(argv[++i]);
        else if (a == "--label") opt.label = argv[++i];
        else if (a == "--display") {
            int x = 0, y = 0, w = 0, h = 0;
            if (std::sscanf(argv[++i], "%d,%d,%d,%d", &x, &y, &w, &h) != 4 || w <= 0 || h <= 0)
                return std::nullopt;
            opt.display =
                XRectangle{static_cast<short>(x), static_cast<short>(y),
                           static_cast<unsigned short>(w), static_cast<unsigned short>(h)};
        } else return std::nullopt;
    }
    if (i >= argc || opt.runs < 1 || opt.keys < 0) return std::nullopt;
    for (; i < argc; ++i) opt.argv.push_back(argv[i]);
    opt.argv.push_back(nullptr);
    if (opt.label.empty()) opt.label = opt.argv[0];
    return opt;
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<Options> opt = parseArgs(argc, argv);
    if (!opt) {
        std::fprintf(
            stderr,
            "usage: startup_watch [--runs N] [--keys N] [--label TEXT] [--display X,Y,W,H] -- "
            "PROGRAM [ARGS...]\n");
        return 2;
    }
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "startup_watch: cannot open the X display\n");
        return 2;
    }
    Watcher watcher(dpy);
    if (!watcher.init()) return 2;

    std::vector<double> starts, rss, keys;
    double worstKey = 0;
    for (int r = 0; r < opt->runs; ++r) {
        // Key latency is taken in the first run only: 1,000 keys per run would add nothing.
        Options runOpt = *opt;
        if (r > 0) runOpt.keys = 0;
        const std::optional<RunResult> res = watcher.run(runOpt);
        if (!res) {
            std::fprintf(stderr, "startup_watch: run %d of %s failed\n", r + 1, opt->label.c_str());
            return 1;
        }
        starts.push_back(res->startMs);
        rss.push_back(res->rssMib);
        for (double k : res->keyMs) {
            keys.push_back(k);
            worstKey = std::max(worstKey, k);
        }
    }
    std::printf("%s %.1f %.1f", opt->label.c_str(), median(starts), median(rss));
    if (keys.empty()) std::printf(" - -\n");
    else std::printf(" %.3f %.3f\n", median(keys), worstKey);
    XCloseDisplay(dpy);
    return 0;
}
