#pragma once

#include <QImage>
#include <QString>
#include <QSet>
#include <QtGlobal>

#include <algorithm>
#include <cstdlib>
#include <optional>

// Comparing a window's picture with a reference picture, shared by the Linux end-to-end tests
// and the Windows window test.
namespace velmora::testing {

// True when the picture holds more than a flat colour or two: an unpainted window is one
// flat colour, the window's face alone has more shades than this.
inline bool hasPicture(const QImage& image) {
    constexpr int kMinColours = 16;
    QSet<QRgb> colours;
    for (int y = 0; y < image.height() && colours.size() < kMinColours; y += 3)
        for (int x = 0; x < image.width() && colours.size() < kMinColours; x += 3)
            colours.insert(image.pixel(x, y));
    return colours.size() >= kMinColours;
}

// Counts pixels whose largest channel difference exceeds channelTolerance (0..255); images
// of different sizes differ everywhere. A picture of the differing pixels goes to diff.
struct ImageDifference {
    qint64 differing = 0;
    qint64 total = 0;
    double share() const { return total ? double(differing) / double(total) : 1.0; }
};

inline ImageDifference compareImages(const QImage& actual, const QImage& expected,
                                     int channelTolerance, QImage* diff) {
    ImageDifference result;
    result.total = qint64(expected.width()) * expected.height();
    if (actual.size() != expected.size()) {
        result.differing = result.total;
        return result;
    }
    const QImage a = actual.convertToFormat(QImage::Format_RGB32);
    const QImage e = expected.convertToFormat(QImage::Format_RGB32);
    *diff = QImage(e.size(), QImage::Format_RGB32);
    diff->fill(Qt::white);
    for (int y = 0; y < e.height(); ++y) {
        const auto* la = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* le = reinterpret_cast<const QRgb*>(e.constScanLine(y));
        for (int x = 0; x < e.width(); ++x) {
            const int d = std::max({std::abs(qRed(la[x]) - qRed(le[x])),
                                    std::abs(qGreen(la[x]) - qGreen(le[x])),
                                    std::abs(qBlue(la[x]) - qBlue(le[x]))});
            if (d > channelTolerance) {
                ++result.differing;
                diff->setPixel(x, y, qRgb(255, 0, 0));
            }
        }
    }
    return result;
}

// Empty when actual matches expected: at most maxChangedShare of the pixels differ by more than
// channelTolerance. Otherwise the message that says how much differs, after writing
// <outPrefix>-actual.png and <outPrefix>-diff.png (differing pixels in red) to look at.
inline QString referenceMismatch(const QImage& actual, const QImage& expected, int channelTolerance,
                                 double maxChangedShare, const QString& outPrefix) {
    QImage diff;
    const ImageDifference d = compareImages(actual, expected, channelTolerance, &diff);
    if (d.share() <= maxChangedShare) return {};
    actual.save(outPrefix + QStringLiteral("-actual.png"));
    if (!diff.isNull()) diff.save(outPrefix + QStringLiteral("-diff.png"));
    return QStringLiteral("%1 of %2 pixels differ (size %3x%4, expected %5x%6); see %7-*.png")
        .arg(d.differing)
        .arg(d.total)
        .arg(actual.width())
        .arg(actual.height())
        .arg(expected.width())
        .arg(expected.height())
        .arg(outPrefix);
}

// actual against the reference picture at referencePath: empty when it matches, else what is
// wrong (unreadable, or how much differs, with the pictures under outPrefix as above). With
// VELMORA_E2E_UPDATE_REFERENCE=1 the reference is written from actual instead and nullopt comes
// back: the caller skips, and a person looks at the picture before committing it.
inline std::optional<QString> referencePictureMismatch(const QImage& actual,
                                                       const QString& referencePath,
                                                       int channelTolerance, double maxChangedShare,
                                                       const QString& outPrefix) {
    if (qEnvironmentVariableIntValue("VELMORA_E2E_UPDATE_REFERENCE") == 1) {
        if (!actual.save(referencePath)) return QStringLiteral("cannot write ") + referencePath;
        return std::nullopt;
    }
    const QImage expected(referencePath);
    if (expected.isNull()) return QStringLiteral("cannot read ") + referencePath;
    return referenceMismatch(actual, expected, channelTolerance, maxChangedShare, outPrefix);
}

}  // namespace velmora::testing
