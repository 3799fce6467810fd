#include "ui/map_window.h"

#include <QAccessible>
#include <QCheckBox>
#include <QCloseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace velmora::ui {

namespace {

constexpr double kGridStepDeg = 30.0;   // graticule spacing
constexpr double kGridSampleDeg = 2.0;  // points along a graticule line: smooth on the globe
constexpr double kMarginPixels = 24.0;  // room for the labels around the globe or the map
constexpr double kPointRadiusPixels = 4.0;
constexpr double kMidpointHalfPixels = 3.5;
constexpr int kGeometryPauseMs = 400;  // moves closer together than this are kept once

const QColor kBackground(0xf4, 0xf4, 0xf2);
const QColor kWater(0xd6, 0xe6, 0xf4);
const QColor kRim(0x6b, 0x86, 0xa3);
const QColor kGrid(0xa8, 0xbe, 0xd4);
const QColor kCoast(0x3d, 0x5c, 0x3a);
const QColor kPath(0xc6, 0x28, 0x28);
const QColor kPoint(0x1a, 0x23, 0x7e);
const QColor kText(0x20, 0x20, 0x20);

const QString kNoPathText = QStringLiteral("No path: the iteration did not settle");

std::vector<geodesy::GeoPoint> meridian(double lonDeg) {
    std::vector<geodesy::GeoPoint> line;
    for (double lat = -90.0; lat <= 90.0; lat += kGridSampleDeg) line.push_back({lat, lonDeg});
    return line;
}

std::vector<geodesy::GeoPoint> parallel(double latDeg, double fromLonDeg) {
    std::vector<geodesy::GeoPoint> line;
    for (double d = 0.0; d <= 360.0; d += kGridSampleDeg) line.push_back({latDeg, fromLonDeg + d});
    return line;
}

void append(PlaneLines& to, PlaneLines lines) {
    for (auto& piece : lines) to.push_back(std::move(piece));
}

}  // namespace

MapView::MapView(QWidget* parent) : QWidget(parent), m_coast(LoadCoastlines()) {
    setObjectName(QStringLiteral("MapView"));
    setAccessibleName(QStringLiteral("Map"));
    setMinimumSize(160, 120);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setScene(MapScene{});
}

