#include "calculator/batch.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "calculator/csv.h"
#include "calculator/distance_units.h"
#include "calculator/number_text.h"
#include "calculator/text.h"
#include "geodesy/direct.h"
#include "geodesy/units.h"
#include "geodesy/vincenty.h"
#include "geodesy_exact/exact_direct.h"
#include "geodesy_exact/exact_inverse.h"

namespace velmora::calc {

namespace {

constexpr int kAngleDecimals = 9;  // 1e-9 degree is about 0.1 mm on the ground
// A record held back by an unclosed quote is let go at this size (bytes), so that one stray
// quote cannot gather the rest of a large input in memory.
constexpr std::size_t kMaxRecordBytes = 1 << 20;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kTooManyCells = "columns";

enum class Outcome { Ok, NotSettled, Fault };

// What one row's solution gives for its result cells.
struct RowSolution {
    Outcome outcome = Outcome::Fault;
    std::string_view method;
    std::array<double, 3> values{};  // inverse: metres, azi1, azi2; direct: lat2, lon2, azi2
    bool hasAzimuths = false;        // inverse: none for coincident points
};

std::string_view methodName(bool sphere, bool exact) {
    if (sphere) return "sphere";
    return exact ? "exact" : "vincenty";
}

// The one place the inverse kernels are called: the sphere, Vincenty, and the exact
// solution where Vincenty does not settle and it was asked for (on an ellipsoid whose axes
// Vincenty's length would not fault on, as the calculator's own solution checks).
RowSolution solveInverse(double lat1, double lon1, double lat2, double lon2,
                         const BatchOptions& options) {
    const geodesy::Ellipsoid& e = options.datum.ellipsoid;
    geodesy::GeodesicSolution solution;
    bool exact = false;
    if (options.datum.sphere) {
        solution = geodesy::SphereInverse(lat1, lon1, lat2, lon2);
    } else {
        solution = geodesy::VincentyInverse(lat1, lon1, lat2, lon2, e.semiMajorMetres,
                                            e.semiMinorMetres, e.flattening);
        if (solution.status == geodesy::SolutionStatus::NotSettled && options.exactWhereUnsettled &&
            e.semiMinorMetres > 0.0) {
            solution =
                geodesy::ExactInverse(lat1, lon1, lat2, lon2, e.semiMajorMetres, e.flattening);
            exact = true;
        }
    }
    RowSolution row;
    row.method = methodName(options.datum.sphere, exact);
    if (solution.status == geodesy::SolutionStatus::NotSettled) {
        row.outcome = Outcome::NotSettled;
        return row;
    }
    if (solution.status != geodesy::SolutionStatus::Solved || !(solution.metres >= 0.0) ||
        !std::isfinite(solution.metres)) {
        return row;
    }
    row.outcome = Outcome::Ok;
    row.values[0] = solution.metres;
    if (solution.azimuths) {
        row.hasAzimuths = true;
        row.values[1] = solution.azimuths->atADeg;
        row.values[2] = solution.azimuths->atBDeg;
    }
    return row;
}

// The direct kernels, as solveInverse calls the inverse ones. Input reaching here is valid
// (latitude within the poles, distance 0 or more, a sound ellipsoid), so Vincenty's giving
// nothing means its iteration did not settle.
RowSolution solveDirect(double lat1, double lon1, double azi1, double metres,
                        const BatchOptions& options) {
    const geodesy::Ellipsoid& e = options.datum.ellipsoid;
    std::optional<geodesy::DirectSolution> solution;
    bool exact = false;
    if (options.datum.sphere) {
        solution = geodesy::SphereDirect(lat1, lon1, azi1, metres);
    } else {
        solution = geodesy::VincentyDirect(lat1, lon1, azi1, metres, e);
        if (!solution && options.exactWhereUnsettled) {
            solution =
                geodesy::ExactDirect(lat1, lon1, azi1, metres, e.semiMajorMetres, e.flattening);
            exact = true;
        }
    }
    RowSolution row;
    row.method = methodName(options.datum.sphere, exact);
    if (!solution) {
        row.outcome = options.datum.sphere || exact ? Outcome::Fault : Outcome::NotSettled;
        return row;
    }
    row.outcome = Outcome::Ok;
    row.values = {solution->latBDeg, solution->lonBDeg, solution->azimuthAtBDeg};
    row.hasAzimuths = true;
    return row;
}

// An angle with kAngleDecimals decimals. A value that rounds to the end of its range is
// written as the start: 360 as 0 for an azimuth, -180 as 180 for a longitude; never "-0".
void appendAngle(std::string& out, double degrees, bool isAzimuth, bool isLongitude) {
    std::array<char, 64> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), degrees,
                                         std::chars_format::fixed, kAngleDecimals);
    if (ec != std::errc()) return;  // a finite angle always fits
    std::string_view text(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
    if (text.find_first_not_of("-0.") == std::string_view::npos && text.starts_with('-'))
        text.remove_prefix(1);
    if (isAzimuth && text.starts_with("360.") && text.find_first_not_of("0", 4) == text.npos) {
        out += "0.";
        out.append(kAngleDecimals, '0');
        return;
    }
    if (isLongitude && text.starts_with("-180.") && text.find_first_not_of("0", 5) == text.npos) {
        text.remove_prefix(1);
    }
    out += text;
}

const DistanceUnit& unitOf(std::int16_t unit) {
    return kDistanceUnits[static_cast<std::size_t>(IsDistanceUnit(unit) ? unit : kKilometres)];
}

bool equalsLoosely(std::string_view a, std::string_view b) {
    auto skip = [](char c) { return c == ' ' || c == '-' || c == '/' || c == '_'; };
    auto lower = [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    };
    std::size_t i = 0;
    std::size_t j = 0;
    while (true) {
        while (i < a.size() && skip(a[i])) ++i;
        while (j < b.size() && skip(b[j])) ++j;
        if (i == a.size() || j == b.size()) return i == a.size() && j == b.size();
        if (lower(a[i]) != lower(b[j])) return false;
        ++i;
        ++j;
    }
}

}  // namespace

