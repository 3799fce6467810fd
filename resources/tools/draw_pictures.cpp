// Draws every picture and icon of the user interface into a folder:
//
//     velmora_draw_pictures OUTDIR [--sheet SHEET.png]
//
// writes OUTDIR/pictures/*.png and OUTDIR/icons/... (run it with the resources folder as OUTDIR
// to refresh the committed files). --sheet also writes an enlarged contact sheet for review.
// Run with QT_QPA_PLATFORM=offscreen. Text is set in "Arial" at pixel sizes (fontconfig maps it
// to Liberation Sans), so the output does not depend on the screen's resolution.
//
// Every picture is drawn twice from the same design in logical pixels: NAME.png at 1 device
// pixel per logical pixel and NAME@2x.png at 2, for screens scaled to 150 % and more. The
// program icon is drawn at each size the desktop asks for, and once as SVG.
//
// The key faces stand where the key table (calculator/keys.h) puts them, and the picture list
// follows the table too: each selector key names its picture, its word on it and its place in
// the list.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QSvgGenerator>
#include <QTextStream>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string_view>
#include <vector>

#include "calculator/keys.h"

namespace {

namespace calc = velmora::calc;

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// Calculator face.

const QColor kGround(228, 228, 228);
const QColor kBoxFill(238, 238, 238);
const QColor kBoxOuter(178, 178, 178);
const QColor kBoxInner(119, 119, 119);
const QColor kFaceBorder(0, 60, 116);
const QColor kFaceTop(255, 255, 255);
const QColor kFaceBottom(214, 208, 197);
// Raised panel frame: two light lines at the top and left, two dark ones at the bottom and right.
const QColor kFrameLightOuter(255, 255, 255);
const QColor kFrameLightInner(244, 244, 244);
const QColor kFrameDarkInner(172, 172, 172);
const QColor kFrameDarkOuter(128, 128, 128);

constexpr int kBackgroundWidth = 535;
constexpr int kBackgroundHeight = 383;
constexpr int kFaceLastColumn =
    266;  // the calculator face is columns 0..266, the history panel the rest
constexpr double kFaceCornerRadius = 3.5;  // pixels, measured at the centre of the border line

// A horizontal or vertical span of pixels, both ends included.
struct Span {
    int first;
    int last;
};

QRect rectOf(Span x, Span y) { return QRect(QPoint(x.first, y.first), QPoint(x.last, y.last)); }

// An image of `scale` device pixels per logical pixel; painters on it work in logical pixels.
QImage canvas(QSize logical, int scale, QImage::Format format) {
    QImage image(logical * scale, format);
    image.setDevicePixelRatio(scale);
    return image;
}

void drawRaisedPanel(QImage& image, const QRect& r) {
    QPainter p(&image);
    p.fillRect(r, kGround);
    auto hLine = [&p](int x1, int x2, int y, const QColor& c) {
        p.fillRect(QRect(QPoint(x1, y), QPoint(x2, y)), c);
    };
    auto vLine = [&p](int x, int y1, int y2, const QColor& c) {
        p.fillRect(QRect(QPoint(x, y1), QPoint(x, y2)), c);
    };
    hLine(r.left(), r.right() - 1, r.top(), kFrameLightOuter);
    vLine(r.left(), r.top(), r.bottom() - 1, kFrameLightOuter);
    hLine(r.left() + 1, r.right() - 2, r.top() + 1, kFrameLightInner);
    vLine(r.left() + 1, r.top() + 1, r.bottom() - 2, kFrameLightInner);
    hLine(r.left(), r.right(), r.bottom(), kFrameDarkOuter);
    vLine(r.right(), r.top(), r.bottom(), kFrameDarkOuter);
    hLine(r.left() + 1, r.right() - 1, r.bottom() - 1, kFrameDarkInner);
    vLine(r.right() - 1, r.top() + 1, r.bottom() - 1, kFrameDarkInner);
}

// The information panel and the display: a light outer ring, a dark inner ring, a pale fill.
void drawBox(QImage& image, const QRect& r) {
    QPainter p(&image);
    p.fillRect(r, kBoxOuter);
    p.fillRect(r.adjusted(1, 1, -1, -1), kBoxInner);
    p.fillRect(r.adjusted(2, 2, -2, -2), kBoxFill);
}

void drawKeyFace(QImage& image, const QRect& r) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Pixel centres: the straight parts of the border cover whole pixels, only the corners blend.
    const QRectF outline(r.left() + 0.5, r.top() + 0.5, r.width() - 1.0, r.height() - 1.0);
    QLinearGradient gradient(0.0, r.top() + 1.5, 0.0, r.bottom() - 0.5);
    gradient.setColorAt(0.0, kFaceTop);
    gradient.setColorAt(1.0, kFaceBottom);
    p.setPen(QPen(kFaceBorder, 1.0));
    p.setBrush(gradient);
    p.drawRoundedRect(outline, kFaceCornerRadius, kFaceCornerRadius);
}

