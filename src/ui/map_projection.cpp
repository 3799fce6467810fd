#include "ui/map_projection.h"

#include <cmath>
#include <numbers>

namespace velmora::ui {

namespace {

constexpr double kRadPerDeg = std::numbers::pi / 180.0;

// Shortest signed difference b - a of two longitudes, in (-180, 180].
double longitudeStepDeg(double aDeg, double bDeg) {
    return geodesy::NormalisedLongitudeDeg(bDeg - aDeg);
}

// The point a fraction t of the way from a to b, longitudes along the shorter way.
geodesy::GeoPoint between(geodesy::GeoPoint a, geodesy::GeoPoint b, double t) {
    return {a.latDeg + (b.latDeg - a.latDeg) * t,
            a.lonDeg + longitudeStepDeg(a.lonDeg, b.lonDeg) * t};
}

void finishPiece(PlaneLines& lines, std::vector<PlanePoint>& piece) {
    if (piece.size() >= 2) lines.push_back(std::move(piece));
    piece.clear();
}

}  // namespace

MapProjection::MapProjection(ProjectionKind kind, geodesy::GeoPoint centre)
    : m_kind(kind),
      m_centre(centre),
      m_sinCentreLat(std::sin(centre.latDeg * kRadPerDeg)),
      m_cosCentreLat(std::cos(centre.latDeg * kRadPerDeg)) {}

double MapProjection::relativeLongitudeDeg(double lonDeg) const {
    return geodesy::NormalisedLongitudeDeg(lonDeg - m_centre.lonDeg);
}

double MapProjection::nearness(geodesy::GeoPoint point) const {
    const double lat = point.latDeg * kRadPerDeg;
    const double dLon = relativeLongitudeDeg(point.lonDeg) * kRadPerDeg;
    return m_sinCentreLat * std::sin(lat) + m_cosCentreLat * std::cos(lat) * std::cos(dLon);
}

PlanePoint MapProjection::onGlobe(geodesy::GeoPoint point) const {
    const double lat = point.latDeg * kRadPerDeg;
    const double dLon = relativeLongitudeDeg(point.lonDeg) * kRadPerDeg;
    return PlanePoint{
        std::cos(lat) * std::sin(dLon),
        m_cosCentreLat * std::sin(lat) - m_sinCentreLat * std::cos(lat) * std::cos(dLon)};
}

std::optional<PlanePoint> MapProjection::project(geodesy::GeoPoint point) const {
    if (m_kind == ProjectionKind::Flat)
        return PlanePoint{relativeLongitudeDeg(point.lonDeg) / 180.0, point.latDeg / 180.0};
    if (nearness(point) < 0.0) return std::nullopt;
    return onGlobe(point);
}

PlaneLines MapProjection::projectLine(std::span<const geodesy::GeoPoint> points) const {
    PlaneLines lines;
    std::vector<PlanePoint> piece;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const geodesy::GeoPoint q = points[i];
        if (m_kind == ProjectionKind::Flat) {
            if (i > 0) {
                // Unwrapped, the step runs from p to p + step; past +-180 it crosses the edge.
                const geodesy::GeoPoint p = points[i - 1];
                const double from = relativeLongitudeDeg(p.lonDeg);
                const double to = from + longitudeStepDeg(p.lonDeg, q.lonDeg);
                if (to > 180.0 || to < -180.0) {
                    const double edge = to > 180.0 ? 180.0 : -180.0;
                    const double t = (edge - from) / (to - from);
                    const double latEdge = (p.latDeg + (q.latDeg - p.latDeg) * t) / 180.0;
                    piece.push_back({edge / 180.0, latEdge});
                    finishPiece(lines, piece);
                    piece.push_back({-edge / 180.0, latEdge});
                }
            }
            piece.push_back(*project(q));
            continue;
        }
        const double qNear = nearness(q);
        if (i > 0) {
            const geodesy::GeoPoint p = points[i - 1];
            const double pNear = nearness(p);
            if ((pNear >= 0.0) != (qNear >= 0.0)) {
                // The rim lies where the nearness passes 0; linear between the two samples.
                const double t = pNear / (pNear - qNear);
                PlanePoint rim = onGlobe(between(p, q, t));
                const double r = std::hypot(rim.x, rim.y);
                if (r > 0.0) rim = {rim.x / r, rim.y / r};
                piece.push_back(rim);
                if (qNear < 0.0) finishPiece(lines, piece);
            }
        }
        if (const std::optional<PlanePoint> at = project(q)) piece.push_back(*at);
    }
    finishPiece(lines, piece);
    return lines;
}

}  // namespace velmora::ui
