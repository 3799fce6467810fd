#include <cmath>
#include <utility>

#include "calculator/calculator.h"
#include "calculator/coordinate_text.h"
#include "calculator/distance.h"
#include "calculator/distance_units.h"
#include "calculator/keys.h"
#include "calculator/midpoint_line.h"
#include "calculator/text.h"

namespace velmora::calc {

namespace {

constexpr std::string_view kFieldLabels[4] = {"Latitude A: ", "Latitude B: ", "Longitude A: ",
                                              "Longitude B: "};
constexpr std::string_view kOutOfRange = "Out of range";

// The mark that closes an entry in format: no digit may follow it. Empty for no format.
std::string_view closingMark(std::int16_t format) {
    switch (format) {
    case kDegMinSec: return kSecondsMark;
    case kDegMin: return kMinutesMark;
    case kDeg: return kDegreeMark;
    default: return {};
    }
}

bool hasAnyMark(std::string_view text) {
    return Contains(text, kDegreeMark) || Contains(text, kMinutesMark) ||
           Contains(text, kSecondsMark);
}

// The history form of a coordinate: a blank after every degree and minutes mark.
std::string spacedCoordinate(std::string_view text) {
    std::string spaced;
    spaced.reserve(text.size() + 4);
    const std::string_view degree = kDegreeMark;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, degree.size()) == degree) {
            spaced.append(degree).push_back(' ');
            i += degree.size() - 1;
        } else {
            spaced.push_back(text[i]);
            if (text[i] == '\'') spaced.push_back(' ');
        }
    }
    return spaced;
}

}  // namespace

void Calculator::Lab_Num_Click(std::int16_t index) {
    if (index < 0 || index >= kKeypadKeyCount) return;  // no such key
    runIgnoringFailure([&] { m_view.processPendingEvents(); });

    // A shown distance gives way to any key but "Clear" and the marks, usable or not.
    const KeyRole role = kKeypadKeys[static_cast<std::size_t>(index)].role;
    const bool keepsResult = role == KeyRole::Clear || role == KeyRole::Mark;
    const bool resets = m_state.ResultShown && !keepsResult;
    if (resets) {
        m_state.ResultShown = false;
        m_display = "0";
    }
    if (!m_keypadEnabled[index]) {
        if (resets) runIgnoringFailure([&] { m_view.refresh(); });
        return;
    }

    try {
        runKeypadAction(index);
    } catch (...) {
        runIgnoringFailure([&] { failurePath(index); });
    }

    runIgnoringFailure([&] { m_view.processPendingEvents(); });
    runIgnoringFailure([&] { replaceConversionSeparators(); });
    runIgnoringFailure([&] { selectLastHistoryLine(); });
    runIgnoringFailure([&] { m_view.refresh(); });
}

void Calculator::runKeypadAction(std::int16_t index) {
    const std::string_view caption = keypadCaption(index);
    switch (kKeypadKeys[static_cast<std::size_t>(index)].role) {
    case KeyRole::Digit: typeDigit(caption); break;
    case KeyRole::DecimalPoint: typeDecimalPoint(); break;
    case KeyRole::Back: deleteLastCharacter(); break;
    case KeyRole::Cancel: m_display = "0"; break;
    case KeyRole::Clear: clearHistory(); break;
    case KeyRole::Mark: typeMark(caption); break;
    case KeyRole::ResetPoints: resetBothPoints(); break;
    case KeyRole::Enter: enterCoordinate(); break;
    case KeyRole::Calculate: calculate(); break;
    default: break;  // sign and pi have no action
    }
}

// The failure of a key: a line that ends with "Error" (the display's number in front when it
// holds one, else the key's caption) and "Error" on the display.
void Calculator::failurePath(std::int16_t index) {
    const std::string_view separator =
        m_state.DisplaySeparator.empty() ? std::string_view(".") : m_state.DisplaySeparator;
    if (ConvertNumber(m_display, separator).has_value())
        appendHistory(m_display + ": Error");
    else
        appendHistory(std::string(keypadCaption(index)) + ": Error");
    selectLastHistoryLine();
    m_display = "Error";
}

