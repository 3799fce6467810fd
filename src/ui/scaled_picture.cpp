#include "ui/scaled_picture.h"

#include <QPixmapCache>
#include <QSizeF>

#include "picture_paths.h"

namespace velmora::ui {

QImage decodePicture(const QString& path, double devicePixelRatio) {
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

QPixmap loadPicture(const QString& path, double devicePixelRatio) {
    const QString key = path + QLatin1Char('#') + QString::number(devicePixelRatio);
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = QPixmap::fromImage(decodePicture(path, devicePixelRatio));
        QPixmapCache::insert(key, pixmap);
    }
    return pixmap;
}

}  // namespace velmora::ui
