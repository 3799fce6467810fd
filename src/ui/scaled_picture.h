#pragma once

#include <QImage>
#include <QString>

namespace velmora::ui {

// Device-pixel ratio the twice-resolution pictures are drawn for.
inline constexpr double kTwiceResolution = 2.0;

// A picture of the resource system as the screen needs it, at devicePixelRatio device pixels per
// logical pixel: the file itself at a ratio of 1 (or below), its NAME@2x twin at 2, and that twin
// scaled smoothly to the exact device size at any other ratio (150 % and 125 % come out of the
// 2x drawing, never out of an enlarged 1x one). The result carries the ratio, so it paints at the
// picture's logical size. Falls back to the 1x file when the twin is missing; a null image when
// neither decodes. The twice-resolution files carry a colour table and stay in that form, a
// byte a pixel. Safe to call from any thread.
QImage decodePicture(const QString& path, double devicePixelRatio);

// decodePicture, kept in a cache so a picture shown again is not decoded again. GUI thread only.
QImage loadPicture(const QString& path, double devicePixelRatio);

}  // namespace velmora::ui
