#include "calculator/calculator.h"

#include <utility>

#include "calculator/keys.h"
#include "calculator/distance_units.h"

namespace velmora::calc {

std::string_view keypadCaption(int index) {
    if (index < 0 || index >= kKeypadKeyCount) return {};
    return kKeypadKeys[static_cast<std::size_t>(index)].caption;
}

Calculator::Calculator(CalculatorView& view, UserPrompts& prompts, UserLocale locale)
    : m_view(view), m_prompts(prompts), m_locale(std::move(locale)) {
    // As the window is designed: every key usable, grey pictures, no datum ticked.
    m_keypadEnabled.fill(true);
    m_selectorEnabled.fill(true);
}

void Calculator::StartUp() {
    runIgnoringFailure([&] {
        m_state.Loading = true;
        m_state.ActiveField = kNone;
        m_state.Hemisphere = kNoHemisphere;
        m_state.CoordFormat = kNone;
        m_state.UnitIndex = kNone;
        m_state.ResultShown = false;
        m_state.DatumDialogCancelled = false;
        DetectDecimalSeparator(m_state);
    });
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

bool Calculator::isKeypadKeyEnabled(int index) const {
    return index >= 0 && index < kKeypadKeyCount && m_keypadEnabled[index];
}

bool Calculator::isSelectorKeyEnabled(int index) const {
    return index >= 0 && index < kSelectorKeyCount && m_selectorEnabled[index];
}

int Calculator::indicatorPicture(Indicator indicator) const {
    const int slot = static_cast<int>(indicator);
    return slot >= 0 && slot < kIndicatorCount ? m_pictures[slot] : 0;
}

bool Calculator::isDatumTicked(int index) const {
    return index >= 0 && index < kDatumEntryCount && m_datumTicks[index];
}

void Calculator::appendHistory(std::string line) {
    m_history.push_back(std::move(line));
    m_view.historyLineAppended();
}

void Calculator::clearHistory() {
    m_history.clear();
    m_view.historyCleared();
}

void Calculator::selectLastHistoryLine() {
    m_view.makeLineCurrent(m_history.empty() ? -1 : static_cast<int>(m_history.size() - 1));
}

void Calculator::replaceConversionSeparators() {
    replaceAll(m_display, m_state.ConversionSeparator, m_state.DisplaySeparator);
}

}  // namespace velmora::calc
