// Checks the embedded pictures against the layout the window relies on: sizes and formats,
// where the key faces and boxes lie, the colours of the indicator pictures, the banner and the
// icon files. The test never calls Q_INIT_RESOURCE: linking velmora_resources must be enough.

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QList>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTest>

#include <cstdlib>

#include "calculator/keys.h"
#include "picture_paths.h"

namespace {

const QRgb kGround = qRgb(228, 228, 228);
const QRgb kFaceBorder = qRgb(0, 60, 116);
const QRgb kIndicatorGround = qRgb(238, 238, 238);
const QRgb kInactive = qRgb(192, 192, 192);
const QRgb kHighlight = qRgb(0, 0, 255);

QImage load(const QString& path) {
    QImage image(path);
    return image.convertToFormat(QImage::Format_RGB32);
}

bool closeTo(QRgb a, QRgb b, int tolerance) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

QString describe(QRgb c) {
    return QStringLiteral("RGB(%1,%2,%3)").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c));
}

bool contains(const QImage& image, QRgb colour) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xffffff) == (colour & 0xffffff)) return true;
        }
    }
    return false;
}

// Centre of the pixels in the highlight colour; (-1, -1) when there are none.
QPointF highlightCentre(const QImage& image) {
    double sx = 0, sy = 0;
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qBlue(image.pixel(x, y)) > qRed(image.pixel(x, y)) + 8) {
                sx += x;
                sy += y;
                ++n;
            }
        }
    }
    return n == 0 ? QPointF(-1, -1) : QPointF(sx / n, sy / n);
}

namespace calc = velmora::calc;

// The picture-list indices of one row of the information panel, in list order.
QList<int> picturesOf(calc::KeyRole role) {
    QList<int> pictures;
    for (int picture = 1; picture <= calc::kPictureListCount; ++picture) {
        const int key = calc::SelectorKeyOfPicture(picture);
        if (key >= 0 && calc::kSelectorKeys[std::size_t(key)].role == role) pictures << picture;
    }
    return pictures;
}

QString listPath(int index) {
    return QStringLiteral(":/pictures/imagelist_%1.png").arg(index, 2, 10, QLatin1Char('0'));
}

}  // namespace

class ResourcesTest : public QObject {
    Q_OBJECT

private slots:
    void pictureSizesAndFormats_data();
    void pictureSizesAndFormats();
    void keyFaces_data();
    void keyFaces();
    void boxesAndPanels_data();
    void boxesAndPanels();
    void indicatorColours_data();
    void indicatorColours();
    void highlightFollowsTheListOrder_data();
    void highlightFollowsTheListOrder();
    void compassHighlightsTheNamedArm_data();
    void compassHighlightsTheNamedArm();
    void bannerBand_data();
    void bannerBand();
    void bannerFadesTowardsTheEnds();
    void imageListPath_data();
    void imageListPath();
    void iconFiles_data();
    void iconFiles();
    void twiceResolutionPictures_data();
    void twiceResolutionPictures();
};

void ResourcesTest::pictureSizesAndFormats_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("opaque");
    QTest::newRow("background") << velmora::res::kBackground << QSize(535, 383) << true;
    QTest::newRow("field row grey") << velmora::res::kLatLonGrey << QSize(147, 14) << true;
    QTest::newRow("format row grey") << velmora::res::kGmsGrey << QSize(152, 16) << true;
    QTest::newRow("unit row grey") << velmora::res::kUMisuraGrey << QSize(152, 16) << true;
    QTest::newRow("compass grey") << velmora::res::kBussolaGrey << QSize(77, 74) << true;
    QTest::newRow("about banner") << velmora::res::kAboutBanner << QSize(413, 77) << true;
    // A list picture has the size of its row's grey picture.
    for (int i = 1; i <= velmora::res::kImageListCount; ++i) {
        const calc::KeyRole role =
            calc::kSelectorKeys[std::size_t(calc::SelectorKeyOfPicture(i))].role;
        const QSize size = role == calc::KeyRole::Field        ? QSize(147, 14)
                           : role == calc::KeyRole::Hemisphere ? QSize(77, 74)
                                                               : QSize(152, 16);
        QTest::addRow("picture list %d", i) << listPath(i) << size << true;
    }
    QTest::newRow("icon 16") << velmora::res::kIcon16 << QSize(16, 16) << false;
    QTest::newRow("icon 32") << velmora::res::kIcon32 << QSize(32, 32) << false;
    QTest::newRow("information icon") << velmora::res::kInformation32 << QSize(32, 32) << false;
}

