#include "calculator/calculator.h"

#include <utility>

#include "app_info.h"
#include "calculator/angle_text.h"
#include "calculator/clipboard.h"
#include "calculator/coordinate_text.h"
#include "calculator/coordinates.h"
#include "calculator/destination.h"
#include "calculator/distance_units.h"
#include "calculator/entry.h"
#include "calculator/position_text.h"
#include "calculator/text.h"

namespace velmora::calc {

namespace {

constexpr std::string_view kPointNames[2] = {"A", "B"};

}  // namespace

std::string_view keypadCaption(int index) {
    if (index < 0 || index >= kKeypadKeyCount) return {};
    return kKeypadKeys[static_cast<std::size_t>(index)].caption;
}

Calculator::Calculator(CalculatorView& view, UserPrompts& prompts, UserLocale locale)
    : m_view(view), m_prompts(prompts), m_locale(std::move(locale)), m_history(view) {}

void Calculator::StartUp() {
    m_state.Loading = true;
    m_state.ActiveField = kNone;
    m_state.Hemisphere = kNoHemisphere;
    m_state.CoordFormat = kNone;
    m_state.UnitIndex = kNone;
    m_state.ResultShown = false;
    m_state.DatumDialogCancelled = false;
    DetectDecimalSeparator(m_state);
    DisableSignAndPiKeys();
    Lab_Num_Click(kKeyClear);
    MenuDatum_Click(kWgs84Entry);
    Lab_Sel_Click(kSelLatitudeA);
    Lab_Sel_Click(kSelKilometres);
    Lab_Sel_Click(kSelDegMinSec);
    ResetCoordinates(m_state);
    m_view.refresh();
}

void Calculator::FinishStartUp() { m_state.Loading = false; }

void Calculator::press(KeyTarget key) {
    switch (key.panel) {
    case KeyTarget::Panel::Keypad: Lab_Num_Click(key.index); break;
    case KeyTarget::Panel::Selector: Lab_Sel_Click(key.index); break;
    case KeyTarget::Panel::None: break;
    }
}

void Calculator::Lab_Num_Click(std::int16_t index) {
    if (index < 0 || index >= kKeypadKeyCount) return;  // no such key
    m_view.processPendingEvents();

    // A shown distance gives way to any key but "Clear" and the marks, usable or not.
    const KeyRole role = kKeypadKeys[static_cast<std::size_t>(index)].role;
    const bool keepsResult = role == KeyRole::Clear || role == KeyRole::Mark;
    const bool resets = m_state.ResultShown && !keepsResult;
    if (resets) {
        m_state.ResultShown = false;
        m_display = "0";
    }
    if (!m_panel.isKeypadKeyEnabled(index)) {
        if (resets) m_view.refresh();
        return;
    }

    runKeypadAction(index);

    m_view.processPendingEvents();
    replaceAll(m_display, m_state.ConversionSeparator, m_state.DisplaySeparator);
    m_history.selectLast();
    m_view.refresh();
}

void Calculator::runKeypadAction(std::int16_t index) {
    const std::string_view caption = keypadCaption(index);
    switch (kKeypadKeys[static_cast<std::size_t>(index)].role) {
    case KeyRole::Digit: TypeDigit(m_display, m_state.CoordFormat, caption); break;
    case KeyRole::DecimalPoint: TypeDecimalPoint(m_display, m_state.CoordFormat); break;
    case KeyRole::Back: DeleteLastCharacter(m_display); break;
    case KeyRole::Cancel: m_display = "0"; break;
    case KeyRole::Clear: m_history.clear(); break;
    case KeyRole::Mark: TypeMark(m_display, caption); break;
    case KeyRole::ResetPoints:
        m_display = "0";
        ResetCoordinates(m_state);
        m_history.append("Coordinates erased");
        break;
    case KeyRole::Enter: enterCoordinate(); break;
    case KeyRole::Calculate: calculate(); break;
    default: break;  // sign and pi have no action
    }
}

// The failure of a key: a line that ends with "Error" and "Error" on the display.
void Calculator::failurePath(std::int16_t index) {
    m_history.append(FailureLine(m_display, m_state.DisplaySeparator, keypadCaption(index)));
    m_history.selectLast();
    m_display = "Error";
}

void Calculator::enterCoordinate() {
    std::optional<EnteredCoordinate> entered = EnterCoordinate(m_state, m_display);
    if (!entered) {
        failurePath(kKeyEnter);  // no field chosen yet
        return;
    }
    m_history.append(std::move(entered->line));
    m_display = std::move(entered->display);
}

void Calculator::calculate() {
    std::optional<DistanceReport> report = m_report.calculate(m_state, m_locale);
    if (!report) {
        failurePath(kKeyCalculate);
        m_history.append(m_report.failureLines(m_state));
        return;
    }
    m_display = std::move(report->display);
    m_history.append(std::move(report->lines));
}

void Calculator::Display_Click() {
    if (!m_view.selectedLines().empty()) m_view.deselectAllLines();
    m_view.makeLineCurrent(-1);
}

void Calculator::DisableSignAndPiKeys() {
    m_panel.disableSignAndPi();
    m_view.refresh();
}

void Calculator::Lab_Sel_Click(std::int16_t index) {
    const bool isKey = index >= 0 && index < kSelectorKeyCount;
    // A usable key is acted on; a hemisphere key of the other axis is shown disabled and is
    // not, whoever asks for it, so Hemisphere always belongs to the active field's axis.
    if (isKey && !m_panel.isSelectorKeyEnabled(index)) return;

    if (isKey) {
        const KeyFace& key = kSelectorKeys[static_cast<std::size_t>(index)];
        switch (key.role) {
        case KeyRole::Field: m_panel.selectField(m_state, key.code); break;
        case KeyRole::Hemisphere: m_panel.selectHemisphere(m_state, key.code); break;
        case KeyRole::Unit: chooseUnit(key.code); break;
        case KeyRole::Format: chooseFormat(key.code); break;
        default: break;
        }
    }

    m_view.refresh();
    m_history.selectLast();
    m_view.focusMainWindow();
}

void Calculator::chooseUnit(std::int16_t unit) {
    std::optional<DistanceReporter::UnitChange> change =
        m_report.chooseUnit(m_state, m_display, unit, m_locale);
    if (!change) return;
    m_panel.showUnit(unit);
    if (change->display) m_display = std::move(*change->display);
    m_history.append(std::move(change->lines));
}

void Calculator::chooseFormat(std::int16_t format) {
    m_history.append(std::string(m_panel.selectFormat(m_state, format)));
    // Written again and the display converted, whatever it holds. A distance re-expressed by
    // a unit key shows the locale's decimal mark; the conversion reads only the point and the
    // comma. An angle that overflows leaves the display as it was.
    std::optional<std::string> converted =
        ConvertCoordinateText(m_state, WithDisplayPoint(m_display, m_locale, m_state));
    if (converted) m_display = std::move(*converted);
}

void Calculator::Form_KeyPress(std::uint16_t charCode) {
    m_view.processPendingEvents();
    press(KeyForCharacter(charCode, m_state.ActiveField));
    m_view.focusMainWindow();
}

void Calculator::Form_KeyDown(std::uint16_t keyCode, std::uint16_t shiftState) {
    m_view.processPendingEvents();
    press(KeyForKeyDown(keyCode, shiftState));
    m_view.focusMainWindow();
}

void Calculator::MenuDatum_Click(std::int16_t index) {
    std::optional<std::vector<std::string>> lines =
        m_datum.choose(m_state, index, m_prompts, m_locale);
    if (!lines) return;
    m_history.append(std::move(*lines));
    m_history.selectLast();
    // A distance on the display is computed again on the new ellipsoid.
    if (m_state.ResultShown) Lab_Num_Click(kKeyCalculate);
    m_view.refresh();
}

void Calculator::SetShowAzimuths(bool on) { m_report.setShowAzimuths(on); }

void Calculator::SetExactNearAntipodes(bool on) { m_report.setExactNearAntipodes(on); }

void Calculator::SetShowMidpoint(bool on) { m_report.setShowMidpoint(on); }

std::string Calculator::MenuCopia_Click() const {
    return m_history.copyText(m_view.selectedLines(), m_display);
}

void Calculator::MenuIncolla_Click(std::string_view clipboardText) {
    std::optional<std::string> shown = PastedNumberDisplay(clipboardText, m_state);
    if (!shown) return;
    m_display = std::move(*shown);
    m_view.refresh();
}

std::optional<std::string> Calculator::MenuInviaCalc_Click() const {
    return CalculatorEntryText(m_display, m_state, m_locale);
}

void Calculator::MenuPastePoint_Click(std::int16_t point, std::string_view clipboardText) {
    if (point != kPointA && point != kPointB) return;
    const PositionParse parse = ParsePosition(clipboardText);
    if (!parse.position) {
        m_prompts.CriticalMessage(app::kProductName, "Point " + std::string(kPointNames[point]) +
                                                         " was not pasted: " + parse.refusal + ".");
        return;
    }
    enterPoint(point, parse.position->latitudeDeg, parse.position->longitudeDeg);
}

bool Calculator::MenuDestination_CanStart() {
    const std::optional<std::string> refusal = DestinationStartRefusal(m_state);
    if (refusal) m_prompts.CriticalMessage(app::kProductName, *refusal);
    return !refusal;
}

void Calculator::MenuDestination_Click(std::string_view azimuthText,
                                       std::string_view distanceText) {
    const DestinationOutcome outcome =
        PlanDestination(m_state, azimuthText, distanceText, m_locale.decimalMark);
    if (!outcome.plan) {
        m_prompts.CriticalMessage(app::kProductName, outcome.refusal);
        return;
    }
    m_history.append(outcome.plan->destinationLine);
    enterPoint(kPointB, outcome.plan->pointB.latDeg, outcome.plan->pointB.lonDeg);
    m_history.append(outcome.plan->arrivalLine);
    m_history.selectLast();
}

// Both fields of a point, latitude first, as a user types them.
void Calculator::enterPoint(std::int16_t point, double latitudeDeg, double longitudeDeg) {
    enterPastedCoordinate(point == kPointA ? kSelLatitudeA : kSelLatitudeB,
                          latitudeDeg < 0.0 ? kSelSouth : kSelNorth, latitudeDeg);
    enterPastedCoordinate(point == kPointA ? kSelLongitudeA : kSelLongitudeB,
                          longitudeDeg < 0.0 ? kSelWest : kSelEast, longitudeDeg);
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
        const auto [key, length] = KeyAtFront(rest);
        Lab_Num_Click(key);
        rest.remove_prefix(length);
    }
    Lab_Num_Click(kKeyEnter);
}

}  // namespace velmora::calc
