#include "desktop/settings_store.h"

#include "desktop/safe_file.h"
#include "desktop/xdg_auto_start_store.h"

#include "app_info.h"

#include <QDir>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <QSettings>
#endif

namespace velmora::desktop {

namespace {

const QByteArray kGeneralGroup = "General";

// A new file is rw-r--r--, what QSettings gave under the usual umask 022.
constexpr QFileDevice::Permissions kNewFilePermissions =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
    QFileDevice::ReadOther;

const QString kNotRemembered = QStringLiteral(
    "Warning: The choice could not be saved; it lasts only until the program is closed");

#ifdef Q_OS_WIN
// HKEY_CURRENT_USER\Software\Velmora\velmora, as earlier versions kept it.
const QString kRegistryOrganisation = QStringLiteral("Velmora");
const QString kRegistryApplication = QStringLiteral("velmora");
#endif

struct IniKey {
    QByteArray group;
    QByteArray name;
};

IniKey splitKey(const QString& key) {
    const qsizetype slash = key.indexOf(u'/');
    if (slash < 0) return {kGeneralGroup, key.toLatin1()};
    QString name = key.mid(slash + 1);
    name.replace(u'/', u'\\');  // a deeper key inside a group, as QSettings spells it
    return {key.left(slash).toLatin1(), name.toLatin1()};
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// One key line of INI text: where its value starts and ends (blanks around it excluded), and
// where the line ends after its line break.
struct KeyLine {
    qsizetype valueBegin;
    qsizetype valueEnd;
    qsizetype next;
};

// Calls onKey(line) for every line of key in text, and returns the offset just after the last
// header or key line of key's group (-1 when the group has neither). Lines before any header
// belong to [General]; ";" and "#" start comments.
template <typename OnKey>
qsizetype forEachKeyLine(const QByteArray& text, const IniKey& key, OnKey onKey) {
    QByteArray group = kGeneralGroup;
    qsizetype groupEnd = -1;
    for (qsizetype begin = 0; begin < text.size();) {
        qsizetype next = text.indexOf('\n', begin);
        next = next < 0 ? text.size() : next + 1;
        qsizetype first = begin;
        qsizetype last = next;  // one past the last non-blank byte
        while (first < last && isBlank(text[first])) ++first;
        while (last > first &&
               (isBlank(text[last - 1]) || text[last - 1] == '\n' || text[last - 1] == '\r'))
            --last;
        const QByteArray content = text.mid(first, last - first);
        if (content.startsWith('[') && content.endsWith(']')) {
            group = content.mid(1, content.size() - 2).trimmed();
            if (group == key.group) groupEnd = next;
        } else if (!content.isEmpty() && content[0] != ';' && content[0] != '#' &&
                   content.contains('=')) {
            const qsizetype equals = text.indexOf('=', first);
            if (group == key.group) {
                groupEnd = next;
                if (text.mid(first, equals - first).trimmed() == key.name) {
                    qsizetype valueBegin = equals + 1;
                    while (valueBegin < last && isBlank(text[valueBegin])) ++valueBegin;
                    onKey(KeyLine{valueBegin, last, next});
                }
            }
        }
        begin = next;
    }
    return groupEnd;
}

bool parseTick(QByteArray text, bool defaultValue) {
    text = text.toLower();
    if (text == "true" || text == "1") return true;
    if (text == "false" || text == "0") return false;
    return defaultValue;
}

}  // namespace

QString defaultSettingsPath() { return xdgConfigHome() + QStringLiteral("/Velmora/velmora.conf"); }

std::optional<QByteArray> iniValue(const QByteArray& text, const QString& key) {
    std::optional<QByteArray> value;
    forEachKeyLine(text, splitKey(key), [&](const KeyLine& line) {
        value = text.mid(line.valueBegin, line.valueEnd - line.valueBegin);
        if (value->size() >= 2 && value->startsWith('"') && value->endsWith('"')) {
            *value = value->mid(1, value->size() - 2);
        }
    });
    return value;
}

QByteArray withIniValue(const QByteArray& text, const QString& key, const QByteArray& value) {
    const IniKey iniKey = splitKey(key);
    const QByteArray lineBreak = text.contains("\r\n") ? "\r\n" : "\n";
    QByteArray out;
    qsizetype copied = 0;
    const qsizetype groupEnd = forEachKeyLine(text, iniKey, [&](const KeyLine& line) {
        out += text.mid(copied, line.valueBegin - copied) + value;
        copied = line.valueEnd;
    });
    if (copied > 0) return out + text.mid(copied);

    const QByteArray keyLine = iniKey.name + '=' + value + lineBreak;
    if (groupEnd >= 0) {
        const bool ended = groupEnd == 0 || text[groupEnd - 1] == '\n';
        return text.left(groupEnd) + (ended ? QByteArray() : lineBreak) + keyLine +
               text.mid(groupEnd);
    }
    out = text;
    if (!out.isEmpty() && !out.endsWith('\n')) out += lineBreak;
    if (!out.isEmpty()) out += lineBreak;  // a blank line between groups, as QSettings writes them
    return out + '[' + iniKey.group + ']' + lineBreak + keyLine;
}

SettingsStore::SettingsStore(QString filePath) : m_filePath(std::move(filePath)) {}

QString SettingsStore::filePath() const {
    return m_filePath.isEmpty() ? defaultSettingsPath() : m_filePath;
}

bool SettingsStore::value(const QString& key, bool defaultValue) const {
    const std::optional<QByteArray> stored = storedValue(key);
    return stored ? parseTick(*stored, defaultValue) : defaultValue;
}

QString SettingsStore::text(const QString& key, const QString& defaultValue) const {
    const std::optional<QByteArray> stored = storedValue(key);
    return stored ? QString::fromLatin1(*stored) : defaultValue;
}

std::optional<QByteArray> SettingsStore::storedValue(const QString& key) const {
#ifdef Q_OS_WIN
    if (m_filePath.isEmpty()) {
        const QVariant stored = QSettings(kRegistryOrganisation, kRegistryApplication).value(key);
        return stored.isValid() ? std::optional(stored.toString().toUtf8()) : std::nullopt;
    }
#endif
    const std::optional<QByteArray> text = readSmallRegularFile(filePath(), kMaxSettingsFileBytes);
    return text ? iniValue(*text, key) : std::nullopt;
}

bool SettingsStore::setText(const QString& key, const QString& value) {
    for (const QChar c : value) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e || QStringLiteral(";#\"\\,=").contains(c))
            return false;
    }
    if (value != value.trimmed()) return false;
    return store(key, value.toLatin1());
}

