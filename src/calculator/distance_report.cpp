#include "calculator/distance_report.h"

#include <utility>

#include "calculator/angle_text.h"
#include "calculator/distance_units.h"
#include "calculator/midpoint_line.h"
#include "calculator/text.h"

namespace velmora::calc {

namespace {

constexpr std::string_view kDistanceLabel = "Distance: ";
constexpr std::string_view kExactMark = " (exact)";
constexpr std::string_view kNoAzimuth = "none, A and B coincide";
constexpr std::string_view kAzimuthLabels[2] = {"Azimuth at A: ", "Azimuth at B: "};

}  // namespace

std::optional<DistanceReport> DistanceReporter::calculate(CalculatorState& state,
                                                          const UserLocale& locale) {
    const std::optional<DistanceSolution> solution = SolveDistance(state, m_exactNearAntipodes);
    if (!solution) return std::nullopt;
    return report(*solution, state, locale);
}

DistanceReport DistanceReporter::report(const DistanceSolution& solution, CalculatorState& state,
                                        const UserLocale& locale) {
    m_shown = solution;
    if (m_showMidpoint) m_shownMidpoint = SolveMidpoint(state, solution.exact);
    state.UnitText = UnitSymbol(state.UnitIndex);
    const std::string shown = FormatDistance(solution.km, state.UnitIndex, locale.decimalMark);
    DistanceReport out;
    appendLines(out.lines, shown, state);
    // The display shows the point in every locale, also where the decimal mark is neither
    // "." nor "," and the handler's closing separator replacement would not reach it.
    out.display = WithDisplayPoint(shown, locale, state);
    return out;
}

// A shown distance is re-expressed from the text on the display, so km -> mi -> km gives
// back the six-decimal value that was shown, not the exact distance.
std::optional<DistanceReporter::UnitChange> DistanceReporter::chooseUnit(CalculatorState& state,
                                                                         std::string_view display,
                                                                         std::int16_t unit,
                                                                         const UserLocale& locale) {
    if (state.UnitIndex == unit) return std::nullopt;
    UnitChange change;
    // After an earlier unit key the shown text carries the locale's decimal mark; it is read
    // as the point whatever that mark is.
    const std::string shown = WithDisplayPoint(std::string(display), locale, state);
    // A number pasted over the distance is re-expressed as one, but a negative number is no
    // length and gets no distance line.
    if (state.ResultShown && !(ReadLeadingNumber(shown) < 0.0)) {
        change.display = ConvertDistanceText(state, shown, unit, locale.decimalMark);
        if (!change.display) return std::nullopt;  // overflows: display, unit and history stay
        state.UnitText = UnitSymbol(unit);
    }
    change.lines.push_back(UnitChosenLine(unit));
    if (change.display) appendLines(change.lines, *change.display, state);
    state.UnitIndex = unit;
    return change;
}

void DistanceReporter::appendLines(std::vector<std::string>& lines, std::string_view shown,
                                   const CalculatorState& state) const {
    std::string line(kDistanceLabel);
    line += shown;
    line += ' ';
    line += state.UnitText;
    if (m_shown.exact) line += kExactMark;
    lines.push_back(std::move(line));
    if (m_showAzimuths) {
        const std::optional<geodesy::Azimuths>& azimuths = m_shown.azimuths;
        for (int at = 0; at < 2; ++at) {
            std::string azimuth(kAzimuthLabels[at]);
            if (!azimuths) {
                azimuth += kNoAzimuth;
            } else {
                azimuth +=
                    AzimuthText(at == 0 ? azimuths->atADeg : azimuths->atBDeg, state.CoordFormat);
            }
            lines.push_back(std::move(azimuth));
        }
    }
    if (m_showMidpoint) lines.push_back(MidpointLine(m_shownMidpoint, state.CoordFormat));
}

std::vector<std::string> DistanceReporter::failureLines(const CalculatorState& state) {
    m_shownMidpoint.reset();
    if (!m_showMidpoint) return {};
    return {MidpointLine(std::nullopt, state.CoordFormat)};
}

}  // namespace velmora::calc
