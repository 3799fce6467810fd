#include <optional>

#include "calculator/calculator.h"
#include "calculator/coordinate_text.h"
#include "calculator/distance_units.h"
#include "calculator/keys.h"
#include "calculator/text.h"

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

// The picture of each field, by field code.
constexpr int kFieldPictures[] = {kPictureLatitudeA, kPictureLatitudeB, kPictureLongitudeA,
                                  kPictureLongitudeB};

// The picture and history line of each coordinate format, by format code.
struct FormatFace {
    int picture;
    std::string_view line;
};
constexpr FormatFace kFormatFaces[] = {
    {kPictureDegMinSec, "Coordinates: Degrees / minutes / seconds"},
    {kPictureDegMin, "Coordinates: Degrees / minutes"},
    {kPictureDegrees, "Coordinates: Degrees"},
};

int slot(Indicator indicator) { return static_cast<int>(indicator); }

}  // namespace

void Calculator::Lab_Sel_Click(std::int16_t index) {
    // A usable key is acted on; a hemisphere key of the other axis is shown disabled and is
    // not, whoever asks for it, so Hemisphere always belongs to the active field's axis.
    if (index >= 0 && index < kSelectorKeyCount && !m_selectorEnabled[index]) return;

    runIgnoringFailure([&] {
        if (index < 0 || index >= kSelectorKeyCount) return;
        const KeyFace& key = kSelectorKeys[static_cast<std::size_t>(index)];
        switch (key.role) {
        case KeyRole::Field: selectField(key.code); break;
        case KeyRole::Hemisphere: selectHemisphere(key.code); break;
        case KeyRole::Unit: selectUnit(key.code); break;
        case KeyRole::Format: selectFormat(key.code); break;
        default: break;
        }
    });

    runIgnoringFailure([&] { m_view.refresh(); });
    runIgnoringFailure([&] { selectLastHistoryLine(); });
    runIgnoringFailure([&] { m_view.focusMainWindow(); });
}

void Calculator::selectField(std::int16_t field) {
    m_pictures[slot(Indicator::LatLon)] = kFieldPictures[field];
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

void Calculator::selectHemisphere(std::int16_t hemisphere) {
    m_pictures[slot(Indicator::Bussola)] = kPictureFirstHemisphere + hemisphere;
    m_state.Hemisphere = hemisphere;
}

// A shown distance is re-expressed from the text on the display, so km -> mi -> km gives
// back the six-decimal value that was shown, not the exact distance.
void Calculator::selectUnit(std::int16_t unit) {
    if (m_state.UnitIndex == unit) return;
    // Re-expressed first: a value that overflows in the new unit fails the whole step, and
    // display, unit and history stay as they were.
    std::optional<std::string> converted;
    // After an earlier unit key the shown text carries the locale's decimal mark; it is read
    // as the point whatever that mark is.
    const std::string shown = WithDisplayPoint(m_display, m_locale, m_state);
    // A number pasted over the distance is re-expressed as one, but a negative number is no
    // length and gets no distance line.
    if (m_state.ResultShown && !(ReadLeadingNumber(shown) < 0.0)) {
        CalculatorState trial = m_state;
        converted = ConvertDistanceText(trial, shown, unit, m_locale.decimalMark);
        m_state.UnitText = trial.UnitText;
    }
    m_pictures[slot(Indicator::UMisura)] = kPictureFirstUnit + unit;
    appendHistory(UnitChosenLine(unit));
    if (converted) {
        m_display = std::move(*converted);
        appendHistory(distanceLine());
        appendAzimuthLines();
        appendMidpointLine();
    }
    m_state.UnitIndex = unit;
}

// Carried out in full even when the format is already selected: the line is written again
// and the display converted, whatever it holds.
void Calculator::selectFormat(std::int16_t format) {
    const FormatFace& face = kFormatFaces[format];
    m_pictures[slot(Indicator::Gms)] = face.picture;
    m_state.CoordFormat = format;
    setMarkKeysForFormat();
    appendHistory(std::string(face.line));
    // A distance re-expressed by a unit key shows the locale's decimal mark; the conversion
    // reads only the point and the comma.
    m_display = ConvertCoordinateText(m_state, WithDisplayPoint(m_display, m_locale, m_state));
}

void Calculator::setMarkKeysForFormat() {
    m_keypadEnabled[kKeyDegrees] = true;
    m_keypadEnabled[kKeyMinutes] = m_state.CoordFormat != kDeg;
    m_keypadEnabled[kKeySeconds] = m_state.CoordFormat == kDegMinSec;
}

}  // namespace velmora::calc
