#include "calculator/midpoint_line.h"

#include <cmath>

#include "calculator/angle_text.h"
#include "calculator/coordinate_text.h"
#include "calculator/number_text.h"
#include "geodesy/midpoint.h"
#include "geodesy_exact/exact_direct.h"

namespace velmora::calc {

namespace {

constexpr std::string_view kLabel = "Midpoint: ";
constexpr std::string_view kNoMidpoint = "none";
constexpr std::string_view kHalvesGap = "  ";
constexpr double kAntimeridianDeg = 180.0;

double storedDegrees(const CalculatorState& state, FieldCode field) {
    return CoordinateDegrees(state, state.CoordText[field]);
}

// The magnitude as the line shows it, and the letter: negative values take negativeLetter
// unless they show as zero (or, for a longitude, as the antimeridian, which belongs to E).
std::string half(double degrees, std::int16_t format, char positiveLetter, char negativeLetter,
                 bool isLongitude) {
    const std::string shown = AzimuthText(std::fabs(degrees), format);
    bool negative = degrees < 0.0 && shown != AzimuthText(0.0, format);
    if (isLongitude && shown == AzimuthText(kAntimeridianDeg, format)) negative = false;
    return shown + ' ' + (negative ? negativeLetter : positiveLetter);
}

}  // namespace

std::optional<geodesy::GeoPoint> SolveMidpoint(const CalculatorState& state,
                                               bool exactWhereUnsettled) {
    const double latA = storedDegrees(state, kLatitudeA);
    const double lonA = storedDegrees(state, kLongitudeA);
    const double latB = storedDegrees(state, kLatitudeB);
    const double lonB = storedDegrees(state, kLongitudeB);
    geodesy::MidpointSolution solution;
    if (state.SphereMode) {
        solution = geodesy::SphereMidpoint(latA, lonA, latB, lonB);
    } else {
        solution = geodesy::VincentyMidpoint(latA, lonA, latB, lonB, state.Datum);
        if (solution.status == geodesy::SolutionStatus::NotSettled && exactWhereUnsettled) {
            solution = geodesy::ExactMidpoint(latA, lonA, latB, lonB, state.Datum.semiMajorMetres,
                                              state.Datum.flattening);
        }
    }
    if (solution.status != geodesy::SolutionStatus::Solved) return std::nullopt;
    return solution.point;
}

std::string MidpointLine(const std::optional<geodesy::GeoPoint>& midpoint, std::int16_t format) {
    std::string line(kLabel);
    if (!midpoint) return line + std::string(kNoMidpoint);
    line += half(midpoint->latDeg, format, 'N', 'S', false);
    line += kHalvesGap;
    line += half(midpoint->lonDeg, format, 'E', 'W', true);
    return line;
}

}  // namespace velmora::calc
