#include "picture_paths.h"

namespace velmora::res {

QString imageListPath(int index) {
    if (index < 1 || index > kImageListCount) return {};
    return QStringLiteral(":/pictures/imagelist_%1.png").arg(index, 2, 10, QLatin1Char('0'));
}

QString programIconPath(int size) { return QStringLiteral(":/icons/velmora_%1.png").arg(size); }

QString twiceResolutionPath(const QString& path) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (dot <= slash) return path + QStringLiteral("@2x");
    return path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
}

}  // namespace velmora::res
