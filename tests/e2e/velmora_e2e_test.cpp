// Velmora driven as a person would: the real program in an X server of its own, typed at with
// xdotool, its clipboard read and written with xclip, its window captured pixel by pixel.
// Every test function (every data row) gets a fresh server, home folder and program.

#include "image_compare.h"
#include "x_session.h"

#include <GeographicLib/Geodesic.hpp>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>

using std::chrono::milliseconds;
using velmora::testing::hasPicture;
using velmora::testing::referencePictureMismatch;
using velmora::testing::waitUntil;
using velmora::testing::XSession;

namespace {

const QString kMainTitle = QStringLiteral("Velmora");
const QString kAboutTitle = QStringLiteral("About program...");
const QString kCustomDatumTitle = QStringLiteral("Custom Datum Definition");
const QString kDestinationTitle = QStringLiteral("Destination from A");
constexpr milliseconds kWindowTimeout{15'000};  // start-up under a loaded CI machine
constexpr milliseconds kActionTimeout{5'000};   // one key's effect to become visible

// Client area of the main window in pixels; the menu bar sits above it, inside the window.
constexpr int kClientWidth = 536;
constexpr int kClientHeight = 384;
// Points inside controls, in client pixels.
constexpr QPoint kDisplayPoint{130, 120};
constexpr QRect kHistoryInterior{284, 20, 230, 344};  // inside the list's frame

// WGS-84 and Airy 1830 as the program's table has them: a in metres and f. The table's b
// differs from a(1-f) by 0.05 mm and 0.3 mm, far below the millimetre the display shows.
constexpr double kWgs84SemiMajorMetres = 6378137.0;
constexpr double kWgs84Flattening = 1.0 / 298.257223563;
constexpr double kAirySemiMajorMetres = 6377563.396;
constexpr double kAiryFlattening = 1.0 / 299.3249646;

// Vincenty's inverse formula, converged, agrees with Karney's geodesic to well under 1 mm for
// points that are not nearly antipodal; the display rounds to 1e-6 of its unit.
constexpr double kDistanceTolerance = 2e-6;  // in the shown unit

constexpr double kKmPerKm = 1.0;
constexpr double kKmPerStatuteMile = 1.609344;
constexpr double kKmPerNauticalMile = 1.853;

// Channel difference a pixel may show without counting as changed (antialiased text edges),
// and the share of changed pixels allowed: one misplaced key caption changes more than this.
constexpr int kPixelTolerance = 48;
constexpr double kMaxChangedShare = 0.0001;  // about 20 pixels of the window

// On-screen keys by caption, with their rectangles in twips (15 to the pixel) as laid out.
struct ScreenKey {
    const char* caption;
    int left, top, width, height;
};
constexpr ScreenKey kScreenKeys[] = {
    {"0", 215, 5150, 510, 300},           {"3", 1440, 4630, 510, 300},
    {"4", 215, 4100, 510, 300},           {"5", 830, 4100, 510, 300},
    {"°", 2050, 4100, 510, 300},          {"'", 2670, 4100, 510, 300},
    {"Back", 2050, 3570, 510, 255},       {"C", 2670, 3570, 510, 255},
    {">|<", 2050, 4630, 510, 300},        {"Enter", 2670, 4630, 1095, 255},
    {"Calculate", 2670, 5150, 1095, 255}, {"mi", 830, 3000, 510, 255},
    {"deg", 2050, 3000, 510, 255},        {"7", 215, 3560, 510, 300},
    {"km", 210, 3000, 510, 255},
};

// The key's rectangle in client pixels; empty when there is no such key in the table.
QRect screenKeyRect(const QString& caption) {
    constexpr int kTwipsPerPixel = 15;
    for (const ScreenKey& k : kScreenKeys)
        if (caption == QString::fromUtf8(k.caption))
            return {k.left / kTwipsPerPixel, k.top / kTwipsPerPixel, k.width / kTwipsPerPixel,
                    k.height / kTwipsPerPixel};
    return {};
}

std::optional<QPoint> screenKeyCentre(const QString& caption) {
    const QRect r = screenKeyRect(caption);
    return r.isEmpty() ? std::nullopt : std::optional<QPoint>(r.center());
}

// Pixels of the area drawn in colour, give or take the blending of glyph edges.
int pixelsOfColour(const QImage& image, const QRect& area, QColor colour) {
    constexpr int kTolerance = 24;  // per channel, out of 255
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - colour.red()) <= kTolerance &&
                qAbs(c.green() - colour.green()) <= kTolerance &&
                qAbs(c.blue() - colour.blue()) <= kTolerance)
                ++count;
        }
    return count;
}

double dms(double degrees, double minutes, double seconds) {
    return degrees + minutes / 60.0 + seconds / 3600.0;
}

double geodesicKm(double latA, double lonA, double latB, double lonB,
                  double semiMajorMetres = kWgs84SemiMajorMetres,
                  double flattening = kWgs84Flattening) {
    const GeographicLib::Geodesic ellipsoid(semiMajorMetres, flattening);
    double metres = 0;
    ellipsoid.Inverse(latA, lonA, latB, lonB, metres);
    return metres / 1000.0;
}

// Both points typed in degrees, minutes and seconds, north and west, then Calculate.
const QStringList kLandsEndToJohnOGroats{
    QStringLiteral("type n50°3'59\""),  QStringLiteral("key Return"), QStringLiteral("key F3"),
    QStringLiteral("type w5°42'53\""),  QStringLiteral("key Return"), QStringLiteral("key F4"),
    QStringLiteral("type n58°38'38\""), QStringLiteral("key Return"), QStringLiteral("key F5"),
    QStringLiteral("type w3°4'12\""),   QStringLiteral("key Return"), QStringLiteral("type ="),
};

double landsEndToJohnOGroatsKm(double semiMajorMetres, double flattening) {
    return geodesicKm(dms(50, 3, 59), -dms(5, 42, 53), dms(58, 38, 38), -dms(3, 4, 12),
                      semiMajorMetres, flattening);
}

// Rows of text in the history list: bands of pixel rows that hold ink, as y centres in
// client pixels. The list must show no selection.
QList<int> historyLineCentres(const QImage& client) {
    const QRgb base = client.pixel(kHistoryInterior.right(), kHistoryInterior.bottom());
    QList<int> centres;
    int bandStart = -1;
    for (int y = kHistoryInterior.top(); y <= kHistoryInterior.bottom() + 1; ++y) {
        bool ink = false;
        for (int x = kHistoryInterior.left();
             y <= kHistoryInterior.bottom() && x <= kHistoryInterior.right(); ++x)
            if (client.pixel(x, y) != base) {
                ink = true;
                break;
            }
        if (ink && bandStart < 0) bandStart = y;
        if (!ink && bandStart >= 0) {
            centres.append((bandStart + y - 1) / 2);
            bandStart = -1;
        }
    }
    return centres;
}

}  // namespace

class VelmoraEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void calculation_data();
    void calculation();
    void clickingKeys_data();
    void clickingKeys();
    void hoverHighlightsTheKeyUnderThePointer_data();
    void hoverHighlightsTheKeyUnderThePointer();
    void customDatumFromTheDialogs_data();
    void customDatumFromTheDialogs();
    void windowMatchesReference();
    void windowMatchesReferenceAt2x();
    void copiesSelectedHistoryLines();
    void pastesNumber_data();
    void pastesNumber();
    void sendsTheNumberToTheSystemCalculator_data();
    void sendsTheNumberToTheSystemCalculator();
    void aboutBoxOpensWithF1AndCloses_data();
    void aboutBoxOpensWithF1AndCloses();
    void closingTheWindowEndsTheProgram();
    void automaticStartupStartsHiddenInTheNotificationArea();
    void azimuthsFollowEveryDistanceAndTheTickIsRemembered();
    void exactSolutionNearTheAntipode();
    void pastesWholePointsAndRefusesAText();
    void midpointFollowsEveryDistance();
    void destinationFromAThroughItsDialog();
    void savesTheHistoryThroughTheMenu();
    void batchWindowComputesAPastedTableAndCopiesTheCsv();
    void mapRedrawsWhenAPointIsStored();

private:
    // Runs steps of the form "key KEYSYM..." (xdotool key), "type TEXT" (xdotool type) or
    // "burst TEXT" (typed with no pause between keys).
    bool perform(const QStringList& steps);
    bool focus(const QString& window);
    bool clickClient(QPoint at, const QString& modifier = {});
    bool movePointer(QPoint at);
    QImage grabClient();
    // Compares the window with the reference picture NAME.png (or writes it, see the README).
    void compareWithReference(const QString& name);
    // The display text through the program's own Copy, after a click on the display so that
    // no history line is selected.
    QString copyDisplay();
    // What the program's Copy puts on the clipboard when trigger runs it (Ctrl+C by default):
    // a sentinel is put there first, and the program's text is what replaces it.
    QString copy(const std::function<bool()>& trigger = {});
    // Every history line, through Ctrl+A in the list and the program's Copy.
    QStringList historyLines();

    std::unique_ptr<XSession> m_session;
    QString m_window;
    int m_menuBarHeight = 0;
};

void VelmoraEndToEnd::init() {
    m_session = std::make_unique<XSession>();
    if (QTest::currentTestFunction() == QLatin1String("windowMatchesReferenceAt2x")) {
        // A 200 % desktop: twice the pixels, so the window still fits the screen.
        m_session->setScreenSize({2048, 1536});
        m_session->setVariable(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
    }
    QString error;
    QVERIFY2(m_session->start(&error), qPrintable(error));
    QVERIFY2(m_session->launch(QStringLiteral(VELMORA_BINARY), &error), qPrintable(error));
    const std::optional<QString> window = m_session->waitForWindow(kMainTitle, kWindowTimeout);
    QVERIFY2(window, "the main window did not appear");
    m_window = *window;
    m_menuBarHeight = m_session->windowSize(m_window).height() - kClientHeight;
    QVERIFY2(m_menuBarHeight >= 0, "the window is smaller than its client area");
    QVERIFY(focus(m_window));

    // Mapped is not yet painted: wait until two grabs in a row agree and show a picture (an
    // unpainted window is one flat colour).
    QImage shown;
    QVERIFY2(waitUntil(
                 [&] {
                     const QImage previous = shown;
                     shown = m_session->grabWindow(m_window);
                     return !shown.isNull() && shown == previous && hasPicture(shown);
                 },
                 kWindowTimeout),
             "the main window was not painted");
}

void VelmoraEndToEnd::cleanup() {
    m_session.reset();
    m_window.clear();
}

bool VelmoraEndToEnd::perform(const QStringList& steps) {
    for (const QString& step : steps) {
        const qsizetype blank = step.indexOf(QLatin1Char(' '));
        const QString verb = step.left(blank);
        const QString rest = step.mid(blank + 1);
        QStringList args{verb, QStringLiteral("--delay"), QStringLiteral("5")};
        if (verb == QLatin1String("key")) args += rest.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        else if (verb == QLatin1String("type")) args += rest;
        else if (verb == QLatin1String("burst"))
            args = QStringList{QStringLiteral("type"), QStringLiteral("--delay"),
                               QStringLiteral("0"), rest};
        else return false;
        if (!m_session->xdotool(args)) return false;
        // A menu opened by the keyboard holds the keyboard grab until it has closed: keys sent
        // before then go to the closing menu and are lost.
        if (verb == QLatin1String("key") && rest.contains(QLatin1String("alt+")) &&
            !m_session->waitForMenusClosed(kActionTimeout))
            return false;
    }
    return true;
}

// Gives a window the keyboard, as a window manager does when the user clicks it.
bool VelmoraEndToEnd::focus(const QString& window) {
    return m_session->xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
}

bool VelmoraEndToEnd::clickClient(QPoint at, const QString& modifier) {
    QStringList args{QStringLiteral("mousemove"), QStringLiteral("--window"), m_window,
                     QString::number(at.x()), QString::number(at.y() + m_menuBarHeight)};
    if (!modifier.isEmpty()) args += {QStringLiteral("keydown"), modifier};
    args += {QStringLiteral("click"), QStringLiteral("1")};
    if (!modifier.isEmpty()) args += {QStringLiteral("keyup"), modifier};
    return m_session->xdotool(args);
}

bool VelmoraEndToEnd::movePointer(QPoint at) {
    return m_session->xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), m_window,
                               QString::number(at.x()), QString::number(at.y() + m_menuBarHeight)});
}

QImage VelmoraEndToEnd::grabClient() {
    return m_session->grabWindow(m_window).copy(0, m_menuBarHeight, kClientWidth, kClientHeight);
}

QString VelmoraEndToEnd::copy(const std::function<bool()>& trigger) {
    const QString sentinel = QStringLiteral("velmora-e2e-sentinel");
    if (!m_session->setClipboard(sentinel)) return {};
    if (!(trigger ? trigger() : perform({QStringLiteral("key ctrl+c")}))) return {};
    // The keys reach the program in order, so its Copy takes the clipboard only after every
    // earlier key has been handled.
    QString text;
    waitUntil(
        [&] {
            const std::optional<QString> now = m_session->clipboard();
            if (now && *now != sentinel) text = *now;
            return !text.isEmpty();
        },
        kActionTimeout);
    return text;
}

