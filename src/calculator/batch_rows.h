#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The row grammar of batch input: the angles and the distance a row is made of, the way a
// blank-separated line parts into them, and the column names a header row may use. Texts are
// UTF-8.
namespace velmora::calc {

// What a batch solves: from A to B (inverse), or where a path from A leads (direct).
enum class BatchProblem { Inverse, Direct };

// The input columns of a row, in the order a blank-separated line gives them.
enum class BatchColumn { Lat1, Lon1, Lat2, Lon2, Azi1, S12 };

// The column's name in the output header and in a status ("bad-input:lat2").
std::string_view ColumnName(BatchColumn column);

// The four input columns of a problem, in line order: lat1 lon1 lat2 lon2 (inverse) or
// lat1 lon1 azi1 s12 (direct).
const std::array<BatchColumn, 4>& ProblemColumns(BatchProblem problem);

// Reads one cell as the value of column, in degrees (latitude, longitude, azimuth) or in the
// user's unit (s12). An angle is signed decimal degrees ("-33.8688"), or written the way
// Paste point reads one angle: degree, minute and second marks, typographic primes,
// hemisphere letters (N/S on a latitude, E/W on a longitude) before or after ("33°52'7.7\"S",
// "W 151.2093"). An azimuth is decimal or marked degrees with a sign but no letter, any
// finite value. Refused (nullopt): anything else, a latitude beyond 90 and a longitude beyond
// 180 degrees, a distance that is negative or no plain number. Surrounding blanks are ignored.
std::optional<double> ReadBatchCell(std::string_view text, BatchColumn column);

// A blank-separated line parted into cells: its angles and numbers as written, and the text
// behind the first "#" (trimmed) as the row's label. An angle written in parts keeps them
// together: "48° 51' 24\" N" is one cell, so is "N 48.8566"; a bare number after a bare number
// begins the next cell. The line holds no line break.
struct BlankRow {
    std::vector<std::string_view> cells;
    std::string_view label;
};
void SplitBlankRow(std::string_view line, BlankRow& row);

// The column a header cell names, matched without regard to case, blanks, "_", "-" and ".":
// lat1, lat_a, latitude1, "Latitude A", lat; lon1, lng1, long_a, longitude; azi1, azimuth,
// bearing; s12, distance, dist; and the same with 2 and b for the second point. nullopt for
// any other name.
std::optional<BatchColumn> ColumnByName(std::string_view name);

}  // namespace velmora::calc