std::optional<BatchDatum> DatumByName(std::string_view name) {
    name = TrimBlanks(name);
    if (name.empty()) return std::nullopt;
    if (equalsLoosely(name, "Sphere")) return BatchDatum{true};
    for (const geodesy::NamedEllipsoid& named : geodesy::kNamedEllipsoids) {
        if (equalsLoosely(name, named.name)) return BatchDatum{false, named.ellipsoid()};
    }
    return std::nullopt;
}

std::optional<BatchDatum> DatumFromAxes(std::string_view text) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    const std::optional<double> a = ConvertNumber(text.substr(0, comma), ".");
    const std::optional<double> inverseFlattening = ConvertNumber(text.substr(comma + 1), ".");
    if (!a || !inverseFlattening || !(*a > 0.0) || !(*inverseFlattening > 1.0)) return std::nullopt;
    const geodesy::Ellipsoid ellipsoid{*a, *a - *a / *inverseFlattening, 1.0 / *inverseFlattening};
    if (!std::isfinite(ellipsoid.semiMinorMetres) || !(ellipsoid.semiMinorMetres > 0.0))
        return std::nullopt;
    return BatchDatum{false, ellipsoid};
}

std::optional<std::int16_t> UnitBySymbol(std::string_view symbol) {
    for (std::size_t i = 0; i < kDistanceUnits.size(); ++i) {
        if (equalsLoosely(symbol, kDistanceUnits[i].symbol)) return static_cast<std::int16_t>(i);
    }
    return std::nullopt;
}

BatchRun::BatchRun(const BatchOptions& options) : m_options(options) {}

