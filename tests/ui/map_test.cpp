// The map window: its projections, the coastline resource, the scene worked out from the
// calculator, the picture against references, and that it follows stored points without ever
// taking the focus.

#include <QCheckBox>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLayout>
#include <QSettings>
#include <QTest>

#include <cmath>
#include <numbers>
#include <span>

#include "calculator/keys.h"
#include "desktop/settings_store.h"
#include "image_compare.h"
#include "ui/map_coastlines.h"
#include "ui/map_input.h"
#include "ui/map_projection.h"
#include "ui/map_window.h"
#include "ui_fixture.h"

using namespace velmora;
using namespace velmora::ui;
using geodesy::GeoPoint;

Q_DECLARE_METATYPE(velmora::ui::ProjectionKind)

namespace {

const geodesy::Ellipsoid kWgs84{6378137.0, 6356752.314245, 1.0 / 298.257223563};

MapInput inputFor(std::optional<GeoPoint> a, std::optional<GeoPoint> b, bool exact = false) {
    MapInput in;
    in.a = a;
    in.b = b;
    in.datum = kWgs84;
    in.exactNearAntipodes = exact;
    return in;
}

// The map window at 600 by 640 for a pair, as the shots and references show it.
QImage mapPicture(MapWindow& map, const MapInput& input, bool flat) {
    map.flatMapBox()->setChecked(flat);
    map.showInput(input);
    map.resize(600, 640);
    map.layout()->activate();
    return map.grab().toImage();
}

}  // namespace

class MapTest : public QObject {
    Q_OBJECT
    test::ScratchHome m_home;

private slots:
    void projectsCentreAntipodeAndEdges_data() {
        QTest::addColumn<ProjectionKind>("kind");
        QTest::addColumn<double>("centreLat");
        QTest::addColumn<double>("centreLon");
        for (const auto& [name, kind] :
             {std::pair{"globe", ProjectionKind::Globe}, {"flat", ProjectionKind::Flat}}) {
            QTest::addRow("%s at 0 N 0 E", name) << kind << 0.0 << 0.0;
            QTest::addRow("%s at 45.5 N 9.2 E", name) << kind << 45.5 << 9.2;
            QTest::addRow("%s at 33 S 179.5 W", name) << kind << -33.0 << -179.5;
        }
    }
    void projectsCentreAntipodeAndEdges() {
        QFETCH(ProjectionKind, kind);
        QFETCH(double, centreLat);
        QFETCH(double, centreLon);
        const MapProjection p(kind, {centreLat, centreLon});
        const std::optional<PlanePoint> centre = p.project({centreLat, centreLon});
        QVERIFY(centre);
        QCOMPARE_LT(std::fabs(centre->x), 1e-12);
        QCOMPARE_LT(std::fabs(centre->y - (kind == ProjectionKind::Flat ? centreLat / 180.0 : 0.0)),
                    1e-12);
        const GeoPoint antipode{-centreLat, centreLon + 180.0};
        if (kind == ProjectionKind::Globe) {
            QVERIFY(!p.project(antipode));
            // 90 degrees of arc away lies on the rim.
            const std::optional<PlanePoint> pole =
                p.project({centreLat >= 0 ? centreLat - 90.0 : centreLat + 90.0, centreLon});
            QVERIFY(pole);
            QCOMPARE_LT(std::fabs(std::hypot(pole->x, pole->y) - 1.0), 1e-12);
        } else {
            QCOMPARE_LT(std::fabs(std::fabs(p.project(antipode)->x) - 1.0), 1e-12);  // on an edge
        }
    }

