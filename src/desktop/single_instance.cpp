#include "desktop/single_instance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include <algorithm>

#ifdef Q_OS_WIN
#include <QLockFile>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "desktop/x11_keyboard_target.h"
#endif

namespace velmora::desktop {

namespace {

const QByteArray kShowVerb = QByteArrayLiteral("show");
const QByteArray kXdgField = QByteArrayLiteral("xdg=");
const QByteArray kStartupField = QByteArrayLiteral("startup=");
const QByteArray kShowAnswer = QByteArrayLiteral("ok\n");

constexpr std::chrono::milliseconds kRetryPause{50};         // between two tries of a later launch
constexpr std::chrono::milliseconds kConnectTimeout{1'000};  // a listening copy accepts at once
constexpr std::chrono::milliseconds kListenCheck{1'000};  // how soon a stopped server listens again
constexpr qsizetype kMaxNamePart = 48;  // keeps the socket path within the 108 bytes Unix allows

// Characters outside [A-Za-z0-9._-] become '_'; a long value is cut, keeping its end, which is
// where display names differ.
QString fileNamePart(const QString& text) {
    QString part = text.right(kMaxNamePart);
    for (QChar& c : part) {
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                           (c >= u'0' && c <= u'9') || c == u'.' || c == u'-';
        if (!plain) c = u'_';
    }
    return part;
}

QString currentUser() {
#ifdef Q_OS_WIN
    return qEnvironmentVariable("USERNAME");
#else
    return QString::number(::getuid());
#endif
}

int remainingMs(const QDeadlineTimer& deadline) {
    return int(std::max<qint64>(0, deadline.remainingTime()));
}

#ifndef Q_OS_WIN
QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Why the folder cannot hold the claim, or empty when it can: it must be a folder (a link only
// when followLinks), owned by this user, with no access for group or others.
QString folderProblem(const QString& path, bool followLinks) {
    struct stat info {};
    const QByteArray native = QFile::encodeName(path);
    if ((followLinks ? ::stat(native.constData(), &info) : ::lstat(native.constData(), &info)) !=
        0) {
        return path + QStringLiteral(": ") + systemError(errno);
    }
    if (S_ISLNK(info.st_mode)) return path + QStringLiteral(" is a link, not a folder");
    if (!S_ISDIR(info.st_mode)) return path + QStringLiteral(" is not a folder");
    if (info.st_uid != ::getuid()) return path + QStringLiteral(" belongs to another user");
    if ((info.st_mode & 077) != 0) return path + QStringLiteral(" is open to other users");
    return {};
}

// Whether folder/name.socket fits sockaddr_un, with its terminating zero.
bool socketPathFits(const QString& folder, const QString& name) {
    const QByteArray path = QFile::encodeName(folder + u'/' + name + QStringLiteral(".socket"));
    return size_t(path.size()) < sizeof(sockaddr_un::sun_path);
}

// The user id of the process at the other end of a connected local socket; -1 when unknown.
qint64 peerUser(const QLocalSocket& socket) {
    const int fd = int(socket.socketDescriptor());
#if defined(Q_OS_LINUX)
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0) return -1;
    return credentials.uid;
#else
    uid_t user = 0;
    gid_t group = 0;
    if (::getpeereid(fd, &user, &group) != 0) return -1;
    return user;
#endif
}
#endif

// Whether the other end of the connection runs as this user. Named pipes on Windows carry the
// user's access rights on the pipe itself (QLocalServer::UserAccessOption).
bool peerIsThisUser(const QLocalSocket& socket) {
#ifdef Q_OS_WIN
    Q_UNUSED(socket);
    return true;
#else
    return peerUser(socket) == qint64(::getuid());
#endif
}

// A claim that cannot be made: the program runs without one, and says why.
class UnguardedInstance final : public SingleInstance {
public:
    explicit UnguardedInstance(QString problem) : m_problem(std::move(problem)) {}
    Claim claim() override { return Claim::Failed; }
    bool startListening() override { return false; }
    QString problem() const override { return m_problem; }

private:
    QString m_problem;
};

}  // namespace

// The lock that decides which copy is first; held until it is destroyed.
class ClaimLock {
public:
    enum class State {
        Taken,   // this process holds it now
        Held,    // a living process holds it
        Broken,  // it cannot be taken; problem says why
    };

    explicit ClaimLock(QString path) : m_path(std::move(path)) {}
    ~ClaimLock();
    ClaimLock(const ClaimLock&) = delete;
    ClaimLock& operator=(const ClaimLock&) = delete;

    State tryTake(QString* problem);
    // The process id written by the holder, or empty when it cannot be read.
    QString holder() const;

private:
    QString m_path;
#ifdef Q_OS_WIN
    std::unique_ptr<QLockFile> m_lock;
#else
    int m_fd = -1;
    // Takes away what lies at the lock path and is no lock of a living process.
    bool removeLeftover(QString* problem) const;
#endif
};

#ifdef Q_OS_WIN
ClaimLock::~ClaimLock() = default;

ClaimLock::State ClaimLock::tryTake(QString* problem) {
    if (!m_lock) {
        m_lock = std::make_unique<QLockFile>(m_path);
        // Held for the program's whole run, so it must never go stale by age; a lock whose
        // process is gone is taken over all the same.
        m_lock->setStaleLockTime(0);
    }
    if (m_lock->tryLock(0)) return State::Taken;
    if (m_lock->error() == QLockFile::LockFailedError) return State::Held;
    *problem = QStringLiteral("cannot make the lock file ") + m_path;
    return State::Broken;
}

QString ClaimLock::holder() const {
    qint64 pid = 0;
    QString host, application;
    return m_lock && m_lock->getLockInfo(&pid, &host, &application) ? QString::number(pid)
                                                                    : QString();
}
#else
ClaimLock::~ClaimLock() {
    // Closing lets the lock go. The file stays: removing it could let two launches lock two
    // different files of the same name.
    if (m_fd >= 0) ::close(m_fd);
}

ClaimLock::State ClaimLock::tryTake(QString* problem) {
    if (m_fd >= 0) return State::Taken;
    const QByteArray path = QFile::encodeName(m_path);
    constexpr int kTries = 3;  // a leftover removed, then the file made; a third for a race
    for (int attempt = 0; attempt < kTries; ++attempt) {
        // O_NOFOLLOW: never a lock on, or writes to, whatever a link points at. O_NONBLOCK: a
        // FIFO at the path does not hang the launch.
        const int fd =
            ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        if (fd < 0) {
            const int error = errno;
            // ELOOP: a link; EISDIR: a folder; EACCES: a file this user may not open; ENXIO: a
            // socket.
            if (error != ELOOP && error != EISDIR && error != EACCES && error != ENXIO &&
                error != EPERM) {
                *problem = QStringLiteral("cannot make the lock file ") + m_path +
                           QStringLiteral(": ") + systemError(error);
                return State::Broken;
            }
            if (!removeLeftover(problem)) return State::Broken;
            continue;
        }
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::getuid()) {
            ::close(fd);
            if (!removeLeftover(problem)) return State::Broken;
            continue;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK) return State::Held;
            *problem =
                QStringLiteral("cannot lock ") + m_path + QStringLiteral(": ") + systemError(error);
            return State::Broken;
        }
        // For the message of a later launch that gets no answer.
        const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
        if (::ftruncate(fd, 0) != 0 ||
            ::write(fd, pid.constData(), size_t(pid.size())) != pid.size()) {
            // The lock holds without its text; only that message loses the process id.
        }
        m_fd = fd;
        return State::Taken;
    }
    *problem = QStringLiteral("cannot keep a lock file at ") + m_path;
    return State::Broken;
}

bool ClaimLock::removeLeftover(QString* problem) const {
    const QByteArray path = QFile::encodeName(m_path);
    if (::unlink(path.constData()) == 0 || errno == ENOENT) return true;
    if (::rmdir(path.constData()) == 0 || errno == ENOENT) return true;
    *problem = m_path + QStringLiteral(" is in the way of the lock and cannot be removed: ") +
               systemError(errno);
    return false;
}

QString ClaimLock::holder() const {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    bool isNumber = false;
    const qint64 pid = file.readLine(32).trimmed().toLongLong(&isNumber);
    return isNumber && pid > 0 ? QString::number(pid) : QString();
}
#endif

LocalSocketInstance::LocalSocketInstance(QString folder, QString name,
                                         std::chrono::milliseconds answerTimeout)
    : m_folder(std::move(folder)), m_name(std::move(name)), m_answerTimeout(answerTimeout) {}

LocalSocketInstance::~LocalSocketInstance() = default;

QString LocalSocketInstance::lockPath() const {
    return m_folder + u'/' + m_name + QStringLiteral(".lock");
}

QString LocalSocketInstance::socketPath() const {
#ifdef Q_OS_WIN
    return m_name;  // a named pipe; the name is the whole address
#else
    return m_folder + u'/' + m_name + QStringLiteral(".socket");
#endif
}

SingleInstance::Claim LocalSocketInstance::claim() {
    if (!QFileInfo(m_folder).isDir()) {
        m_problem =
            QStringLiteral("no folder ") + m_folder + QStringLiteral(" to keep the claim in");
        return Claim::Failed;
    }
    if (!m_lock) m_lock = std::make_unique<ClaimLock>(lockPath());

    const QDeadlineTimer deadline(m_answerTimeout);
    for (;;) {
        switch (m_lock->tryTake(&m_problem)) {
        case ClaimLock::State::Taken: return Claim::First;
        case ClaimLock::State::Broken: return Claim::Failed;
        case ClaimLock::State::Held: break;
        }
        // A living copy holds the lock. It may still be starting and not listen yet, or it may
        // be killed while we wait; then the lock is free on the next turn.
        if (askRunningCopy(std::chrono::milliseconds(remainingMs(deadline)))) return Claim::Handed;
        if (deadline.hasExpired()) break;
        QThread::msleep(kRetryPause.count());
    }
    const QString holder = m_lock->holder();
    m_problem = QStringLiteral("a running Velmora") +
                (holder.isEmpty() ? QString() : QStringLiteral(" (process ") + holder + u')') +
                QStringLiteral(" holds this display but does not answer");
    return Claim::NoAnswer;
}

bool LocalSocketInstance::askRunningCopy(std::chrono::milliseconds timeout) const {
    const QDeadlineTimer deadline(timeout);
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(std::min(remainingMs(deadline), int(kConnectTimeout.count()))))
        return false;
    if (!peerIsThisUser(socket)) return false;  // never tell another user we run, nor take its word
    socket.write(showRequest({qgetenv("XDG_ACTIVATION_TOKEN"), qgetenv("DESKTOP_STARTUP_ID")}));
    if (!socket.waitForBytesWritten(remainingMs(deadline))) return false;
    QByteArray reply;
    while (!reply.contains('\n')) {
        if (reply.size() > kMaxRequestBytes) return false;
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(remainingMs(deadline)))
            return false;
        reply += socket.read(kMaxRequestBytes + 1);
    }
    return reply == kShowAnswer;
}

