#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "geodesy/direct.h"

// The world's coastlines for the map window: Natural Earth's 1:110m coastline, compiled into
// the program (resources/map/coastlines.bin, written by resources/tools/coastlines).
namespace velmora::ui {

using CoastLines = std::vector<std::vector<geodesy::GeoPoint>>;

// The lines of the resource's format (magic "VCL1", little-endian: a uint32 line count, per line
// a uint32 point count, the first point as two int32 and then int16 deltas, longitude before
// latitude, all in hundredths of a degree). Nothing when the bytes are not that format, are cut
// short, carry bytes beyond the last line, or a point lies outside -90..90, -180..180.
std::optional<CoastLines> DecodeCoastlines(std::span<const std::byte> bytes);

// The compiled-in coastlines, decoded at each call (the map window decodes them once, when it
// is first shown); empty when the resource is missing or damaged.
CoastLines LoadCoastlines();

}  // namespace velmora::ui