    void splitsLinesAtTheSeamAndTheRim() {
        // From 10 degrees west of the flat map's right edge to 10 east of it: two pieces, meeting
        // the edges at the same latitude, halfway up.
        const MapProjection flat(ProjectionKind::Flat, {0.0, 0.0});
        const std::vector<GeoPoint> across{{0.0, 170.0}, {20.0, -170.0}};
        const PlaneLines pieces = flat.projectLine(across);
        QCOMPARE(pieces.size(), std::size_t(2));
        QCOMPARE(pieces[0].back().x, 1.0);
        QCOMPARE(pieces[1].front().x, -1.0);
        QCOMPARE_LT(std::fabs(pieces[0].back().y - 10.0 / 180.0), 1e-12);
        QCOMPARE(pieces[1].front().y, pieces[0].back().y);
        // Centred on 180, the same line is one piece in the middle.
        QCOMPARE(MapProjection(ProjectionKind::Flat, {0.0, 180.0}).projectLine(across).size(),
                 std::size_t(1));

        // Along the equator from the centre round past the rim and back: it ends and restarts on
        // the rim.
        const MapProjection globe(ProjectionKind::Globe, {0.0, 0.0});
        std::vector<GeoPoint> equator;
        for (double lon = 0.0; lon <= 360.0; lon += 10.0) equator.push_back({0.0, lon});
        const PlaneLines round = globe.projectLine(equator);
        QCOMPARE(round.size(), std::size_t(2));
        QCOMPARE_LT(std::fabs(round[0].back().x - 1.0), 1e-9);
        QCOMPARE_LT(std::fabs(round[1].front().x + 1.0), 1e-9);
        QVERIFY(globe.projectLine(std::vector<GeoPoint>{{0.0, 120.0}, {0.0, 150.0}}).empty());
    }

    void readsTheCompiledCoastlines() {
        const CoastLines lines = LoadCoastlines();
        QCOMPARE(lines.size(), std::size_t(134));
        std::size_t points = 0;
        double minLat = 90, maxLat = -90, minLon = 180, maxLon = -180;
        for (const auto& line : lines) {
            points += line.size();
            for (const GeoPoint& p : line) {
                minLat = std::min(minLat, p.latDeg);
                maxLat = std::max(maxLat, p.latDeg);
                minLon = std::min(minLon, p.lonDeg);
                maxLon = std::max(maxLon, p.lonDeg);
            }
        }
        QCOMPARE(points, std::size_t(5127));
        QCOMPARE(minLon, -180.0);
        QCOMPARE(maxLon, 180.0);
        QCOMPARE_LT(std::fabs(minLat + 85.61), 0.006);  // Antarctica, degrees
        QCOMPARE_LT(std::fabs(maxLat - 83.65), 0.006);  // Greenland's north coast
    }