bool LocalSocketInstance::startListening() {
    if (m_server) return m_server->isListening();
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server.get(), &QLocalServer::newConnection, this, &LocalSocketInstance::answer);
    m_listenCheck = std::make_unique<QTimer>();
    m_listenCheck->setInterval(kListenCheck);
    connect(m_listenCheck.get(), &QTimer::timeout, this, [this] {
        if (!m_server->isListening()) listen();
    });
    m_listenCheck->start();
    return listen();
}

bool LocalSocketInstance::listen() {
    // Only the holder of the lock gets here, so a socket file found now was left by a copy
    // that was killed, or by this copy's server before it stopped: nobody answers on it.
    QLocalServer::removeServer(socketPath());
    return m_server->listen(socketPath());
}

void LocalSocketInstance::answer() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!peerIsThisUser(*socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        // Qt reads no further ahead than this, whatever the client sends.
        socket->setReadBufferSize(kMaxRequestBytes);
        QTimer::singleShot(kRequestTimeout, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        const auto readRequest = [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() >= kMaxRequestBytes) {
                    socket->abort();
                    socket->deleteLater();
                }
                return;
            }
            const QByteArray request = socket->readLine(kMaxRequestBytes + 1);
            if (const std::optional<ActivationTokens> tokens = parseShowRequest(request)) {
                prepareActivation(*tokens);
                emit showRequested();
                socket->write(kShowAnswer);
            }
            socket->disconnectFromServer();
        };
        connect(socket, &QLocalSocket::readyRead, this, readRequest);
        readRequest();  // the request may have arrived with the connection
    }
}

