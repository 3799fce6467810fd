#include "picture_paths.h"

namespace velmora::res {

QString imageListPath(int index) {
    if (index < 1 || index > kImageListCount) return {};
    return QStringLiteral(":/pictures/imagelist_%1.png").arg(index, 2, 10, QLatin1Char('0'));
}

}  // namespace velmora::res