void ResourcesTest::pictureSizesAndFormats() {
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QFETCH(bool, opaque);
    QVERIFY2(QFile::exists(path), qPrintable(path + " is not registered"));
    const QImage image(path);
    QCOMPARE(image.size(), size);
    QCOMPARE(image.hasAlphaChannel(), !opaque);
    // PNG header: 8-byte signature, then the IHDR chunk whose data starts at byte 16 with width
    // and height; byte 24 is the bit depth, byte 25 the colour type (2 = RGB, 6 = RGBA).
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray header = file.read(26);
    QCOMPARE(header.size(), 26);
    QCOMPARE(header.mid(12, 4), QByteArray("IHDR"));
    QCOMPARE(int(header.at(24)), 8);
    QCOMPARE(int(header.at(25)), opaque ? 2 : 6);
}

void ResourcesTest::keyFaces_data() {
    QTest::addColumn<QRect>("face");  // both ends of each range included
    // Where the key table puts each key's face; tests/ui relates the keys' rectangles to them.
    const auto rows = [](const char* block, const auto& keys) {
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const calc::FaceRect& f = keys[i].face;
            QTest::addRow("%s %d", block, int(i))
                << QRect(QPoint(f.left, f.top), QPoint(f.right, f.bottom));
        }
    };
    rows("selector", calc::kSelectorKeys);
    rows("keypad", calc::kKeypadKeys);
}

// The border runs along every edge of the range, the fill goes from white at the top to
// RGB(214,208,197) at the bottom, and the pixel just outside each edge is the ground.
void ResourcesTest::keyFaces() {
    QFETCH(QRect, face);
    const QImage image = load(velmora::res::kBackground);
    const int cx = face.center().x();
    const int cy = face.center().y();
    const QList<QPoint> border{
        {cx, face.top()}, {cx, face.bottom()}, {face.left(), cy}, {face.right(), cy}};
    for (QPoint p : border) {
        QVERIFY2(closeTo(image.pixel(p), kFaceBorder, 0),
                 qPrintable(QStringLiteral("border at %1,%2 is %3")
                                .arg(p.x())
                                .arg(p.y())
                                .arg(describe(image.pixel(p)))));
    }
    const QList<QPoint> outside{{cx, face.top() - 1},
                                {cx, face.bottom() + 1},
                                {face.left() - 1, cy},
                                {face.right() + 1, cy}};
    for (QPoint p : outside) {
        QVERIFY2(closeTo(image.pixel(p), kGround, 0),
                 qPrintable(QStringLiteral("ground at %1,%2 is %3")
                                .arg(p.x())
                                .arg(p.y())
                                .arg(describe(image.pixel(p)))));
    }
    const QRgb top = image.pixel(cx, face.top() + 1);
    const QRgb bottom = image.pixel(cx, face.bottom() - 1);
    QVERIFY2(closeTo(top, qRgb(255, 255, 255), 6), qPrintable(describe(top)));
    QVERIFY2(closeTo(bottom, qRgb(214, 208, 197), 6), qPrintable(describe(bottom)));
    for (int y = face.top() + 2; y < face.bottom(); ++y) {
        QVERIFY2(qGray(image.pixel(cx, y)) <= qGray(image.pixel(cx, y - 1)),
                 "the gradient darkens downwards");
    }
}

void ResourcesTest::boxesAndPanels_data() {
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QRgb>("colour");
    for (const auto& [name, box] :
         {QPair<const char*, QRect>{"information panel", QRect(QPoint(12, 16), QPoint(255, 101))},
          QPair<const char*, QRect>{"display", QRect(QPoint(12, 105), QPoint(255, 134))}}) {
        const QPoint c = box.center();
        QTest::addRow("%s outer left", name) << QPoint(box.left(), c.y()) << qRgb(178, 178, 178);
        QTest::addRow("%s inner left", name)
            << QPoint(box.left() + 1, c.y()) << qRgb(119, 119, 119);
        QTest::addRow("%s outer top", name) << QPoint(c.x(), box.top()) << qRgb(178, 178, 178);
        QTest::addRow("%s inner bottom", name)
            << QPoint(c.x(), box.bottom() - 1) << qRgb(119, 119, 119);
        QTest::addRow("%s outer right", name) << QPoint(box.right(), c.y()) << qRgb(178, 178, 178);
        QTest::addRow("%s fill", name) << c << qRgb(238, 238, 238);
        QTest::addRow("%s fill by the edge", name)
            << QPoint(box.left() + 2, box.top() + 2) << qRgb(238, 238, 238);
        QTest::addRow("%s ground left", name) << QPoint(box.left() - 1, c.y()) << kGround;
        QTest::addRow("%s ground below", name) << QPoint(c.x(), box.bottom() + 1) << kGround;
    }
    QTest::newRow("face ground beside the keys") << QPoint(5, 250) << kGround;
    QTest::newRow("face ground below the keys") << QPoint(130, 374) << kGround;
    QTest::newRow("face ground between keypad rows 3 and 4") << QPoint(100, 334) << kGround;
    QTest::newRow("history panel ground") << QPoint(400, 200) << kGround;
}

