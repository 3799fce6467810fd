#include "ui/save_file.h"

#include <QDir>
#include <QFileDialog>
#include <QFileDevice>
#include <QStandardPaths>

#include "app_info.h"
#include "desktop/safe_file.h"

namespace velmora::ui {

namespace {

#ifdef Q_OS_WIN
constexpr char kLineBreak[] = "\r\n";
#else
constexpr char kLineBreak[] = "\n";
#endif

// A document of the user's: read and written by its owner, readable by others, as an editor
// would leave it.
constexpr QFileDevice::Permissions kDocumentPermissions =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
    QFileDevice::ReadOther;

}  // namespace

QByteArray HistoryFileBytes(const std::vector<std::string>& lines) {
    QByteArray bytes;
    for (const std::string& line : lines) {
        bytes.append(line.data(), static_cast<qsizetype>(line.size()));
        bytes.append(kLineBreak);
    }
    return bytes;
}

QString DefaultSavePath(const QString& name) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
    return QDir(folder).filePath(name);
}

bool SaveFile(const QString& path, const QByteArray& bytes, desktop::Warnings& warnings) {
    QString reason;
    if (desktop::writeFileAtomically(path, bytes, kDocumentPermissions, &reason)) return true;
    warnings.critical(QString::fromUtf8(app::kProductName),
                      QStringLiteral("%1 could not be saved: %2.\nNothing was written.")
                          .arg(QDir::toNativeSeparators(path), reason));
    return false;
}

void SaveHistoryAs(QWidget* parent, const std::vector<std::string>& lines,
                   desktop::Warnings& warnings) {
    const QString path =
        QFileDialog::getSaveFileName(parent, QStringLiteral("Save history"),
                                     DefaultSavePath(QStringLiteral("Velmora history.txt")),
                                     QStringLiteral("Text files (*.txt);;All files (*)"));
    if (!path.isEmpty()) SaveFile(path, HistoryFileBytes(lines), warnings);
}

}  // namespace velmora::ui
