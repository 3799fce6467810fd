#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// The ellipsoid type and the table of named ellipsoids.
namespace velmora::geodesy {

// An ellipsoid of revolution: semi-major axis a and semi-minor axis b in metres, flattening
// f = (a - b) / a (no unit). The three are kept as given: a published b need not equal a(1 - f).
struct Ellipsoid {
    double semiMajorMetres = 0.0;
    double semiMinorMetres = 0.0;
    double flattening = 0.0;
};

// A named ellipsoid as published: a and b in metres, the inverse flattening 1/f.
struct NamedEllipsoid {
    std::string_view name;
    double semiMajorMetres;
    double semiMinorMetres;
    double inverseFlattening;

    Ellipsoid ellipsoid() const {
        return {semiMajorMetres, semiMinorMetres, 1.0 / inverseFlattening};
    }
};

// NWL 10D and WGS-72 publish a and 1/f only; b is derived in double: 6356750.520016094.
inline constexpr double kNwl10dSemiMajorMetres = 6378135.0;
inline constexpr double kNwl10dInverseFlattening = 298.26;
inline constexpr double kNwl10dSemiMinorMetres =
    kNwl10dSemiMajorMetres - kNwl10dSemiMajorMetres / kNwl10dInverseFlattening;

// Every named ellipsoid, in the order the program lists them. Adding a row is all it takes to
// offer another one.
inline constexpr std::array kNamedEllipsoids{
    NamedEllipsoid{"Airy 1830", 6377563.396, 6356256.909, 299.3249646},
    NamedEllipsoid{"Bessel 1841", 6377397.0, 6356079.00000055, 299.1555024},
    NamedEllipsoid{"Clarke 1866", 6378206.4, 6356583.80013093, 294.9787},
    NamedEllipsoid{"Clarke 1880", 6378249.145, 6356514.86955, 293.465},
    NamedEllipsoid{"ED-50", 6378388.0, 6356911.946, 297.0},
    NamedEllipsoid{"GRS-67", 6378160.0, 6356774.719, 298.25},
    NamedEllipsoid{"GRS-80", 6378137.0, 6356752.3141, 298.257222101},
    NamedEllipsoid{"International 1924", 6378388.0, 6356911.946, 297.0},
    NamedEllipsoid{"NAD-27", 6378206.4, 6356583.80013093, 294.9787},
    NamedEllipsoid{"NAD-83", 6378137.0, 6356752.3141, 298.257222101},
    NamedEllipsoid{"NWL 10D", kNwl10dSemiMajorMetres, kNwl10dSemiMinorMetres,
                   kNwl10dInverseFlattening},
    NamedEllipsoid{"Rome-40", 6378388.0, 6356911.946, 297.0},
    NamedEllipsoid{"WGRS 80/84", 6378137.0, 6356752.3, 298.257024882276},
    NamedEllipsoid{"WGS-72", kNwl10dSemiMajorMetres, kNwl10dSemiMinorMetres,
                   kNwl10dInverseFlattening},
    NamedEllipsoid{"WGS-84", 6378137.0, 6356752.3142, 298.257223563},
};

// Never defined and not constexpr: reaching it in a constant evaluation stops the compile.
void noEllipsoidOfThatName();

// Position of the ellipsoid called name in kNamedEllipsoids; a name not in the table does not
// compile.
consteval std::size_t NamedEllipsoidIndex(std::string_view name) {
    for (std::size_t i = 0; i < kNamedEllipsoids.size(); ++i) {
        if (kNamedEllipsoids[i].name == name) return i;
    }
    noEllipsoidOfThatName();
    return kNamedEllipsoids.size();
}

inline constexpr std::size_t kWgs84 = NamedEllipsoidIndex("WGS-84");

}  // namespace velmora::geodesy