void ResourcesTest::boxesAndPanels() {
    QFETCH(QPoint, at);
    QFETCH(QRgb, colour);
    const QImage image = load(velmora::res::kBackground);
    QVERIFY2(closeTo(image.pixel(at), colour, 0), qPrintable(describe(image.pixel(at))));
}

void ResourcesTest::indicatorColours_data() {
    QTest::addColumn<QString>("grey");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("highlighted");
    const QList<QPair<QString, QList<int>>> rows{
        {velmora::res::kLatLonGrey, picturesOf(calc::KeyRole::Field)},
        {velmora::res::kUMisuraGrey, picturesOf(calc::KeyRole::Unit)},
        {velmora::res::kBussolaGrey, picturesOf(calc::KeyRole::Hemisphere)},
        {velmora::res::kGmsGrey, picturesOf(calc::KeyRole::Format)}};
    for (const auto& [grey, list] : rows) {
        QTest::newRow(qPrintable(grey)) << grey << grey << false;
        for (int i : list) QTest::addRow("picture list %d", i) << grey << listPath(i) << true;
    }
}

// Every pixel is the ground, or the ground blended towards the inactive grey or the highlight
// blue; the highlight appears in the picture-list pictures only; and a picture covers exactly the
// pixels of its grey variant, so choosing an item never moves anything.
void ResourcesTest::indicatorColours() {
    QFETCH(QString, grey);
    QFETCH(QString, path);
    QFETCH(bool, highlighted);
    const QImage image = load(path);
    const QImage greyImage = load(grey);
    QCOMPARE(image.size(), greyImage.size());
    QCOMPARE(image.pixel(0, 0) & 0xffffff, kIndicatorGround & 0xffffff);
    QCOMPARE(contains(image, kHighlight), highlighted);
    QVERIFY(contains(image, kInactive));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            const bool greyBlend =
                qRed(c) == qGreen(c) && qGreen(c) == qBlue(c) && qRed(c) >= 192 && qRed(c) <= 238;
            // Ground towards blue: red = green = 238 (1 - a), blue = 238 + 17 a for coverage a.
            const bool blueBlend = qRed(c) == qGreen(c) && qRed(c) <= 238 &&
                                   std::abs(qBlue(c) - (255 - 17 * qRed(c) / 238)) <= 1;
            QVERIFY2(
                greyBlend || blueBlend,
                qPrintable(QStringLiteral("stray %1 at %2,%3").arg(describe(c)).arg(x).arg(y)));
            const bool inked = (c & 0xffffff) != (kIndicatorGround & 0xffffff);
            const bool greyInked =
                (greyImage.pixel(x, y) & 0xffffff) != (kIndicatorGround & 0xffffff);
            QVERIFY2(inked == greyInked,
                     qPrintable(QStringLiteral("shape differs at %1,%2").arg(x).arg(y)));
        }
    }
}

void ResourcesTest::highlightFollowsTheListOrder_data() {
    QTest::addColumn<QList<int>>("list");
    QTest::newRow("fields Lat.A Lon.A Lat.B Lon.B") << picturesOf(calc::KeyRole::Field);
    QTest::newRow("units km UK mile Nautical mile") << picturesOf(calc::KeyRole::Unit);
    QTest::newRow("formats deg deg.min deg.min.sec") << picturesOf(calc::KeyRole::Format);
}

// In a row the highlighted word moves from left to right as the index grows, starting in the
// left third and ending in the right third.
void ResourcesTest::highlightFollowsTheListOrder() {
    QFETCH(QList<int>, list);
    double previous = -1;
    int width = 0;
    for (int i : list) {
        const QImage image = load(listPath(i));
        width = image.width();
        const double x = highlightCentre(image).x();
        QVERIFY2(x > previous, qPrintable(QStringLiteral("picture %1").arg(i)));
        if (i == list.front()) QVERIFY(x < width / 3.0);
        previous = x;
    }
    QVERIFY(previous > width * 2 / 3.0);
}