void MapView::setScene(MapScene scene) {
    m_scene = std::move(scene);
    m_projected = false;
    const QString description = QString::fromStdString(DescribeMapScene(m_scene));
    if (description != accessibleDescription()) {
        setAccessibleDescription(description);
        QAccessibleEvent event(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
    }
    update();
}

void MapView::setProjection(ProjectionKind kind) {
    if (kind == m_kind) return;
    m_kind = kind;
    m_projected = false;
    update();
}

void MapView::projectScene() {
    const MapProjection projection(m_kind, m_scene.centre);
    m_coastPlane.clear();
    for (const auto& line : m_coast) append(m_coastPlane, projection.projectLine(line));
    m_gridPlane.clear();
    // On the flat map the parallels start at the left edge, so none is cut in two.
    const double west = m_scene.centre.lonDeg - 180.0;
    for (double lon = -180.0; lon < 180.0; lon += kGridStepDeg)
        append(m_gridPlane, projection.projectLine(meridian(lon)));
    for (double lat = -90.0 + kGridStepDeg; lat < 90.0; lat += kGridStepDeg) {
        append(m_gridPlane, projection.projectLine(parallel(lat, west)));
    }
    m_pathPlane = projection.projectLine(m_scene.path);
    const auto at = [&projection](const std::optional<geodesy::GeoPoint>& p) {
        return p ? projection.project(*p) : std::nullopt;
    };
    m_aPlane = at(m_scene.a);
    m_bPlane = at(m_scene.b);
    m_midPlane = at(m_scene.midpoint);
    m_projected = true;
    m_placedSize = QSize();
}

QPointF MapView::toPixels(PlanePoint p) const {
    return {m_origin.x() + p.x * m_scale, m_origin.y() - p.y * m_scale};
}

void MapView::placeOnScreen() {
    const double w = std::max(1.0, width() - 2 * kMarginPixels);
    const double h = std::max(1.0, height() - 2 * kMarginPixels);
    m_origin = QPointF(width() / 2.0, height() / 2.0);
    m_scale = m_kind == ProjectionKind::Globe ? std::min(w, h) / 2.0 : std::min(w / 2.0, h);
    const auto toPolygons = [this](const PlaneLines& lines) {
        std::vector<QPolygonF> polygons;
        polygons.reserve(lines.size());
        for (const auto& piece : lines) {
            QPolygonF polygon;
            polygon.reserve(static_cast<qsizetype>(piece.size()));
            for (const PlanePoint& p : piece) polygon.append(toPixels(p));
            polygons.push_back(std::move(polygon));
        }
        return polygons;
    };
    m_coastPixels = toPolygons(m_coastPlane);
    m_gridPixels = toPolygons(m_gridPlane);
    m_pathPixels = toPolygons(m_pathPlane);
    m_placedSize = size();
}

void MapView::paintEvent(QPaintEvent*) {
    if (!m_projected) projectScene();
    if (m_placedSize != size()) placeOnScreen();

    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    painter.setRenderHint(QPainter::Antialiasing);

    painter.setPen(QPen(kRim, 1.2));
    painter.setBrush(kWater);
    if (m_kind == ProjectionKind::Globe) {
        painter.drawEllipse(m_origin, m_scale, m_scale);
    } else {
        painter.drawRect(QRectF(toPixels({-1.0, 0.5}), toPixels({1.0, -0.5})));
    }
    painter.setBrush(Qt::NoBrush);

    painter.setPen(QPen(kGrid, 0.8));
    for (const QPolygonF& line : m_gridPixels) painter.drawPolyline(line);
    painter.setPen(QPen(kCoast, 1.0));
    for (const QPolygonF& line : m_coastPixels) painter.drawPolyline(line);
    painter.setPen(QPen(kPath, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const QPolygonF& line : m_pathPixels) painter.drawPolyline(line);

    if (m_midPlane) {
        const QPointF m = toPixels(*m_midPlane);
        const double d = kMidpointHalfPixels;
        painter.setPen(QPen(kPath, 1.5));
        painter.setBrush(Qt::white);
        painter.drawPolygon(QPolygonF(
            {m + QPointF(0, -d), m + QPointF(d, 0), m + QPointF(0, d), m + QPointF(-d, 0)}));
    }

    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    const auto mark = [&](const std::optional<PlanePoint>& p, const QString& label) {
        if (!p) return;
        const QPointF at = toPixels(*p);
        painter.setPen(QPen(Qt::white, 1.5));
        painter.setBrush(kPoint);
        painter.drawEllipse(at, kPointRadiusPixels, kPointRadiusPixels);
        painter.setPen(kPoint);
        painter.drawText(at + QPointF(kPointRadiusPixels + 2, -kPointRadiusPixels - 2), label);
    };
    mark(m_aPlane, QStringLiteral("A"));
    mark(m_bPlane, QStringLiteral("B"));

    if (m_scene.notSettled) {
        font.setBold(false);
        painter.setFont(font);
        painter.setPen(kText);
        painter.drawText(rect().adjusted(8, 6, -8, -6), Qt::AlignLeft | Qt::AlignTop, kNoPathText);
    }
}

MapWindow::MapWindow() : QWidget(nullptr, Qt::Window) {
    setObjectName(QStringLiteral("MapWindow"));
    setWindowTitle(QStringLiteral("Velmora Map"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 6);
    m_view = new MapView(this);
    layout->addWidget(m_view, 1);
    m_flatMap = new QCheckBox(QStringLiteral("Flat map"), this);
    m_flatMap->setObjectName(QStringLiteral("FlatMap"));
    layout->addWidget(m_flatMap, 0, Qt::AlignHCenter);
    connect(m_flatMap, &QCheckBox::toggled, this, [this](bool flat) {
        m_view->setProjection(flat ? ProjectionKind::Flat : ProjectionKind::Globe);
    });

    m_geometryPause.setSingleShot(true);
    m_geometryPause.setInterval(kGeometryPauseMs);
    connect(&m_geometryPause, &QTimer::timeout, this, &MapWindow::geometryChanged);
}

bool MapWindow::showInput(const MapInput& input) {
    if (m_shown && *m_shown == input) return false;
    m_shown = input;
    m_view->setScene(BuildMapScene(input));
    return true;
}

void MapWindow::closeEvent(QCloseEvent* event) {
    m_geometryPause.stop();
    emit geometryChanged();
    event->accept();
    emit closed();
}

void MapWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (isVisible()) m_geometryPause.start();
}

void MapWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (isVisible()) m_geometryPause.start();
}

QString GeometryText(const QRect& geometry) {
    const auto signedNumber = [](int v) {
        return (v < 0 ? QStringLiteral("-") : QStringLiteral("+")) + QString::number(std::abs(v));
    };
    return QStringLiteral("%1x%2").arg(geometry.width()).arg(geometry.height()) +
           signedNumber(geometry.x()) + signedNumber(geometry.y());
}

std::optional<QRect> ParseGeometryText(const QString& text) {
    static const QRegularExpression shape(
        QStringLiteral("^(\\d{1,5})x(\\d{1,5})([+-]\\d{1,5})([+-]\\d{1,5})$"));
    const QRegularExpressionMatch m = shape.match(text.trimmed());
    if (!m.hasMatch()) return std::nullopt;
    const int w = m.captured(1).toInt();
    const int h = m.captured(2).toInt();
    if (w < 1 || h < 1) return std::nullopt;
    return QRect(m.captured(3).toInt(), m.captured(4).toInt(), w, h);
}

}  // namespace velmora::ui
