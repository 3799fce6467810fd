#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "calculator/keys.h"
#include "calculator/state.h"

// The face of the calculator beyond the display: which keys are usable and the four indicator
// pictures of the information panel, with the selections that change them.
namespace velmora::calc {

// The four indicator pictures of the information panel.
enum class Indicator { LatLon = 0, Gms = 1, UMisura = 2, Bussola = 3 };
inline constexpr int kIndicatorCount = 4;

class KeyPanel {
public:
    // As the window is designed: every key usable, grey pictures.
    KeyPanel();

    bool isKeypadKeyEnabled(int index) const;
    bool isSelectorKeyEnabled(int index) const;
    // 0 for the initial all-grey picture, else the 1-based picture-list index.
    int picture(Indicator indicator) const;

    // The sign and pi keys, disabled for good.
    void disableSignAndPi();

    // A field chosen: its picture, the hemisphere keys of its axis only, and North or East
    // chosen when the hemisphere belongs to the other axis (or none was chosen).
    void selectField(CalculatorState& state, std::int16_t field);
    void selectHemisphere(CalculatorState& state, std::int16_t hemisphere);
    void showUnit(std::int16_t unit);
    // A format chosen: its picture, the mark keys it uses; returns its history line.
    std::string_view selectFormat(CalculatorState& state, std::int16_t format);

private:
    void setPicture(Indicator indicator, int picture);

    std::array<bool, kKeypadKeyCount> m_keypadEnabled{};
    std::array<bool, kSelectorKeyCount> m_selectorEnabled{};
    std::array<int, kIndicatorCount> m_pictures{};
};

}  // namespace velmora::calc
