#include "calculator/destination.h"

#include <array>
#include <cmath>
#include <utility>

#include "calculator/angle_text.h"
#include "calculator/coordinate_text.h"
#include "calculator/distance_units.h"
#include "calculator/text.h"
#include "geodesy/units.h"

namespace velmora::calc {

namespace {

constexpr double kSixty = 60.0;         // minutes and seconds stay below it
constexpr double kFullTurnDeg = 360.0;  // the azimuth stays below it

constexpr std::string_view kAzimuthField = "Azimuth: ";
constexpr std::string_view kDistanceField = "Distance: ";
constexpr std::string_view kNothingTyped = "nothing typed";
constexpr std::string_view kNotAnAngle = "not an angle";
constexpr std::string_view kNotANumber = "not a number";
constexpr std::string_view kNegative = "must not be negative";
constexpr std::string_view kBeyondFullTurn = "must be below 360 degrees";
constexpr std::string_view kDegreesFirst = "must begin with the degrees";
constexpr std::string_view kOutOfOrder = "degrees, minutes and seconds must come in that order";
constexpr std::string_view kFractionInside = "only the last part may have decimals";
constexpr std::string_view kNoMinutesInFormat = "the coordinate format has no minutes";
constexpr std::string_view kNoSecondsInFormat = "the coordinate format has no seconds";
constexpr std::string_view kTooManyParts = "more parts than degrees, minutes and seconds";
constexpr std::string_view kMinutesTooLarge = "minutes must be below 60";
constexpr std::string_view kSecondsTooLarge = "seconds must be below 60";
constexpr std::string_view kTooLarge = "too large";

constexpr std::string_view kEnterAFirst = "Enter Latitude A and Longitude A first.";
constexpr std::string_view kLatitudeAOutOfRange =
    "Latitude A is out of range: enter it again first.";
constexpr std::string_view kLongitudeAOutOfRange =
    "Longitude A is out of range: enter it again first.";
constexpr std::string_view kNoUnit = "Choose a distance unit first.";
constexpr std::string_view kDirectFailed =
    "The destination could not be computed on this ellipsoid.";

// What people type besides the plain marks, and the plain mark it stands for; the two
// apostrophes of a seconds mark come last, after the typographic ones have become apostrophes.
constexpr std::array<std::pair<std::string_view, std::string_view>, 10> kLookalikes{{
    {"\u2032", "'"},       // prime
    {"\u2033", "\""},      // double prime
    {"\u2019", "'"},       // right single quotation mark
    {"\u201D", "\""},      // right double quotation mark
    {"\u00BA", "\u00B0"},  // masculine ordinal, typed for the degree sign
    {"\u02DA", "\u00B0"},  // ring above
    {"\u00A0", " "},       // no-break space
    {"\u202F", " "},       // narrow no-break space
    {"\u2212", "-"},       // minus sign
    {"''", "\""},
}};

constexpr int kDegreesPart = 0;
constexpr int kMinutesPart = 1;
constexpr int kSecondsPart = 2;
constexpr int kPartCount = 3;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDecimalMark(char c) { return c == '.' || c == ','; }

std::string normalised(std::string_view text) {
    std::string work(text);
    for (const auto& [from, to] : kLookalikes) replaceAll(work, from, to);
    return work;
}

// Degrees, or the reason the text is no azimuth in format.
struct AngleRead {
    std::optional<double> degrees;
    std::string_view refusal;
};

AngleRead refused(std::string_view why) { return {std::nullopt, why}; }

// The part a mark at the front of text names, and the mark's length; -1 for no mark.
std::pair<int, std::size_t> markAtFront(std::string_view text) {
    const std::string_view degree = kDegreeMark;
    if (text.starts_with(degree)) return {kDegreesPart, degree.size()};
    if (text.starts_with(kMinutesMark)) return {kMinutesPart, 1};
    if (text.starts_with(kSecondsMark)) return {kSecondsPart, 1};
    return {-1, 0};
}

int partsOfFormat(std::int16_t format) {
    if (format == kDeg) return 1;
    if (format == kDegMin) return 2;
    return kPartCount;
}

// Parts are numbers, each followed by its mark or standing bare for the part after the last
// one; blanks may stand anywhere between them.
AngleRead readAzimuth(std::string_view raw, std::int16_t format) {
    const std::string work = normalised(raw);
    const std::string_view text = TrimBlanks(work);
    if (text.empty()) return refused(kNothingTyped);
    if (text.front() == '-') return refused(kNegative);

    std::array<double, kPartCount> parts{};
    int nextPart = kDegreesPart;
    int parsed = 0;
    bool fractionSeen = false;
    std::size_t i = 0;
    while (i < text.size()) {
        if (isBlank(text[i])) {
            ++i;
            continue;
        }
        if (!isDigit(text[i]) && !isDecimalMark(text[i])) return refused(kNotAnAngle);
        const std::size_t start = i;
        int decimalMarks = 0;
        while (i < text.size() && (isDigit(text[i]) || isDecimalMark(text[i]))) {
            if (isDecimalMark(text[i])) ++decimalMarks;
            ++i;
        }
        std::string number(text.substr(start, i - start));
        replaceAll(number, ",", ".");
        if (decimalMarks > 1 || number == ".") return refused(kNotANumber);
        const std::optional<double> value = ConvertNumberAllowingOverflow(number, ".");
        if (!value) return refused(kNotANumber);

        std::size_t after = i;
        while (after < text.size() && isBlank(text[after])) ++after;
        int part = nextPart;
        const auto [marked, markLength] = markAtFront(text.substr(after));
        if (marked >= 0) {
            part = marked;
            i = after + markLength;
        }
        if (parsed == 0 && part != kDegreesPart) return refused(kDegreesFirst);
        if (part < nextPart) return refused(kOutOfOrder);
        if (part >= kPartCount) return refused(kTooManyParts);
        if (part >= partsOfFormat(format))
            return refused(part == kMinutesPart ? kNoMinutesInFormat : kNoSecondsInFormat);
        if (fractionSeen) return refused(kFractionInside);
        fractionSeen = decimalMarks == 1;
        parts[static_cast<std::size_t>(part)] = *value;
        nextPart = part + 1;
        ++parsed;
    }
    if (parts[kMinutesPart] >= kSixty) return refused(kMinutesTooLarge);
    if (parts[kSecondsPart] >= kSixty) return refused(kSecondsTooLarge);
    const double degrees = parts[kDegreesPart] + parts[kMinutesPart] / kSixty +
                           parts[kSecondsPart] / kSecondsPerDegree;
    if (!(degrees < kFullTurnDeg)) return refused(kBeyondFullTurn);
    return {degrees, {}};
}

// The distance in unit, or the reason the text is none.
struct DistanceRead {
    std::optional<double> value;
    std::string_view refusal;
};

DistanceRead readDistance(std::string_view raw, std::int16_t unit) {
    std::string text(TrimBlanks(normalised(raw)));
    if (text.empty()) return {std::nullopt, kNothingTyped};
    replaceAll(text, ",", ".");  // "1,000.5" then holds two points and is no number
    const std::optional<double> value = ConvertNumberAllowingOverflow(text, ".");
    if (!value) return {std::nullopt, kNotANumber};
    if (*value < 0.0) return {std::nullopt, kNegative};
    const double kmPerUnit =
        IsDistanceUnit(unit) ? kDistanceUnits[static_cast<std::size_t>(unit)].kmPerUnit : 1.0;
    if (!std::isfinite(*value * kmPerUnit * geodesy::kMetresPerKm))
        return {std::nullopt, kTooLarge};
    return {*value, {}};
}

double storedDegrees(const CalculatorState& state, FieldCode field) {
    return CoordinateDegrees(state, state.CoordText[field]);
}

// Enter stores every entry with at least one mark; the reset leaves a bare "0".
bool isEntered(std::string_view stored) {
    return Contains(stored, kDegreeMark) || Contains(stored, kMinutesMark) ||
           Contains(stored, kSecondsMark);
}

bool withinLimit(double degrees, double limit) { return std::fabs(degrees) <= limit; }

}  // namespace

DestinationParse ParseDestinationInput(std::string_view azimuthText, std::string_view distanceText,
                                       std::int16_t format, std::int16_t unit) {
    const AngleRead azimuth = readAzimuth(azimuthText, format);
    if (!azimuth.degrees)
        return {std::nullopt, std::string(kAzimuthField) + std::string(azimuth.refusal)};
    const DistanceRead distance = readDistance(distanceText, unit);
    if (!distance.value)
        return {std::nullopt, std::string(kDistanceField) + std::string(distance.refusal)};
    return {DestinationInput{*azimuth.degrees, *distance.value}, {}};
}

std::optional<std::string> DestinationStartRefusal(const CalculatorState& state) {
    if (!isEntered(state.CoordText[kLatitudeA]) || !isEntered(state.CoordText[kLongitudeA]))
        return std::string(kEnterAFirst);
    if (!withinLimit(storedDegrees(state, kLatitudeA), kLatitudeLimitDeg))
        return std::string(kLatitudeAOutOfRange);
    if (!withinLimit(storedDegrees(state, kLongitudeA), kLongitudeLimitDeg))
        return std::string(kLongitudeAOutOfRange);
    if (!IsDistanceUnit(state.UnitIndex)) return std::string(kNoUnit);
    return std::nullopt;
}

DestinationOutcome PlanDestination(const CalculatorState& state, std::string_view azimuthText,
                                   std::string_view distanceText, std::string_view decimalMark) {
    if (const std::optional<std::string> refusal = DestinationStartRefusal(state))
        return {std::nullopt, *refusal};
    const DestinationParse parse =
        ParseDestinationInput(azimuthText, distanceText, state.CoordFormat, state.UnitIndex);
    if (!parse.input) return {std::nullopt, parse.refusal + "."};

    const DestinationInput& input = *parse.input;
    const DistanceUnit& unit = kDistanceUnits[static_cast<std::size_t>(state.UnitIndex)];
    const double metres = input.distance * unit.kmPerUnit * geodesy::kMetresPerKm;
    const double latA = storedDegrees(state, kLatitudeA);
    const double lonA = storedDegrees(state, kLongitudeA);
    const std::optional<geodesy::DirectSolution> direct =
        state.SphereMode
            ? geodesy::SphereDirect(latA, lonA, input.azimuthDeg, metres)
            : geodesy::VincentyDirect(latA, lonA, input.azimuthDeg, metres, state.Datum);
    if (!direct) return {std::nullopt, std::string(kDirectFailed)};

    DestinationPlan plan;
    plan.destinationLine =
        "Destination: azimuth " + AzimuthText(input.azimuthDeg, state.CoordFormat) + ", " +
        FixedSixText(input.distance, decimalMark).value_or("") + " " + std::string(unit.symbol);
    plan.pointB = {direct->latBDeg, direct->lonBDeg};
    plan.arrivalLine = "Azimuth at B: " + AzimuthText(direct->azimuthAtBDeg, state.CoordFormat);
    return {plan, {}};
}

}  // namespace velmora::calc
