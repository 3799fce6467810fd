#pragma once

#include <QString>

#include <optional>

// The platform services the window reaches through small interfaces, each with a Windows
// and a Linux implementation (and fakes in tests).
namespace velmora::desktop {

// The current user's entry that starts this program at log-on (Windows: the Run key value
// named after the executable's base name; Linux: the XDG autostart file of that name).
class AutoStartStore {
public:
    virtual ~AutoStartStore() = default;
    // The command the entry starts; nullopt when there is no entry or it cannot be read.
    // An entry that exists but is switched off (Hidden=true, no Exec) reads as "".
    virtual std::optional<QString> read() const = 0;
    // Creates or replaces the entry for the running executable; false on failure.
    virtual bool write() = 0;
    // Removes the entry; false on failure.
    virtual bool remove() = 0;
};

// The shortcut named "Velmora" to the program on the current user's desktop.
class DesktopShortcut {
public:
    virtual ~DesktopShortcut() = default;
    virtual void create() = 0;  // nothing is reported either way
    virtual void remove() = 0;  // removes that one file only
};

// The system calculator: started, brought forward and fed the number as typed keys.
class SystemCalculator {
public:
    virtual ~SystemCalculator() = default;
    // Types text into a freshly started calculator. When no calculator starts, its window is
    // not found in time, or typing into another program is impossible, nothing is typed.
    virtual void typeNumber(const QString& text) = 0;
};

// Hands a mailto: address to the user's mail program; shows nothing on failure.
class MailLink {
public:
    virtual ~MailLink() = default;
    virtual void open(const QString& address) = 0;
};

// The two auto-start warnings, in front of all windows.
class Warnings {
public:
    virtual ~Warnings() = default;
    virtual void exclamation(const QString& title, const QString& text) = 0;
    virtual void critical(const QString& title, const QString& text) = 0;
};

// What the main window is given; the program owns the implementations.
struct Services {
    AutoStartStore& autoStart;
    DesktopShortcut& shortcut;
    SystemCalculator& calculator;
    MailLink& mail;
};

}  // namespace velmora::desktop
