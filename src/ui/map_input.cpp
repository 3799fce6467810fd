#include "ui/map_input.h"

#include <cmath>

#include "calculator/coordinate_text.h"
#include "calculator/number_text.h"

namespace velmora::ui {

namespace {

constexpr double kLatitudeLimitDeg = 90.0;
constexpr double kLongitudeLimitDeg = 180.0;

// The field in signed decimal degrees; nothing when it was never stored or was refused.
std::optional<double> storedDegrees(const calc::CalculatorState& state, calc::FieldCode field,
                                    double limitDeg) {
    const std::string& text = state.CoordText[field];
    if (text.empty() || text == "0") return std::nullopt;
    const double degrees = calc::ReadLeadingNumber(calc::DecimalDegreesText(state, text));
    if (!std::isfinite(degrees) || std::fabs(degrees) > limitDeg) return std::nullopt;
    return degrees;
}

std::optional<geodesy::GeoPoint> storedPoint(const calc::CalculatorState& state,
                                             calc::FieldCode lat, calc::FieldCode lon) {
    const std::optional<double> latDeg = storedDegrees(state, lat, kLatitudeLimitDeg);
    const std::optional<double> lonDeg = storedDegrees(state, lon, kLongitudeLimitDeg);
    if (!latDeg || !lonDeg) return std::nullopt;
    return geodesy::GeoPoint{*latDeg, *lonDeg};
}

}  // namespace

MapInput MapInputFromState(const calc::CalculatorState& state, bool exactNearAntipodes,
                           bool showMidpoint) {
    MapInput input;
    input.a = storedPoint(state, calc::kLatitudeA, calc::kLongitudeA);
    input.b = storedPoint(state, calc::kLatitudeB, calc::kLongitudeB);
    input.datum = state.Datum;
    input.sphereMode = state.SphereMode;
    input.exactNearAntipodes = exactNearAntipodes;
    input.resultShown = state.ResultShown;
    input.showMidpoint = showMidpoint;
    return input;
}

}  // namespace velmora::ui
