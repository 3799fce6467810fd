#pragma once

#include <QByteArray>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace velmora::testing {

// Polls condition every few milliseconds until it holds or timeout passes; true when it held.
// Runs no event loop.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

// Makes the process be killed when the test ends, even by a timeout or a crash, so nothing it
// started outlives the test.
void dieWithParent(QProcess& process);

// A private X server (Xvfb on a display it picks itself) with a private home folder, and the
// programs started in it: on request a tint2 panel holding a notification area, the program
// under test, an xclip holding the clipboard. Everything started here is ended by the
// destructor and dies with the test process, whatever the test did. Window ids are the decimal
// or 0x-prefixed numbers xdotool writes and reads.
class XSession {
public:
    XSession();
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // The screen Xvfb is started with, 1024 x 768 unless set before start().
    void setScreenSize(QSize size) { m_screenSize = size; }
    // An environment variable for every program started here (QT_SCALE_FACTOR, say).
    void setVariable(const QString& name, const QString& value) { m_variables.insert(name, value); }

    // Starts Xvfb and prepares the home folder; false with a reason in error on failure. The
    // degree sign gets a key of its own and the pointer rests in the top left corner.
    bool start(QString* error);
    QString display() const { return m_display; }
    QString homePath() const { return m_home.path(); }
    // For programs run on this display: DISPLAY, HOME and the XDG folders inside the private
    // home, a UTF-8 locale, Qt on xcb; no Wayland, no session manager and an unreachable
    // session bus, so nothing reaches the user's own desktop.
    QProcessEnvironment environment() const;

    // A notification area: a tint2 panel along the bottom edge. Waits until it takes icons;
    // false with a reason in error when tint2 is missing or does not come up.
    bool startTrayHost(QString* error);
    void stopTrayHost();
    bool hasTrayHost() const;

    // Starts the program (no arguments) on this display, ending the one started before.
    bool launch(const QString& program, QString* error);
    QProcess& program() { return *m_program; }

    // Runs a tool to its end on this display; its standard output, or nullopt when it failed to
    // start, timed out or exited non-zero.
    std::optional<QByteArray> run(const QString& tool, const QStringList& arguments,
                                  const QByteArray& input = {});
    bool xdotool(const QStringList& arguments) {
        return run(QStringLiteral("xdotool"), arguments).has_value();
    }

    // The CLIPBOARD selection as text; nullopt when nobody owns it or it holds no text.
    std::optional<QString> clipboard();
    // Puts text on the CLIPBOARD, held by an xclip of ours until someone else takes it.
    bool setClipboard(const QString& text);
    // True once another client has taken the CLIPBOARD from that xclip.
    bool waitForClipboardTaken(std::chrono::milliseconds timeout);

    // The first visible window whose title is exactly title, other than except, once there is one.
    std::optional<QString> waitForWindow(const QString& title, std::chrono::milliseconds timeout,
                                         const QString& except = {});
    // The first visible window, at any depth, whose class is exactly windowClass.
    std::optional<QString> waitForClass(const QString& windowClass,
                                        std::chrono::milliseconds timeout);
    // A visible top-level window that is not one of known, once there is one.
    std::optional<QString> waitForOtherWindow(const QStringList& known,
                                              std::chrono::milliseconds timeout);
    // The first mapped override-redirect window (a pop-up menu), once there is one.
    std::optional<QString> waitForPopup(std::chrono::milliseconds timeout);
    // True once no menu (a window of type drop-down or pop-up menu) is mapped: the menu's
    // keyboard grab has then been given back, so the next key reaches the main window.
    bool waitForMenusClosed(std::chrono::milliseconds timeout);
    // True once no visible window has that title.
    bool waitForWindowGone(const QString& title, std::chrono::milliseconds timeout);

    // Every window on the display, top-level or not.
    int windowCount() const;
    // Windows of the process that sit inside another window rather than on the root: icons
    // embedded in a notification area (top-level windows have no such parent without a
    // window manager).
    int windowsInsideOthers(qint64 processId) const;

    // The window's size, and its current pixels (it must be mapped and not covered).
    QSize windowSize(const QString& windowId) const;
    QImage grabWindow(const QString& windowId) const;
    // Asks the window to close as a window manager's close box does (WM_DELETE_WINDOW).
    bool requestClose(const QString& windowId);

private:
    std::unique_ptr<QProcess> makeProcess() const;
    void mapDegreeSign();
    std::optional<QString> waitForTopLevel(const std::function<bool(const QString&, bool)>& accept,
                                           std::chrono::milliseconds timeout);
    std::optional<QString> waitForSearch(const QStringList& search, const QString& except,
                                         std::chrono::milliseconds timeout);

    QTemporaryDir m_home;
    QSize m_screenSize{1024, 768};
    QProcessEnvironment m_variables;
    QString m_display;
    void* m_connection = nullptr;  // Display*, kept out of this header
    std::unique_ptr<QProcess> m_xvfb;
    std::unique_ptr<QProcess> m_trayHost;
    std::unique_ptr<QProcess> m_program;
    std::unique_ptr<QProcess> m_clipboardOwner;
};

}  // namespace velmora::testing
