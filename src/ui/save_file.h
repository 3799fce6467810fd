#pragma once

#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

#include "desktop/services.h"

class QWidget;

// Files the user saves from the windows: the history list and a batch's CSV.
namespace velmora::ui {

// The history lines as a text file: UTF-8, each line followed by the platform's line break
// (CR LF on Windows, LF elsewhere), nothing added or left out.
QByteArray HistoryFileBytes(const std::vector<std::string>& lines);

// The file offered in a save dialog: name in the user's documents folder (the home folder when
// there is none).
QString DefaultSavePath(const QString& name);

// Replaces the file at path by bytes at once (see writeFileAtomically: a reader never sees half
// a file, a link at path is replaced and its target left alone). When that fails, a critical
// message names the file and the reason, nothing is left behind, and false comes back.
bool SaveFile(const QString& path, const QByteArray& bytes, desktop::Warnings& warnings);

// Edit > Save history...: a file dialog, then the lines saved as HistoryFileBytes has them.
void SaveHistoryAs(QWidget* parent, const std::vector<std::string>& lines,
                   desktop::Warnings& warnings);

}  // namespace velmora::ui