bool isValidToken(const QByteArray& token) {
    if (token.isEmpty() || token.size() > kMaxTokenBytes) return false;
    return std::all_of(token.begin(), token.end(), [](char c) { return c > ' ' && c <= '~'; });
}

QByteArray showRequest(const ActivationTokens& tokens) {
    QByteArray request = kShowVerb;
    if (isValidToken(tokens.xdgActivation)) request += ' ' + kXdgField + tokens.xdgActivation;
    if (isValidToken(tokens.startupId)) request += ' ' + kStartupField + tokens.startupId;
    return request + '\n';
}

std::optional<ActivationTokens> parseShowRequest(const QByteArray& line) {
    if (!line.endsWith('\n') || line.size() > kMaxRequestBytes) return std::nullopt;
    const QList<QByteArray> words = line.chopped(1).split(' ');
    if (words.first() != kShowVerb) return std::nullopt;
    ActivationTokens tokens;
    int nextField = 0;  // the fields come in this order, each at most once
    for (qsizetype i = 1; i < words.size(); ++i) {
        const QByteArray& word = words[i];
        QByteArray* target = nullptr;
        if (nextField <= 0 && word.startsWith(kXdgField)) {
            target = &tokens.xdgActivation;
            nextField = 1;
        } else if (nextField <= 1 && word.startsWith(kStartupField)) {
            target = &tokens.startupId;
            nextField = 2;
        } else {
            return std::nullopt;
        }
        *target = word.mid(word.indexOf('=') + 1);
        if (!isValidToken(*target)) return std::nullopt;
    }
    return tokens;
}

