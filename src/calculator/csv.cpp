#include "calculator/csv.h"

namespace velmora::calc {

namespace {

constexpr char kQuote = '"';

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

void AppendCsvField(std::string& out, std::string_view field) {
    const bool quoted = field.find_first_of(",\"\t\r\n") != std::string_view::npos ||
                        (!field.empty() && (isBlank(field.front()) || isBlank(field.back())));
    if (!quoted) {
        out += field;
        return;
    }
    out += kQuote;
    for (const char c : field) {
        if (c == kQuote) out += kQuote;
        out += c;
    }
    out += kQuote;
}

bool QuoteOpenAfter(std::string_view line, char separator, bool openBefore) {
    bool open = openBefore;
    bool fieldStart = !openBefore;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (open) {
            if (c != kQuote) continue;
            if (i + 1 < line.size() && line[i + 1] == kQuote) {
                ++i;  // a doubled quote stays inside
            } else {
                open = false;
            }
        } else if (c == separator) {
            fieldStart = true;
        } else if (fieldStart && c == kQuote) {
            open = true;
            fieldStart = false;
        } else if (!(fieldStart && c == ' ')) {
            fieldStart = false;
        }
    }
    return open;
}

std::size_t SplitCsvRecord(std::string_view record, char separator,
                           std::vector<std::string>& fields) {
    std::size_t used = 0;
    std::size_t openField = kNoOpenField;
    std::size_t i = 0;
    while (true) {
        if (used == fields.size()) fields.emplace_back();
        std::string& field = fields[used];
        field.clear();
        // Blanks before an opening quote belong to no field's text ("a, "b"").
        std::size_t start = i;
        while (start < record.size() && record[start] == ' ') ++start;
        if (start < record.size() && record[start] == kQuote) {
            i = start + 1;
            bool closed = false;
            while (i < record.size()) {
                if (record[i] == kQuote) {
                    if (i + 1 < record.size() && record[i + 1] == kQuote) {
                        field += kQuote;
                        i += 2;
                        continue;
                    }
                    closed = true;
                    ++i;
                    break;
                }
                field += record[i++];
            }
            if (!closed) openField = used;
            // Anything between the closing quote and the separator is kept as written.
            while (i < record.size() && record[i] != separator) field += record[i++];
        } else {
            const std::size_t end = record.find(separator, i);
            const std::size_t stop = end == std::string_view::npos ? record.size() : end;
            field.assign(record.substr(i, stop - i));
            i = stop;
        }
        ++used;
        if (i >= record.size()) break;
        ++i;  // the separator
    }
    fields.resize(used);
    return openField;
}

}  // namespace velmora::calc
