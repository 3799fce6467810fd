#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <optional>

// Reading and replacing the small files the program keeps in the user's folders (desktop
// entries, settings), safe against whatever else may stand at their paths.
namespace velmora::desktop {

// The bytes of the file at path; nullopt when it is missing or cannot be read, and when it is
// not a regular file (a device, a FIFO, a folder, through a link as well) or is larger than
// maxBytes. Never blocks, whatever the path holds.
std::optional<QByteArray> readSmallRegularFile(const QString& path, qint64 maxBytes);

// Replaces the file at path by bytes, with the given permissions: a temporary file in the same
// folder, written and flushed to disk, then renamed over path, so a reader sees the old file or
// the whole new one. A symbolic link at path is replaced, never written through, so its target
// (or the place a dangling link names) stays untouched. False when the folder is missing or not
// writable or path is a folder; nothing is then left behind, and reason (when given) says why in
// the system's words ("Permission denied").
bool writeFileAtomically(const QString& path, const QByteArray& bytes,
                         QFileDevice::Permissions permissions, QString* reason = nullptr);

}  // namespace velmora::desktop
