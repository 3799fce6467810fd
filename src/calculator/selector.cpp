#include <optional>

#include "calculator/calculator.h"
#include "calculator/coordinate_text.h"
#include "calculator/keys.h"
#include "geodesy/units.h"

namespace velmora::calc {

namespace {

// Picture-list indices of the information panel.
constexpr int kPictureLatitudeA = 1;
constexpr int kPictureLongitudeA = 2;
constexpr int kPictureLatitudeB = 3;
constexpr int kPictureLongitudeB = 4;
constexpr int kPictureFirstUnit = 5;        // 5 km, 6 mi, 7 nmi
constexpr int kPictureFirstHemisphere = 8;  // 8 N, 9 S, 10 W, 11 E
constexpr int kPictureDegrees = 12;
constexpr int kPictureDegMin = 13;
constexpr int kPictureDegMinSec = 14;

constexpr std::string_view kUnitLines[3] = {"Distance: kilometers [km]",
                                            "Distance: statute miles [mi]",
                                            "Distance: nautical miles [nmi]"};

int slot(Indicator indicator) { return static_cast<int>(indicator); }

}  // namespace

void Calculator::Lab_Sel_Click(std::int16_t index) {
    // A usable key is acted on; a hemisphere key of the other axis is shown disabled and is
    // not, whoever asks for it, so Hemisphere always belongs to the active field's axis.
    if (index >= 0 && index < kSelectorKeyCount && !m_selectorEnabled[index]) return;

    runIgnoringFailure([&] {
        switch (index) {
        case kSelLatitudeA:
        case kSelLatitudeB:
        case kSelLongitudeA:
        case kSelLongitudeB: selectField(index); break;
        case kSelNorth:
        case kSelSouth:
        case kSelWest:
        case kSelEast: selectHemisphere(index); break;
        case kSelKilometres:
        case kSelStatuteMiles:
        case kSelNauticalMiles: selectUnit(index); break;
        case kSelDegrees:
        case kSelDegMin:
        case kSelDegMinSec: selectFormat(index); break;
        default: break;
        }
    });

    runIgnoringFailure([&] { m_view.refresh(); });
    runIgnoringFailure([&] { selectLastHistoryLine(); });
    runIgnoringFailure([&] { m_view.focusMainWindow(); });
}

void Calculator::selectField(std::int16_t index) {
    std::int16_t field = kLatitudeA;
    int picture = kPictureLatitudeA;
    switch (index) {
    case kSelLatitudeA: break;
    case kSelLatitudeB: field = kLatitudeB; picture = kPictureLatitudeB; break;
    case kSelLongitudeA: field = kLongitudeA; picture = kPictureLongitudeA; break;
    default: field = kLongitudeB; picture = kPictureLongitudeB; break;
    }
    m_pictures[slot(Indicator::LatLon)] = picture;
    m_state.ActiveField = field;

    const bool isLatitude = field <= kLatitudeB;
    m_selectorEnabled[kSelNorth] = isLatitude;
    m_selectorEnabled[kSelSouth] = isLatitude;
    m_selectorEnabled[kSelWest] = !isLatitude;
    m_selectorEnabled[kSelEast] = !isLatitude;
    if (isLatitude && m_state.Hemisphere > kSouth) {
        m_pictures[slot(Indicator::Bussola)] = kPictureFirstHemisphere + kNorth;
        m_state.Hemisphere = kNorth;
    } else if (!isLatitude && m_state.Hemisphere < kWest) {
        m_pictures[slot(Indicator::Bussola)] = kPictureFirstHemisphere + kEast;
        m_state.Hemisphere = kEast;
    }
}

void Calculator::selectHemisphere(std::int16_t index) {
    std::int16_t hemisphere = kNorth;
    switch (index) {
    case kSelNorth: break;
    case kSelSouth: hemisphere = kSouth; break;
    case kSelWest: hemisphere = kWest; break;
    default: hemisphere = kEast; break;
    }
    m_pictures[slot(Indicator::Bussola)] = kPictureFirstHemisphere + hemisphere;
    m_state.Hemisphere = hemisphere;
}

// A shown distance is re-expressed from the text on the display, so km -> mi -> km gives
// back the six-decimal value that was shown, not the exact distance.
void Calculator::selectUnit(std::int16_t index) {
    const auto unit = static_cast<std::int16_t>(index - kSelKilometres);
    if (m_state.UnitIndex == unit) return;
    // Re-expressed first: a value that overflows in the new unit fails the whole step, and
    // display, unit and history stay as they were.
    std::optional<std::string> converted;
    if (m_state.ResultShown) {
        // After an earlier unit key the shown text carries the locale's decimal mark; it is
        // read as the point whatever that mark is.
        std::string shown = m_display;
        replaceAll(shown, m_locale.decimalMark, m_state.DisplaySeparator);
        CalculatorState trial = m_state;
        converted = geodesy::ConvertDistanceText(trial, shown, unit, m_locale.decimalMark);
        m_state.UnitText = trial.UnitText;
    }
    m_pictures[slot(Indicator::UMisura)] = kPictureFirstUnit + unit;
    appendHistory(std::string(kUnitLines[unit]));
    if (converted) {
        m_display = std::move(*converted);
        appendHistory("Distance: " + m_display + " " + m_state.UnitText);
    }
    m_state.UnitIndex = unit;
}

// Carried out in full even when the format is already selected: the line is written again
// and the display converted, whatever it holds.
void Calculator::selectFormat(std::int16_t index) {
    std::int16_t format = kDegMinSec;
    int picture = kPictureDegMinSec;
    std::string_view line = "Coordinates: Degrees / minutes / seconds";
    if (index == kSelDegrees) {
        format = kDeg;
        picture = kPictureDegrees;
        line = "Coordinates: Degrees";
    } else if (index == kSelDegMin) {
        format = kDegMin;
        picture = kPictureDegMin;
        line = "Coordinates: Degrees / minutes";
    }
    m_pictures[slot(Indicator::Gms)] = picture;
    m_state.CoordFormat = format;
    setMarkKeysForFormat();
    appendHistory(std::string(line));
    // A distance re-expressed by a unit key shows the locale's decimal mark; the conversion
    // reads only the point and the comma.
    std::string shown = m_display;
    replaceAll(shown, m_locale.decimalMark, m_state.DisplaySeparator);
    m_display = ConvertCoordinateText(m_state, shown);
}

void Calculator::setMarkKeysForFormat() {
    m_keypadEnabled[kKeyDegrees] = true;
    m_keypadEnabled[kKeyMinutes] = m_state.CoordFormat != kDeg;
    m_keypadEnabled[kKeySeconds] = m_state.CoordFormat == kDegMinSec;
}

}  // namespace velmora::calc
