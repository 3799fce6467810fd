#include "calculator/position_text.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

#include "calculator/coordinate_text.h"
#include "calculator/number_text.h"
#include "calculator/text.h"

namespace velmora::calc {

namespace {

constexpr double kSixty = 60.0;  // minutes and seconds stay below it

constexpr std::string_view kNoText = "the clipboard holds no text";
constexpr std::string_view kNotAPosition = "the clipboard holds text that is no part of a position";
constexpr std::string_view kOneAngle =
    "the clipboard holds one angle, not a latitude and a longitude";
constexpr std::string_view kTooManyAngles = "the clipboard holds more than two angles";
constexpr std::string_view kLatitudeRange = "the latitude lies beyond 90 degrees";
constexpr std::string_view kLongitudeRange = "the longitude lies beyond 180 degrees";
constexpr std::string_view kLatitudeLetter = "the first angle, the latitude, carries E or W";
constexpr std::string_view kLongitudeLetter = "the second angle, the longitude, carries N or S";
constexpr std::string_view kSixtyOrMore = "minutes and seconds must be less than 60";
constexpr std::string_view kSignAndLetter = "an angle carries both a sign and a hemisphere letter";
constexpr std::string_view kFractionInside = "only the last part of an angle may have decimals";
constexpr std::string_view kDegreesFirst = "an angle must begin with its degrees";
constexpr std::string_view kTwoPositions = "the text reads as two different positions";

// What people paste besides the plain marks, and the plain mark it stands for. The two
// apostrophes of a seconds mark come last, after the typographic ones have become apostrophes.
constexpr std::array<std::pair<std::string_view, std::string_view>, 14> kLookalikes{{
    {"\u2032", "'"},       // prime
    {"\u2033", "\""},      // double prime
    {"\u2019", "'"},       // right single quotation mark
    {"\u2018", "'"},       // left single quotation mark
    {"\u00B4", "'"},       // acute accent
    {"\u201D", "\""},      // right double quotation mark
    {"\u201C", "\""},      // left double quotation mark
    {"\u00BA", "\u00B0"},  // masculine ordinal, typed for the degree sign
    {"\u02DA", "\u00B0"},  // ring above
    {"\u00A0", " "},       // no-break space
    {"\u202F", " "},       // narrow no-break space
    {"\u2009", " "},       // thin space
    {"\u2212", "-"},       // minus sign
    {"''", "\""},
}};

constexpr std::string_view kDegreeSign = "\u00B0";

// Marks in the order they must follow each other within one angle; None for a bare number.
enum class Mark { None = 0, Degrees = 1, Minutes = 2, Seconds = 3 };

enum class Kind { Number, Mark, Letter, Sign, Separator };

struct Token {
    Kind kind;
    double value = 0.0;        // Number
    bool hasFraction = false;  // Number: written with a decimal mark
    Mark mark = Mark::None;    // Mark
    char symbol = 0;           // Letter (upper case), Sign ('-' or '+')
};

// A refusal found while reading one way, and whether the text was at least made of the parts
// of a position that way (every comma a decimal mark, or every comma a separator).
struct Refusal {
    std::string_view text;
    bool readable = true;
};

// Pasted text comes with line breaks; they part numbers as blanks do.
bool isBlank(char c) { return IsBlank(c, kBlanksAndLineBreaks); }

std::string normalised(std::string_view text) {
    std::string work(text);
    for (const auto& [from, to] : kLookalikes) replaceAll(work, from, to);
    return work;
}

// A number starting at text[i]: digits with at most one decimal mark ("." always, "," when
// commaIsDecimal and a digit stands on both sides). Advances i past it.
Token readNumber(std::string_view text, std::size_t& i, bool commaIsDecimal) {
    const DecimalScan scan = ScanDecimal(text.substr(i), ".", commaIsDecimal ? "," : "");
    std::string digits(text.substr(i, scan.length));
    if (scan.markAt != std::string_view::npos) digits[scan.markAt] = '.';
    i += scan.length;
    Token token{Kind::Number};
    token.value = ReadLeadingNumber(digits);
    token.hasFraction = scan.markAt != std::string_view::npos;
    return token;
}

// The text as tokens, blanks dropped (they only part numbers, which reading a number does
// anyway). nullopt when a character is no part of a position, or a lone decimal mark.
std::optional<std::vector<Token>> tokens(std::string_view text, bool commaIsDecimal) {
    std::vector<Token> out;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (isBlank(c)) {
            ++i;
        } else if (IsDigit(c) || (c == '.' && i + 1 < text.size() && IsDigit(text[i + 1]))) {
            out.push_back(readNumber(text, i, commaIsDecimal));
        } else if (text.substr(i).starts_with(kDegreeSign)) {
            out.push_back({Kind::Mark, 0.0, false, Mark::Degrees});
            i += kDegreeSign.size();
        } else if (c == '\'' || c == '"') {
            out.push_back({Kind::Mark, 0.0, false, c == '\'' ? Mark::Minutes : Mark::Seconds});
            ++i;
        } else if (c == '-' || c == '+') {
            out.push_back({Kind::Sign, 0.0, false, Mark::None, c});
            ++i;
        } else if (c == ';' || (c == ',' && !commaIsDecimal)) {
            out.push_back({Kind::Separator});
            ++i;
        } else {
            const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
            if (upper != 'N' && upper != 'S' && upper != 'E' && upper != 'W') return std::nullopt;
            out.push_back({Kind::Letter, 0.0, false, Mark::None, upper});
            ++i;
        }
    }
    return out;
}

// One angle as written: sign, hemisphere letter and up to three marked parts.
struct Angle {
    char sign = 0;
    char letter = 0;
    bool hadLeadingLetter = false;
    std::array<double, 4> parts{};  // by Mark: bare number, degrees, minutes, seconds
    std::vector<Mark> marks;
    std::vector<bool> fractions;
};

class Reader {
public:
    explicit Reader(const std::vector<Token>& tokens) : m_tokens(tokens) {}

