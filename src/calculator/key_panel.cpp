#include "calculator/key_panel.h"

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

}  // namespace

KeyPanel::KeyPanel() {
    m_keypadEnabled.fill(true);
    m_selectorEnabled.fill(true);
}

bool KeyPanel::isKeypadKeyEnabled(int index) const {
    return index >= 0 && index < kKeypadKeyCount && m_keypadEnabled[index];
}

bool KeyPanel::isSelectorKeyEnabled(int index) const {
    return index >= 0 && index < kSelectorKeyCount && m_selectorEnabled[index];
}

int KeyPanel::picture(Indicator indicator) const {
    const int slot = static_cast<int>(indicator);
    return slot >= 0 && slot < kIndicatorCount ? m_pictures[slot] : 0;
}

void KeyPanel::setPicture(Indicator indicator, int picture) {
    m_pictures[static_cast<std::size_t>(indicator)] = picture;
}

void KeyPanel::disableSignAndPi() {
    m_keypadEnabled[kKeySign] = false;
    m_keypadEnabled[kKeyPi] = false;
}

void KeyPanel::selectField(CalculatorState& state, std::int16_t field) {
    setPicture(Indicator::LatLon, kFieldPictures[field]);
    state.ActiveField = field;

    const bool isLatitude = field <= kLatitudeB;
    m_selectorEnabled[kSelNorth] = isLatitude;
    m_selectorEnabled[kSelSouth] = isLatitude;
    m_selectorEnabled[kSelWest] = !isLatitude;
    m_selectorEnabled[kSelEast] = !isLatitude;
    if (isLatitude && state.Hemisphere > kSouth) {
        selectHemisphere(state, kNorth);
    } else if (!isLatitude && state.Hemisphere < kWest) {
        selectHemisphere(state, kEast);
    }
}

void KeyPanel::selectHemisphere(CalculatorState& state, std::int16_t hemisphere) {
    setPicture(Indicator::Bussola, kPictureFirstHemisphere + hemisphere);
    state.Hemisphere = hemisphere;
}

void KeyPanel::showUnit(std::int16_t unit) {
    setPicture(Indicator::UMisura, kPictureFirstUnit + unit);
}

// Carried out in full even when the format is already selected.
std::string_view KeyPanel::selectFormat(CalculatorState& state, std::int16_t format) {
    const FormatFace& face = kFormatFaces[format];
    setPicture(Indicator::Gms, face.picture);
    state.CoordFormat = format;
    m_keypadEnabled[kKeyDegrees] = true;
    m_keypadEnabled[kKeyMinutes] = format != kDeg;
    m_keypadEnabled[kKeySeconds] = format == kDegMinSec;
    return face.line;
}

}  // namespace velmora::calc
