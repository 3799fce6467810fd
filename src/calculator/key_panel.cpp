#include "calculator/key_panel.h"

namespace velmora::calc {

namespace {

// The picture a selector key lights, by its role and the code it selects, from the key table.
constexpr int SelectorPicture(KeyRole role, std::int16_t code) {
    for (const KeyFace& key : kSelectorKeys) {
        if (key.role == role && key.code == code) return key.picture;
    }
    return 0;
}

// The history line of each coordinate format, by format code.
constexpr std::string_view kFormatLines[] = {
    "Coordinates: Degrees / minutes / seconds",
    "Coordinates: Degrees / minutes",
    "Coordinates: Degrees",
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
    setPicture(Indicator::LatLon, SelectorPicture(KeyRole::Field, field));
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
    setPicture(Indicator::Bussola, SelectorPicture(KeyRole::Hemisphere, hemisphere));
    state.Hemisphere = hemisphere;
}

void KeyPanel::showUnit(std::int16_t unit) {
    setPicture(Indicator::UMisura, SelectorPicture(KeyRole::Unit, unit));
}

// Carried out in full even when the format is already selected.
std::string_view KeyPanel::selectFormat(CalculatorState& state, std::int16_t format) {
    setPicture(Indicator::Gms, SelectorPicture(KeyRole::Format, format));
    state.CoordFormat = format;
    m_keypadEnabled[kKeyDegrees] = true;
    m_keypadEnabled[kKeyMinutes] = format != kDeg;
    m_keypadEnabled[kKeySeconds] = format == kDegMinSec;
    return kFormatLines[format];
}

}  // namespace velmora::calc