    bool atEnd() const { return m_next >= m_tokens.size(); }
    bool nextIs(Kind kind, std::size_t ahead = 0) const {
        return m_next + ahead < m_tokens.size() && m_tokens[m_next + ahead].kind == kind;
    }
    const Token& take() { return m_tokens[m_next++]; }
    bool restHasNumber() const {
        for (std::size_t i = m_next; i < m_tokens.size(); ++i)
            if (m_tokens[i].kind == Kind::Number) return true;
        return false;
    }

    // [sign] [letter] [sign] part {part} [letter], a part being a number and its mark; a
    // trailing letter only when there was no leading one, so that in "N 48 E 2" the E begins
    // the longitude. False when there is no number.
    bool readAngle(Angle& angle) {
        takeSign(angle);
        if (nextIs(Kind::Letter)) {
            angle.letter = take().symbol;
            angle.hadLeadingLetter = true;
        }
        takeSign(angle);
        if (!nextIs(Kind::Number)) return false;
        while (nextIs(Kind::Number)) {
            Mark mark = Mark::None;
            if (nextIs(Kind::Mark, 1)) mark = m_tokens[m_next + 1].mark;
            if (!angle.marks.empty()) {
                const Mark last = angle.marks.back();
                // After a leading letter the next letter ends the angle, so a bare number
                // behind a marked part is the next part ("N 47° 36.123 W 122° 19.456").
                if (mark == Mark::None && angle.hadLeadingLetter && last != Mark::None &&
                    last != Mark::Seconds) {
                    mark = static_cast<Mark>(static_cast<int>(last) + 1);
                } else if (last == Mark::None || mark <= last) {
                    break;  // another part only with a mark later than the last one
                }
            }
            const Token& number = take();
            if (nextIs(Kind::Mark)) take();
            angle.parts[static_cast<std::size_t>(mark)] = number.value;
            angle.marks.push_back(mark);
            angle.fractions.push_back(number.hasFraction);
        }
        if (!angle.hadLeadingLetter && nextIs(Kind::Letter)) angle.letter = take().symbol;
        return true;
    }

private:
    void takeSign(Angle& angle) {
        if (nextIs(Kind::Sign) && angle.sign == 0) angle.sign = take().symbol;
    }