QStringList VelmoraEndToEnd::historyLines() {
    return copy([&] { return perform({QStringLiteral("key ctrl+a ctrl+c")}); })
        .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

QString VelmoraEndToEnd::copyDisplay() {
    if (!clickClient(kDisplayPoint)) return {};
    return copy();
}

void VelmoraEndToEnd::calculation_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<double>("expectedKm");  // ignored when expectedText is set
    QTest::addColumn<double>("kmPerUnit");
    QTest::addColumn<QString>("expectedText");

    // Degrees, minutes and seconds, north and west, kilometres: the defaults after start-up.
    QTest::newRow("dms north west km")
        << kLandsEndToJohnOGroats
        << landsEndToJohnOGroatsKm(kWgs84SemiMajorMetres, kWgs84Flattening) << kKmPerKm
        << QString();

    // A new datum chosen while the distance is shown recomputes it. The keyboard opens the
    // menu on its first entry, Sphere; the next one is Airy 1830.
    QTest::newRow("datum menu recomputes on Airy 1830")
        << kLandsEndToJohnOGroats + QStringList{QStringLiteral("key alt+d Down Return")}
        << landsEndToJohnOGroatsKm(kAirySemiMajorMetres, kAiryFlattening) << kKmPerKm << QString();

    // Decimal degrees, south and east, statute miles; Delete clears whatever the format change
    // left on the display. A longitude field turns the hemisphere to E, a latitude field back to N.
    QTest::newRow("degrees south east miles")
        << QStringList{QStringLiteral("key F6 Delete"),  QStringLiteral("type s33.8688"),
                       QStringLiteral("key Return"),     QStringLiteral("key F3"),
                       QStringLiteral("type e151.2093"), QStringLiteral("key Return"),
                       QStringLiteral("key F4"),         QStringLiteral("type s36.8485"),
                       QStringLiteral("key Return"),     QStringLiteral("key F5"),
                       QStringLiteral("type 174.7633"),  QStringLiteral("key Return"),
                       QStringLiteral("type m=")}
        << geodesicKm(-33.8688, 151.2093, -36.8485, 174.7633) << kKmPerStatuteMile << QString();

    // Degrees and decimal minutes typed with the comma key, west then east, nautical miles.
    QTest::newRow("degrees minutes comma nautical miles")
        << QStringList{QStringLiteral("key F7 Delete"),  QStringLiteral("type 40°38,3'"),
                       QStringLiteral("key Return"),     QStringLiteral("key F3"),
                       QStringLiteral("type w73°46,7'"), QStringLiteral("key Return"),
                       QStringLiteral("key F4"),         QStringLiteral("type 49°0,6'"),
                       QStringLiteral("key Return"),     QStringLiteral("key F5"),
                       QStringLiteral("type 2°32,9'"),   QStringLiteral("key Return"),
                       QStringLiteral("type i=")}
        << geodesicKm(dms(40, 38.3, 0), -dms(73, 46.7, 0), dms(49, 0.6, 0), dms(2, 32.9, 0))
        << kKmPerNauticalMile << QString();

    QTest::newRow("latitude out of range")
        << QStringList{QStringLiteral("type 90°0'1\""), QStringLiteral("key Return")} << 0.0
        << kKmPerKm << QStringLiteral("Error");

    // Backspace edits the entry; "Back" on a mark removes the mark.
    QTest::newRow("backspace edits the entry")
        << QStringList{QStringLiteral("type 45°3"), QStringLiteral("key BackSpace BackSpace"),
                       QStringLiteral("type 7")}
        << 0.0 << kKmPerKm << QStringLiteral("457");

    // Each key lets pending events run before it acts; keys that arrive meanwhile must still
    // be acted on in the order typed.
    QTest::newRow("keys typed without pause keep their order")
        << QStringList{QStringLiteral("burst 1234567890123456789")} << 0.0 << kKmPerKm
        << QStringLiteral("1234567890123456789");

    // Both points at 0: the reset key, then Calculate.
    QTest::newRow("reset then calculate gives zero")
        << QStringList{QStringLiteral("type 12"), QStringLiteral("key Return"),
                       QStringLiteral("type r=")}
        << 0.0 << kKmPerKm << QStringLiteral("0.000000");
}

void VelmoraEndToEnd::calculation() {
    QFETCH(QStringList, steps);
    QFETCH(double, expectedKm);
    QFETCH(double, kmPerUnit);
    QFETCH(QString, expectedText);

    QVERIFY(perform(steps));
    const QString shown = copyDisplay();
    if (!expectedText.isEmpty()) {
        QCOMPARE(shown, expectedText);
        return;
    }
    static const QRegularExpression sixDecimals(QStringLiteral("^\\d+\\.\\d{6}$"));
    QVERIFY2(sixDecimals.match(shown).hasMatch(), qPrintable(QStringLiteral("display: ") + shown));
    const double expected = expectedKm / kmPerUnit;
    QVERIFY2(
        qAbs(shown.toDouble() - expected) <= kDistanceTolerance,
        qPrintable(QStringLiteral("display %1, expected %2").arg(shown).arg(expected, 0, 'f', 7)));
}

void VelmoraEndToEnd::clickingKeys_data() {
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("shown");
    QTest::newRow("digits and marks")
        << QStringList{"4", "5", "°", "3", "0", "'"} << QStringLiteral("45°30'");
    QTest::newRow("Back removes the mark")
        << QStringList{"4", "5", "°", "Back"} << QStringLiteral("45");
    // In degrees the minute key is disabled: its click does nothing.
    QTest::newRow("degrees format ignores the minute key")
        << QStringList{"deg", "C", "4", "5", "'"} << QStringLiteral("45");
    QTest::newRow("Enter accepts and clears") << QStringList{"3", "Enter"} << QStringLiteral("0");
    QTest::newRow("reset then calculate in miles")
        << QStringList{"mi", ">|<", "Calculate"} << QStringLiteral("0.000000");
}

// The on-screen keys under a real pointer: each reacts over its own rectangle.
void VelmoraEndToEnd::clickingKeys() {
    QFETCH(QStringList, keys);
    QFETCH(QString, shown);
    for (const QString& key : keys) {
        const std::optional<QPoint> at = screenKeyCentre(key);
        QVERIFY2(at, qPrintable(QStringLiteral("no key ") + key));
        QVERIFY(clickClient(*at));
    }
    QCOMPARE(copyDisplay(), shown);
}

void VelmoraEndToEnd::hoverHighlightsTheKeyUnderThePointer_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QColor>("normal");
    QTest::addColumn<QColor>("highlighted");
    QTest::addColumn<QPoint>("gap");  // a point between keys of the same block
    QTest::newRow("digit") << QStringLiteral("7") << QColor(0, 0, 64) << QColor(128, 128, 255)
                           << QPoint(51, 247);
    QTest::newRow("function") << QStringLiteral("Back") << QColor(192, 0, 0)
                              << QColor(255, 128, 128) << QPoint(175, 247);
    QTest::newRow("selector") << QStringLiteral("km") << QColor(128, 64, 0) << QColor(255, 128, 0)
                              << QPoint(51, 208);
}