void BatchRun::feedLine(std::string_view line, std::string& out) {
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (m_kind == Kind::Unknown) {
        if (line.starts_with(kUtf8Bom)) line.remove_prefix(kUtf8Bom.size());
        if (TrimBlanks(line).empty()) return;
        startInput(line);
    }
    if (m_kind == Kind::Blank) {
        blankRow(line, out);
        return;
    }
    if (m_pendingOpen) {
        m_pending += '\n';
        m_pending += line;
        m_pendingOpen = QuoteOpenAfter(line, m_separator, true);
        if (m_pendingOpen && m_pending.size() < kMaxRecordBytes) return;
        separatedRecord(m_pending, m_pendingOpen, out);
        m_pending.clear();
        m_pendingOpen = false;
        return;
    }
    if (line.empty()) return;
    if (QuoteOpenAfter(line, m_separator, false)) {
        m_pending.assign(line);
        m_pendingOpen = true;
        return;
    }
    separatedRecord(line, false, out);
}

void BatchRun::finish(std::string& out) {
    if (m_pendingOpen) separatedRecord(m_pending, true, out);
    m_pending.clear();
    m_pendingOpen = false;
}

void BatchRun::startInput(std::string_view firstLine) {
    const std::string_view trimmed = TrimBlanks(firstLine);
    const std::string_view head = trimmed.substr(0, trimmed.find('#'));
    if (trimmed.starts_with('#') || head.find_first_of(",\t") == std::string_view::npos) {
        m_kind = Kind::Blank;
        return;
    }
    m_kind = Kind::Separated;
    m_separator = head.find('\t') != std::string_view::npos ? '\t' : ',';
}

namespace {

// The result columns' names behind the input columns.
void appendResultHeader(std::string& out, const BatchOptions& options) {
    if (options.problem == BatchProblem::Inverse) {
        out += "distance_";
        out += unitOf(options.unit).symbol;
        out += ",azi1,azi2";
    } else {
        out += "lat2,lon2,azi2";
    }
    out += ",method,status\n";
}

}  // namespace

void BatchRun::blankRow(std::string_view line, std::string& out) {
    SplitBlankRow(line, m_blankRow);
    if (m_blankRow.cells.empty()) return;
    const std::array<BatchColumn, 4>& columns = ProblemColumns(m_options.problem);
    if (!m_headerKnown) {
        for (const BatchColumn column : columns) {
            out += ColumnName(column);
            out += ',';
        }
        out += "label,";
        appendResultHeader(out, m_options);
        m_headerKnown = true;
    }
    std::array<const std::string_view*, 4> cells{};
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i < m_blankRow.cells.size()) cells[i] = &m_blankRow.cells[i];
        AppendCsvField(out, cells[i] ? *cells[i] : std::string_view());
        out += ',';
    }
    AppendCsvField(out, m_blankRow.label);
    out += ',';
    solveRow(cells, m_blankRow.cells.size() > cells.size() ? kTooManyCells : std::string_view(),
             out);
}

void BatchRun::separatedRecord(std::string_view record, bool quoteLeftOpen, std::string& out) {
    const std::size_t openField = SplitCsvRecord(record, m_separator, m_fields);
    const std::array<BatchColumn, 4>& columns = ProblemColumns(m_options.problem);
    if (!m_headerKnown) {
        m_headerKnown = true;
        bool anyAngle = false;
        for (std::size_t i = 0; i < columns.size() && i < m_fields.size(); ++i) {
            if (columns[i] != BatchColumn::S12 && ReadBatchCell(m_fields[i], columns[i]))
                anyAngle = true;
        }
        const bool isHeader = !anyAngle && !quoteLeftOpen;
        m_hasColumn = {};
        if (isHeader) {
            for (std::size_t cell = 0; cell < m_fields.size(); ++cell) {
                const std::optional<BatchColumn> named = ColumnByName(m_fields[cell]);
                for (std::size_t i = 0; i < columns.size(); ++i) {
                    if (named == columns[i] && !m_hasColumn[i]) {
                        m_hasColumn[i] = true;
                        m_columnAt[i] = cell;
                    }
                }
            }
        }
        const bool byName =
            isHeader && (m_hasColumn[0] || m_hasColumn[1] || m_hasColumn[2] || m_hasColumn[3]);
        m_width = isHeader ? m_fields.size() : std::max(m_fields.size(), columns.size());
        if (!byName) {
            for (std::size_t i = 0; i < columns.size(); ++i) {
                m_hasColumn[i] = i < m_width;
                m_columnAt[i] = i;
            }
        }
        m_names.clear();
        for (std::size_t cell = 0; cell < m_width; ++cell) {
            if (isHeader && cell < m_fields.size()) {
                m_names.push_back(m_fields[cell]);
            } else if (cell < columns.size()) {
                m_names.emplace_back(ColumnName(columns[cell]));
            } else {
                m_names.push_back("column" + std::to_string(cell + 1));
            }
            AppendCsvField(out, m_names.back());
            out += ',';
        }
        appendResultHeader(out, m_options);
        if (isHeader) return;
    }

    std::string_view badColumn;
    if (m_fields.size() > m_width) badColumn = kTooManyCells;
    if (openField != kNoOpenField && openField < m_width) badColumn = m_names[openField];
    for (std::size_t cell = 0; cell < m_width; ++cell) {
        if (cell < m_fields.size()) AppendCsvField(out, m_fields[cell]);
        out += ',';
    }
    std::array<std::string_view, 4> texts{};
    std::array<const std::string_view*, 4> cells{};
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (!m_hasColumn[i] || m_columnAt[i] >= m_fields.size()) continue;
        texts[i] = m_fields[m_columnAt[i]];
        cells[i] = &texts[i];
    }
    solveRow(cells, badColumn, out);
}