QImage drawBackground(int scale) {
    QImage image = canvas({kBackgroundWidth, kBackgroundHeight}, scale, QImage::Format_RGB32);
    image.fill(kGround);
    drawRaisedPanel(image, QRect(QPoint(0, 0), QPoint(kFaceLastColumn, kBackgroundHeight - 1)));
    drawRaisedPanel(image, QRect(QPoint(kFaceLastColumn + 1, 0),
                                 QPoint(kBackgroundWidth - 1, kBackgroundHeight - 1)));
    drawBox(image, rectOf({12, 255}, {16, 101}));   // information panel
    drawBox(image, rectOf({12, 255}, {105, 134}));  // display

    auto drawFaces = [&image](const auto& keys) {
        for (const calc::KeyFace& key : keys) {
            drawKeyFace(image, QRect(QPoint(key.face.left, key.face.top),
                                     QPoint(key.face.right, key.face.bottom)));
        }
    };
    drawFaces(calc::kSelectorKeys);
    drawFaces(calc::kKeypadKeys);
    return image;
}

// Indicator pictures.
//
// Every indicator is a set of items (words, compass arms) drawn once as coverage masks; a
// picture is the ground with each item blended in its colour. The grey picture and each
// highlighted picture use the same masks, so a highlight changes colours and never shapes.

const QColor kIndicatorGround(238, 238, 238);
const QColor kInactive(192, 192, 192);
const QColor kHighlight(0, 0, 255);
// Coverage (0..255) below this is dropped and at or above kSolidCoverage counts as full, so
// every drawn pixel differs from the ground in every colour and stems come out solid.
constexpr int kMinCoverage = 40;
constexpr int kSolidCoverage = 224;
constexpr int kIndicatorPixelSize = 11;  // font pixel size of the indicator words
constexpr int kCompassLetterPixelSize = 11;

using Mask = QImage;  // Format_Alpha8, the item's coverage

// size in logical pixels.
Mask emptyMask(QSize size, int scale) {
    Mask m = canvas(size, scale, QImage::Format_Alpha8);
    m.fill(0);
    return m;
}

QFont indicatorFont(int pixelSize) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setBold(true);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// Cleans a coverage mask so that it yields the same shape in every colour.
void settle(Mask& m) {
    for (int y = 0; y < m.height(); ++y) {
        uchar* line = m.scanLine(y);
        for (int x = 0; x < m.width(); ++x) {
            if (line[x] < kMinCoverage) line[x] = 0;
            else if (line[x] >= kSolidCoverage) line[x] = 255;
        }
    }
}

// One mask per word, the words spread over the width with equal gaps and centred vertically.
std::vector<Mask> wordMasks(QSize size, const QStringList& words, int scale) {
    const QFont font = indicatorFont(kIndicatorPixelSize);
    const QFontMetrics metrics(font);
    int total = 0;
    for (const QString& w : words) total += metrics.horizontalAdvance(w);
    const double gap = double(size.width() - total) / double(words.size() + 1);
    const int baseline = (size.height() + metrics.capHeight()) / 2;
    std::vector<Mask> masks;
    double x = gap;
    for (const QString& w : words) {
        Mask m = emptyMask(size, scale);
        QPainter p(&m);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QPointF(std::round(x), baseline), w);
        p.end();
        settle(m);
        masks.push_back(m);
        x += metrics.horizontalAdvance(w) + gap;
    }
    return masks;
}

