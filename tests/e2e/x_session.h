#pragma once

#include <QByteArray>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace velmora::e2e {

using std::chrono::milliseconds;

// Polls cond every few milliseconds until it holds or timeout passes; true when it held.
bool waitUntil(const std::function<bool()>& cond, milliseconds timeout);

// A private X server (Xvfb on a free display) with a private home folder, and the programs
// started in it. Everything started here is stopped by the destructor, and dies with this
// process even when it is killed, so a failed or timed-out test leaves nothing behind.
class XSession {
public:
    XSession();
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // Starts Xvfb and prepares the home folder; false with a reason in error on failure.
    bool start(QString& error);

    // DISPLAY, HOME and the XDG folders inside the private home, a UTF-8 locale, the xcb
    // platform, and no session bus.
    QProcessEnvironment environment() const;
    QString homePath() const { return m_home.path(); }

    // Starts a notification area (a tint2 panel at the bottom of the screen) and waits until
    // it takes icons; false with a reason in error when tint2 is missing or does not come up.
    bool startTrayHost(QString& error);

    // Starts the program (no arguments) in this server, stopping the one started before.
    bool launch(const QString& program, QString& error);
    QProcess& program() { return *m_program; }

    // The first visible window whose title is exactly title, other than except, once there is one.
    std::optional<QString> waitForWindow(const QString& title, milliseconds timeout, const QString& except = {});
    // The first visible window, at any depth, whose class is exactly windowClass.
    std::optional<QString> waitForClass(const QString& windowClass, milliseconds timeout);
    // A visible top-level window that is not one of known, once there is one.
    std::optional<QString> waitForOtherWindow(const QStringList& known, milliseconds timeout);
    // The first mapped override-redirect window (a pop-up menu), once there is one.
    std::optional<QString> waitForPopup(milliseconds timeout);
    // True once no visible window has that title.
    bool waitForWindowGone(const QString& title, milliseconds timeout);

    // Runs a tool to its end in this server's environment; its standard output, or nullopt
    // when it failed to start, timed out or exited non-zero.
    std::optional<QByteArray> run(const QString& tool, const QStringList& args,
                                  const QByteArray& input = {});
    bool xdotool(const QStringList& args) { return run(QStringLiteral("xdotool"), args).has_value(); }

    // The CLIPBOARD selection as text; nullopt when nobody owns it or it holds no text.
    std::optional<QString> clipboard();
    // Puts text on the CLIPBOARD, held by an xclip of ours until someone else takes it.
    bool setClipboard(const QString& text);
    // True once another client has taken the CLIPBOARD from that xclip.
    bool waitForClipboardTaken(milliseconds timeout);

    // The window's size, and its current pixels (it must be mapped and not covered).
    QSize windowSize(const QString& windowId);
    QImage grabWindow(const QString& windowId);
    // Asks the window to close as a window manager's close box does (WM_DELETE_WINDOW).
    bool requestClose(const QString& windowId);

private:
    std::unique_ptr<QProcess> makeProcess() const;
    bool openDisplay();
    void mapDegreeSign();
    std::optional<QString> waitForTopLevel(const std::function<bool(const QString&, bool)>& accept,
                                           milliseconds timeout);

    QTemporaryDir m_home;
    pid_t m_xvfbPid = -1;
    QString m_display;
    void* m_xlib = nullptr;  // Display*, kept out of this header
    std::unique_ptr<QProcess> m_program;
    std::unique_ptr<QProcess> m_clipboardOwner;
    std::unique_ptr<QProcess> m_trayHost;
};

// Counts pixels whose largest channel difference exceeds channelTolerance (0..255); images
// of different sizes differ everywhere. A picture of the differing pixels goes to diff.
struct ImageDifference {
    qint64 differing = 0;
    qint64 total = 0;
    double share() const { return total ? double(differing) / double(total) : 1.0; }
};
ImageDifference compareImages(const QImage& actual, const QImage& expected, int channelTolerance,
                              QImage* diff = nullptr);

}  // namespace velmora::e2e
