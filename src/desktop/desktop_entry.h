#pragma once

#include <QFileDevice>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

// Reading and writing freedesktop .desktop files (launchers and autostart entries). Only the
// "[Desktop Entry]" group is read; a file is written whole, so nothing partial is ever seen.
namespace velmora::desktop {

// The keys of the "[Desktop Entry]" group, in file order, with their values unescaped.
struct DesktopEntry {
    std::vector<std::pair<QString, QString>> keys;

    std::optional<QString> value(const QString& key) const;  // the first occurrence
    void set(const QString& key, const QString& value);      // replaces or appends
};

// Parses the text of a .desktop file. Comments, blank lines, other groups and lines without
// "=" are skipped; a key given twice keeps its first value.
DesktopEntry parseDesktopEntry(const QString& text);

// The file text: "[Desktop Entry]" then one "key=value" line per key, values escaped.
QString formatDesktopEntry(const DesktopEntry& entry);

// Value escaping of the string types: backslash, newline, tab, carriage return and a leading
// or trailing blank are written as \\, \n, \t, \r and \s.
QString escapeDesktopValue(const QString& value);
QString unescapeDesktopValue(const QString& raw);

// The Exec line for a program and its arguments, before value escaping: an argument holding
// a blank or another reserved character is put in double quotes, with " ` $ \ inside escaped
// by a backslash; "%" is doubled so no field code is formed.
QString execCommandLine(const QStringList& arguments);

// False when an argument holds a control character (tab and newline included): the Exec key
// has no writing for one, so an entry starting such a path cannot be written.
bool fitsInExecCommandLine(const QStringList& arguments);

// The arguments of an Exec line (after value unescaping): quoting removed, "%%" made "%",
// field codes such as %f or %U dropped. nullopt when a quote is left open.
std::optional<QStringList> splitExecCommandLine(const QString& exec);

// The largest .desktop file read; entries are a few hundred bytes.
inline constexpr qint64 kMaxDesktopFileBytes = 64 * 1024;

// Reads a .desktop file through readSmallRegularFile: nullopt when it is missing or cannot be
// read, and when it is not a regular file of at most kMaxDesktopFileBytes (through a link as
// well): nothing else is an entry of ours.
std::optional<DesktopEntry> readDesktopFile(const QString& path);

// Writes a .desktop file through writeFileAtomically: a link at path is replaced, never written
// through. False when the folder is missing or not writable.
bool writeDesktopFile(const QString& path, const DesktopEntry& entry,
                      QFileDevice::Permissions permissions);

// The entry that starts executablePath, as the auto-start entry and the desktop shortcut are
// written: Type=Application, Name, Exec, Icon (only when given), Terminal=false, in that order,
// its folder created when missing. False when the path cannot be written on an Exec line
// (fitsInExecCommandLine) or the file cannot be written.
bool writeApplicationEntry(const QString& path, const QString& executablePath,
                           const std::optional<QString>& icon,
                           QFileDevice::Permissions permissions);

}  // namespace velmora::desktop
