#pragma once

#include <optional>
#include <span>
#include <vector>

#include "geodesy/direct.h"

// The map window's two projections, standard C++ only. Plane coordinates are unit-free: x to the
// right (east at the centre), y up (north). The globe fills the unit disc; the flat map the
// rectangle x in [-1, 1], y in [-0.5, 0.5] (360 by 180 degrees).
namespace velmora::ui {

struct PlanePoint {
    double x = 0.0;
    double y = 0.0;
};

enum class ProjectionKind {
    Globe,  // orthographic, the hemisphere around the centre seen from far away
    Flat,   // equirectangular, the map's edges on the meridian opposite the centre
};

// A line as drawn: one or more pieces, each a run of at least two plane points.
using PlaneLines = std::vector<std::vector<PlanePoint>>;

class MapProjection {
public:
    // centre: the point in the middle of the picture; the flat map uses its longitude only.
    MapProjection(ProjectionKind kind, geodesy::GeoPoint centre);

    ProjectionKind kind() const { return m_kind; }
    geodesy::GeoPoint centre() const { return m_centre; }

    // Where the point lands; nothing for a point on the far side of the globe (beyond 90
    // degrees of arc from the centre). Latitudes -90 to 90, any finite longitude.
    std::optional<PlanePoint> project(geodesy::GeoPoint point) const;

    // A line of points, consecutive ones less than 180 degrees of longitude apart, as the
    // pieces to draw: split where it passes behind the globe (ending and starting again on
    // its rim) or over the flat map's edge (ending on one edge, going on from the other).
    PlaneLines projectLine(std::span<const geodesy::GeoPoint> points) const;

private:
    // The cosine of the arc from the centre: at 0 or above the point is on the near side.
    double nearness(geodesy::GeoPoint point) const;
    double relativeLongitudeDeg(double lonDeg) const;
    // The orthographic position whether the point is seen or not.
    PlanePoint onGlobe(geodesy::GeoPoint point) const;

    ProjectionKind m_kind;
    geodesy::GeoPoint m_centre;
    double m_sinCentreLat;
    double m_cosCentreLat;
};

}  // namespace velmora::ui