bool SettingsStore::setValue(const QString& key, bool value) {
    return store(key, value ? "true" : "false");
}

bool SettingsStore::store(const QString& key, const QByteArray& value) {
#ifdef Q_OS_WIN
    if (m_filePath.isEmpty()) {
        // As text, the way QSettings keeps a tick in the registry ("true", "false").
        QSettings registry(kRegistryOrganisation, kRegistryApplication);
        registry.setValue(key, QString::fromLatin1(value));
        registry.sync();
        return registry.status() == QSettings::NoError;
    }
#endif
    const QString path = filePath();
    const QFileInfo info(path);
    QByteArray text;
    QFileDevice::Permissions permissions = kNewFilePermissions;
    if (info.isSymLink()) {
        // The link is replaced; what it showed, when it was a settings file, is carried over.
        text = readSmallRegularFile(path, kMaxSettingsFileBytes).value_or(QByteArray());
    } else if (info.exists()) {
        // Anything that cannot be read back whole (a FIFO, a folder, a file too large or
        // unreadable) or that its owner made read-only is not replaced.
        const std::optional<QByteArray> bytes = readSmallRegularFile(path, kMaxSettingsFileBytes);
        if (!bytes || !info.isWritable()) return false;
        text = *bytes;
        permissions = info.permissions();
    }
    if (!QDir().mkpath(info.absolutePath())) return false;
    return writeFileAtomically(path, withIniValue(text, key, value), permissions);
}

void RememberTick(SettingsStore& store, Warnings& warnings, bool& failureShown, const QString& key,
                  bool ticked) {
    if (store.setValue(key, ticked) || failureShown) return;
    failureShown = true;
    warnings.exclamation(QString::fromUtf8(app::kProductName), kNotRemembered);
}

}  // namespace velmora::desktop
