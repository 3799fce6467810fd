#include "desktop/safe_file.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace velmora::desktop {

std::optional<QByteArray> readSmallRegularFile(const QString& path, qint64 maxBytes) {
    QFile file;
#ifdef Q_OS_UNIX
    // Opened without waiting (a FIFO would block until a writer comes), then checked on the
    // open file itself, so what is read is what was checked.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return std::nullopt;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > maxBytes ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
#else
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > maxBytes) return std::nullopt;
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
#endif
    // The size may have grown since it was checked.
    QByteArray bytes = file.read(maxBytes + 1);
    if (bytes.size() > maxBytes) return std::nullopt;
    return bytes;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes,
                         QFileDevice::Permissions permissions, QString* reason) {
    const auto fail = [reason](const QString& why) {
        if (reason) *reason = why;
        return false;
    };
    // QSaveFile would write to a link's target; a file of our own renamed onto the path
    // replaces whatever is there, a link included, and leaves its target alone.
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    if (!file.open()) return fail(file.errorString());
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.setPermissions(permissions))
        return fail(file.errorString());
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0) return fail(QString::fromLocal8Bit(std::strerror(errno)));
#endif
    file.close();
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(file.fileName().toStdU16String()),
                            std::filesystem::path(path.toStdU16String()), error);
    if (error) return fail(QString::fromLocal8Bit(error.message()));
    file.setAutoRemove(false);  // its name is gone; nothing left to remove
    return true;
}

}  // namespace velmora::desktop
