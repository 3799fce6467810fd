#pragma once

#include <optional>
#include <string>
#include <vector>

#include "geodesy/direct.h"
#include "geodesy/ellipsoids.h"

// What the map window shows, worked out from a small snapshot of the calculator (standard C++
// only): the stored points, the geodesic between them on the chosen datum, its midpoint.
namespace velmora::ui {

// The snapshot the map is drawn from; the map is redrawn only when it changes.
struct MapInput {
    std::optional<geodesy::GeoPoint> a;  // none unless both of the point's fields are stored
    std::optional<geodesy::GeoPoint> b;
    geodesy::Ellipsoid datum;
    bool sphereMode = false;
    bool exactNearAntipodes = false;
    bool resultShown = false;
    bool showMidpoint = false;

    bool operator==(const MapInput& other) const;
};

struct MapScene {
    std::optional<geodesy::GeoPoint> a;
    std::optional<geodesy::GeoPoint> b;
    std::vector<geodesy::GeoPoint> path;        // A to B; empty when there is none to draw
    std::optional<geodesy::GeoPoint> midpoint;  // only with showMidpoint and a path
    std::optional<double> metres;               // the geodesic's length when solved
    bool notSettled = false;                    // Vincenty did not settle, no exact solution
    geodesy::GeoPoint centre;                   // the midpoint, else A, else B, else 0 N 0 E
};

// The scene for input: on the sphere by the great circle, else by Vincenty, handed to
// GeographicLib where Vincenty does not settle and exactNearAntipodes is on. A fault (an
// absurd custom datum) leaves only the points.
MapScene BuildMapScene(const MapInput& input);

// The text a screen reader gives for the map:
// "A 45.46 N 9.19 E, B 41.9 N 12.5 E, geodesic 477.3 km"; "A not stored" and "no path" where so.
std::string DescribeMapScene(const MapScene& scene);

}  // namespace velmora::ui