    const std::vector<Token>& m_tokens;
    std::size_t m_next = 0;
};

// The angle's signed value in degrees, or the reason it is refused.
std::optional<double> angleValue(const Angle& angle, bool isLatitude, Refusal& refusal) {
    if (angle.sign != 0 && angle.letter != 0) {
        refusal = {kSignAndLetter};
        return std::nullopt;
    }
    const bool letterFits = isLatitude ? (angle.letter == 'N' || angle.letter == 'S')
                                       : (angle.letter == 'E' || angle.letter == 'W');
    if (angle.letter != 0 && !letterFits) {
        refusal = {isLatitude ? kLatitudeLetter : kLongitudeLetter};
        return std::nullopt;
    }
    if (angle.marks.front() == Mark::Minutes || angle.marks.front() == Mark::Seconds) {
        refusal = {kDegreesFirst};
        return std::nullopt;
    }
    for (std::size_t i = 0; i + 1 < angle.fractions.size(); ++i) {
        if (angle.fractions[i]) {
            refusal = {kFractionInside};
            return std::nullopt;
        }
    }
    const double minutes = angle.parts[static_cast<std::size_t>(Mark::Minutes)];
    const double seconds = angle.parts[static_cast<std::size_t>(Mark::Seconds)];
    if (minutes >= kSixty || seconds >= kSixty) {
        refusal = {kSixtyOrMore};
        return std::nullopt;
    }
    const double degrees = angle.parts[static_cast<std::size_t>(Mark::None)] +
                           angle.parts[static_cast<std::size_t>(Mark::Degrees)];
    const double value = degrees + minutes / kMinutesPerDegree + seconds / kSecondsPerDegree;
    if (!(value <= (isLatitude ? kLatitudeLimitDeg : kLongitudeLimitDeg))) {
        refusal = {isLatitude ? kLatitudeRange : kLongitudeRange};
        return std::nullopt;
    }
    const bool negative = angle.sign == '-' || angle.letter == 'S' || angle.letter == 'W';
    return negative ? -value : value;
}

// The text read one way: with the comma as decimal mark or as the separator of the angles.
std::optional<Position> readPosition(std::string_view text, bool commaIsDecimal, Refusal& refusal) {
    const std::optional<std::vector<Token>> list = tokens(text, commaIsDecimal);
    if (!list) {
        refusal = {kNotAPosition, false};
        return std::nullopt;
    }
    Reader reader(*list);
    Angle latitude;
    Angle longitude;
    if (!reader.readAngle(latitude)) {
        refusal = {kNotAPosition};
        return std::nullopt;
    }
    if (reader.atEnd()) {
        refusal = {kOneAngle};
        return std::nullopt;
    }
    if (reader.nextIs(Kind::Separator)) reader.take();
    if (!reader.readAngle(longitude)) {
        refusal = {reader.restHasNumber() ? kNotAPosition : kOneAngle};
        return std::nullopt;
    }
    if (!reader.atEnd()) {
        refusal = {reader.restHasNumber() ? kTooManyAngles : kNotAPosition};
        return std::nullopt;
    }
    const std::optional<double> lat = angleValue(latitude, true, refusal);
    if (!lat) return std::nullopt;
    const std::optional<double> lon = angleValue(longitude, false, refusal);
    if (!lon) return std::nullopt;
    return Position{*lat, *lon};
}

// Whether a comma stands between two digits anywhere: only then can it be a decimal mark.
bool hasCommaBetweenDigits(std::string_view text) {
    for (std::size_t i = 1; i + 1 < text.size(); ++i)
        if (text[i] == ',' && IsDigit(text[i - 1]) && IsDigit(text[i + 1])) return true;
    return false;
}

}  // namespace

PositionParse ParsePosition(std::string_view text) {
    // No position is written in that many bytes; a clipboard full of anything else is
    // refused before it is read.
    if (text.size() > kPositionTextLimitBytes) return {std::nullopt, std::string(kNotAPosition)};
    const std::string work = normalised(text);
    if (work.find_first_not_of(" \t\r\n") == std::string::npos)
        return {std::nullopt, std::string(kNoText)};

    Refusal asSeparator;
    const std::optional<Position> separated = readPosition(work, false, asSeparator);
    if (!hasCommaBetweenDigits(work)) {
        if (separated) return {separated, {}};
        return {std::nullopt, std::string(asSeparator.text)};
    }
    Refusal asDecimal;
    const std::optional<Position> decimal = readPosition(work, true, asDecimal);
    if (separated && decimal) {
        if (separated->latitudeDeg == decimal->latitudeDeg &&
            separated->longitudeDeg == decimal->longitudeDeg) {
            return {separated, {}};
        }
        return {std::nullopt, std::string(kTwoPositions)};
    }
    if (separated) return {separated, {}};
    if (decimal) return {decimal, {}};
    // A text whose every comma stands between digits was most likely written with decimal
    // commas ("48,8566" is one angle, not 48 and 8566).
    const Refusal& told = asDecimal.readable ? asDecimal : asSeparator;
    return {std::nullopt, std::string(told.text)};
}

}  // namespace velmora::calc
