#include "desktop/single_instance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

#include <algorithm>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace velmora::desktop {

namespace {

const QByteArray kShowRequest = QByteArrayLiteral("show\n");
const QByteArray kShowAnswer = QByteArrayLiteral("ok\n");

constexpr std::chrono::milliseconds kRetryPause{50};        // between two tries of a later launch
constexpr std::chrono::milliseconds kConnectTimeout{1'000};  // a listening copy accepts at once
constexpr qsizetype kMaxNamePart = 48;  // keeps the socket path within the 108 bytes Unix allows

// Characters outside [A-Za-z0-9._-] become '_'; a long value is cut, keeping its end, which is
// where display names differ.
QString fileNamePart(const QString& text) {
    QString part = text.right(kMaxNamePart);
    for (QChar& c : part) {
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
                           c == u'.' || c == u'-';
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

}  // namespace

LocalSocketInstance::LocalSocketInstance(QString folder, QString name, std::chrono::milliseconds answerTimeout)
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
    if (!QFileInfo(m_folder).isDir()) return Claim::Failed;
    m_lock = std::make_unique<QLockFile>(lockPath());
    // The lock is held for the program's whole run, so it must never go stale by age; a lock
    // whose process is gone is taken over all the same.
    m_lock->setStaleLockTime(0);

    const QDeadlineTimer deadline(m_answerTimeout);
    for (;;) {
        if (m_lock->tryLock(0)) return Claim::First;
        if (m_lock->error() != QLockFile::LockFailedError) return Claim::Failed;
        // A living copy holds the lock. It may still be starting and not listen yet, or it may
        // be killed while we wait; then the lock is free on the next turn.
        if (askRunningCopy(std::chrono::milliseconds(remainingMs(deadline)))) return Claim::Handed;
        if (deadline.hasExpired()) return Claim::NoAnswer;
        QThread::msleep(kRetryPause.count());
    }
}

bool LocalSocketInstance::askRunningCopy(std::chrono::milliseconds timeout) const {
    const QDeadlineTimer deadline(timeout);
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(std::min(remainingMs(deadline), int(kConnectTimeout.count())))) return false;
    socket.write(kShowRequest);
    if (!socket.waitForBytesWritten(remainingMs(deadline))) return false;
    QByteArray reply;
    while (!reply.contains('\n')) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(remainingMs(deadline))) return false;
        reply += socket.readAll();
    }
    return reply == kShowAnswer;
}

bool LocalSocketInstance::startListening() {
    if (m_server) return m_server->isListening();
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // Only the holder of the lock gets here, so a socket file found now was left by a copy
    // that was killed: nobody answers on it any more.
    QLocalServer::removeServer(socketPath());
    connect(m_server.get(), &QLocalServer::newConnection, this, &LocalSocketInstance::answer);
    return m_server->listen(socketPath());
}

void LocalSocketInstance::answer() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        const auto readRequest = [this, socket] {
            if (!socket->canReadLine()) return;
            const QByteArray request = socket->readLine();
            if (request == kShowRequest) {
                emit showRequested();
                socket->write(kShowAnswer);
            }
            socket->disconnectFromServer();
        };
        connect(socket, &QLocalSocket::readyRead, this, readRequest);
        readRequest();  // the request may have arrived with the connection
    }
}

QString instanceName(const QString& user, const QString& waylandDisplay, const QString& x11Display) {
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

std::unique_ptr<SingleInstance> makeSingleInstance() {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder) || !QFileInfo(folder).isDir()) folder = QDir::tempPath();
    const QString name = instanceName(currentUser(), qEnvironmentVariable("WAYLAND_DISPLAY"),
                                      qEnvironmentVariable("DISPLAY"));
    return std::make_unique<LocalSocketInstance>(folder, name, kInstanceAnswerTimeout);
}

}  // namespace velmora::desktop
