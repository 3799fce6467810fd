#include "calculator/distance_units.h"

#include "calculator/number_text.h"

namespace velmora::calc {

namespace {

constexpr std::string_view kErrorText = "Error";

const DistanceUnit& unitOf(std::int16_t unit) {
    return kDistanceUnits[static_cast<std::size_t>(unit)];
}

}  // namespace

std::string_view UnitSymbol(std::int16_t unit) {
    return IsDistanceUnit(unit) ? unitOf(unit).symbol : std::string_view();
}

std::string UnitChosenLine(std::int16_t unit) {
    const DistanceUnit& u = unitOf(unit);
    return "Distance: " + std::string(u.name) + " [" + std::string(u.symbol) + "]";
}

std::string FormatDistance(double distanceKm, std::int16_t unit,
                           std::string_view localeDecimalMark) {
    if (!IsDistanceUnit(unit)) return std::string(kErrorText);
    double value = distanceKm;
    if (unit != kKilometres) value = distanceKm / unitOf(unit).kmPerUnit;
    return FixedSixText(value, localeDecimalMark).value_or(std::string(kErrorText));
}

void DetectDecimalSeparator(CalculatorState& state) {
    // The second character of 1.1 as the program writes numbers: "." in every locale.
    const std::string written = NumberText(11.0 / 10.0);
    state.DisplaySeparator = written.substr(1, 1);
    state.ConversionSeparator = state.DisplaySeparator == "." ? "," : ".";
}

std::optional<std::string> ConvertDistanceText(const CalculatorState& state, std::string_view text,
                                               std::int16_t newUnit,
                                               std::string_view localeDecimalMark) {
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
    return FixedSixText(result, localeDecimalMark);
}

}  // namespace velmora::calc
