#include "geodesy/units.h"

#include "calculator/number_text.h"

namespace velmora::geodesy {

namespace {

constexpr std::string_view kErrorText = "Error";

// Symbol of unit code 0..2; empty for anything else.
std::string_view unitSymbol(std::int16_t unit) {
    switch (unit) {
    case calc::kKilometres: return "km";
    case calc::kStatuteMiles: return "mi";
    case calc::kNauticalMiles: return "nmi";
    default: return {};
    }
}

bool isUnit(std::int16_t unit) {
    return unit == calc::kKilometres || unit == calc::kStatuteMiles ||
           unit == calc::kNauticalMiles;
}

// Kilometres per unit, or 0 for an unknown code.
double kmPerUnit(std::int16_t unit) {
    switch (unit) {
    case calc::kKilometres: return 1.0;
    case calc::kStatuteMiles: return kKmPerStatuteMile;
    case calc::kNauticalMiles: return kKmPerNauticalMile;
    default: return 0.0;
    }
}

}  // namespace

std::string FormatDistance(calc::CalculatorState& state, double distanceKm,
                           std::string_view localeDecimalMark) {
    if (!isUnit(state.UnitIndex)) {
        state.UnitText.clear();
        return std::string(kErrorText);
    }
    double value = distanceKm;
    if (state.UnitIndex != calc::kKilometres) value = distanceKm / kmPerUnit(state.UnitIndex);
    state.UnitText = unitSymbol(state.UnitIndex);
    return calc::FixedSixText(value, localeDecimalMark);
}

void DetectDecimalSeparator(calc::CalculatorState& state) {
    // The second character of 1.1 as the program writes numbers: "." in every locale.
    const std::string written = calc::NumberText(11.0 / 10.0);
    state.DisplaySeparator = written.substr(1, 1);
    state.ConversionSeparator = state.DisplaySeparator == "." ? "," : ".";
}

std::string ConvertDistanceText(calc::CalculatorState& state, std::string_view text,
                                std::int16_t newUnit, std::string_view localeDecimalMark) {
    std::string normalised(text);
    calc::replaceAll(normalised, state.ConversionSeparator, state.DisplaySeparator);
    const double value = calc::ReadLeadingNumber(normalised);

    // Multiply into kilometres before dividing into the new unit, as the factor table does:
    // mi -> nmi is (v * 1.609344) / 1.853. Unknown codes leave the value as it is.
    double result = value;
    const std::int16_t from = state.UnitIndex;
    if (isUnit(from) && isUnit(newUnit) && from != newUnit) {
        if (from != calc::kKilometres) result = result * kmPerUnit(from);
        if (newUnit != calc::kKilometres) result = result / kmPerUnit(newUnit);
    }
    if (isUnit(newUnit)) state.UnitText = unitSymbol(newUnit);
    return calc::FixedSixText(result, localeDecimalMark);
}

}  // namespace velmora::geodesy