// The real pointer over a key lights its caption; over the gap beside it, the light goes out.
void VelmoraEndToEnd::hoverHighlightsTheKeyUnderThePointer() {
    QFETCH(QString, key);
    QFETCH(QColor, normal);
    QFETCH(QColor, highlighted);
    QFETCH(QPoint, gap);
    const QRect area = screenKeyRect(key);
    constexpr int kGlyphPixels = 3;  // a caption's strokes give at least this many core pixels

    QVERIFY(pixelsOfColour(grabClient(), area, normal) >= kGlyphPixels);
    QVERIFY(movePointer(area.center()));
    QVERIFY2(
        waitUntil([&] { return pixelsOfColour(grabClient(), area, highlighted) >= kGlyphPixels; },
                  kActionTimeout),
        "the key under the pointer is not highlighted");
    QVERIFY(movePointer(gap));
    QVERIFY2(waitUntil(
                 [&] {
                     const QImage client = grabClient();
                     return pixelsOfColour(client, area, highlighted) == 0 &&
                            pixelsOfColour(client, area, normal) >= kGlyphPixels;
                 },
                 kActionTimeout),
             "the key keeps its highlight after the pointer left it for the gap");
}

void VelmoraEndToEnd::customDatumFromTheDialogs_data() {
    QTest::addColumn<QString>("semiMajorReply");
    QTest::addColumn<QString>("secondReply");
    QTest::addColumn<bool>("refused");  // a message box says so, and WGS-84 takes over
    QTest::addColumn<double>("expectedKm");

    QTest::newRow("inverse flattening") << QStringLiteral("6378388") << QStringLiteral("297")
                                        << false << landsEndToJohnOGroatsKm(6378388.0, 1.0 / 297.0);
    // Clarke 1866 by its axes: far enough from WGS-84 to tell the two apart on the display.
    constexpr double kSemiMajorMetres = 6378206.4;
    constexpr double kSemiMinorMetres = 6356583.8;
    QTest::newRow("semi-minor axis after @")
        << QStringLiteral("6378206.4") << QStringLiteral("@6356583.8") << false
        << landsEndToJohnOGroatsKm(kSemiMajorMetres,
                                   (kSemiMajorMetres - kSemiMinorMetres) / kSemiMajorMetres);
    QTest::newRow("not a number falls back to WGS-84")
        << QStringLiteral("6378137") << QStringLiteral("abc") << true
        << landsEndToJohnOGroatsKm(kWgs84SemiMajorMetres, kWgs84Flattening);
}

// Datum > Other... asks for the ellipsoid in two input boxes; the shown distance is then
// computed again on it.
void VelmoraEndToEnd::customDatumFromTheDialogs() {
    QFETCH(QString, semiMajorReply);
    QFETCH(QString, secondReply);
    QFETCH(bool, refused);
    QFETCH(double, expectedKm);

    QVERIFY(perform(kLandsEndToJohnOGroats));
    // The keyboard opens the menu on its first entry; Up wraps round to the last, Other...
    QVERIFY(perform({QStringLiteral("key alt+d Up Return")}));
    const std::optional<QString> first =
        m_session->waitForWindow(kCustomDatumTitle, kActionTimeout);
    QVERIFY2(first, "no input box for the semi-major axis");
    QVERIFY(focus(*first));
    QVERIFY(perform({QStringLiteral("key ctrl+a"), QStringLiteral("type ") + semiMajorReply,
                     QStringLiteral("key Return")}));
    const std::optional<QString> second =
        m_session->waitForWindow(kCustomDatumTitle, kActionTimeout, *first);
    QVERIFY2(second, "no input box for the flattening");
    QVERIFY(focus(*second));
    QVERIFY(perform({QStringLiteral("key ctrl+a"), QStringLiteral("type ") + secondReply,
                     QStringLiteral("key Return")}));
    if (refused) {
        const std::optional<QString> message =
            m_session->waitForOtherWindow({m_window, *first, *second}, kActionTimeout);
        QVERIFY2(message, "no message box for a reply that is not a number");
        QVERIFY(focus(*message));
        QVERIFY(perform({QStringLiteral("key Return")}));
    }
    QVERIFY(m_session->waitForWindowGone(kCustomDatumTitle, kActionTimeout));
    QVERIFY(focus(m_window));

    const QString shown = copyDisplay();
    QVERIFY2(qAbs(shown.toDouble() - expectedKm) <= kDistanceTolerance,
             qPrintable(
                 QStringLiteral("display %1, expected %2").arg(shown).arg(expectedKm, 0, 'f', 7)));
}

// The window right after start-up against a picture judged right by eye. To make a new one
// after an intended change of the look, run this test with VELMORA_E2E_UPDATE_REFERENCE=1,
// look at the written picture, and commit it.
void VelmoraEndToEnd::windowMatchesReference() {
    compareWithReference(QStringLiteral("main_window"));
}

// At 200 % every picture must come from its twice-resolution drawing: a picture enlarged from
// its 1x drawing has blocky glyph and corner edges that differ from the reference.
void VelmoraEndToEnd::windowMatchesReferenceAt2x() {
    compareWithReference(QStringLiteral("main_window@2x"));
}

void VelmoraEndToEnd::compareWithReference(const QString& name) {
    const QString referencePath =
        QStringLiteral(VELMORA_E2E_REFERENCE_DIR "/") + name + QStringLiteral(".png");
    const QImage actual = m_session->grabWindow(m_window);

    const std::optional<QString> mismatch =
        referencePictureMismatch(actual, referencePath, kPixelTolerance, kMaxChangedShare,
                                 QDir::current().filePath(QStringLiteral("e2e-") + name));
    if (!mismatch) QSKIP("reference picture written; look at it before committing it");
    if (!mismatch->isEmpty()) QFAIL(qPrintable(*mismatch));
}

void VelmoraEndToEnd::copiesSelectedHistoryLines() {
    // A click on the display takes any selection away, so the lines can be found by their ink.
    QVERIFY(clickClient(kDisplayPoint));
    QImage client;
    QList<int> lines;
    QVERIFY(waitUntil(
        [&] {
            client = grabClient();
            lines = historyLineCentres(client);
            return lines.size() == 3;
        },
        kActionTimeout));

    QVERIFY(clickClient({kHistoryInterior.center().x(), lines[0]}));
    QVERIFY(clickClient({kHistoryInterior.center().x(), lines[2]}, QStringLiteral("ctrl")));
    QCOMPARE(copy(),
             QStringLiteral("\r\nDatum: WGS-84\r\nCoordinates: Degrees / minutes / seconds"));

    QCOMPARE(copyDisplay(), QStringLiteral("0"));

    // A right click on the list opens the Edit menu there; its Copy is the menu bar's Copy.
    QVERIFY(clickClient({kHistoryInterior.center().x(), lines[0]}));
    QVERIFY(clickClient({kHistoryInterior.center().x(), lines[1]}, QStringLiteral("shift")));
    const QString viaContextMenu = copy([&] {
        const QPoint at{kHistoryInterior.center().x(), lines[1] + m_menuBarHeight};
        if (!m_session->xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), m_window,
                                 QString::number(at.x()), QString::number(at.y()),
                                 QStringLiteral("click"), QStringLiteral("3")}))
            return false;
        const std::optional<QString> menu = m_session->waitForPopup(kActionTimeout);
        // The first entry, Copy, lies just below and right of where the menu opened.
        return menu && m_session->xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"),
                                           *menu, QStringLiteral("30"), QStringLiteral("10"),
                                           QStringLiteral("click"), QStringLiteral("1")});
    });
    QCOMPARE(viaContextMenu, QStringLiteral("\r\nDatum: WGS-84\r\nDistance: kilometers [km]"));
}