void BatchRun::solveRow(const std::array<const std::string_view*, 4>& cells,
                        std::string_view badColumn, std::string& out) {
    ++m_rows;
    const std::array<BatchColumn, 4>& columns = ProblemColumns(m_options.problem);
    std::array<double, 4> values{};
    const DistanceUnit& unit = unitOf(m_options.unit);
    double metres = 0.0;  // of a direct row
    for (std::size_t i = 0; i < columns.size() && badColumn.empty(); ++i) {
        const std::optional<double> value =
            cells[i] ? ReadBatchCell(*cells[i], columns[i]) : std::nullopt;
        if (value) values[i] = *value;
        if (value && columns[i] == BatchColumn::S12) {
            // Through kilometres, as the calculator converts: km = value * km per unit. A
            // distance too long for a double in metres is no distance.
            const double km = m_options.unit == kKilometres ? *value : *value * unit.kmPerUnit;
            metres = km * geodesy::kMetresPerKm;
            if (!std::isfinite(metres)) badColumn = ColumnName(columns[i]);
        }
        if (!value) badColumn = ColumnName(columns[i]);
    }
    if (!badColumn.empty()) {
        ++m_failedRows;
        out += ",,,,";  // the result cells and the method, empty
        std::string status = "bad-input:";
        status += badColumn;  // a header's own name, which may need quoting
        AppendCsvField(out, status);
        out += '\n';
        return;
    }

    RowSolution row;
    if (m_options.problem == BatchProblem::Inverse) {
        row = solveInverse(values[0], values[1], values[2], values[3], m_options);
    } else {
        row = solveDirect(values[0], values[1], values[2], metres, m_options);
    }
    if (row.outcome == Outcome::Ok) {
        if (m_options.problem == BatchProblem::Inverse) {
            // As the calculator shows a distance: kilometres first, then the unit.
            const double km = row.values[0] / geodesy::kMetresPerKm;
            const double shown = m_options.unit == kKilometres ? km : km / unit.kmPerUnit;
            out += FixedSixText(shown, ".").value_or("");  // finite: the row solved
            out += ',';
            if (row.hasAzimuths) appendAngle(out, row.values[1], true, false);
            out += ',';
            if (row.hasAzimuths) appendAngle(out, row.values[2], true, false);
        } else {
            appendAngle(out, row.values[0], false, false);
            out += ',';
            appendAngle(out, row.values[1], false, true);
            out += ',';
            appendAngle(out, row.values[2], true, false);
        }
    } else {
        ++m_failedRows;
        out += ",,";
    }
    out += ',';
    out += row.method;
    out += ',';
    out += row.outcome == Outcome::Ok           ? "ok"
           : row.outcome == Outcome::NotSettled ? "not-settled"
                                                : "fault";
    out += '\n';
}

}  // namespace velmora::calc
