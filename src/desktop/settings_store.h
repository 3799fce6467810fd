#pragma once

#include "desktop/services.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The choices kept between runs (the menu ticks). A key is "Group/Name" as the program has always
// spelled it: the INI group [Group] holds Name=true or Name=false; a key without "/" lives in
// [General]. Keys are ASCII letters, digits and "/", so no INI escaping is ever needed.
namespace velmora::desktop {

// $XDG_CONFIG_HOME/Velmora/velmora.conf (~/.config when unset or relative), read at each call.
QString defaultSettingsPath();

class SettingsStore {
public:
    // filePath: the INI file. Empty: the current user's registry key on Windows, elsewhere
    // defaultSettingsPath() at each call.
    explicit SettingsStore(QString filePath = {});

    // The tick stored under key; defaultValue when it is missing, is neither true nor false (1 or
    // 0), or the file is not a regular file of at most kMaxSettingsFileBytes. Never blocks.
    bool value(const QString& key, bool defaultValue) const;

    // Stores the tick, leaving every other line of the file as it was. False when nothing was
    // stored: the folder cannot be written, or the path holds something that would be lost
    // (a file too large or unreadable, a FIFO, a folder). A link at the path is replaced by a
    // file of its own, never written through.
    bool setValue(const QString& key, bool value);

    // A short text kept under key (a window's place), read and written as the ticks are;
    // defaultValue when it is missing. setText refuses (false, nothing written) a text that
    // INI would need to escape: anything beyond printable ASCII, ";", "#", quotes, a backslash,
    // ",",
    // "=" or blanks at either end.
    QString text(const QString& key, const QString& defaultValue) const;
    bool setText(const QString& key, const QString& value);

    QString filePath() const;

private:
    // The value under key as the registry or the file holds it; nothing when it is missing.
    std::optional<QByteArray> storedValue(const QString& key) const;
    bool store(const QString& key, const QByteArray& value);

    QString m_filePath;
};

// The largest settings file read; a few ticks take well under a kilobyte.
inline constexpr qint64 kMaxSettingsFileBytes = 64 * 1024;

// The value text of key in INI text (quotes removed; the last occurrence wins, as QSettings
// reads it); nullopt when missing.
std::optional<QByteArray> iniValue(const QByteArray& text, const QString& key);

// The INI text with key set to value: its line edited in place wherever it occurs, else added to
// the end of its group, else a new group at the end. Every other byte is kept.
QByteArray withIniValue(const QByteArray& text, const QString& key, const QByteArray& value);

// Stores a changed tick. The first failure of the run warns that the choice will not be kept
// (failureShown is then set); later failures stay quiet. The tick itself stays as clicked.
void RememberTick(SettingsStore& store, Warnings& warnings, bool& failureShown, const QString& key,
                  bool ticked);

}  // namespace velmora::desktop