// The selector keys whose pictures make one row of the information panel, in picture-list order.
std::vector<const calc::KeyFace*> pictureRow(calc::KeyRole role) {
    std::vector<const calc::KeyFace*> row;
    for (int picture = 1; picture <= calc::kPictureListCount; ++picture) {
        const int key = calc::SelectorKeyOfPicture(picture);
        if (key >= 0 && calc::kSelectorKeys[std::size_t(key)].role == role)
            row.push_back(&calc::kSelectorKeys[std::size_t(key)]);
    }
    return row;
}

QStringList pictureLabels(const std::vector<const calc::KeyFace*>& row) {
    QStringList labels;
    for (const calc::KeyFace* key : row) labels << fromView(key->pictureLabel);
    return labels;
}

// Compass: a hub always in the inactive colour, then one arm per hemisphere key of `row`, each a
// line from the hub to a cross-bar with the key's letter beyond it.
std::vector<Mask> compassMasks(const std::vector<const calc::KeyFace*>& row, int scale) {
    const QSize size(77, 74);
    constexpr int cx = 38;        // centre column of the vertical axis
    constexpr int cy = 37;        // centre row of the horizontal axis
    constexpr int hubRadius = 3;  // pixels; the arms start just outside the hub
    constexpr int barHalf = 4;    // half length of a cross-bar, pixels
    const QFont font = indicatorFont(kCompassLetterPixelSize);
    const QFontMetrics metrics(font);

    std::vector<Mask> masks;
    Mask hub = emptyMask(size, scale);
    {
        QPainter p(&hub);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::black, 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(cx + 0.5, cy + 0.5), hubRadius, hubRadius);
    }
    settle(hub);
    masks.push_back(hub);

    auto letterAt = [&](QPainter& p, const QString& letter, QPointF centre) {
        const QRectF box = metrics.tightBoundingRect(letter);
        p.drawText(QPointF(std::round(centre.x() - box.center().x()),
                           std::round(centre.y() - box.center().y())),
                   letter);
    };
    struct Arm {
        QPoint barCentre;  // where the arm meets its cross-bar
        QPointF letterCentre;
    };
    // By hemisphere code: N, S, W, E.
    const std::array<Arm, 4> arms{{
        {{cx, 15}, {cx + 0.5, 6.5}},
        {{cx, 58}, {cx + 0.5, 67.5}},
        {{15, cy}, {6.5, cy + 0.5}},
        {{62, cy}, {70.5, cy + 0.5}},
    }};
    for (const calc::KeyFace* key : row) {
        const Arm& arm = arms.at(std::size_t(key->code));
        Mask m = emptyMask(size, scale);
        QPainter p(&m);
        const bool vertical = arm.barCentre.x() == cx;
        if (vertical) {
            const int from = arm.barCentre.y() < cy ? arm.barCentre.y() : cy + hubRadius + 2;
            const int to = arm.barCentre.y() < cy ? cy - hubRadius - 2 : arm.barCentre.y();
            p.fillRect(QRect(QPoint(cx, from), QPoint(cx, to)), Qt::black);
            p.fillRect(QRect(QPoint(cx - barHalf, arm.barCentre.y()),
                             QPoint(cx + barHalf, arm.barCentre.y())),
                       Qt::black);
        } else {
            const int from = arm.barCentre.x() < cx ? arm.barCentre.x() : cx + hubRadius + 2;
            const int to = arm.barCentre.x() < cx ? cx - hubRadius - 2 : arm.barCentre.x();
            p.fillRect(QRect(QPoint(from, cy), QPoint(to, cy)), Qt::black);
            p.fillRect(QRect(QPoint(arm.barCentre.x(), cy - barHalf),
                             QPoint(arm.barCentre.x(), cy + barHalf)),
                       Qt::black);
        }
        p.setFont(font);
        p.setPen(Qt::black);
        letterAt(p, fromView(key->pictureLabel), arm.letterCentre);
        p.end();
        settle(m);
        masks.push_back(m);
    }
    return masks;
}

