#include "ui/scaled_picture.h"

#include <QCache>
#include <QHash>
#include <QList>
#include <QSizeF>

#include "picture_paths.h"

namespace velmora::ui {

namespace {

constexpr int kMaxTableColours = 256;
constexpr qsizetype kCacheBytes = 2 * 1024 * 1024;  // every picture at one ratio fits

// image with a colour table, or image itself when it has more colours than a table holds.
QImage withColourTable(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    QImage indexed(image.size(), QImage::Format_Indexed8);
    QList<QRgb> table;
    QHash<QRgb, uchar> entries;
    for (int y = 0; y < image.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* out = indexed.scanLine(y);
        QRgb last = 0;
        uchar lastEntry = 0;
        bool haveLast = false;
        for (int x = 0; x < image.width(); ++x) {
            if (!haveLast || in[x] != last) {
                auto found = entries.constFind(in[x]);
                if (found == entries.constEnd()) {
                    if (table.size() == kMaxTableColours) {
                        return picture;
                    }
                    found = entries.insert(in[x], static_cast<uchar>(table.size()));
                    table.append(in[x]);
                }
                last = in[x];
                lastEntry = *found;
                haveLast = true;
            }
            out[x] = lastEntry;
        }
    }
    indexed.setColorTable(table);
    indexed.setDevicePixelRatio(picture.devicePixelRatio());
    return indexed;
}

QImage decodeForRatio(const QString& path, double devicePixelRatio) {
    if (devicePixelRatio <= 1.0) {
        return QImage(path);
    }
    QImage image(res::twiceResolutionPath(path));
    if (image.isNull()) {
        return QImage(path);
    }
    if (!qFuzzyCompare(devicePixelRatio, kTwiceResolution)) {
        const QSize device = (QSizeF(image.size()) * (devicePixelRatio / kTwiceResolution)).toSize();
        image = image.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

}  // namespace

QImage decodePicture(const QString& path, double devicePixelRatio) {
    const QImage image = decodeForRatio(path, devicePixelRatio);
    return image.isNull() || image.hasAlphaChannel() ? image : withColourTable(image);
}

QImage loadPicture(const QString& path, double devicePixelRatio) {
    static QCache<QString, QImage> cache(kCacheBytes);
    const QString key = path + QLatin1Char('#') + QString::number(devicePixelRatio);
    if (const QImage* cached = cache.object(key)) {
        return *cached;
    }
    QImage image = decodePicture(path, devicePixelRatio);
    cache.insert(key, new QImage(image), qMax<qsizetype>(1, image.sizeInBytes()));
    return image;
}

}  // namespace velmora::ui
