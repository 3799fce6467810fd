#include <string>
#include <utility>

#include "app_info.h"
#include "calculator/angle_text.h"
#include "calculator/calculator.h"
#include "calculator/distance_units.h"
#include "calculator/destination.h"
#include "calculator/keys.h"
#include "calculator/midpoint_line.h"
#include "calculator/position_text.h"

namespace velmora::calc {

namespace {

constexpr std::string_view kExactMark = " (exact)";
constexpr std::string_view kNoAzimuth = "none, A and B coincide";
constexpr std::string_view kAzimuthLabels[2] = {"Azimuth at A: ", "Azimuth at B: "};
constexpr std::string_view kPointNames[2] = {"A", "B"};

// The keypad key that types the character at the front of text, and its length in bytes;
// the texts come from TypedAngleText and hold digits, "." and the three marks only.
std::pair<std::int16_t, std::size_t> keyAtFront(std::string_view text) {
    const std::string_view degree = kDegreeMark;
    if (text.starts_with(degree)) return {kKeyDegrees, degree.size()};
    switch (text.front()) {
    case '\'': return {kKeyMinutes, 1};
    case '"': return {kKeySeconds, 1};
    case '.': return {kKeyDecimalPoint, 1};
    default: return {static_cast<std::int16_t>(text.front() - '0'), 1};
    }
}

}  // namespace

void Calculator::SetShowAzimuths(bool on) { m_showAzimuths = on; }

void Calculator::SetExactNearAntipodes(bool on) { m_exactNearAntipodes = on; }

void Calculator::SetShowMidpoint(bool on) { m_showMidpoint = on; }

std::string Calculator::distanceLine() const {
    std::string line = DistanceLine(m_display, m_state);
    if (m_shownSolution.exact) line += kExactMark;
    return line;
}

void Calculator::appendAzimuthLines() {
    if (!m_showAzimuths) return;
    const std::optional<geodesy::Azimuths>& azimuths = m_shownSolution.azimuths;
    for (int at = 0; at < 2; ++at) {
        std::string line(kAzimuthLabels[at]);
        if (!azimuths) {
            line += kNoAzimuth;
        } else {
            line += AzimuthText(at == 0 ? azimuths->atADeg : azimuths->atBDeg, m_state.CoordFormat);
        }
        appendHistory(std::move(line));
    }
}

void Calculator::MenuPastePoint_Click(std::int16_t point, std::string_view clipboardText) {
    if (point != kPointA && point != kPointB) return;
    runIgnoringFailure([&] {
        const PositionParse parse = ParsePosition(clipboardText);
        if (!parse.position) {
            m_prompts.CriticalMessage(app::kProductName, "Point " + std::string(kPointNames[point]) +
                                                              " was not pasted: " + parse.refusal +
                                                              ".");
            return;
        }
        enterPoint(point, parse.position->latitudeDeg, parse.position->longitudeDeg);
    });
}

// Both fields of a point, latitude first, as a user types them.
void Calculator::enterPoint(std::int16_t point, double latitudeDeg, double longitudeDeg) {
    enterPastedCoordinate(point == kPointA ? kSelLatitudeA : kSelLatitudeB,
                          latitudeDeg < 0.0 ? kSelSouth : kSelNorth, latitudeDeg);
    enterPastedCoordinate(point == kPointA ? kSelLongitudeA : kSelLongitudeB,
                          longitudeDeg < 0.0 ? kSelWest : kSelEast, longitudeDeg);
}

void Calculator::appendMidpointLine() {
    if (!m_showMidpoint) return;
    appendHistory(MidpointLine(m_shownMidpoint, m_state.CoordFormat));
}

bool Calculator::MenuDestination_CanStart() {
    std::optional<std::string> refusal;
    runIgnoringFailure([&] { refusal = DestinationStartRefusal(m_state); });
    if (refusal) runIgnoringFailure([&] { m_prompts.CriticalMessage(app::kProductName, *refusal); });
    return !refusal;
}

void Calculator::MenuDestination_Click(std::string_view azimuthText, std::string_view distanceText) {
    runIgnoringFailure([&] {
        const DestinationOutcome outcome =
            PlanDestination(m_state, azimuthText, distanceText, m_locale.decimalMark);
        if (!outcome.plan) {
            m_prompts.CriticalMessage(app::kProductName, outcome.refusal);
            return;
        }
        appendHistory(outcome.plan->destinationLine);
        enterPoint(kPointB, outcome.plan->pointB.latDeg, outcome.plan->pointB.lonDeg);
        appendHistory(outcome.plan->arrivalLine);
        selectLastHistoryLine();
    });
    runIgnoringFailure([&] { m_view.refresh(); });
}

// The keys a user presses for one field: the field, its hemisphere, "C" for whatever the
// display held, the angle in the current format, Enter.
void Calculator::enterPastedCoordinate(std::int16_t fieldKey, std::int16_t hemisphereKey,
                                       double degrees) {
    Lab_Sel_Click(fieldKey);
    Lab_Sel_Click(hemisphereKey);
    Lab_Num_Click(kKeyCancel);
    const std::string typed = TypedAngleText(degrees, m_state.CoordFormat);
    for (std::string_view rest = typed; !rest.empty();) {
        const auto [key, length] = keyAtFront(rest);
        Lab_Num_Click(key);
        rest.remove_prefix(length);
    }
    Lab_Num_Click(kKeyEnter);
}

}  // namespace velmora::calc
