#include "calculator/custom_datum.h"

#include <cmath>
#include <string>
#include <utility>

#include "calculator/text.h"
#include "geodesy/ellipsoids.h"

namespace velmora::calc {

namespace {

constexpr std::string_view kDialogTitle = "Custom Datum Definition";
constexpr std::string_view kSemiMajorPrompt = "Step1: input the semi-major axis value [m]";
constexpr std::string_view kFlatteningPrompt = "Step2: input the inverse flattering (1/f) value";
constexpr std::string_view kBadSemiMajor = "Incorrect value for semi-major axis";
constexpr std::string_view kBadFlattening = "Incorrect value for inverse flattering";

// The default replies describe WGS-84.
constexpr const geodesy::NamedEllipsoid& kDefaultEllipsoid =
    geodesy::kNamedEllipsoids[geodesy::kWgs84];
// Inverse flattening of an ellipsoid whose axes are equal: the largest double at 15 digits,
// standing for a sphere (f = 1 / it is practically 0).
constexpr double kSphereInverseFlattening = 1.79769313486231E+308;
constexpr char kSemiMinorMarker = '@';  // a second reply behind it gives the semi-minor axis

// A reply already known to be a number by the user's locale, read with "." as the point.
// The comma and the locale's own decimal mark, whatever it is, both stand for the point.
double readReply(std::string reply, const CalculatorState& state, const UserLocale& locale) {
    replaceAll(reply, state.ConversionSeparator, state.DisplaySeparator);
    return ReadLeadingNumber(WithDisplayPoint(std::move(reply), locale, state));
}

}  // namespace

// The definition is collected apart and stored only when it is usable, so a cancel, a refusal
// or an arithmetic fault leaves the previous definition as it was.
bool CustomDatumDialog(CalculatorState& state, UserPrompts& prompts, const UserLocale& locale,
                       std::string_view windowCaption) {
    state.DatumDialogCancelled = false;
    CustomDatumValues custom = state.CustomDatum;

    const std::string first = prompts.InputBox(kDialogTitle, kSemiMajorPrompt,
                                               NumberText(kDefaultEllipsoid.semiMajorMetres));
    if (first.empty()) {
        state.DatumDialogCancelled = true;
        return false;
    }
    if (!IsLocaleNumber(first, locale)) {
        prompts.CriticalMessage(windowCaption, kBadSemiMajor);
        return false;
    }
    const double semiMajor = readReply(first, state, locale);
    if (!std::isfinite(semiMajor)) return false;
    custom.semiMajorMetres = semiMajor;

    std::string second =
        prompts.InputBox(kDialogTitle, kFlatteningPrompt,
                         NumberText(1.0 / kDefaultEllipsoid.ellipsoid().flattening));
    if (second.empty()) {
        state.DatumDialogCancelled = true;
        return false;
    }
    const bool givesSemiMinor = second.front() == kSemiMinorMarker;
    if (givesSemiMinor) std::erase(second, kSemiMinorMarker);
    if (!IsLocaleNumber(second, locale)) {
        prompts.CriticalMessage(windowCaption, kBadFlattening);
        return false;
    }
    const double value = readReply(second, state, locale);

    if (!givesSemiMinor) {
        // A division by zero or an overflow here is a fault of the definition, not an axis.
        if (value == 0.0) return false;
        custom.inverseFlattening = value;
        custom.semiMinorMetres = semiMajor - semiMajor / value;
    } else {
        if (semiMajor < value) return false;
        custom.semiMinorMetres = value;
        custom.inverseFlattening =
            semiMajor == value ? kSphereInverseFlattening : semiMajor / (semiMajor - value);
    }
    // The flattening the distances use is 1 / (1/f): it must be finite too, and below 1, or
    // the semi-minor axis it implies is zero or of the other sign (every distance a fault).
    const double flattening = 1.0 / custom.inverseFlattening;
    if (!std::isfinite(custom.semiMinorMetres) || !std::isfinite(custom.inverseFlattening) ||
        !std::isfinite(flattening) || !(flattening < 1.0))
        return false;

    state.CustomDatum = custom;
    return true;
}

}  // namespace velmora::calc
