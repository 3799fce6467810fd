#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <memory>

class QLocalServer;
class QLockFile;

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

signals:
    void showRequested();
};

// The claim as a lock file and a local socket of the same name in one folder: the lock
// (QLockFile, which sees through a lock left by a killed process) decides who is first; the
// socket carries the request to show the window. A socket file left behind by a killed copy is
// replaced by the next first copy.
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

    QString lockPath() const;
    QString socketPath() const;

private:
    bool askRunningCopy(std::chrono::milliseconds timeout) const;
    void answer();

    QString m_folder;
    QString m_name;
    std::chrono::milliseconds m_answerTimeout;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
};

// The name that tells users and displays apart: "velmora-<user>-<display>", where the display
// is WAYLAND_DISPLAY, else DISPLAY without its screen number (":0.1" and ":0" are one display),
// else "none"; characters a file name should not hold become '_'.
QString instanceName(const QString& user, const QString& waylandDisplay, const QString& x11Display);

// The claim for the current user and display, kept in $XDG_RUNTIME_DIR (private to the user)
// when it is set, else in the temporary folder.
std::unique_ptr<SingleInstance> makeSingleInstance();

// How long a later launch waits for the running copy's answer; it covers a copy that is still
// building its window on a loaded machine.
constexpr std::chrono::milliseconds kInstanceAnswerTimeout{20'000};

}  // namespace velmora::desktop
