#include "calculator/distance_units.h"

#include "calculator/number_text.h"

namespace velmora::calc {

namespace {

constexpr std::string_view kErrorText = "Error";

const DistanceUnit& unitOf(std::int16_t unit) {
    return kDistanceUnits[static_cast<std::size_t>(unit)];
}

}  // namespace

std::string UnitChosenLine(std::int16_t unit) {
    const DistanceUnit& u = unitOf(unit);
    return "Distance: " + std::string(u.name) + " [" + std::string(u.symbol) + "]";
}

std::string DistanceLine(std::string_view shown, const CalculatorState& state) {
    return "Distance: " + std::string(shown) + " " + state.UnitText;
}

std::string FormatDistance(CalculatorState& state, double distanceKm,
                           std::string_view localeDecimalMark) {
    if (!IsDistanceUnit(state.UnitIndex)) {
        state.UnitText.clear();
        return std::string(kErrorText);
    }
    double value = distanceKm;
    if (state.UnitIndex != kKilometres) value = distanceKm / unitOf(state.UnitIndex).kmPerUnit;
    state.UnitText = unitOf(state.UnitIndex).symbol;
    return FixedSixText(value, localeDecimalMark);
}

void DetectDecimalSeparator(CalculatorState& state) {
    // The second character of 1.1 as the program writes numbers: "." in every locale.
    const std::string written = NumberText(11.0 / 10.0);
    state.DisplaySeparator = written.substr(1, 1);
    state.ConversionSeparator = state.DisplaySeparator == "." ? "," : ".";
}

std::string ConvertDistanceText(CalculatorState& state, std::string_view text,
                                std::int16_t newUnit, std::string_view localeDecimalMark) {
    std::string normalised(text);
    replaceAll(normalised, state.ConversionSeparator, state.DisplaySeparator);
    const double value = ReadLeadingNumber(normalised);

    // Through kilometres, multiplying before dividing: mi -> nmi is (v * 1.609344) / 1.853,
    // not v * (1.609344 / 1.853). Unknown codes leave the value as it is.
    double result = value;
    const std::int16_t from = state.UnitIndex;
    if (IsDistanceUnit(from) && IsDistanceUnit(newUnit) && from != newUnit) {
        if (from != kKilometres) result = result * unitOf(from).kmPerUnit;
        if (newUnit != kKilometres) result = result / unitOf(newUnit).kmPerUnit;
    }
    if (IsDistanceUnit(newUnit)) state.UnitText = unitOf(newUnit).symbol;
    return FixedSixText(result, localeDecimalMark);
}

}  // namespace velmora::calc