void VelmoraEndToEnd::pastesNumber_data() {
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("shown");
    QTest::newRow("decimal") << QStringLiteral("12.5") << QStringLiteral("12.5");
    QTest::newRow("whole number loses .0") << QStringLiteral("12") << QStringLiteral("12");
    QTest::newRow("rounded to five decimals")
        << QStringLiteral("3.14159265") << QStringLiteral("3.14159");
    QTest::newRow("negative") << QStringLiteral("-7.25") << QStringLiteral("-7.25");
    QTest::newRow("blanks around") << QStringLiteral("  42\n") << QStringLiteral("42");
    QTest::newRow("not a number changes nothing") << QStringLiteral("abc") << QStringLiteral("0");
}

void VelmoraEndToEnd::pastesNumber() {
    QFETCH(QString, clipboard);
    QFETCH(QString, shown);
    QVERIFY(clickClient(kDisplayPoint));
    QVERIFY(m_session->setClipboard(clipboard));
    // Copy right behind Paste: the clipboard must keep the pasted text until Paste has read
    // it, so the program's taking the clipboard over is what shows that both ran.
    QVERIFY(perform({QStringLiteral("key ctrl+v ctrl+c")}));
    QVERIFY2(m_session->waitForClipboardTaken(kActionTimeout), "Copy did not take the clipboard");
    QCOMPARE(m_session->clipboard().value_or(QString()), shown);
}

void VelmoraEndToEnd::sendsTheNumberToTheSystemCalculator_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("received");
    QTest::newRow("coordinate as decimal degrees")
        << QStringList{QStringLiteral("type 12°45'")} << QStringLiteral("12.75");
    QTest::newRow("repeated digits")
        << QStringList{QStringLiteral("type 1100")} << QStringLiteral("1100");
    QTest::newRow("Error sends 0")
        << QStringList{QStringLiteral("type 91"), QStringLiteral("key Return")}
        << QStringLiteral("0");
}

// Ctrl+I starts the system calculator and types the displayed number into it. Run where
// galculator is the calculator found first (the program's list prefers the desktops' own).
void VelmoraEndToEnd::sendsTheNumberToTheSystemCalculator() {
    QFETCH(QStringList, steps);
    QFETCH(QString, received);
    for (const char* preferred : {"gnome-calculator", "kcalc"})
        if (!QStandardPaths::findExecutable(QString::fromLatin1(preferred)).isEmpty())
            QSKIP("another calculator than galculator would start");
    if (QStandardPaths::findExecutable(QStringLiteral("galculator")).isEmpty())
        QSKIP("galculator is not installed");

    QVERIFY(perform(steps));
    QVERIFY(perform({QStringLiteral("key ctrl+i")}));
    constexpr milliseconds kCalculatorStart{20'000};  // a cold GTK start on a loaded machine
    const std::optional<QString> calculator =
        m_session->waitForOtherWindow({m_window}, kCalculatorStart);
    QVERIFY2(calculator, "no calculator window appeared");

    // The number is typed key by key after the window takes the focus; it is complete once the
    // calculator's window has stopped changing for a while.
    constexpr int kQuietGrabs =
        25;  // 25 x 20 ms: well over the program's longest pause between keys
    QImage previous;
    int quiet = 0;
    QVERIFY(waitUntil(
        [&] {
            const QImage now = m_session->grabWindow(*calculator);
            quiet = (!now.isNull() && now == previous) ? quiet + 1 : 0;
            previous = now;
            return quiet >= kQuietGrabs;
        },
        kCalculatorStart));

    const QString shown =
        copy([&] { return focus(*calculator) && perform({QStringLiteral("key ctrl+c")}); });
    QCOMPARE(shown.trimmed(), received);
}

void VelmoraEndToEnd::aboutBoxOpensWithF1AndCloses_data() {
    QTest::addColumn<QString>("closeWith");  // a step for perform(), or "close box"
    QTest::newRow("Escape") << QStringLiteral("key Escape");
    QTest::newRow("Enter") << QStringLiteral("key Return");
    QTest::newRow("close box") << QStringLiteral("close box");
}

void VelmoraEndToEnd::aboutBoxOpensWithF1AndCloses() {
    QFETCH(QString, closeWith);
    QVERIFY(perform({QStringLiteral("key F1")}));
    std::optional<QString> about = m_session->waitForWindow(kAboutTitle, kActionTimeout);
    QVERIFY2(about, "F1 did not show the About box");

    // While the box is up, the main window takes no keys.
    QVERIFY(focus(m_window));
    QVERIFY(perform({QStringLiteral("type 5")}));

    QVERIFY(focus(*about));
    if (closeWith == QLatin1String("close box")) QVERIFY(m_session->requestClose(*about));
    else QVERIFY(perform({closeWith}));
    QVERIFY2(m_session->waitForWindowGone(kAboutTitle, kActionTimeout),
             "the About box did not close");
    QVERIFY2(!m_session->program().waitForFinished(0), "closing the About box ended the program");

    // Hidden, not destroyed: F1 shows it again.
    QVERIFY(focus(m_window));
    QVERIFY(perform({QStringLiteral("key F1")}));
    about = m_session->waitForWindow(kAboutTitle, kActionTimeout);
    QVERIFY2(about, "F1 did not show the About box a second time");
    QVERIFY(focus(*about));
    QVERIFY(perform({QStringLiteral("key Escape")}));
    QVERIFY(m_session->waitForWindowGone(kAboutTitle, kActionTimeout));

    QVERIFY(focus(m_window));
    QVERIFY(perform({QStringLiteral("type 7")}));
    QCOMPARE(copyDisplay(), QStringLiteral("7"));
}

void VelmoraEndToEnd::closingTheWindowEndsTheProgram() {
    QVERIFY(m_session->requestClose(m_window));
    QVERIFY2(m_session->program().waitForFinished(int(kActionTimeout.count())),
             "the program still runs after its window was closed");
    QCOMPARE(m_session->program().exitStatus(), QProcess::NormalExit);
}

// Options > Automatic startup writes the log-on entry; the next start shows only the icon in
// the notification area, whose click shows the window; choosing the entry again removes it.
void VelmoraEndToEnd::automaticStartupStartsHiddenInTheNotificationArea() {
    if (QStandardPaths::findExecutable(QStringLiteral("tint2")).isEmpty())
        QSKIP("tint2 is not installed");
    const QString entry =
        m_session->homePath() + QStringLiteral("/.config/autostart/velmora.desktop");
    const auto entryStartsTheProgram = [&] {
        QFile file(entry);
        return file.open(QIODevice::ReadOnly) && file.readAll().contains("\nExec=");
    };

    QVERIFY(perform({QStringLiteral("key alt+o Return")}));
    QVERIFY2(waitUntil(entryStartsTheProgram, kActionTimeout), "no auto-start entry was written");
    QVERIFY(m_session->requestClose(m_window));
    QVERIFY(m_session->program().waitForFinished(int(kActionTimeout.count())));

    QString error;
    QVERIFY2(m_session->startTrayHost(&error), qPrintable(error));
    QVERIFY2(m_session->launch(QStringLiteral(VELMORA_BINARY), &error), qPrintable(error));
    // The icon is added before the window would be shown, in the same start-up step.
    const std::optional<QString> icon =
        m_session->waitForClass(QStringLiteral("velmora"), kWindowTimeout);
    QVERIFY2(icon, "no icon in the notification area");
    QVERIFY2(m_session->waitForWindowGone(kMainTitle, milliseconds{0}),
             "the window shows despite auto-start");

    QVERIFY(m_session->xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), *icon,
                                QStringLiteral("8"), QStringLiteral("8"), QStringLiteral("click"),
                                QStringLiteral("1")}));
    const std::optional<QString> window = m_session->waitForWindow(kMainTitle, kActionTimeout);
    QVERIFY2(window, "a click on the icon did not show the window");

    QVERIFY(focus(*window));
    QVERIFY(perform({QStringLiteral("key alt+o Return")}));
    QVERIFY2(waitUntil([&] { return !entryStartsTheProgram(); }, kActionTimeout),
             "the auto-start entry is still there");
}

