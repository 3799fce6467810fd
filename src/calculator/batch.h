#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/batch_rows.h"
#include "calculator/state.h"
#include "geodesy/ellipsoids.h"

// Many pairs at once: rows of A and B (inverse) or of A, azimuth and distance (direct) in,
// one CSV row out for each, line by line, so that memory does not grow with the rows.
namespace velmora::calc {

// The figure the rows are solved on: the program's sphere, or an ellipsoid.
struct BatchDatum {
    bool sphere = false;
    geodesy::Ellipsoid ellipsoid = geodesy::kNamedEllipsoids[geodesy::kWgs84].ellipsoid();
};

struct BatchOptions {
    BatchProblem problem = BatchProblem::Inverse;
    BatchDatum datum;
    std::int16_t unit = kKilometres;   // a code of kDistanceUnits
    bool exactWhereUnsettled = false;  // GeographicLib where Vincenty does not settle
};

// The datum of the menu called name: "Sphere" or a name of kNamedEllipsoids, without regard
// to case, blanks, "-" and "/" ("wgs84", "International 1924"); nullopt for any other.
std::optional<BatchDatum> DatumByName(std::string_view name);

// An ellipsoid given as "A,INVF": the semi-major axis in metres and the inverse flattening,
// the semi-minor axis being a - a / INVF as the custom datum dialog derives it. nullopt
// unless a is positive and finite and INVF is finite and above 1 (0 < f < 1).
std::optional<BatchDatum> DatumFromAxes(std::string_view text);

// The unit code of "km", "mi" or "nmi" (any case); nullopt otherwise.
std::optional<std::int16_t> UnitBySymbol(std::string_view symbol);

// Reads the input a line at a time and appends the output for it. The input is one of three
// kinds, told from its first line that is not blank (a comment line too, for blank-separated
// text): tab-separated when it holds a tab, comma-separated when it holds a comma before any
// "#", blank-separated otherwise. Separated text may begin with a header row (a first row
// none of whose coordinate cells reads as an angle); its columns are then found by name
// (ColumnByName), and by position (the first four, in ProblemColumns order) when the header
// names none of them. Blank lines, and blank-separated lines that are only a comment, are not
// rows.
//
// The output is CSV with a header row: the input columns as they were written (the label
// after them for blank-separated text), then for the inverse the distance in the unit with
// six decimals, the azimuths at A and B, method and status; for the direct lat2, lon2, the
// azimuth at B, method and status. Angles have nine decimals (about 0.1 mm on the ground).
// status is "ok"; "not-settled" where Vincenty's iteration did not settle (and the exact
// solution was not asked for); "fault" where the arithmetic failed (exactly antipodal points
// on the sphere); "bad-input:<column>" for the first column that could not be read or is
// missing, and "bad-input:columns" for a row with more cells than the header or the first
// row. A failed row keeps its place with empty result cells.
class BatchRun {
public:
    explicit BatchRun(const BatchOptions& options);

    // One line of input without its line break (a trailing CR is dropped). Output, if any, is
    // appended to out; a quoted field that spans lines holds its row back until it closes.
    void feedLine(std::string_view line, std::string& out);

    // The end of input: a row still held back by an unclosed quote is written, failed.
    void finish(std::string& out);

    std::size_t rows() const { return m_rows; }
    std::size_t failedRows() const { return m_failedRows; }

private:
    enum class Kind { Unknown, Blank, Separated };

    void startInput(std::string_view firstLine);
    void separatedRecord(std::string_view record, bool quoteLeftOpen, std::string& out);
    void blankRow(std::string_view line, std::string& out);
    void headerFromCells(bool fromHeaderRow, std::string& out);
    // Solves a row from its four cells (nullptr where missing) and appends its result cells.
    void solveRow(const std::array<const std::string_view*, 4>& cells, std::string_view badColumn,
                  std::string& out);

    BatchOptions m_options;
    Kind m_kind = Kind::Unknown;
    char m_separator = ',';
    bool m_headerKnown = false;
    std::size_t m_width = 0;                  // cells of the header or the first row
    std::array<std::size_t, 4> m_columnAt{};  // cell index of each ProblemColumns entry
    std::array<bool, 4> m_hasColumn{};
    std::vector<std::string> m_names;  // the output header's input columns
    std::string m_pending;             // a record whose quote is still open
    bool m_pendingOpen = false;
    std::vector<std::string> m_fields;
    BlankRow m_blankRow;
    std::size_t m_rows = 0;
    std::size_t m_failedRows = 0;
};

}  // namespace velmora::calc
