#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>

class QLocalServer;
class QTimer;

namespace velmora::desktop {

// One running copy of the program per user and display. The first launch claims it and
// answers the later ones; a later launch asks the running copy to show its window and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Claim {
        First,     // this process runs the program; call startListening() once it can show itself
        Handed,    // a running copy was asked to show its window: end with status 0
        NoAnswer,  // a copy holds the claim but did not answer in time
        Failed,    // the claim cannot be made at all (no folder to keep it in): run unguarded
    };

    ~SingleInstance() override = default;

    virtual Claim claim() = 0;
    // Answers later launches from now on, each with showRequested(); false when it cannot.
    virtual bool startListening() = 0;
    // After NoAnswer or Failed: one line saying what stands in the way, for the user.
    virtual QString problem() const = 0;

signals:
    void showRequested();
};

class ClaimLock;

// The claim as a lock file and a local socket of the same name in one folder that only this
// user can write to: the lock decides who is first, the socket carries the request to show the
// window. On POSIX systems the lock is a flock() on the file, which the system lets go when its
// process ends however it ends, so whatever a killed copy, a host rename or a crash left at the
// lock path (a file of any content, a link, an empty folder) is taken over. A socket file left
// behind by a killed copy is replaced by the next first copy. Either side talks only to a peer
// of the same user, and a request is one short line: anything longer or slower is dropped.
class LocalSocketInstance final : public SingleInstance {
    Q_OBJECT
public:
    // folder: where the lock and the socket live; name: their common base name.
    // answerTimeout: how long a later launch waits for a copy that holds the lock to answer,
    // including a copy that is still starting and not yet listening.
    LocalSocketInstance(QString folder, QString name, std::chrono::milliseconds answerTimeout);
    ~LocalSocketInstance() override;

    Claim claim() override;
    bool startListening() override;
    QString problem() const override { return m_problem; }

    QString lockPath() const;
    QString socketPath() const;

private:
    bool askRunningCopy(std::chrono::milliseconds timeout) const;
    bool listen();
    void answer();

    QString m_folder;
    QString m_name;
    std::chrono::milliseconds m_answerTimeout;
    QString m_problem;
    std::unique_ptr<ClaimLock> m_lock;
    std::unique_ptr<QLocalServer> m_server;
    // Listens again when the server stopped: Qt closes it when an accept fails (no descriptor
    // left, say), and later launches would find nobody.
    std::unique_ptr<QTimer> m_listenCheck;
};

// Where the claim is kept and, when no place can be trusted, why not.
struct InstanceFolder {
    QString path;     // empty: nowhere; run without a claim
    QString problem;  // why the place was refused, when path is empty
};

// The folder for the claim named name. On POSIX systems: runtimeDir ($XDG_RUNTIME_DIR) when it
// is an absolute path to a folder owned by this user and closed to others, and the socket path
// fits the platform's limit (sun_path, 108 bytes on Linux); else "velmora-<user>" in tempDir
// (in /tmp when that path is too long), made with mode 0700 when missing, and used only when it
// is a real folder (not a link), owned by this user and closed to others. Elsewhere tempDir, which
// is the user's own.
InstanceFolder instanceFolder(const QString& runtimeDir, const QString& tempDir,
                              const QString& user, const QString& name);

// The name that tells users and displays apart: "velmora-<user>-<display>", where the display
// is WAYLAND_DISPLAY, else DISPLAY without its screen number (":0.1" and ":0" are one display),
// else "none"; characters a file name should not hold become '_'.
QString instanceName(const QString& user, const QString& waylandDisplay, const QString& x11Display);

// The claim for the current user and display, kept where instanceFolder() says.
std::unique_ptr<SingleInstance> makeSingleInstance();

// What a later launch was given by whoever started it, for the running copy's window to be let
// to the front by the desktop's focus stealing prevention.
struct ActivationTokens {
    QByteArray xdgActivation;  // XDG_ACTIVATION_TOKEN (Wayland, xdg-activation)
    QByteArray startupId;      // DESKTOP_STARTUP_ID (X11 startup notification)
};

// The longest token carried, in bytes: Wayland compositors hand out 32 to 40 characters, X11
// launchers a few dozen; both fit a request within kMaxRequestBytes.
constexpr qsizetype kMaxTokenBytes = 240;

// Whether a token may be carried: 1 to kMaxTokenBytes printable ASCII characters, no space.
bool isValidToken(const QByteArray& token);

// The request a later launch sends: "show", then " xdg=<token>" and " startup=<id>" for each
// valid token, then a newline; an invalid token is left out.
QByteArray showRequest(const ActivationTokens& tokens);

// The tokens of a request read by the running copy, or nullopt when it is no request to show
// the window: anything but "show" with at most one of each token, valid, in that order.
std::optional<ActivationTokens> parseShowRequest(const QByteArray& line);

// Gets the next activation of this process's window to use the tokens. Under Wayland
// XDG_ACTIVATION_TOKEN is set in this process's environment: Qt's Wayland plugin activates the
// window with it on the next QWindow::requestActivate() (show() of a hidden window included)
// and removes it. Under X11 the launcher's startup notification is ended.
void prepareActivation(const ActivationTokens& tokens);

// The longest request a running copy reads, in bytes: "show" with both tokens at their longest.
constexpr qsizetype kMaxRequestBytes = 512;
// How long a running copy keeps a connection whose request has not come; a later launch sends
// it at once.
constexpr std::chrono::milliseconds kRequestTimeout{2'000};

// How long a later launch waits for the running copy's answer; it covers a copy that is still
// building its window on a loaded machine.
constexpr std::chrono::milliseconds kInstanceAnswerTimeout{20'000};

}  // namespace velmora::desktop
