#include "geodesy/ellipsoids.h"

#include <array>

namespace velmora::geodesy {

namespace {

// One entry of the datum menu. Axes in metres; b is a constant of its own, not a(1 - f),
// except where the row says otherwise.
struct DatumRow {
    std::string_view caption;
    bool isEllipsoid;
    double semiMajorMetres;
    double semiMinorMetres;
    double inverseFlattening;
};

constexpr double kNwl10dSemiMajorMetres = 6378135.0;
constexpr double kNwl10dInverseFlattening = 298.26;
// NWL 10D and WGS-72 derive b from a and 1/f, in double: 6356750.520016094.
constexpr double kNwl10dSemiMinorMetres =
    kNwl10dSemiMajorMetres - kNwl10dSemiMajorMetres / kNwl10dInverseFlattening;

constexpr std::array<DatumRow, kDatumEntryCount> kDatumTable{{
    {"Sphere", false, 0.0, 0.0, 0.0},
    {"-", false, 0.0, 0.0, 0.0},
    {"Airy 1830", true, 6377563.396, 6356256.909, 299.3249646},
    {"Bessel 1841", true, 6377397.0, 6356079.00000055, 299.1555024},
    {"Clarke 1866", true, 6378206.4, 6356583.80013093, 294.9787},
    {"Clarke 1880", true, 6378249.145, 6356514.86955, 293.465},
    {"ED-50", true, 6378388.0, 6356911.946, 297.0},
    {"GRS-67", true, 6378160.0, 6356774.719, 298.25},
    {"GRS-80", true, 6378137.0, 6356752.3141, 298.257222101},
    {"International 1924", true, 6378388.0, 6356911.946, 297.0},
    {"NAD-27", true, 6378206.4, 6356583.80013093, 294.9787},
    {"NAD-83", true, 6378137.0, 6356752.3141, 298.257222101},
    {"NWL 10D", true, kNwl10dSemiMajorMetres, kNwl10dSemiMinorMetres, kNwl10dInverseFlattening},
    {"Rome-40", true, 6378388.0, 6356911.946, 297.0},
    {"WGRS 80/84", true, 6378137.0, 6356752.3, 298.257024882276},
    {"WGS-72", true, kNwl10dSemiMajorMetres, kNwl10dSemiMinorMetres, kNwl10dInverseFlattening},
    {"WGS-84", true, 6378137.0, 6356752.3142, 298.257223563},
    {"-", false, 0.0, 0.0, 0.0},
    {"Other...", false, 0.0, 0.0, 0.0},
}};

constexpr std::int16_t kFirstSeparator = 1;
constexpr std::int16_t kSecondSeparator = 17;

bool inTable(int index) { return index >= 0 && index < kDatumEntryCount; }

}  // namespace

std::string_view DatumCaption(int index) {
    if (!inTable(index)) return {};
    return kDatumTable[static_cast<std::size_t>(index)].caption;
}

bool IsDatumSeparator(int index) { return index == kFirstSeparator || index == kSecondSeparator; }

void ApplyDatum(calc::CalculatorState& state, std::int16_t index) {
    state.SphereMode = false;
    if (index == kSphereEntry) {
        state.SphereMode = true;  // a, b and f of the previous datum stay in place
        return;
    }
    if (index == kOtherEntry) {
        state.Datum.semiMajorMetres = state.CustomDatum.semiMajorMetres;
        state.Datum.semiMinorMetres = state.CustomDatum.semiMinorMetres;
        state.Datum.flattening = 1.0 / state.CustomDatum.inverseFlattening;
        return;
    }
    if (!inTable(index)) return;
    const DatumRow& row = kDatumTable[static_cast<std::size_t>(index)];
    if (!row.isEllipsoid) return;
    state.Datum.semiMajorMetres = row.semiMajorMetres;
    state.Datum.semiMinorMetres = row.semiMinorMetres;
    state.Datum.flattening = 1.0 / row.inverseFlattening;
}

}  // namespace velmora::geodesy