// An azimuth history line's angle in degrees, written in degrees, minutes and seconds, with the
// line's label checked; NaN when the line is no such line.
double azimuthLineDegrees(const QString& line, const QString& label) {
    static const QRegularExpression form(
        QStringLiteral("^(.*): (\\d+)° (\\d+)' (\\d+\\.\\d\\d)\"$"));
    const QRegularExpressionMatch match = form.match(line);
    if (!match.hasMatch() || match.captured(1) != label) return std::nan("");
    return dms(match.captured(2).toDouble(), match.captured(3).toDouble(),
               match.captured(4).toDouble());
}

// GeographicLib's azimuths at A and at B, 0 to 360 degrees.
std::pair<double, double> geodesicAzimuths(double latA, double lonA, double latB, double lonB) {
    const GeographicLib::Geodesic ellipsoid(kWgs84SemiMajorMetres, kWgs84Flattening);
    double metres = 0;
    double atA = 0;
    double atB = 0;
    ellipsoid.Inverse(latA, lonA, latB, lonB, metres, atA, atB);
    return {atA < 0 ? atA + 360 : atA, atB < 0 ? atB + 360 : atB};
}

// View > Show azimuths: every distance, by "=" and re-expressed by a unit key, is followed by
// the azimuths at A and B; the tick survives a restart of the program.
void VelmoraEndToEnd::azimuthsFollowEveryDistanceAndTheTickIsRemembered() {
    constexpr double kShownSecondDeg = 0.006 / 3600;  // half the 0.01" shown, and some
    const auto [atA, atB] =
        geodesicAzimuths(dms(50, 3, 59), -dms(5, 42, 53), dms(58, 38, 38), -dms(3, 4, 12));
    const auto checkAzimuthLines = [&](const QStringList& lines, const QString& distanceUnit) {
        QVERIFY2(lines.size() >= 3, qPrintable(lines.join(QLatin1Char('\n'))));
        const qsizetype n = lines.size();
        QVERIFY2(lines[n - 3].startsWith(QStringLiteral("Distance: ")) &&
                     lines[n - 3].endsWith(distanceUnit),
                 qPrintable(lines[n - 3]));
        QVERIFY2(qAbs(azimuthLineDegrees(lines[n - 2], QStringLiteral("Azimuth at A")) - atA) <=
                     kShownSecondDeg,
                 qPrintable(lines[n - 2] + QStringLiteral(" expected %1").arg(atA, 0, 'f', 7)));
        QVERIFY2(qAbs(azimuthLineDegrees(lines[n - 1], QStringLiteral("Azimuth at B")) - atB) <=
                     kShownSecondDeg,
                 qPrintable(lines[n - 1] + QStringLiteral(" expected %1").arg(atB, 0, 'f', 7)));
    };

    // Off at the first start: the distance is the last line.
    QVERIFY(perform(kLandsEndToJohnOGroats));
    QVERIFY(historyLines().constLast().startsWith(QStringLiteral("Distance: ")));

    // The keyboard opens the menu on its first entry; Down skips the separator.
    QVERIFY(perform({QStringLiteral("key alt+v Down Down Return"), QStringLiteral("type =")}));
    checkAzimuthLines(historyLines(), QStringLiteral(" km"));
    QVERIFY(perform({QStringLiteral("type m")}));
    checkAzimuthLines(historyLines(), QStringLiteral(" mi"));

    QVERIFY(m_session->requestClose(m_window));
    QVERIFY(m_session->program().waitForFinished(int(kActionTimeout.count())));
    QString error;
    QVERIFY2(m_session->launch(QStringLiteral(VELMORA_BINARY), &error), qPrintable(error));
    const std::optional<QString> window = m_session->waitForWindow(kMainTitle, kWindowTimeout);
    QVERIFY2(window, "the main window did not appear again");
    m_window = *window;
    QVERIFY(focus(m_window));
    QVERIFY(perform(kLandsEndToJohnOGroats));
    checkAzimuthLines(historyLines(), QStringLiteral(" km"));
}

// Options > Exact solution near antipodes: where Vincenty's iteration does not settle the
// distance is solved exactly instead of "Error", and its line says so.
void VelmoraEndToEnd::exactSolutionNearTheAntipode() {
    QVERIFY(perform(
        {QStringLiteral("key F6 Delete"), QStringLiteral("type 0"), QStringLiteral("key Return"),
         QStringLiteral("key F3"), QStringLiteral("type 0"), QStringLiteral("key Return"),
         QStringLiteral("key F4"), QStringLiteral("type 0.5"), QStringLiteral("key Return"),
         QStringLiteral("key F5"), QStringLiteral("type e179.7"), QStringLiteral("key Return"),
         QStringLiteral("type =")}));
    QCOMPARE(copyDisplay(), QStringLiteral("Error"));

    QVERIFY(perform({QStringLiteral("key alt+o Up Return"), QStringLiteral("type =")}));
    QCOMPARE(copyDisplay(), QStringLiteral("19944.127421"));
    QCOMPARE(historyLines().constLast(), QStringLiteral("Distance: 19944.127421 km (exact)"));
}

