#pragma once

#include <QString>

#include <array>

// Resource paths of the pictures and icons embedded by the velmora_resources library.
namespace velmora::res {

inline constexpr char kBackground[] =
    ":/pictures/background.png";  // 535 x 383, the calculator face
inline constexpr char kLatLonGrey[] = ":/pictures/latlon_grey.png";    // field row, nothing chosen
inline constexpr char kGmsGrey[] = ":/pictures/gms_grey.png";          // format row, nothing chosen
inline constexpr char kUMisuraGrey[] = ":/pictures/umisura_grey.png";  // unit row, nothing chosen
inline constexpr char kBussolaGrey[] = ":/pictures/bussola_grey.png";  // compass, nothing chosen
inline constexpr char kAboutBanner[] = ":/pictures/about_banner.png";  // 413 x 77
inline constexpr char kIcon16[] = ":/icons/velmora_16.png";
inline constexpr char kIcon32[] = ":/icons/velmora_32.png";
// Every size the program icon is drawn at, in pixels; each is embedded as programIconPath(size).
inline constexpr std::array<int, 8> kProgramIconSizes{16, 22, 24, 32, 48, 64, 128, 256};
inline constexpr char kInformation32[] = ":/icons/information_32.png";

// Number of pictures in the picture list.
inline constexpr int kImageListCount = 14;

// Resource path of picture `index` of the picture list, 1-based as the selector panel counts:
// 1-4 field row (Lat.A, Lon.A, Lat.B, Lon.B), 5-7 unit row (km, UK mile, Nautical mile),
// 8-11 compass (N, S, W, E), 12-14 format row (deg, deg.min, deg.min.sec). An empty string
// for an index outside 1..kImageListCount.
QString imageListPath(int index);

// Resource path of the program icon drawn `size` pixels square (one of kProgramIconSizes).
QString programIconPath(int size);

// Every picture (not the program icon) is also embedded drawn at twice the resolution, under
// its name with "@2x" before the extension: ":/pictures/background@2x.png".
QString twiceResolutionPath(const QString& path);

}  // namespace velmora::res
