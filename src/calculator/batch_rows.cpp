#include "calculator/batch_rows.h"

#include <array>
#include <cmath>
#include <utility>

#include "calculator/number_text.h"
#include "calculator/position_text.h"
#include "calculator/text.h"

namespace velmora::calc {

namespace {

constexpr double kLatitudeLimitDeg = 90.0;    // inclusive, as Paste point reads it
constexpr double kLongitudeLimitDeg = 180.0;  // inclusive, as Paste point reads it
constexpr double kSixty = 60.0;               // minutes and seconds stay below it
constexpr double kSecondsPerDegree = 3600.0;

// A plain decimal: optional sign, digits with at most one ".", at least one digit, nothing
// else. Most cells are written so; they skip the general reader.
bool isPlainDecimal(std::string_view text) {
    std::size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    bool point = false;
    bool digit = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digit;
}

// The marks in the order the parts of one angle follow each other; None for a bare number.
enum class Mark { None = 0, Degrees = 1, Minutes = 2, Seconds = 3 };

// The marks people write, typographic ones included, and the mark each stands for. The two
// apostrophes of a seconds mark come before the single one.
constexpr std::array<std::pair<std::string_view, Mark>, 10> kMarks{{
    {"\u00B0", Mark::Degrees},  // degree sign
    {"\u00BA", Mark::Degrees},  // masculine ordinal, typed for the degree sign
    {"\u02DA", Mark::Degrees},  // ring above
    {"''", Mark::Seconds},
    {"\"", Mark::Seconds},
    {"\u2033", Mark::Seconds},  // double prime
    {"\u201D", Mark::Seconds},  // right double quotation mark
    {"'", Mark::Minutes},
    {"\u2032", Mark::Minutes},  // prime
    {"\u2019", Mark::Minutes},  // right single quotation mark
}};

// The mark written at text[i], and its length in bytes (0 when there is none).
std::pair<Mark, std::size_t> markAt(std::string_view text, std::size_t i) {
    for (const auto& [written, mark] : kMarks) {
        if (text.substr(i).starts_with(written)) return {mark, written.size()};
    }
    return {Mark::None, 0};
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isHemisphereLetter(char c) {
    switch (c) {
    case 'N':
    case 'S':
    case 'E':
    case 'W':
    case 'n':
    case 's':
    case 'e':
    case 'w': return true;
    default: return false;
    }
}

// An azimuth in marked degrees: [sign] D° [M'] [S"], blanks allowed between the parts, the
// marks in that order, decimals only on the last part, minutes and seconds below 60. A bare
// number only alone.
std::optional<double> readMarkedAzimuth(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (text.starts_with("-") || text.starts_with("+")) {
        negative = text[0] == '-';
        i = 1;
    } else if (text.starts_with("\u2212")) {  // minus sign
        negative = true;
        i = std::string_view("\u2212").size();
    }
    std::array<double, 4> parts{};  // by Mark
    Mark last = Mark::None;
    bool anyPart = false;
    bool lastHadFraction = false;
    while (true) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        if (i >= text.size()) break;
        const std::size_t start = i;
        bool fraction = false;
        while (i < text.size() && (isDigit(text[i]) || (text[i] == '.' && !fraction))) {
            fraction = fraction || text[i] == '.';
            ++i;
        }
        const std::optional<double> value = ConvertNumber(text.substr(start, i - start), ".");
        if (!value) return std::nullopt;
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        const auto [mark, length] = markAt(text, i);
        i += length;
        // A bare number stands only alone; a marked part follows a part of an earlier mark,
        // and only the last part has decimals.
        if (mark == Mark::None && anyPart) return std::nullopt;
        if (anyPart && (last == Mark::None || mark <= last || lastHadFraction)) return std::nullopt;
        if (!anyPart && (mark == Mark::Minutes || mark == Mark::Seconds)) return std::nullopt;
        parts[static_cast<std::size_t>(mark)] = *value;
        last = mark;
        lastHadFraction = fraction;
        anyPart = true;
    }
    if (!anyPart) return std::nullopt;
    const double minutes = parts[static_cast<std::size_t>(Mark::Minutes)];
    const double seconds = parts[static_cast<std::size_t>(Mark::Seconds)];
    if (minutes >= kSixty || seconds >= kSixty) return std::nullopt;
    const double degrees = parts[static_cast<std::size_t>(Mark::None)] +
                           parts[static_cast<std::size_t>(Mark::Degrees)] + minutes / kSixty +
                           seconds / kSecondsPerDegree;
    if (!std::isfinite(degrees)) return std::nullopt;
    return negative ? -degrees : degrees;
}

// One latitude or longitude as Paste point reads it: the cell is paired with an angle of the
// other axis that carries its own letter, so that no letter or number of the cell can be
// taken for the partner's.
std::optional<double> readPastedAngle(std::string_view text, bool isLatitude) {
    const std::string pair = isLatitude ? std::string(text) + " 0E" : "0N " + std::string(text);
    const PositionParse parse = ParsePosition(pair);
    if (!parse.position) return std::nullopt;
    return isLatitude ? parse.position->latitudeDeg : parse.position->longitudeDeg;
}

// Column names as compared: ASCII lower case without blanks, "_", "-" and ".".
std::string comparable(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (const char c : name) {
        if (c == ' ' || c == '\t' || c == '_' || c == '-' || c == '.') continue;
        out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return out;
}

constexpr std::array<std::pair<std::string_view, BatchColumn>, 54> kColumnNames{{
    {"lat1", BatchColumn::Lat1},       {"lata", BatchColumn::Lat1},
    {"latitude1", BatchColumn::Lat1},  {"latitudea", BatchColumn::Lat1},
    {"lat", BatchColumn::Lat1},        {"latitude", BatchColumn::Lat1},
    {"fromlat", BatchColumn::Lat1},    {"phi1", BatchColumn::Lat1},
    {"lon1", BatchColumn::Lon1},       {"lona", BatchColumn::Lon1},
    {"long1", BatchColumn::Lon1},      {"longa", BatchColumn::Lon1},
    {"lng1", BatchColumn::Lon1},       {"lnga", BatchColumn::Lon1},
    {"longitude1", BatchColumn::Lon1}, {"longitudea", BatchColumn::Lon1},
    {"lon", BatchColumn::Lon1},        {"long", BatchColumn::Lon1},
    {"lng", BatchColumn::Lon1},        {"longitude", BatchColumn::Lon1},
    {"fromlon", BatchColumn::Lon1},    {"fromlng", BatchColumn::Lon1},
    {"lat2", BatchColumn::Lat2},       {"latb", BatchColumn::Lat2},
    {"latitude2", BatchColumn::Lat2},  {"latitudeb", BatchColumn::Lat2},
    {"tolat", BatchColumn::Lat2},      {"phi2", BatchColumn::Lat2},
    {"lon2", BatchColumn::Lon2},       {"lonb", BatchColumn::Lon2},
    {"long2", BatchColumn::Lon2},      {"longb", BatchColumn::Lon2},
    {"lng2", BatchColumn::Lon2},       {"lngb", BatchColumn::Lon2},
    {"longitude2", BatchColumn::Lon2}, {"longitudeb", BatchColumn::Lon2},
    {"tolon", BatchColumn::Lon2},      {"tolng", BatchColumn::Lon2},
    {"azi1", BatchColumn::Azi1},       {"azi", BatchColumn::Azi1},
    {"az1", BatchColumn::Azi1},        {"az", BatchColumn::Azi1},
    {"azimuth", BatchColumn::Azi1},    {"azimuth1", BatchColumn::Azi1},
    {"azimutha", BatchColumn::Azi1},   {"azia", BatchColumn::Azi1},
    {"bearing", BatchColumn::Azi1},    {"course", BatchColumn::Azi1},
    {"s12", BatchColumn::S12},         {"distance", BatchColumn::S12},
    {"dist", BatchColumn::S12},        {"s", BatchColumn::S12},
    {"length", BatchColumn::S12},      {"range", BatchColumn::S12},
}};

// What SplitBlankRow knows of the cell it is building.
struct CellState {
    bool open = false;  // a cell is being built
    bool hasNumber = false;
    bool leadingLetter = false;  // began with a hemisphere letter ("N 48.5")
    bool complete = false;       // ended by a letter after its number: takes no more parts
    Mark lastMark = Mark::None;
};

// What one blank-free word of a line holds.
struct Word {
    bool loneLetter = false;  // a hemisphere letter alone
    bool startsWithNumber = false;
    bool hasNumber = false;
    bool letterFirst = false;  // a hemisphere letter before any digit
    bool letterLast = false;   // a hemisphere letter after a digit
    Mark firstMark = Mark::None;
    Mark lastMark = Mark::None;
};

Word describe(std::string_view word) {
    Word w;
    w.loneLetter = word.size() == 1 && isHemisphereLetter(word[0]);
    w.startsWithNumber = isDigit(word[0]) || word[0] == '.';
    for (std::size_t i = 0; i < word.size();) {
        const auto [mark, length] = markAt(word, i);
        if (length > 0) {
            if (w.firstMark == Mark::None) w.firstMark = mark;
            w.lastMark = mark;
            i += length;
            continue;
        }
        if (isDigit(word[i])) w.hasNumber = true;
        if (isHemisphereLetter(word[i])) (w.hasNumber ? w.letterLast : w.letterFirst) = true;
        ++i;
    }
    return w;
}

// Whether word w goes on with the cell being built rather than beginning the next one. The
// rules follow Paste point's: a letter or sign alone waits for its number; a letter after the
// number ends the angle unless the angle began with one (then it begins the next); a marked
// part continues an angle whose last part has an earlier mark; after a leading letter a bare
// number behind degrees or minutes is the next part ("N 47° 36.123").
bool continuesCell(const CellState& cell, const Word& w) {
    if (!cell.open) return false;
    if (!cell.hasNumber) return true;
    if (cell.complete) return false;
    if (w.loneLetter) return !cell.leadingLetter;
    if (!w.startsWithNumber || cell.lastMark == Mark::None) return false;
    if (w.firstMark != Mark::None) return w.firstMark > cell.lastMark;
    return cell.leadingLetter && cell.lastMark != Mark::Seconds;
}

}  // namespace

std::string_view ColumnName(BatchColumn column) {
    switch (column) {
    case BatchColumn::Lat1: return "lat1";
    case BatchColumn::Lon1: return "lon1";
    case BatchColumn::Lat2: return "lat2";
    case BatchColumn::Lon2: return "lon2";
    case BatchColumn::Azi1: return "azi1";
    case BatchColumn::S12: return "s12";
    }
    return "";
}

const std::array<BatchColumn, 4>& ProblemColumns(BatchProblem problem) {
    static constexpr std::array<BatchColumn, 4> kInverse{BatchColumn::Lat1, BatchColumn::Lon1,
                                                         BatchColumn::Lat2, BatchColumn::Lon2};
    static constexpr std::array<BatchColumn, 4> kDirect{BatchColumn::Lat1, BatchColumn::Lon1,
                                                        BatchColumn::Azi1, BatchColumn::S12};
    return problem == BatchProblem::Inverse ? kInverse : kDirect;
}

std::optional<double> ReadBatchCell(std::string_view text, BatchColumn column) {
    text = TrimBlanks(text, kBlanksAndLineBreaks);
    if (text.empty()) return std::nullopt;
    if (column == BatchColumn::S12) {
        const std::optional<double> value = ConvertNumber(text, ".");
        if (!value || !(*value >= 0.0)) return std::nullopt;
        return value;
    }
    const bool plain = isPlainDecimal(text);
    if (column == BatchColumn::Azi1) {
        return plain ? ConvertNumber(text, ".") : readMarkedAzimuth(text);
    }
    const bool isLatitude = column == BatchColumn::Lat1 || column == BatchColumn::Lat2;
    if (!plain) return readPastedAngle(text, isLatitude);
    const std::optional<double> value = ConvertNumber(text, ".");
    if (!value || !(std::fabs(*value) <= (isLatitude ? kLatitudeLimitDeg : kLongitudeLimitDeg)))
        return std::nullopt;
    return value;
}

void SplitBlankRow(std::string_view line, BlankRow& row) {
    row.cells.clear();
    row.label = {};
    const std::size_t hash = line.find('#');
    if (hash != std::string_view::npos) {
        row.label = TrimBlanks(line.substr(hash + 1), kBlanksAndLineBreaks);
        line = line.substr(0, hash);
    }
    CellState cell;
    std::size_t cellStart = 0;
    std::size_t cellEnd = 0;
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        if (i >= line.size()) break;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        const Word w = describe(line.substr(start, i - start));
        if (!continuesCell(cell, w)) {
            if (cell.open) row.cells.push_back(line.substr(cellStart, cellEnd - cellStart));
            cell = CellState{true};
            cellStart = start;
            cell.leadingLetter = w.letterFirst || w.loneLetter;
        }
        cellEnd = i;
        cell.hasNumber = cell.hasNumber || w.hasNumber;
        if (w.lastMark != Mark::None) {
            cell.lastMark = w.lastMark;
        } else if (w.hasNumber && cell.leadingLetter && cell.lastMark != Mark::None &&
                   cell.lastMark != Mark::Seconds) {
            cell.lastMark = static_cast<Mark>(static_cast<int>(cell.lastMark) + 1);
        }
        if ((w.letterLast || (w.loneLetter && cell.hasNumber)) && !cell.leadingLetter)
            cell.complete = true;
    }
    if (cell.open) row.cells.push_back(line.substr(cellStart, cellEnd - cellStart));
}

std::optional<BatchColumn> ColumnByName(std::string_view name) {
    const std::string key = comparable(TrimBlanks(name, kBlanksAndLineBreaks));
    for (const auto& [written, column] : kColumnNames) {
        if (key == written) return column;
    }
    return std::nullopt;
}

}  // namespace velmora::calc