    void refusesDamagedCoastlines_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray head = QByteArray("VCL1") + QByteArray::fromHex("01000000");
        const QByteArray line = QByteArray::fromHex(
            "02000000"
            "10270000"
            "a00f0000");  // 2 points at 100 E 40 N
        QTest::newRow("wrong magic") << QByteArray("VCL2") + QByteArray::fromHex("00000000");
        QTest::newRow("cut short") << head + line;
        QTest::newRow("bytes left over") << head + line + QByteArray::fromHex("0100ffff") + "x";
        QTest::newRow("count beyond the data")
            << QByteArray("VCL1") + QByteArray::fromHex("ffffffff");
        QTest::newRow("beyond the pole")
            << head + line + QByteArray::fromHex("00007017");  // +60 degrees, to 100 N
        QTest::newRow("a line of one point") << head + QByteArray::fromHex(
                                                           "01000000"
                                                           "00000000"
                                                           "00000000");
    }
    void refusesDamagedCoastlines() {
        QFETCH(QByteArray, bytes);
        QVERIFY(!DecodeCoastlines(
            std::as_bytes(std::span(bytes.constData(), std::size_t(bytes.size())))));
    }

    void solvesTheSceneOnTheChosenDatum() {
        const MapScene milanRome =
            BuildMapScene(inputFor(GeoPoint{45.4642, 9.19}, GeoPoint{41.9028, 12.4964}));
        QCOMPARE(milanRome.path.size(), std::size_t(64));
        QCOMPARE_LT(std::fabs(*milanRome.metres - 477'000.0), 1'500.0);
        QCOMPARE(QString::fromStdString(DescribeMapScene(milanRome)),
                 QStringLiteral("A 45.46 N 9.19 E, B 41.9 N 12.5 E, geodesic 477.0 km"));
        QCOMPARE_LT(std::fabs(milanRome.centre.latDeg - 43.7),
                    0.2);  // the globe faces the midpoint

        // Nearly antipodal: Vincenty does not settle; the exact option draws the path.
        const GeoPoint wellington{-41.2865, 174.7762};
        const GeoPoint antipodal{41.2865, -5.2238 + 0.3};
        const MapScene unsettled = BuildMapScene(inputFor(wellington, antipodal));
        QVERIFY(unsettled.notSettled);
        QVERIFY(unsettled.path.empty());
        QVERIFY(QString::fromStdString(DescribeMapScene(unsettled))
                    .endsWith("no path: the iteration did not settle"));
        const MapScene exact = BuildMapScene(inputFor(wellington, antipodal, true));
        QVERIFY(!exact.notSettled);
        QCOMPARE_GT(exact.path.size(), std::size_t(190));
        QCOMPARE_GT(*exact.metres, 19'900'000.0);

        MapInput withMidpoint = inputFor(GeoPoint{0.0, 0.0}, GeoPoint{0.0, 10.0});
        withMidpoint.showMidpoint = true;
        QCOMPARE_LT(std::fabs(BuildMapScene(withMidpoint).midpoint->lonDeg - 5.0), 1e-9);

        const MapScene none = BuildMapScene(inputFor(std::nullopt, GeoPoint{10.0, 20.0}));
        QVERIFY(none.path.empty());
        QCOMPARE(QString::fromStdString(DescribeMapScene(none)),
                 QStringLiteral("A not stored, B 10 N 20 E"));
        const MapScene empty = BuildMapScene(inputFor(std::nullopt, std::nullopt));
        QCOMPARE(empty.centre.latDeg, 0.0);
        QCOMPARE(empty.centre.lonDeg, 0.0);
    }

    void keepsTheGeometryAsText() {
        QCOMPARE(GeometryText(QRect(-40, 12, 600, 500)), QStringLiteral("600x500-40+12"));
        QCOMPARE(ParseGeometryText("600x500-40+12"),
                 std::optional<QRect>(QRect(-40, 12, 600, 500)));
        for (const char* bad : {"", "600x500", "0x500+1+1", "600x500+1+1x", "600,500,1,1"}) {
            QVERIFY2(!ParseGeometryText(bad), bad);
        }
    }

    // One fixed pair against reference pictures drawn by this code at this scale; with
    // VELMORA_MAP_SHOTS set, writes the pairs of the report there instead of comparing.
    void matchesTheReferencePicture() {
        MapWindow map;
        const QString shots = qEnvironmentVariable("VELMORA_MAP_SHOTS");
        if (!shots.isEmpty()) {
            struct Shot {
                const char* name;
                GeoPoint a, b;
                bool exact;
            };
            const Shot pairs[] = {
                {"milan_rome", {45.4642, 9.19}, {41.9028, 12.4964}, false},
                {"newyork_singapore", {40.7128, -74.006}, {1.3521, 103.8198}, false},
                {"wellington_salamanca", {-41.2865, 174.7762}, {40.9701, -5.6635}, true},
                {"wellington_salamanca_noexact", {-41.2865, 174.7762}, {40.9701, -5.6635}, false},
                {"fiji_samoa", {-18.1416, 178.4419}, {-13.759, -172.1046}, false}};
            for (const Shot& s : pairs) {
                for (const bool flat : {false, true}) {
                    const QString name =
                        QStringLiteral("%1/%2_%3.png").arg(shots, s.name, flat ? "flat" : "globe");
                    QVERIFY(mapPicture(map, inputFor(s.a, s.b, s.exact), flat).save(name));
                }
            }
            QVERIFY(mapPicture(map, inputFor(std::nullopt, std::nullopt), false)
                        .save(shots + "/nothing_stored.png"));
            return;
        }
        const bool twice = qGuiApp->devicePixelRatio() > 1.5;
        const QImage actual =
            mapPicture(map, inputFor(GeoPoint{45.4642, 9.19}, GeoPoint{41.9028, 12.4964}), false);
#ifdef Q_OS_WIN
        // Under Wine the system's fonts and mathematics library move the antialiased edges a
        // little.
        const char* const platform = "_wine";
#else
        const char* const platform = "";
#endif
        const QString reference =
            QStringLiteral(VELMORA_MAP_REFERENCE_DIR "/map_milan_rome%1%2.png")
                .arg(QLatin1String(platform), twice ? "@2x" : "");
        const QImage expected(reference);
        QVERIFY2(!expected.isNull(), qPrintable(reference));
        // Font rendering differs a little between machines; the drawing itself must not.
        const QString mismatch = testing::referenceMismatch(
            actual, expected, 48, 0.004,
            QDir::tempPath() + (twice ? "/map_milan_rome@2x" : "/map_milan_rome"));
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    }

    // The map in the real window: opened from View > Map without taking the focus, redrawn when a
    // point is stored and not while digits are typed, closed by its own close button.
    void followsStoredPointsWithoutTakingTheFocus() {
        test::WindowUnderTest under;
        Calcolatrice& w = *under.window;
        QVERIFY(!w.mapWindow());  // nothing of the map before it is asked for
        w.mapAction()->trigger();
        MapWindow* map = w.mapWindow();
        QVERIFY(map && map->isVisible());
        QCOMPARE(map->windowTitle(), QStringLiteral("Velmora Map"));
        QVERIFY(QTest::qWaitForWindowExposed(map));
        QCOMPARE(map->view()->accessibleName(), QStringLiteral("Map"));
        QCOMPARE(map->view()->accessibleDescription(),
                 QStringLiteral("A not stored, B not stored"));

        calc::Calculator& engine = w.engine();
        engine.MenuPastePoint_Click(calc::kPointA, "45.4642 N, 9.19 E");
        w.refresh();
        QVERIFY(map->view()->scene().a);
        QCOMPARE(map->view()->accessibleDescription(),
                 QStringLiteral("A 45.46 N 9.19 E, B not stored"));

        // Latitude B typed digit by digit: only Enter stores it.
        engine.Lab_Sel_Click(calc::kSelLatitudeB);
        engine.Lab_Sel_Click(calc::kSelNorth);
        engine.Lab_Num_Click(4);
        engine.Lab_Num_Click(1);
        QVERIFY(!map->showInput(MapInputFromState(engine.state(), false, false)));
        engine.Lab_Num_Click(calc::kKeyEnter);
        engine.Lab_Sel_Click(calc::kSelLongitudeB);
        engine.Lab_Sel_Click(calc::kSelEast);
        engine.Lab_Num_Click(1);
        engine.Lab_Num_Click(2);
        engine.Lab_Num_Click(calc::kKeyEnter);
        QVERIFY(map->view()->scene().b);
        QVERIFY(!map->view()->scene().path.empty());
        QVERIFY(map->view()->accessibleDescription().startsWith(
            "A 45.46 N 9.19 E, B 41 N 12 E, geodesic "));
        QVERIFY(!map->isActiveWindow());

        engine.Lab_Num_Click(calc::kKeyResetPoints);
        QVERIFY(!map->view()->scene().a && !map->view()->scene().b);

        map->close();
        QVERIFY(!w.mapAction()->isChecked());
        QCOMPARE(desktop::SettingsStore().value("Map/Shown", true), false);
        QVERIFY(ParseGeometryText(desktop::SettingsStore().text("Map/Geometry", {})));
    }

    // The tick and the window's place come back at the next start, the map open again.
    void tickAndPlaceAreRememberedBetweenRuns() {
        const QRect place(40, 50, 500, 520);
        {
            test::WindowUnderTest first;
            first.window->mapAction()->trigger();
            first.window->mapWindow()->setGeometry(place);
            QTRY_COMPARE(desktop::SettingsStore().text("Map/Geometry", {}),
                         GeometryText(first.window->mapWindow()->geometry()));
        }
        test::WindowUnderTest second;
        QVERIFY(second.window->mapAction()->isChecked());
        MapWindow* map = second.window->mapWindow();
        QVERIFY(map && map->isVisible());
        QCOMPARE(map->geometry(), place);
    }
};

QTEST_MAIN(MapTest)
#include "map_test.moc"