// highlighted: index into masks of the item drawn in the highlight colour, or -1 for none.
QImage composeIndicator(const std::vector<Mask>& masks, int highlighted) {
    const QSize size = masks.front().size();  // device pixels
    QImage image(size, QImage::Format_RGB32);
    image.setDevicePixelRatio(masks.front().devicePixelRatio());
    image.fill(kIndicatorGround);
    for (int i = 0; i < int(masks.size()); ++i) {
        const QColor ink = i == highlighted ? kHighlight : kInactive;
        for (int y = 0; y < size.height(); ++y) {
            const uchar* coverage = masks[i].constScanLine(y);
            auto* pixels = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < size.width(); ++x) {
                const int a = coverage[x];
                if (a == 0) continue;
                auto mix = [a](int under, int over) {
                    return (under * (255 - a) + over * a + 127) / 255;
                };
                pixels[x] =
                    qRgb(mix(qRed(pixels[x]), ink.red()), mix(qGreen(pixels[x]), ink.green()),
                         mix(qBlue(pixels[x]), ink.blue()));
            }
        }
    }
    return image;
}

// About banner.

const QColor kBannerBlue(98, 134, 225);
const QColor kBannerOrange(247, 150, 55);
constexpr int kBannerBandRows = 5;

QImage drawAboutBanner(int scale) {
    QImage image = canvas({413, 77}, scale, QImage::Format_RGB32);
    image.fill(kBannerBlue);
    for (int x = 0; x < image.width(); ++x) {
        // Weight of the orange: 1 in the middle column, 0 at both ends, a smooth cosine bell.
        const double u = double(x) / double(image.width() - 1);
        const double w = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * u);
        auto mix = [w](int blue, int orange) {
            return int(std::lround(blue + (orange - blue) * w));
        };
        const QRgb c = qRgb(mix(kBannerBlue.red(), kBannerOrange.red()),
                            mix(kBannerBlue.green(), kBannerOrange.green()),
                            mix(kBannerBlue.blue(), kBannerOrange.blue()));
        for (int y = image.height() - kBannerBandRows * scale; y < image.height(); ++y)
            image.setPixel(x, y, c);
    }
    return image;
}

// Icons.
//
// The program icon is one vector drawing on a 32-unit grid, rendered at every size: a notepad
// with ruled lines and a line of writing, and a hand in a blue cuff holding a pen whose nib
// rests at the end of the writing. Flat colours with dark outlines, as a 16-colour icon.

const QColor kOutline(0, 0, 0);
const QColor kPaper(255, 255, 255);
const QColor kPadBinding(192, 0, 0);
const QColor kRule(128, 160, 224);
const QColor kInk(0, 0, 128);
const QColor kSkin(255, 204, 153);
const QColor kSkinShade(214, 150, 96);
const QColor kCuff(0, 64, 192);
const QColor kPenBody(64, 64, 64);
const QColor kPenMetal(192, 192, 192);

