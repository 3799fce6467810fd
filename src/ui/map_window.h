#pragma once

#include <QPolygonF>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <optional>
#include <vector>

#include "ui/map_coastlines.h"
#include "ui/map_projection.h"
#include "ui/map_scene.h"

class QCheckBox;

namespace velmora::ui {

// The drawing: coastlines, a graticule every 30 degrees, A, B, the geodesic and its midpoint,
// antialiased vectors only, on the globe or the flat map. Accessible as "Map", its description
// saying what it shows.
class MapView : public QWidget {
    Q_OBJECT
public:
    explicit MapView(QWidget* parent = nullptr);

    void setScene(MapScene scene);
    void setProjection(ProjectionKind kind);
    const MapScene& scene() const { return m_scene; }
    ProjectionKind projection() const { return m_kind; }

    QSize sizeHint() const override { return {600, 600}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void projectScene();
    // The pixel polygons for the widget's current size, from the projected plane lines.
    void placeOnScreen();
    QPointF toPixels(PlanePoint p) const;

    CoastLines m_coast;  // decoded once, with the view
    MapScene m_scene;
    ProjectionKind m_kind = ProjectionKind::Globe;

    // Plane geometry of the scene and projection; pixels for m_placedSize.
    bool m_projected = false;
    PlaneLines m_coastPlane;
    PlaneLines m_gridPlane;
    PlaneLines m_pathPlane;
    std::optional<PlanePoint> m_aPlane, m_bPlane, m_midPlane;
    QSize m_placedSize;
    QPointF m_origin;
    double m_scale = 1.0;
    std::vector<QPolygonF> m_coastPixels, m_gridPixels, m_pathPixels;
};

// "Velmora Map": the map beside the calculator, a "Flat map" check box under it. It is shown
// without taking the keyboard focus and never asks for it when it redraws.
class MapWindow : public QWidget {
    Q_OBJECT
public:
    MapWindow();

    // Redraws from input when it differs from the last one shown; true when it did.
    bool showInput(const MapInput& input);

    MapView* view() const { return m_view; }
    QCheckBox* flatMapBox() const { return m_flatMap; }

signals:
    void closed();
    // The window was moved or resized; sent once the moving has paused.
    void geometryChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    MapView* m_view = nullptr;
    QCheckBox* m_flatMap = nullptr;
    std::optional<MapInput> m_shown;
    QTimer m_geometryPause;
};

// A window's place as kept in the settings, "WIDTHxHEIGHT+X+Y" ("600x600+40-10"), and back;
// nothing for text of another shape or a size under 1 pixel.
QString GeometryText(const QRect& geometry);
std::optional<QRect> ParseGeometryText(const QString& text);

}  // namespace velmora::ui