// Edit > Paste point A and Paste point B enter both fields of a point from one pasted text; a
// text that is no position is refused in a message box and changes nothing.
void VelmoraEndToEnd::pastesWholePointsAndRefusesAText() {
    // The Edit menu opens on Copy; Down skips the separators: Paste, Send to calculator, Paste
    // point A, Paste point B.
    // The next text may go on the clipboard only once the program has read the last one: each
    // paste adds two lines to the three of the start-up.
    const auto waitForHistoryLines = [&](int count) {
        return waitUntil([&] { return historyLineCentres(grabClient()).size() == count; },
                         kActionTimeout);
    };
    QVERIFY(m_session->setClipboard(QStringLiteral("48°51′24″N 2°21′08″E")));
    QVERIFY(perform({QStringLiteral("key alt+e Down Down Down Return")}));
    QVERIFY2(waitForHistoryLines(5), "point A was not entered");
    QVERIFY(m_session->setClipboard(QStringLiteral("  -33.8688, 151.2093\n")));
    QVERIFY(perform({QStringLiteral("key alt+e Down Down Down Down Return")}));
    QVERIFY2(waitForHistoryLines(7), "point B was not entered");
    QVERIFY(perform({QStringLiteral("type =")}));
    const QString shown = copyDisplay();
    const double expectedKm = geodesicKm(dms(48, 51, 24), dms(2, 21, 8), -33.8688, 151.2093);
    QVERIFY2(qAbs(shown.toDouble() - expectedKm) <= kDistanceTolerance,
             qPrintable(
                 QStringLiteral("display %1, expected %2").arg(shown).arg(expectedKm, 0, 'f', 7)));
    const QStringList before = historyLines();
    QVERIFY(before.contains(QStringLiteral("Latitude A: 48° 51' 24\" N")));
    QVERIFY(before.contains(QStringLiteral("Longitude B: 151° 12' 33.48\" E")));

    QVERIFY(m_session->setClipboard(QStringLiteral("Paris")));
    QVERIFY(perform({QStringLiteral("key alt+e Down Down Down Return")}));
    const std::optional<QString> box =
        m_session->waitForWindow(kMainTitle, kActionTimeout, m_window);
    QVERIFY2(box, "no message box refused the text");
    QVERIFY(focus(*box));
    QVERIFY(perform({QStringLiteral("key Return")}));
    QVERIFY(
        waitUntil([&] { return !m_session->waitForWindow(kMainTitle, milliseconds{0}, m_window); },
                  kActionTimeout));
    QVERIFY(focus(m_window));
    QCOMPARE(copyDisplay(), shown);
    QCOMPARE(historyLines(), before);
}

// View > Show midpoint: the distance by "=" and re-expressed by a unit key is followed by the
// point halfway along the geodesic (GeographicLib's to the 0.01" shown).
void VelmoraEndToEnd::midpointFollowsEveryDistance() {
    const QString midpoint = QStringLiteral("Midpoint: 54° 21' 49.80\" N  4° 31' 49.30\" W");
    // The keyboard opens the menu on its first entry; Down skips the separator.
    QVERIFY(perform({QStringLiteral("key alt+v Down Down Down Return")}));
    QVERIFY(perform(kLandsEndToJohnOGroats));
    QCOMPARE(historyLines().constLast(), midpoint);
    QVERIFY(perform({QStringLiteral("type m")}));
    const QStringList lines = historyLines();
    QCOMPARE(lines.constLast(), midpoint);
    QVERIFY2(lines[lines.size() - 2].endsWith(QStringLiteral(" mi")),
             qPrintable(lines[lines.size() - 2]));
}

// Edit > Destination from A...: refused in a message box before A is there; then the dialog
// refuses a field in a box of its own and stays open, and OK enters B from A.
void VelmoraEndToEnd::destinationFromAThroughItsDialog() {
    const QString openDestination = QStringLiteral("key alt+e Down Down Down Down Down Return");
    const QStringList start = historyLines();
    QVERIFY(perform({openDestination}));
    const std::optional<QString> refusal =
        m_session->waitForWindow(kMainTitle, kActionTimeout, m_window);
    QVERIFY2(refusal, "no message box asked for A first");
    QVERIFY(focus(*refusal));
    QVERIFY(perform({QStringLiteral("key Return")}));
    QVERIFY(
        waitUntil([&] { return !m_session->waitForWindow(kMainTitle, milliseconds{0}, m_window); },
                  kActionTimeout));
    QVERIFY(!m_session->waitForWindow(kDestinationTitle, milliseconds{0}));
    QVERIFY(focus(m_window));
    QCOMPARE(historyLines(), start);

    QVERIFY(m_session->setClipboard(QStringLiteral("48.8566, 2.3522")));
    QVERIFY(perform({QStringLiteral("key alt+e Down Down Down Return")}));
    QVERIFY2(waitUntil([&] { return historyLines().size() == start.size() + 2; }, kActionTimeout),
             "point A was not entered");
    QVERIFY(perform({openDestination}));
    const std::optional<QString> dialog =
        m_session->waitForWindow(kDestinationTitle, kActionTimeout);
    QVERIFY2(dialog, "no destination dialog");
    QVERIFY(focus(*dialog));
    QVERIFY(perform({QStringLiteral("type 45 60"), QStringLiteral("key Tab"),
                     QStringLiteral("type 100"), QStringLiteral("key Return")}));
    const std::optional<QString> box =
        m_session->waitForOtherWindow({m_window, *dialog}, kActionTimeout);
    QVERIFY2(box, "no message box refused the minutes");
    QVERIFY(focus(*box));
    QVERIFY(perform({QStringLiteral("key Return")}));
    QVERIFY(waitUntil(
        [&] {
            return !m_session->waitForOtherWindow({m_window, *dialog}, milliseconds{0});
        },
        kActionTimeout));
    QVERIFY2(m_session->waitForWindow(kDestinationTitle, milliseconds{0}),
             "the dialog closed on a refusal");
    // The refused field has the focus with its text selected: typing replaces it.
    QVERIFY(focus(*dialog));
    QVERIFY(perform({QStringLiteral("type 45 30"), QStringLiteral("key Return")}));
    QVERIFY(m_session->waitForWindowGone(kDestinationTitle, kActionTimeout));
    QVERIFY(focus(m_window));

    const QStringList lines = historyLines();
    QCOMPARE(lines.mid(start.size() + 2),
             (QStringList{QStringLiteral("Destination: azimuth 45° 30' 0.00\", 100.000000 km"),
                          QStringLiteral("Latitude B: 49° 28' 57.642182\" N"),
                          QStringLiteral("Longitude B: 3° 20' 11.458295\" E"),
                          QStringLiteral("Azimuth at B: 46° 14' 41.28\"")}));
    QCOMPARE(copyDisplay(), QStringLiteral("0"));
    QVERIFY(perform({QStringLiteral("type =")}));
    QCOMPARE(copyDisplay(), QStringLiteral("100.000000"));
}

