// The desktop-entry reader and writer on any file contents: the file is read as the program
// reads its autostart entry, what was read is written again and must read back unchanged, and
// the Exec line written for any program path that fits starts exactly that path.
#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include "desktop/desktop_entry.h"
#include "fuzz_input.h"

using namespace velmora;

namespace {

std::string utf8(const QString& text) { return text.toStdString(); }

void checkRoundTrip(const desktop::DesktopEntry& entry) {
    const QString text = desktop::formatDesktopEntry(entry);
    const desktop::DesktopEntry back = desktop::parseDesktopEntry(text);
    fuzz::check(back.keys == entry.keys, "a written entry reads back otherwise", utf8(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("entry.desktop"));
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size())
            return 0;
    }
    const auto entry = desktop::readDesktopFile(path);
    fuzz::check(entry.has_value() == (size <= std::size_t(desktop::kMaxDesktopFileBytes)),
                "a small file not read");
    if (!entry) return 0;
    checkRoundTrip(*entry);

    // Every value as a program path and as the arguments of an Exec line.
    for (const auto& [key, value] : entry->keys) {
        const QStringList arguments = value.split(u'|');
        if (auto split = desktop::splitExecCommandLine(value)) desktop::execCommandLine(*split);
        if (!desktop::fitsInExecCommandLine(arguments)) continue;
        desktop::DesktopEntry written;
        written.set(QStringLiteral("Exec"), desktop::execCommandLine(arguments));
        checkRoundTrip(written);
        const auto exec = desktop::parseDesktopEntry(desktop::formatDesktopEntry(written))
                              .value(QStringLiteral("Exec"));
        fuzz::check(exec.has_value(), "the Exec key is lost");
        fuzz::check(desktop::splitExecCommandLine(*exec) == std::optional<QStringList>(arguments),
                    "an Exec line starts another program", utf8(*exec));
    }
    return 0;
}