void prepareActivation(const ActivationTokens& tokens) {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("wayland")) {
        // Set only here: in another session it would linger and reach the programs started later.
        if (!tokens.xdgActivation.isEmpty()) qputenv("XDG_ACTIVATION_TOKEN", tokens.xdgActivation);
    }
#ifndef Q_OS_WIN
    else if (platform == QLatin1String("xcb") && !tokens.startupId.isEmpty()) {
        endStartupNotification(tokens.startupId);
    }
#endif
}

QString instanceName(const QString& user, const QString& waylandDisplay,
                     const QString& x11Display) {
    QString display = waylandDisplay;
    if (display.isEmpty() && !x11Display.isEmpty()) {
        display = x11Display;
        // host:display.screen: every screen belongs to the same display
        const qsizetype colon = display.lastIndexOf(u':');
        const qsizetype dot = display.indexOf(u'.', colon + 1);
        if (colon >= 0 && dot > colon) display.truncate(dot);
    }
    if (display.isEmpty()) display = QStringLiteral("none");
    return QStringLiteral("velmora-") + fileNamePart(user) + u'-' + fileNamePart(display);
}

InstanceFolder instanceFolder(const QString& runtimeDir, const QString& tempDir,
                              const QString& user, const QString& name) {
#ifdef Q_OS_WIN
    Q_UNUSED(runtimeDir);
    Q_UNUSED(user);
    Q_UNUSED(name);
    return {tempDir, {}};
#else
    // $XDG_RUNTIME_DIR is the user's own choice: a link to a private folder is fine there.
    if (QDir::isAbsolutePath(runtimeDir) && folderProblem(runtimeDir, true).isEmpty() &&
        socketPathFits(runtimeDir, name)) {
        return {runtimeDir, {}};
    }
    // The temporary folder is shared: another user may have made anything at our path first.
    QString problem;
    for (const QString& base : {tempDir, QStringLiteral("/tmp")}) {
        if (!QDir::isAbsolutePath(base)) continue;
        const QString folder =
            QDir::cleanPath(base) + QStringLiteral("/velmora-") + fileNamePart(user);
        if (!socketPathFits(folder, name)) {
            problem = folder + QStringLiteral(" is too long a path for a local socket");
            continue;
        }
        if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST) {
            problem =
                QStringLiteral("cannot make ") + folder + QStringLiteral(": ") + systemError(errno);
            continue;
        }
        // A folder someone else made or opened is refused, not worked around: the claim must be
        // found where every launch of this user looks.
        problem = folderProblem(folder, false);
        if (problem.isEmpty()) return {folder, {}};
        break;
    }
    return {{}, problem};
#endif
}

std::unique_ptr<SingleInstance> makeSingleInstance() {
    const QString name = instanceName(currentUser(), qEnvironmentVariable("WAYLAND_DISPLAY"),
                                      qEnvironmentVariable("DISPLAY"));
    const InstanceFolder folder = instanceFolder(qEnvironmentVariable("XDG_RUNTIME_DIR"),
                                                 QDir::tempPath(), currentUser(), name);
    if (folder.path.isEmpty()) return std::make_unique<UnguardedInstance>(folder.problem);
    return std::make_unique<LocalSocketInstance>(folder.path, name, kInstanceAnswerTimeout);
}

}  // namespace velmora::desktop
