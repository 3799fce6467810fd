#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <memory>

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
// is a real folder (not a link), owned by this user and closed to others. Elsewhere tempDir, which is the user's own.
InstanceFolder instanceFolder(const QString& runtimeDir, const QString& tempDir, const QString& user,
                              const QString& name);

// The name that tells users and displays apart: "velmora-<user>-<display>", where the display
// is WAYLAND_DISPLAY, else DISPLAY without its screen number (":0.1" and ":0" are one display),
// else "none"; characters a file name should not hold become '_'.
QString instanceName(const QString& user, const QString& waylandDisplay, const QString& x11Display);

// The claim for the current user and display, kept where instanceFolder() says.
std::unique_ptr<SingleInstance> makeSingleInstance();

// The longest request a running copy reads, in bytes; "show\n" is 5.
constexpr qsizetype kMaxRequestBytes = 64;
// How long a running copy keeps a connection whose request has not come; a later launch sends
// it at once.
constexpr std::chrono::milliseconds kRequestTimeout{2'000};

// How long a later launch waits for the running copy's answer; it covers a copy that is still
// building its window on a loaded machine.
constexpr std::chrono::milliseconds kInstanceAnswerTimeout{20'000};

}  // namespace velmora::desktop
