#include "calculator/distance.h"

#include <cmath>

#include "calculator/coordinate_text.h"
#include "calculator/number_text.h"
#include "geodesy/units.h"
#include "geodesy/vincenty.h"

namespace velmora::calc {

namespace {

// The stored coordinates in decimal degrees: latitude A, latitude B, longitude A, longitude B.
struct Points {
    double latADeg;
    double latBDeg;
    double lonADeg;
    double lonBDeg;
};

Points readPoints(const CalculatorState& state) {
    auto degrees = [&state](FieldCode field) {
        return ReadLeadingNumber(DecimalDegreesText(state, state.CoordText[field]));
    };
    return {degrees(kLatitudeA), degrees(kLatitudeB), degrees(kLongitudeA), degrees(kLongitudeB)};
}

// A computed distance becomes the routine's result only when it is a distance: finite and
// not negative (absurd custom axes can make it negative). Only then is ResultShown set.
double finish(CalculatorState& state, double metres, bool inKilometres) {
    if (!(metres >= 0.0) || !std::isfinite(metres)) return geodesy::kFailure;
    state.ResultShown = true;
    return inKilometres ? metres / geodesy::kMetresPerKm : metres;
}

}  // namespace

double VincentyDistance(CalculatorState& state, bool inKilometres) {
    const Points p = readPoints(state);
    const double metres = geodesy::VincentyInverseMetres(
        p.latADeg, p.lonADeg, p.latBDeg, p.lonBDeg, state.Datum.semiMajorMetres,
        state.Datum.semiMinorMetres, state.Datum.flattening);
    return finish(state, metres, inKilometres);
}

double SphereDistance(CalculatorState& state, bool inKilometres) {
    const Points p = readPoints(state);
    return finish(state, geodesy::SphereInverseMetres(p.latADeg, p.lonADeg, p.latBDeg, p.lonBDeg),
                  inKilometres);
}

}  // namespace velmora::calc