// Edit > Save history...: the file dialog takes a full path typed into its name box, and the
// file holds the history lines as the list shows them, each behind a line feed.
void VelmoraEndToEnd::savesTheHistoryThroughTheMenu() {
    QVERIFY(perform(kLandsEndToJohnOGroats));
    const QStringList lines = historyLines();
    QVERIFY(lines.size() > 3);
    const QString path = m_session->homePath() + QStringLiteral("/saved/Velmora history ° 1.txt");
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));

    // The Edit menu opens on Copy: Paste, Send to calculator, Paste point A and B, Destination
    // from A..., then Save history...
    QVERIFY(perform({QStringLiteral("key alt+e Down Down Down Down Down Down Return")}));
    const std::optional<QString> dialog =
        m_session->waitForWindow(QStringLiteral("Save history"), kWindowTimeout);
    QVERIFY2(dialog, "no file dialog appeared");
    QVERIFY(focus(*dialog));
    QVERIFY(perform({QStringLiteral("key ctrl+a"), QStringLiteral("type ") + path,
                     QStringLiteral("key Return")}));
    QByteArray saved;
    QVERIFY2(waitUntil(
                 [&] {
                     QFile file(path);
                     if (!file.open(QIODevice::ReadOnly)) return false;
                     saved = file.readAll();
                     return !saved.isEmpty();
                 },
                 kActionTimeout),
             "no file was saved");
    QCOMPARE(QString::fromUtf8(saved), lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    QCOMPARE(QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QFileInfo(path).fileName()});
}

// View > Batch...: a table pasted from the clipboard, Compute, Copy: the clipboard holds the
// CSV, a failed row in its place with empty result cells.
void VelmoraEndToEnd::batchWindowComputesAPastedTableAndCopiesTheCsv() {
    // The View menu opens on Font bold: Font underline, Show azimuths, Show midpoint, Map, Batch...
    QVERIFY(perform({QStringLiteral("key alt+v Down Down Down Down Down Return")}));
    const std::optional<QString> batch =
        m_session->waitForWindow(QStringLiteral("Velmora Batch"), kWindowTimeout);
    QVERIFY2(batch, "the batch window did not appear");
    QVERIFY(focus(*batch));
    QVERIFY(m_session->setClipboard(
        QStringLiteral("name,lat1,lon1,lat2,lon2\n"
                       "JFK-LHR,40.6413,-73.7781,51.47,-0.4543\n"
                       "beyond the pole,95,0,0,0\n"
                       "\"Milan, Rome\",45°27'51\"N,9°11'25\"E,41.9028,12.4964\n")));
    // A button's mnemonic clicks it a moment later, in the order pressed, so the text is in the
    // box before Compute runs. The clipboard may change again only once the table shows the
    // failed row on its red background.
    QVERIFY(perform({QStringLiteral("key alt+p alt+m")}));
    const QColor failedRowBackground(255, 200, 200);  // as the table draws it, far from the greys
    constexpr int kRowPixels = 5'000;                 // a row across the table is about 850 by 20
    QVERIFY2(waitUntil(
                 [&] {
                     const QImage shown = m_session->grabWindow(*batch);
                     return pixelsOfColour(shown, shown.rect(), failedRowBackground) > kRowPixels;
                 },
                 kActionTimeout),
             "no failed row was shown in red");
    QString csv;
    for (int attempt = 0; attempt < 5 && csv.isEmpty(); ++attempt) {
        csv = copy([&] { return perform({QStringLiteral("key alt+c")}); });
    }
    QStringList rows = csv.split(QLatin1Char('\n'));
    QVERIFY2(rows.size() == 5 && rows.last().isEmpty(), qPrintable(csv));
    QCOMPARE(rows[0],
             QStringLiteral("name,lat1,lon1,lat2,lon2,distance_km,azi1,azi2,method,status"));
    QCOMPARE(rows[2], QStringLiteral("beyond the pole,95,0,0,0,,,,,bad-input:lat1"));
    const struct {
        int row;
        QString start;
        double expectedKm;
    } solved[] = {
        {1, QStringLiteral("JFK-LHR,40.6413,-73.7781,51.47,-0.4543,"),
         geodesicKm(40.6413, -73.7781, 51.47, -0.4543)},
        {3,
         QStringLiteral(
             "\"Milan, Rome\",\"45°27'51\"\"N\",\"9°11'25\"\"E\",41.9028,12.4964,"),  // quotes
                                                                                      // doubled
         geodesicKm(dms(45, 27, 51), dms(9, 11, 25), 41.9028, 12.4964)},
    };
    for (const auto& s : solved) {
        const QString& row = rows[s.row];
        QVERIFY2(row.startsWith(s.start) && row.endsWith(QStringLiteral(",vincenty,ok")),
                 qPrintable(row));
        const double km = row.mid(s.start.size()).section(QLatin1Char(','), 0, 0).toDouble();
        QVERIFY2(qAbs(km - s.expectedKm) <= kDistanceTolerance,
                 qPrintable(row + QStringLiteral(" expected %1 km").arg(s.expectedKm, 0, 'f', 6)));
    }
}

// View > Map opens the map window beside the calculator without taking the keyboard; it is
// redrawn once a point's second field is stored, not while its digits are typed.
void VelmoraEndToEnd::mapRedrawsWhenAPointIsStored() {
    // The View menu opens on its first entry; Up wraps round to the last one, Batch..., then Map.
    QVERIFY(perform({QStringLiteral("key alt+v Up Up Return")}));
    const std::optional<QString> map =
        m_session->waitForWindow(QStringLiteral("Velmora Map"), kWindowTimeout);
    QVERIFY2(map, "the map window did not appear");
    QImage empty;
    QVERIFY2(waitUntil(
                 [&] {
                     const QImage previous = empty;
                     empty = m_session->grabWindow(*map);
                     return !empty.isNull() && empty == previous && hasPicture(empty);
                 },
                 kWindowTimeout),
             "the map was not painted");

    // The keys still reach the calculator: latitude A stored, longitude A typed but not entered.
    QVERIFY(perform({QStringLiteral("key F6 F2"), QStringLiteral("type n45.5"),
                     QStringLiteral("key Return"), QStringLiteral("key F3"),
                     QStringLiteral("type e9.2")}));
    const QStringList lines = historyLines();
    QVERIFY2(lines.constLast().startsWith(QStringLiteral("Latitude A: 45.5°")),
             qPrintable(lines.join(QLatin1Char('\n'))));
    QCOMPARE(m_session->grabWindow(*map), empty);

    QVERIFY(perform({QStringLiteral("key Return")}));
    QVERIFY2(waitUntil([&] { return m_session->grabWindow(*map) != empty; }, kActionTimeout),
             "the map was not redrawn with point A");
}

QTEST_GUILESS_MAIN(VelmoraEndToEnd)
#include "velmora_e2e_test.moc"