void drawProgramIcon(QPainter& p, int size) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    // Outline width in grid units: one device pixel at 16 and 32, a little finer relative to the
    // drawing at the larger sizes.
    const double line = size <= 16 ? 2.0 : (size <= 32 ? 1.0 : 0.75);
    const bool small = size <= 16;  // details that would only smudge at 16 pixels are left out
    // Puts a one-pixel line on a pixel centre, so the notepad's straight edges stay sharp.
    auto snap = [small](double v) {
        return small ? 2.0 * std::round((v - 1.0) / 2.0) + 1.0 : std::floor(v) + 0.5;
    };

    // Notepad.
    p.setPen(QPen(kOutline, line, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(kPaper);
    const QRectF pad(QPointF(snap(1.5), snap(3.5)), QPointF(snap(21.5), snap(30.5)));
    p.drawRect(pad);
    p.setPen(Qt::NoPen);
    p.setBrush(kPadBinding);
    p.drawRect(QRectF(QPointF(pad.left() + line / 2, pad.top() + line / 2),
                      QPointF(pad.right() - line / 2, snap(8.5) - line / 2)));
    p.setPen(QPen(kRule, line, Qt::SolidLine, Qt::FlatCap));
    for (double y :
         small ? std::vector<double>{13.0, 27.0} : std::vector<double>{12.5, 17.5, 22.5, 27.5}) {
        p.drawLine(QPointF(4.0, snap(y)), QPointF(19.0, snap(y)));
    }

    // Writing: a wavy ink line ending at the nib.
    const QPointF nib(10.0, 22.0);
    QPainterPath writing;
    writing.moveTo(3.5, 21.5);
    writing.cubicTo(4.5, 18.0, 5.5, 18.0, 6.5, 21.0);
    writing.cubicTo(7.5, 24.0, 8.5, 20.0, nib.x(), nib.y());
    p.setPen(QPen(kInk, small ? 2.0 : 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(writing);

    // Hand: a fist below and right of the pen, the wrist in a cuff leaving at the bottom right.
    QPainterPath cuff;
    cuff.moveTo(22.0, 24.5);
    cuff.lineTo(27.5, 17.5);
    cuff.lineTo(31.5, 21.0);
    cuff.lineTo(31.5, 31.5);
    cuff.lineTo(25.0, 31.5);
    cuff.closeSubpath();
    p.setPen(QPen(kOutline, line, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(kCuff);
    p.drawPath(cuff);

    QPainterPath fist;
    fist.moveTo(13.5, 20.0);
    fist.cubicTo(14.0, 16.0, 17.0, 13.0, 21.5, 12.5);
    fist.cubicTo(25.0, 12.5, 27.5, 15.5, 27.0, 19.0);
    fist.cubicTo(26.5, 23.0, 23.5, 26.5, 19.5, 26.5);
    fist.cubicTo(16.0, 26.5, 13.0, 23.5, 13.5, 20.0);
    fist.closeSubpath();
    // At 16 pixels a black rim would swallow the pen, so the fist is edged in its own shade.
    p.setPen(QPen(small ? kSkinShade : kOutline, line, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kSkin);
    p.drawPath(fist);
    if (!small) {
        p.setPen(QPen(kSkinShade, line, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16.0, 22.0), QPointF(20.5, 24.0));
        p.drawLine(QPointF(18.0, 19.0), QPointF(23.5, 21.5));
    }

    // Pen: from the nib up to the right, across the top of the fist.
    const QPointF axis = QPointF(1.0, -1.0) / std::sqrt(2.0);
    const QPointF across(-axis.y(), axis.x());
    auto along = [&](double t, double s) { return nib + axis * t + across * s; };
    if (small) {
        // A plain dark stroke with a light tip; outlines would merge into one blot.
        p.setPen(QPen(kOutline, 3.0, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(along(4.0, 0.0), along(23.0, 0.0));
        p.setPen(QPen(kPenMetal, 2.0, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(along(0.5, 0.0), along(4.0, 0.0));
        p.restore();
        return;
    }
    constexpr double kHalfWidth = 1.8;
    p.setPen(QPen(kOutline, line * 0.75, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kPenMetal);
    p.drawPolygon(QPolygonF({along(0.0, 0.0), along(5.0, -kHalfWidth), along(5.0, kHalfWidth)}));
    p.setBrush(kPenBody);
    p.drawPolygon(QPolygonF({along(5.0, -kHalfWidth), along(24.0, -kHalfWidth),
                             along(24.0, kHalfWidth), along(5.0, kHalfWidth)}));

    // Thumb over the pen, holding it against the fist.
    QPainterPath thumb;
    thumb.moveTo(along(6.5, 2.5));
    thumb.cubicTo(along(6.5, -1.0), along(9.5, -3.0), along(12.5, -2.0));
    thumb.lineTo(along(13.5, 2.5));
    thumb.closeSubpath();
    p.setPen(QPen(kOutline, line, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kSkin);
    p.drawPath(thumb);
    p.restore();
}

QImage renderProgramIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    drawProgramIcon(p, size);
    return image;
}

const QColor kInfoDisc(0, 51, 153);

QImage renderInformationIcon(int scale) {
    constexpr int size = 32;
    QImage image = canvas({size, size}, scale, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 24, 96), 1.0));
    p.setBrush(kInfoDisc);
    p.drawEllipse(QRectF(0.5, 0.5, 31.0, 31.0));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(13.5, 5.5, 5.0, 5.0));  // the dot
    // The stem, with a small flag at the top left and a foot across the bottom.
    p.drawRect(QRectF(14.0, 13.0, 4.0, 11.0));
    p.drawRect(QRectF(12.0, 13.0, 2.0, 2.0));
    p.drawRect(QRectF(12.0, 24.0, 8.0, 2.5));
    return image;
}

// Output.

// The picture with an exact colour table, or a null image when it has more than 256 colours.
// The twice-resolution pictures are stored so (PNG colour type 3): the program keeps them in
// that form, a byte a pixel, where the 1x ones take four.
QImage withColourTable(const QImage& picture) {
    constexpr int kMaxTableColours = 256;
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    QImage indexed(image.size(), QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int y = 0; y < image.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* out = indexed.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            qsizetype entry = table.indexOf(in[x]);
            if (entry < 0) {
                if (table.size() == kMaxTableColours) return {};
                entry = table.size();
                table.append(in[x]);
            }
            out[x] = uchar(entry);
        }
    }
    indexed.setColorTable(table);
    return indexed;
}

bool save(const QImage& image, const QString& path, bool opaque) {
    const QImage out = opaque ? image.convertToFormat(QImage::Format_RGB888) : image;
    QImageWriter writer(path, "png");
    if (!writer.write(out)) {
        QTextStream(stderr) << "cannot write " << path << ": " << writer.errorString() << '\n';
        return false;
    }
    return true;
}

// The writer leaves the padding at the end of each row of the transparency mask uninitialised;
// zeroing it makes the file the same on every run. The payload is a BITMAPINFOHEADER (40
// bytes: width at 4, doubled height at 8, bits per pixel at 14), the colour rows, then the
// one-bit mask rows, each row padded to four bytes.
void clearMaskPadding(QByteArray& payload) {
    constexpr int kInfoHeaderBytes = 40;
    if (payload.size() < kInfoHeaderBytes || payload.startsWith("\x89PNG")) return;
    const int width = qFromLittleEndian<qint32>(payload.constData() + 4);
    const int height = qFromLittleEndian<qint32>(payload.constData() + 8) / 2;
    const int bitsPerPixel = qFromLittleEndian<quint16>(payload.constData() + 14);
    if (width <= 0 || height <= 0 || bitsPerPixel != 32) return;
    const int colourBytes = width * 4 * height;
    const int maskStride = (width + 31) / 32 * 4;
    const int maskUsed = (width + 7) / 8;
    const int maskStart = kInfoHeaderBytes + colourBytes;
    if (payload.size() < maskStart + maskStride * height) return;
    for (int row = 0; row < height; ++row) {
        for (int i = maskUsed; i < maskStride; ++i)
            payload[maskStart + row * maskStride + i] = '\0';
    }
}

// An .ico file holding several sizes: each image goes through Qt's ico writer on its own, and
// the entries are gathered under one directory. Layout: a 6-byte header (reserved, type 1,
// count), 16-byte directory entries whose last field is the offset of the image data.
bool saveIco(const QList<QImage>& images, const QString& path) {
    constexpr int kHeaderBytes = 6;
    constexpr int kEntryBytes = 16;
    QByteArray directory;
    QList<QByteArray> payloads;
    for (const QImage& image : images) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        if (image.width() >= 256) {
            // The largest size as PNG data (Windows Vista on), a fifth of the bitmap's bytes;
            // 0 stands for 256 in the entry's width and height.
            if (!QImageWriter(&buffer, "png").write(image.convertToFormat(QImage::Format_ARGB32)))
                return false;
            QByteArray entry(kEntryBytes, '\0');
            qToLittleEndian<quint16>(1, entry.data() + 4);   // planes
            qToLittleEndian<quint16>(32, entry.data() + 6);  // bits per pixel
            qToLittleEndian<quint32>(quint32(buffer.data().size()), entry.data() + 8);
            directory.append(entry);
            payloads.append(buffer.data());
            continue;
        }
        if (!QImageWriter(&buffer, "ico").write(image)) return false;
        const QByteArray single = buffer.data();
        if (single.size() < kHeaderBytes + kEntryBytes) return false;
        const auto offset = qFromLittleEndian<quint32>(single.constData() + kHeaderBytes + 12);
        directory.append(single.mid(kHeaderBytes, kEntryBytes));
        QByteArray payload = single.mid(offset);
        clearMaskPadding(payload);
        payloads.append(payload);
    }
    QByteArray file(kHeaderBytes, '\0');
    qToLittleEndian<quint16>(1, file.data() + 2);
    qToLittleEndian<quint16>(quint16(images.size()), file.data() + 4);
    quint32 offset = quint32(kHeaderBytes + kEntryBytes * images.size());
    for (int i = 0; i < images.size(); ++i) {
        qToLittleEndian<quint32>(offset, directory.data() + i * kEntryBytes + 12);
        offset += quint32(payloads[i].size());
    }
    file.append(directory);
    for (const QByteArray& payload : payloads) file.append(payload);
    QFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(file) == file.size();
}

// The program icon as SVG, on the drawing's own 32-unit grid, in the outline weight of the
// larger sizes: the desktop scales it to any size beyond the drawn ones.
bool saveSvgIcon(const QString& path) {
    constexpr int kLargeSize = 256;  // picks the finer outlines and every detail
    constexpr int kGrid = 32;
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(kGrid, kGrid));
    svg.setViewBox(QRect(0, 0, kGrid, kGrid));
    svg.setTitle(QStringLiteral("Velmora"));
    QPainter p;
    if (!p.begin(&svg)) return false;
    p.scale(double(kGrid) / kLargeSize, double(kGrid) / kLargeSize);
    drawProgramIcon(p, kLargeSize);
    return p.end();
}

// Every picture scaled up without smoothing, one under the other, on a mid-grey sheet.
QImage contactSheet(const QList<QImage>& images) {
    constexpr int kScale = 3;
    constexpr int kMargin = 12;
    int width = 0;
    int height = kMargin;
    for (const QImage& im : images) {
        width = std::max(width, im.width() * kScale + 2 * kMargin);
        height += im.height() * kScale + kMargin;
    }
    QImage sheet(width, height, QImage::Format_RGB32);
    sheet.fill(QColor(96, 96, 96));
    QPainter p(&sheet);
    int y = kMargin;
    for (const QImage& im : images) {
        p.drawImage(QPoint(kMargin, y),
                    im.scaled(im.size() * kScale, Qt::IgnoreAspectRatio, Qt::FastTransformation));
        y += im.height() * kScale + kMargin;
    }
    return sheet;
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    QStringList args = QGuiApplication::arguments();
    args.removeFirst();
    QString sheetPath;
    if (const int i = int(args.indexOf(QStringLiteral("--sheet"))); i >= 0 && i + 1 < args.size()) {
        sheetPath = args.at(i + 1);
        args.remove(i, 2);
    }
    if (args.size() != 1) {
        QTextStream(stderr) << "usage: velmora_draw_pictures OUTDIR [--sheet SHEET.png]\n";
        return 2;
    }
    // Another face under the name "Arial" would change every word's pixels.
    const QString family = QFontInfo(indicatorFont(kIndicatorPixelSize)).family();
    if (family != QLatin1String("Liberation Sans") && family != QLatin1String("Arial")) {
        QTextStream(stderr) << "\"Arial\" resolves to \"" << family
                            << "\"; install fonts-liberation\n";
        return 1;
    }
    const QDir out(args.front());
    const QList<int> iconSizes{16, 22, 24, 32, 48, 64, 128, 256};
    bool ok = out.mkpath(QStringLiteral("pictures")) && out.mkpath(QStringLiteral("icons")) &&
              out.mkpath(QStringLiteral("icons/hicolor/scalable/apps"));
    for (int s : iconSizes)
        ok = ok && out.mkpath(QStringLiteral("icons/hicolor/%1x%1/apps").arg(s));
    if (!ok) {
        QTextStream(stderr) << "cannot create the folders under " << out.path() << '\n';
        return 1;
    }

    QList<QImage> all;
    for (int scale : {1, 2}) {
        const QString suffix = scale == 1 ? QStringLiteral(".png") : QStringLiteral("@2x.png");
        auto picture = [&](const QImage& image, const QString& name) {
            if (scale == 1) all.append(image);
            const QImage indexed = scale == 1 ? QImage() : withColourTable(image);
            ok =
                save(indexed.isNull() ? image : indexed,
                     out.filePath(QStringLiteral("pictures/") + name + suffix), indexed.isNull()) &&
                ok;
        };

        picture(drawBackground(scale), QStringLiteral("background"));

        // The rows of the information panel; the field row reads A latitude, A longitude,
        // B latitude, B longitude.
        const auto fieldRow = pictureRow(calc::KeyRole::Field);
        const auto unitRow = pictureRow(calc::KeyRole::Unit);
        const auto hemisphereRow = pictureRow(calc::KeyRole::Hemisphere);
        const auto formatRow = pictureRow(calc::KeyRole::Format);
        const auto fields = wordMasks({147, 14}, pictureLabels(fieldRow), scale);
        const auto units = wordMasks({152, 16}, pictureLabels(unitRow), scale);
        const auto compass = compassMasks(hemisphereRow, scale);  // the hub, then one arm per key
        const auto formats = wordMasks({152, 16}, pictureLabels(formatRow), scale);
        picture(composeIndicator(fields, -1), QStringLiteral("latlon_grey"));
        picture(composeIndicator(formats, -1), QStringLiteral("gms_grey"));
        picture(composeIndicator(units, -1), QStringLiteral("umisura_grey"));
        picture(composeIndicator(compass, -1), QStringLiteral("bussola_grey"));

        // The picture list, 1-based in the names: each picture highlights its key's item in
        // the key's row.
        for (int listIndex = 1; listIndex <= calc::kPictureListCount; ++listIndex) {
            const calc::KeyFace& key =
                calc::kSelectorKeys[std::size_t(calc::SelectorKeyOfPicture(listIndex))];
            auto itemOf = [&key](const std::vector<const calc::KeyFace*>& row) {
                return int(std::find(row.begin(), row.end(), &key) - row.begin());
            };
            QImage image;
            switch (key.role) {
            case calc::KeyRole::Field: image = composeIndicator(fields, itemOf(fieldRow)); break;
            case calc::KeyRole::Unit: image = composeIndicator(units, itemOf(unitRow)); break;
            case calc::KeyRole::Hemisphere:
                image = composeIndicator(compass, 1 + itemOf(hemisphereRow));
                break;
            default: image = composeIndicator(formats, itemOf(formatRow)); break;
            }
            picture(image, QStringLiteral("imagelist_%1").arg(listIndex, 2, 10, QLatin1Char('0')));
        }

        picture(drawAboutBanner(scale), QStringLiteral("about_banner"));
        ok = save(renderInformationIcon(scale),
                  out.filePath(QStringLiteral("icons/information_32") + suffix), false) &&
             ok;
    }

    QList<QImage> icons;
    for (int s : iconSizes) {
        const QImage icon = renderProgramIcon(s);
        icons.append(icon);
        ok = save(icon, out.filePath(QStringLiteral("icons/hicolor/%1x%1/apps/velmora.png").arg(s)),
                  false) &&
             ok;
    }
    const QImage& icon16 = icons.at(int(iconSizes.indexOf(16)));
    const QImage& icon32 = icons.at(int(iconSizes.indexOf(32)));
    ok = save(icon16, out.filePath(QStringLiteral("icons/velmora_16.png")), false) && ok;
    ok = save(icon32, out.filePath(QStringLiteral("icons/velmora_32.png")), false) && ok;
    // Windows picks from these for the window, the taskbar, Explorer and the shortcut at every
    // scale (16 at 100 %, 24 at 150 %, 32 at 200 %, 48 to 64 for large icons, 256 for tiles).
    QList<QImage> icoImages;
    for (int s : {16, 24, 32, 48, 64, 256}) icoImages.append(icons.at(int(iconSizes.indexOf(s))));
    if (!saveIco(icoImages, out.filePath(QStringLiteral("icons/velmora.ico")))) {
        QTextStream(stderr) << "cannot write icons/velmora.ico\n";
        ok = false;
    }
    if (!saveSvgIcon(out.filePath(QStringLiteral("icons/hicolor/scalable/apps/velmora.svg")))) {
        QTextStream(stderr) << "cannot write the scalable icon\n";
        ok = false;
    }

    if (!sheetPath.isEmpty()) {
        all.append(icons.mid(0, 6));
        all.append(renderInformationIcon(1));
        ok = save(contactSheet(all), sheetPath, true) && ok;
    }
    return ok ? 0 : 1;
}