void ResourcesTest::compassHighlightsTheNamedArm_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QRect>("region");  // where the centre of the highlight must fall
    const auto picture = [](std::int16_t key) {
        return calc::kSelectorKeys[std::size_t(key)].picture;
    };
    QTest::newRow("N") << picture(calc::kSelNorth) << QRect(QPoint(34, 0), QPoint(42, 30));
    QTest::newRow("S") << picture(calc::kSelSouth) << QRect(QPoint(34, 44), QPoint(42, 73));
    QTest::newRow("W") << picture(calc::kSelWest) << QRect(QPoint(0, 33), QPoint(30, 41));
    QTest::newRow("E") << picture(calc::kSelEast) << QRect(QPoint(46, 33), QPoint(76, 41));
}

void ResourcesTest::compassHighlightsTheNamedArm() {
    QFETCH(int, index);
    QFETCH(QRect, region);
    const QPointF centre = highlightCentre(load(listPath(index)));
    QVERIFY2(region.contains(centre.toPoint()),
             qPrintable(QStringLiteral("centre %1,%2").arg(centre.x()).arg(centre.y())));
}

void ResourcesTest::bannerBand_data() {
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<int>("tolerance");
    const QRgb blue = qRgb(98, 134, 225);
    const QRgb orange = qRgb(247, 150, 55);
    QTest::newRow("top left") << QPoint(0, 0) << blue << 0;
    QTest::newRow("middle above the band") << QPoint(206, 71) << blue << 0;
    QTest::newRow("band middle, top row") << QPoint(206, 72) << orange << 0;
    QTest::newRow("band middle, bottom row") << QPoint(206, 76) << orange << 0;
    QTest::newRow("band left end") << QPoint(0, 76) << blue << 0;
    QTest::newRow("band right end") << QPoint(412, 74) << blue << 0;
}

void ResourcesTest::bannerBand() {
    QFETCH(QPoint, at);
    QFETCH(QRgb, colour);
    QFETCH(int, tolerance);
    const QImage image = load(velmora::res::kAboutBanner);
    QVERIFY2(closeTo(image.pixel(at), colour, tolerance), qPrintable(describe(image.pixel(at))));
}

// The five band rows are alike, and the orange weakens steadily from the middle to both ends.
void ResourcesTest::bannerFadesTowardsTheEnds() {
    const QImage image = load(velmora::res::kAboutBanner);
    const int bottom = image.height() - 1;
    for (int y = bottom - 4; y < bottom; ++y) {
        for (int x = 0; x < image.width(); ++x) QCOMPARE(image.pixel(x, y), image.pixel(x, bottom));
    }
    const int middle = (image.width() - 1) / 2;
    for (int x = 1; x <= middle; ++x) {
        QVERIFY2(qRed(image.pixel(x, bottom)) >= qRed(image.pixel(x - 1, bottom)),
                 qPrintable(QString::number(x)));
        QVERIFY2(qBlue(image.pixel(x, bottom)) <= qBlue(image.pixel(x - 1, bottom)),
                 qPrintable(QString::number(x)));
    }
    for (int x = middle; x < image.width() - 1; ++x) {
        QVERIFY2(qRed(image.pixel(x + 1, bottom)) <= qRed(image.pixel(x, bottom)),
                 qPrintable(QString::number(x)));
    }
    QVERIFY(qRed(image.pixel(middle / 2, bottom)) >
            98 + 20);  // visibly orange well before the middle
}

void ResourcesTest::imageListPath_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("valid");
    QTest::newRow("0") << 0 << false;
    QTest::newRow("-1") << -1 << false;
    QTest::newRow("15") << 15 << false;
    for (int i = 1; i <= velmora::res::kImageListCount; ++i) QTest::addRow("%d", i) << i << true;
}

void ResourcesTest::imageListPath() {
    QFETCH(int, index);
    QFETCH(bool, valid);
    const QString path = velmora::res::imageListPath(index);
    QCOMPARE(path.isEmpty(), !valid);
    if (valid) QVERIFY2(!QImage(path).isNull(), qPrintable(path));
}

void ResourcesTest::iconFiles_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QList<int>>("sizes");
    QTest::newRow("Windows icon") << QStringLiteral("icons/velmora.ico")
                                  << QList<int>{16, 24, 32, 48, 64, 256};
    for (int s : velmora::res::kProgramIconSizes) {
        QTest::addRow("hicolor %d", s)
            << QStringLiteral("icons/hicolor/%1x%1/apps/velmora.png").arg(s) << QList<int>{s};
    }
}