void Calculator::typeDigit(std::string_view digit) {
    if (m_display == "0" || m_display == "Error") m_display.clear();
    const std::string_view closing = closingMark(m_state.CoordFormat);
    if (!closing.empty() && Contains(m_display, closing)) return;
    m_display += digit;
}

// In deg/min/sec a decimal point belongs to the seconds, in deg/min to the minutes; in
// degrees it may stand anywhere. Never twice.
void Calculator::typeDecimalPoint() {
    if (m_state.CoordFormat == kDegMinSec && !Contains(m_display, kMinutesMark)) return;
    if (m_state.CoordFormat == kDegMin && !Contains(m_display, kDegreeMark)) return;
    if (Contains(m_display, ".")) return;
    m_display += '.';
}

void Calculator::typeMark(std::string_view mark) {
    if (!Contains(m_display, mark)) m_display += mark;
}

void Calculator::deleteLastCharacter() {
    std::string text = " " + m_display;
    DropLastCharacter(text);
    text = TrimBlanks(text);
    m_display = text.empty() ? "0" : text;
}

void Calculator::resetBothPoints() {
    m_display = "0";
    ResetCoordinates(m_state);
    appendHistory("Coordinates erased");
}

// Stores the display into the active field. A refused entry is stored too, without the
// hemisphere's sign, and the display shows "Error".
void Calculator::enterCoordinate() {
    const std::int16_t field = m_state.ActiveField;
    if (field < kLatitudeA || field > kLongitudeB) {
        failurePath(kKeyEnter);  // no field chosen yet
        return;
    }
    if (!hasAnyMark(m_display)) m_display += kDegreeMark;

    std::string& stored = m_state.CoordText[field];
    stored = m_display;
    const bool isLatitude = field <= kLatitudeB;
    if (!CoordinateInRange(m_state, stored, isLatitude)) {
        appendHistory(std::string(kFieldLabels[field]) + std::string(kOutOfRange));
        m_display = "Error";
        return;
    }

    bool southOrWest = false;
    std::string_view suffix;
    if (isLatitude) {
        southOrWest = m_state.Hemisphere != kNorth;
        suffix = southOrWest ? " S" : " N";
    } else {
        southOrWest = m_state.Hemisphere != kEast;
        suffix = southOrWest ? " W" : " E";
    }
    std::string line(kFieldLabels[field]);
    line += spacedCoordinate(stored);
    line += suffix;
    if (southOrWest) stored.insert(0, "-");
    appendHistory(std::move(line));
    m_display = "0";
}

void Calculator::calculate() {
    const DistanceSolution solution = SolveDistance(m_state, m_exactNearAntipodes);
    if (!(solution.km >= 0.0) || !std::isfinite(solution.km)) {
        failurePath(kKeyCalculate);
        m_shownMidpoint.reset();
        appendMidpointLine();
        return;
    }
    m_shownSolution = solution;
    m_shownMidpoint = SolveMidpoint(m_state, solution.exact);
    m_display = FormatDistance(m_state, solution.km, m_locale.decimalMark);
    appendHistory(distanceLine());
    appendAzimuthLines();
    appendMidpointLine();
    // The display shows the point in every locale, also where the decimal mark is neither
    // "." nor "," and the closing separator replacement would not catch it.
    m_display = WithDisplayPoint(std::move(m_display), m_locale, m_state);
}

void Calculator::Display_Click() {
    runIgnoringFailure([&] {
        if (!m_view.selectedLines().empty()) m_view.deselectAllLines();
    });
    runIgnoringFailure([&] { m_view.makeLineCurrent(-1); });
}

void Calculator::DisableSignAndPiKeys() {
    m_keypadEnabled[kKeySign] = false;
    m_keypadEnabled[kKeyPi] = false;
    runIgnoringFailure([&] { m_view.refresh(); });
}

}  // namespace velmora::calc
