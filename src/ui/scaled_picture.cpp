#include "ui/scaled_picture.h"

#include <QCache>
#include <QSizeF>

#include "picture_paths.h"

namespace velmora::ui {

namespace {

constexpr qsizetype kCacheBytes = 2 * 1024 * 1024;  // every picture at one ratio fits

}  // namespace

QImage decodePicture(const QString& path, double devicePixelRatio) {
    if (devicePixelRatio <= 1.0) {
        return QImage(path);
    }
    QImage image(res::twiceResolutionPath(path));
    if (image.isNull()) {
        return QImage(path);
    }
    if (!qFuzzyCompare(devicePixelRatio, kTwiceResolution)) {
        const QSize device =
            (QSizeF(image.size()) * (devicePixelRatio / kTwiceResolution)).toSize();
        // Smoothing works on full colour; Qt 6.4 faults when asked to smooth a colour table.
        image = image.convertToFormat(QImage::Format_RGB32)
                    .scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
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
