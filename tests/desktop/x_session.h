#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <memory>

using Display = struct _XDisplay;

namespace velmora::desktop::testing {

// Makes the process be killed when the test ends, even by a timeout or a crash, so no X server,
// panel or probe outlives it.
void dieWithParent(QProcess& process);

// A private X server (Xvfb on a display it picks itself) and, on request, a tint2 panel with a
// notification area. Everything started is ended by the destructor, whatever the test did.
class XSession {
public:
    XSession();
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // Starts Xvfb; false (with a reason) when it is missing or does not come up.
    bool start(QString* error);
    QString display() const { return m_display; }
    // The environment for programs run on this display: DISPLAY set, no Wayland, no D-Bus, so
    // Qt uses the X11 notification area and nothing reaches the user's session.
    QProcessEnvironment environment() const;

    bool startTrayHost(QString* error);
    void stopTrayHost();
    bool hasTrayHost() const;

    // Every window on the display, top-level or not.
    int windowCount() const;
    // Windows of the process that sit inside another window rather than on the root: icons
    // embedded in a notification area (top-level windows have no such parent without a
    // window manager).
    int windowsInsideOthers(qint64 processId) const;
    // Runs a command-line tool (xdotool, xclip) on this display; its standard output.
    QByteArray run(const QString& program, const QStringList& arguments, int timeoutMs = 5000) const;

private:
    QTemporaryDir m_dir;
    QProcess m_xvfb;
    QProcess m_tint2;
    Display* m_connection = nullptr;
    QString m_display;
};

}  // namespace velmora::desktop::testing
