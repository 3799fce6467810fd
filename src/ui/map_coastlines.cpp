#include "ui/map_coastlines.h"

#include <QFile>

#include <cstdint>
#include <cstring>

namespace velmora::ui {

namespace {

const QString kCoastlinesResource = QStringLiteral(":/map/coastlines.bin");

constexpr char kMagic[4] = {'V', 'C', 'L', '1'};
constexpr double kDegPerUnit = 0.01;          // the file's unit: hundredths of a degree
constexpr std::int64_t kMaxLatUnits = 9000;   // 90 degrees
constexpr std::int64_t kMaxLonUnits = 18000;  // 180 degrees

// Little-endian reads that fail past the end instead of reading beyond it.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::byte> bytes) : m_bytes(bytes) {}

    std::optional<std::uint32_t> u32() {
        if (m_bytes.size() - m_at < 4) return std::nullopt;
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | std::to_integer<std::uint32_t>(m_bytes[m_at + std::size_t(i)]);
        m_at += 4;
        return v;
    }
    std::optional<std::int32_t> i32() {
        const std::optional<std::uint32_t> v = u32();
        if (!v) return std::nullopt;
        std::int32_t s = 0;
        std::memcpy(&s, &*v, sizeof s);
        return s;
    }
    std::optional<std::int16_t> i16() {
        if (m_bytes.size() - m_at < 2) return std::nullopt;
        const auto v =
            static_cast<std::uint16_t>(std::to_integer<unsigned>(m_bytes[m_at]) |
                                       (std::to_integer<unsigned>(m_bytes[m_at + 1]) << 8));
        m_at += 2;
        std::int16_t s = 0;
        std::memcpy(&s, &v, sizeof s);
        return s;
    }
    bool skipMagic() {
        if (m_bytes.size() < sizeof kMagic ||
            std::memcmp(m_bytes.data(), kMagic, sizeof kMagic) != 0)
            return false;
        m_at = sizeof kMagic;
        return true;
    }
    std::size_t left() const { return m_bytes.size() - m_at; }

private:
    std::span<const std::byte> m_bytes;
    std::size_t m_at = 0;
};

bool inRange(std::int64_t lonUnits, std::int64_t latUnits) {
    return lonUnits >= -kMaxLonUnits && lonUnits <= kMaxLonUnits && latUnits >= -kMaxLatUnits &&
           latUnits <= kMaxLatUnits;
}

}  // namespace

std::optional<CoastLines> DecodeCoastlines(std::span<const std::byte> bytes) {
    ByteReader in(bytes);
    if (!in.skipMagic()) return std::nullopt;
    const std::optional<std::uint32_t> lineCount = in.u32();
    // Every line takes 12 bytes at least: a count beyond that is a damaged file, not a reserve.
    if (!lineCount || *lineCount > in.left() / 12) return std::nullopt;
    CoastLines lines(*lineCount);
    for (std::vector<geodesy::GeoPoint>& line : lines) {
        const std::optional<std::uint32_t> count = in.u32();
        const std::optional<std::int32_t> lon0 = in.i32();
        const std::optional<std::int32_t> lat0 = in.i32();
        if (!count || !lon0 || !lat0 || *count < 2 || (*count - 1) > in.left() / 4)
            return std::nullopt;
        std::int64_t lon = *lon0;
        std::int64_t lat = *lat0;
        if (!inRange(lon, lat)) return std::nullopt;
        line.reserve(*count);
        line.push_back({double(lat) * kDegPerUnit, double(lon) * kDegPerUnit});
        for (std::uint32_t i = 1; i < *count; ++i) {
            lon += *in.i16();
            lat += *in.i16();
            if (!inRange(lon, lat)) return std::nullopt;
            line.push_back({double(lat) * kDegPerUnit, double(lon) * kDegPerUnit});
        }
    }
    if (in.left() != 0) return std::nullopt;
    return lines;
}

CoastLines LoadCoastlines() {
    QFile file(kCoastlinesResource);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    return DecodeCoastlines(std::as_bytes(std::span(bytes.constData(), std::size_t(bytes.size()))))
        .value_or(CoastLines{});
}

}  // namespace velmora::ui
