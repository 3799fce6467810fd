#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRect>

#include "calculator/keys.h"

// Screen measures of the window design: twips, 1/1440 inch, 15 to the pixel at 96 dpi.
namespace velmora::ui {

inline constexpr int kTwipsPerPixel = 15;

// Left, Top, Width, Height in twips inside a client area; the key table's type.
using TwipsRect = calc::TwipsRect;

// A one-pixel line from (x1, y1) to (x2, y2) in twips, with its RGB colour.
struct TwipsLine {
    int x1;
    int y1;
    int x2;
    int y2;
    int red;
    int green;
    int blue;
};

// Rounded to the nearest pixel; 7 twips and less fall to the pixel below.
constexpr int twipsToPixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

inline QRect toPixels(const TwipsRect& r) {
    return {twipsToPixels(r.left), twipsToPixels(r.top), twipsToPixels(r.width),
            twipsToPixels(r.height)};
}

// The lines run along an axis. Filled as the pixels they cover, both ends included, they stay
// one logical pixel wide on a scaled screen, as the pictures around them do.
inline void drawTwipsLine(QPainter& painter, const TwipsLine& line) {
    const QPoint from(twipsToPixels(line.x1), twipsToPixels(line.y1));
    const QPoint to(twipsToPixels(line.x2), twipsToPixels(line.y2));
    painter.fillRect(QRect(from, to).normalized(), QColor(line.red, line.green, line.blue));
}

// Arial at a point size; fontconfig substitutes its metric twin where Arial is absent.
inline QFont arialFont(double pointSize, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

}  // namespace velmora::ui
