#include "desktop/desktop_entry.h"

#include "desktop/safe_file.h"

#include "app_info.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace velmora::desktop {

namespace {

const QString kGroupHeader = QStringLiteral("[Desktop Entry]");

// Characters that make an Exec argument need quotes.
bool isReservedInExec(QChar c) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    return reserved.contains(c);
}

// Characters escaped by a backslash inside a quoted Exec argument.
bool isEscapedInQuotes(QChar c) { return c == u'"' || c == u'`' || c == u'$' || c == u'\\'; }

}  // namespace

std::optional<QString> DesktopEntry::value(const QString& key) const {
    for (const auto& [k, v] : keys) {
        if (k == key) return v;
    }
    return std::nullopt;
}

void DesktopEntry::set(const QString& key, const QString& value) {
    for (auto& [k, v] : keys) {
        if (k == key) {
            v = value;
            return;
        }
    }
    keys.emplace_back(key, value);
}

DesktopEntry parseDesktopEntry(const QString& text) {
    DesktopEntry entry;
    bool inGroup = false;
    const auto lines = QStringView(text).split(u'\n');
    for (QStringView line : lines) {
        if (line.endsWith(u'\r')) line.chop(1);
        const QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u'#')) continue;
        if (trimmed.startsWith(u'[')) {
            inGroup = trimmed == kGroupHeader;
            continue;
        }
        if (!inGroup) continue;
        const auto equals = line.indexOf(u'=');
        if (equals <= 0) continue;
        const QString key = line.left(equals).trimmed().toString();
        // Blanks after "=" are not part of the value; a leading blank that is meant is written \s.
        const QString raw = line.mid(equals + 1).trimmed().toString();
        if (key.isEmpty() || entry.value(key)) continue;
        entry.keys.emplace_back(key, unescapeDesktopValue(raw));
    }
    return entry;
}

QString formatDesktopEntry(const DesktopEntry& entry) {
    QString text = kGroupHeader + u'\n';
    for (const auto& [key, value] : entry.keys) {
        text += key + u'=' + escapeDesktopValue(value) + u'\n';
    }
    return text;
}

QString escapeDesktopValue(const QString& value) {
    QString out;
    out.reserve(value.size() + 8);
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\') {
            out += QStringLiteral("\\\\");
        } else if (c == u'\n') {
            out += QStringLiteral("\\n");
        } else if (c == u'\t') {
            out += QStringLiteral("\\t");
        } else if (c == u'\r') {
            out += QStringLiteral("\\r");
        } else if (c == u' ' &&
                   (i == 0 || i + 1 == value.size())) {  // blanks at the ends are trimmed
            out += QStringLiteral("\\s");
        } else {
            out += c;
        }
    }
    return out;
}

QString unescapeDesktopValue(const QString& raw) {
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c != u'\\' || i + 1 == raw.size()) {
            out += c;
            continue;
        }
        const QChar next = raw[++i];
        switch (next.unicode()) {
        case 's': out += u' '; break;
        case 'n': out += u'\n'; break;
        case 't': out += u'\t'; break;
        case 'r': out += u'\r'; break;
        case '\\': out += u'\\'; break;
        default:  // not an escape of the string types: kept as written
            out += c;
            out += next;
        }
    }
    return out;
}

QString execCommandLine(const QStringList& arguments) {
    QStringList parts;
    for (const QString& argument : arguments) {
        const bool needsQuotes =
            argument.isEmpty() || std::any_of(argument.begin(), argument.end(), isReservedInExec);
        QString part;
        if (needsQuotes) part += u'"';
        for (const QChar c : argument) {
            if (c == u'%') {
                part += QStringLiteral("%%");
            } else if (needsQuotes && isEscapedInQuotes(c)) {
                part += u'\\';
                part += c;
            } else {
                part += c;
            }
        }
        if (needsQuotes) part += u'"';
        parts += part;
    }
    return parts.join(u' ');
}

bool fitsInExecCommandLine(const QStringList& arguments) {
    return std::none_of(arguments.begin(), arguments.end(), [](const QString& argument) {
        return std::any_of(argument.begin(), argument.end(),
                           [](QChar c) { return c.category() == QChar::Other_Control; });
    });
}

std::optional<QStringList> splitExecCommandLine(const QString& exec) {
    QStringList arguments;
    QString current;
    bool inArgument = false;  // something (even "") has started the current argument
    bool inQuotes = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (inQuotes) {
            if (c == u'"') {
                inQuotes = false;
            } else if (c == u'\\' && i + 1 < exec.size()) {
                current += exec[++i];
            } else if (c == u'%' && i + 1 < exec.size() && exec[i + 1] == u'%') {
                current += u'%';
                ++i;
            } else {
                current += c;
            }
        } else if (c == u' ' || c == u'\t' || c == u'\n') {
            if (inArgument) arguments += current;
            current.clear();
            inArgument = false;
        } else if (c == u'"') {
            inQuotes = true;
            inArgument = true;
        } else if (c == u'%' && i + 1 < exec.size()) {
            if (exec[i + 1] == u'%') {
                current += u'%';
                inArgument = true;
            }
            ++i;  // any other field code stands for files or URLs the program is not given
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inQuotes) return std::nullopt;
    if (inArgument) arguments += current;
    return arguments;
}

std::optional<DesktopEntry> readDesktopFile(const QString& path) {
    const std::optional<QByteArray> bytes = readSmallRegularFile(path, kMaxDesktopFileBytes);
    if (!bytes) return std::nullopt;
    return parseDesktopEntry(QString::fromUtf8(*bytes));
}

bool writeDesktopFile(const QString& path, const DesktopEntry& entry,
                      QFileDevice::Permissions permissions) {
    return writeFileAtomically(path, formatDesktopEntry(entry).toUtf8(), permissions);
}

bool writeApplicationEntry(const QString& path, const QString& executablePath,
                           const std::optional<QString>& icon,
                           QFileDevice::Permissions permissions) {
    if (!fitsInExecCommandLine({executablePath})) return false;
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    DesktopEntry entry;
    entry.set(QStringLiteral("Type"), QStringLiteral("Application"));
    entry.set(QStringLiteral("Name"), QString::fromUtf8(app::kProductName));
    entry.set(QStringLiteral("Exec"), execCommandLine({executablePath}));
    if (icon) entry.set(QStringLiteral("Icon"), *icon);
    entry.set(QStringLiteral("Terminal"), QStringLiteral("false"));
    return writeDesktopFile(path, entry, permissions);
}

}  // namespace velmora::desktop
