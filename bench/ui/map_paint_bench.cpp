// The map window's drawing at 600 by 600: one paint of the globe and of the flat map with the
// coastlines, the graticule and New York to Singapore, beside the paint of an empty widget of
// the same size in the same run. A change of points (projection and placement included) is
// timed too. Offscreen; run with --benchmark_repetitions=15 and read the medians.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QPainter>

#include <cstdlib>

#include "ui/map_scene.h"
#include "ui/map_window.h"

namespace {

using velmora::geodesy::GeoPoint;

constexpr int kSidePixels = 600;

velmora::ui::MapInput pair(double lonShift) {
    velmora::ui::MapInput in;
    in.a = GeoPoint{40.7128, -74.006 + lonShift};
    in.b = GeoPoint{1.3521, 103.8198};
    in.datum = {6378137.0, 6356752.314245, 1.0 / 298.257223563};
    return in;
}

// A paint of widget into an image, as the window system's backing store gets it.
void paintOnce(QWidget& widget, QImage& image) {
    QPainter painter(&image);
    widget.render(&painter, QPoint(), QRegion(), QWidget::DrawWindowBackground);
}

void EmptyWidgetPaint(benchmark::State& state) {
    QWidget widget;
    widget.resize(kSidePixels, kSidePixels);
    QImage image(kSidePixels, kSidePixels, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) paintOnce(widget, image);
}

void MapPaint(benchmark::State& state, bool flat) {
    velmora::ui::MapView view;
    view.resize(kSidePixels, kSidePixels);
    view.setProjection(flat ? velmora::ui::ProjectionKind::Flat
                            : velmora::ui::ProjectionKind::Globe);
    view.setScene(velmora::ui::BuildMapScene(pair(0.0)));
    QImage image(kSidePixels, kSidePixels, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) paintOnce(view, image);
}

// A new pair each time: the scene solved and sampled, everything projected and placed again.
void MapNewPointsPaint(benchmark::State& state) {
    velmora::ui::MapWindow window;
    window.view()->resize(kSidePixels, kSidePixels);
    QImage image(kSidePixels, kSidePixels, QImage::Format_ARGB32_Premultiplied);
    double shift = 0.0;
    for (auto _ : state) {
        shift = shift > 1.0 ? 0.0 : shift + 0.01;
        window.showInput(pair(shift));
        paintOnce(*window.view(), image);
    }
}

BENCHMARK(EmptyWidgetPaint)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MapPaint, Globe, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MapPaint, Flat, true)->Unit(benchmark::kMillisecond);
BENCHMARK(MapNewPointsPaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return EXIT_SUCCESS;
}
