#include "ui/map_scene.h"

#include <charconv>
#include <cmath>

#include "geodesy/geodesic_path.h"
#include "geodesy/geodesic_solution.h"
#include "geodesy/units.h"
#include "geodesy/vincenty.h"
#include "geodesy_exact/exact_direct.h"
#include "geodesy_exact/exact_inverse.h"

namespace velmora::ui {

namespace {

// The solution the path follows and the direct solver that retraces it.
struct PathSolution {
    geodesy::GeodesicSolution inverse;
    geodesy::DirectSolver direct;
};

PathSolution solvePath(const MapInput& in, geodesy::GeoPoint a, geodesy::GeoPoint b) {
    if (in.sphereMode) {
        return {geodesy::SphereInverse(a.latDeg, a.lonDeg, b.latDeg, b.lonDeg),
                [](double lat, double lon, double az, double m) {
                    return geodesy::SphereDirect(lat, lon, az, m);
                }};
    }
    const geodesy::Ellipsoid e = in.datum;
    PathSolution s{geodesy::VincentyInverse(a.latDeg, a.lonDeg, b.latDeg, b.lonDeg,
                                            e.semiMajorMetres, e.semiMinorMetres, e.flattening),
                   [e](double lat, double lon, double az, double m) {
                       return geodesy::VincentyDirect(lat, lon, az, m, e);
                   }};
    if (s.inverse.status == geodesy::SolutionStatus::NotSettled && in.exactNearAntipodes &&
        e.semiMinorMetres > 0.0) {
        s.inverse = geodesy::ExactInverse(a.latDeg, a.lonDeg, b.latDeg, b.lonDeg, e.semiMajorMetres,
                                          e.flattening);
        s.direct = [e](double lat, double lon, double az, double m) {
            return geodesy::ExactDirect(lat, lon, az, m, e.semiMajorMetres, e.flattening);
        };
    }
    return s;
}

// Degrees to two decimals at most, trailing zeros dropped: "45.46", "9.2", "0".
std::string degreesText(double degrees) {
    char buffer[32];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, degrees, std::chars_format::fixed, 2);
    if (error != std::errc()) return "?";
    std::string text(buffer, end);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text == "-0" ? "0" : text;
}

std::string pointText(const char* name, const std::optional<geodesy::GeoPoint>& p) {
    if (!p) return std::string(name) + " not stored";
    return std::string(name) + " " + degreesText(std::fabs(p->latDeg)) +
           (p->latDeg < 0.0 ? " S " : " N ") + degreesText(std::fabs(p->lonDeg)) +
           (p->lonDeg < 0.0 ? " W" : " E");
}

bool samePoint(const std::optional<geodesy::GeoPoint>& p,
               const std::optional<geodesy::GeoPoint>& q) {
    return p.has_value() == q.has_value() &&
           (!p || (p->latDeg == q->latDeg && p->lonDeg == q->lonDeg));
}

}  // namespace

bool MapInput::operator==(const MapInput& o) const {
    return samePoint(a, o.a) && samePoint(b, o.b) &&
           datum.semiMajorMetres == o.datum.semiMajorMetres &&
           datum.semiMinorMetres == o.datum.semiMinorMetres &&
           datum.flattening == o.datum.flattening && sphereMode == o.sphereMode &&
           exactNearAntipodes == o.exactNearAntipodes && resultShown == o.resultShown &&
           showMidpoint == o.showMidpoint;
}

MapScene BuildMapScene(const MapInput& input) {
    MapScene scene;
    scene.a = input.a;
    scene.b = input.b;
    if (input.a && input.b) {
        const PathSolution s = solvePath(input, *input.a, *input.b);
        if (s.inverse.status == geodesy::SolutionStatus::Solved &&
            std::isfinite(s.inverse.metres) && s.inverse.metres >= 0.0) {
            scene.metres = s.inverse.metres;
            if (s.inverse.azimuths) {
                const double azimuth = s.inverse.azimuths->atADeg;
                scene.path = geodesy::SampleGeodesic(*input.a, *input.b, azimuth, s.inverse.metres,
                                                     s.direct);
                const std::optional<geodesy::DirectSolution> half =
                    s.direct(input.a->latDeg, input.a->lonDeg, azimuth, s.inverse.metres / 2.0);
                if (half) {
                    scene.centre = {half->latBDeg, half->lonBDeg};
                    if (input.showMidpoint && !scene.path.empty()) scene.midpoint = scene.centre;
                }
            } else {
                scene.centre = *input.a;  // coincident points
            }
            if (!s.inverse.azimuths || scene.path.empty()) scene.centre = *input.a;
        } else {
            scene.notSettled = s.inverse.status == geodesy::SolutionStatus::NotSettled;
            scene.centre = *input.a;
        }
    } else if (input.a) {
        scene.centre = *input.a;
    } else if (input.b) {
        scene.centre = *input.b;
    }
    return scene;
}

std::string DescribeMapScene(const MapScene& scene) {
    std::string text = pointText("A", scene.a) + ", " + pointText("B", scene.b);
    if (!scene.a || !scene.b) return text;
    if (!scene.metres)
        return text + (scene.notSettled ? ", no path: the iteration did not settle" : ", no path");
    char buffer[48];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, *scene.metres / geodesy::kMetresPerKm,
                      std::chars_format::fixed, 1);
    return text + ", geodesic " +
           (error == std::errc() ? std::string(buffer, end) : std::string("?")) + " km";
}

}  // namespace velmora::ui