// The files that are installed or compiled in by other means than the resource system; each
// image of the .ico must equal the installed PNG of its size.
void ResourcesTest::iconFiles() {
    QFETCH(QString, file);
    QFETCH(QList<int>, sizes);
    QImageReader reader(QDir(QStringLiteral(VELMORA_RESOURCES_DIR)).filePath(file));
    QCOMPARE(reader.imageCount() == 0 ? 1 : reader.imageCount(), int(sizes.size()));
    for (int s : sizes) {
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(image.size(), QSize(s, s));
        QVERIFY(image.hasAlphaChannel());
        const QString embedded = QStringLiteral(":/icons/velmora_%1.png").arg(s);
        if (file.endsWith(QLatin1String(".ico"))) {
            const QImage installed(
                QDir(QStringLiteral(VELMORA_RESOURCES_DIR))
                    .filePath(QStringLiteral("icons/hicolor/%1x%1/apps/velmora.png").arg(s)));
            QCOMPARE(image.convertToFormat(QImage::Format_ARGB32),
                     installed.convertToFormat(QImage::Format_ARGB32));
        } else if (QFile::exists(embedded)) {
            QCOMPARE(image.convertToFormat(QImage::Format_ARGB32),
                     QImage(embedded).convertToFormat(QImage::Format_ARGB32));
        }
        reader.jumpToNextImage();
    }
}

void ResourcesTest::twiceResolutionPictures_data() {
    QTest::addColumn<QString>("path");
    for (const char* path :
         {velmora::res::kBackground, velmora::res::kLatLonGrey, velmora::res::kGmsGrey,
          velmora::res::kUMisuraGrey, velmora::res::kBussolaGrey, velmora::res::kAboutBanner,
          velmora::res::kInformation32}) {
        QTest::newRow(path) << QString::fromLatin1(path);
    }
    for (int i = 1; i <= velmora::res::kImageListCount; ++i)
        QTest::addRow("picture list %d", i) << listPath(i);
}

// Each picture's @2x twin is the same design drawn at twice the resolution: averaged over 2x2
// blocks it comes close to the 1x picture, yet it is no 1x picture with every pixel doubled.
void ResourcesTest::twiceResolutionPictures() {
    QFETCH(QString, path);
    // Mean channel difference, out of 255, between the averaged twin and the 1x drawing: glyphs
    // and antialiased corners are hinted and rounded differently at each resolution (up to
    // about 2 on the indicator rows); a word highlighted in the wrong place makes about 8.
    constexpr double kMaxMeanDifference = 3.0;
    constexpr double kMaxHighlightShift = 1.0;  // logical pixels between the highlights' centres
    const QImage plain = QImage(path).convertToFormat(QImage::Format_ARGB32);
    const QImage twice =
        QImage(velmora::res::twiceResolutionPath(path)).convertToFormat(QImage::Format_ARGB32);
    QVERIFY2(!twice.isNull(),
             qPrintable(velmora::res::twiceResolutionPath(path) + " is not registered"));
    QCOMPARE(twice.size(), plain.size() * 2);
    QCOMPARE(QImage(velmora::res::twiceResolutionPath(path)).hasAlphaChannel(),
             QImage(path).hasAlphaChannel());

    double difference = 0;
    int finerBlocks = 0;  // 2x2 blocks whose pixels are not all the same
    for (int y = 0; y < plain.height(); ++y) {
        for (int x = 0; x < plain.width(); ++x) {
            const QRgb block[4] = {twice.pixel(2 * x, 2 * y), twice.pixel(2 * x + 1, 2 * y),
                                   twice.pixel(2 * x, 2 * y + 1),
                                   twice.pixel(2 * x + 1, 2 * y + 1)};
            if (block[1] != block[0] || block[2] != block[0] || block[3] != block[0]) ++finerBlocks;
            for (int shift : {0, 8, 16, 24}) {
                int sum = 0;
                for (QRgb p : block) sum += int((p >> shift) & 0xff);
                difference += std::abs(sum / 4.0 - double((plain.pixel(x, y) >> shift) & 0xff));
            }
        }
    }
    const double mean = difference / (4.0 * plain.width() * plain.height());
    QVERIFY2(mean <= kMaxMeanDifference,
             qPrintable(QStringLiteral("mean difference %1").arg(mean)));
    QVERIFY2(finerBlocks > 0, "the twin is the 1x picture with every pixel doubled");
    // The compass's arms are too small for the mean to tell them apart.
    const QPointF highlight = highlightCentre(plain);
    const QPointF twinHighlight = highlightCentre(twice) / 2.0;
    QCOMPARE(twinHighlight.x() < 0, highlight.x() < 0);
    QVERIFY((twinHighlight - highlight).manhattanLength() <= 2 * kMaxHighlightShift);
}

QTEST_GUILESS_MAIN(ResourcesTest)
#include "resources_test.moc"
