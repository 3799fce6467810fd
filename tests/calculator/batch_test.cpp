// The batch core: the row grammar, the kinds of input and their headers, quoting, rows that
// fail in place, and agreement with the calculator's own distance.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/batch.h"
#include "calculator/csv.h"
#include "calculator/datum_menu.h"
#include "engine_fixture.h"

namespace velmora::calc::testing {
namespace {

#define DEG "\xC2\xB0"

constexpr double kParseDeg = 1e-12;  // degrees; what decimal text and DMS sums round to
constexpr double kShownDeg = 1e-9;   // the output's last decimal of an angle
constexpr double kShownKm = 1e-6;    // the output's last decimal of a distance

struct CellCase {
    const char* text;
    BatchColumn column;
    std::optional<double> degrees;
};

TEST(ReadBatchCell, AcceptsWhatPastePointReadsAndRefusesTheRest) {
    const std::vector<CellCase> cases{
        {"48.8566", BatchColumn::Lat1, 48.8566},
        {" -33.8688 ", BatchColumn::Lat2, -33.8688},
        {"+2.35", BatchColumn::Lon1, 2.35},
        {"90", BatchColumn::Lat1, 90.0},
        {"90.0001", BatchColumn::Lat1, std::nullopt},
        {"-180", BatchColumn::Lon2, -180.0},
        {"180.5", BatchColumn::Lon2, std::nullopt},
        {"48" DEG "51'24\"N", BatchColumn::Lat1, 48.0 + 51.0 / 60 + 24.0 / 3600},
        {"33\xC2\xBA"
         "52\xE2\x80\xB2"
         "7.5\xE2\x80\xB3S",
         BatchColumn::Lat2, -(33.0 + 52.0 / 60 + 7.5 / 3600)},
        {"W 151.2093", BatchColumn::Lon1, -151.2093},
        {"151.2093E", BatchColumn::Lon2, 151.2093},
        {"48,5", BatchColumn::Lat1, 48.5},
        {"48.5E", BatchColumn::Lat1, std::nullopt},  // a letter of the other axis
        {"-48 S", BatchColumn::Lat1, std::nullopt},  // a sign and a letter
        {"48" DEG "61'", BatchColumn::Lat1, std::nullopt},
        {"1e1", BatchColumn::Lat1, std::nullopt},  // no exponents in an angle
        {"48.5 2.3", BatchColumn::Lat1, std::nullopt},
        {"abc", BatchColumn::Lon1, std::nullopt},
        {"", BatchColumn::Lat1, std::nullopt},
        {"45", BatchColumn::Azi1, 45.0},
        {"-90", BatchColumn::Azi1, -90.0},
        {"270" DEG " 30'", BatchColumn::Azi1, 270.5},
        {"45N", BatchColumn::Azi1, std::nullopt},
        {"30' 10" DEG, BatchColumn::Azi1, std::nullopt},
        {"1000", BatchColumn::S12, 1000.0},
        {"1.5E3", BatchColumn::S12, 1500.0},
        {"-1", BatchColumn::S12, std::nullopt},
        {"10 km", BatchColumn::S12, std::nullopt},
    };
    for (const CellCase& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " as " + std::string(ColumnName(c.column)));
        const std::optional<double> read = ReadBatchCell(c.text, c.column);
        ASSERT_EQ(read.has_value(), c.degrees.has_value());
        if (read) {
            EXPECT_NEAR(*read, *c.degrees, kParseDeg);
        }
    }
}

struct SplitCase {
    const char* line;
    std::vector<std::string_view> cells;
    std::string_view label;
};

TEST(SplitBlankRow, KeepsTheBlanksOfOneAngleTogether) {
    const std::vector<SplitCase> cases{
        {"40.6 -73.7 51.4 -0.45", {"40.6", "-73.7", "51.4", "-0.45"}, ""},
        {"48" DEG " 51' 24\" N 2" DEG " 21' 8\" E 1 2 #  Paris, Gare du Nord ",
         {"48" DEG " 51' 24\" N", "2" DEG " 21' 8\" E", "1", "2"},
         "Paris, Gare du Nord"},
        {"N 48.5 E 2.3 S 33 W 70", {"N 48.5", "E 2.3", "S 33", "W 70"}, ""},
        {"48.5 N 2.3 E", {"48.5 N", "2.3 E"}, ""},
        {"N 47" DEG " 36.123 W 122" DEG " 19.456",
         {"N 47" DEG " 36.123", "W 122" DEG " 19.456"},
         ""},
        {"48" DEG " 2" DEG, {"48" DEG, "2" DEG}, ""},
        {"- 48.5\t2", {"- 48.5", "2"}, ""},
        {"48 51 24", {"48", "51", "24"}, ""},
        {"  # only a comment", {}, "only a comment"},
    };
    BlankRow row;
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.line);
        SplitBlankRow(c.line, row);
        EXPECT_EQ(row.cells, c.cells);
        EXPECT_EQ(row.label, c.label);
    }
}

TEST(BatchOptions, DatumAndUnitByName) {
    ASSERT_TRUE(DatumByName("wgs84"));
    EXPECT_EQ(DatumByName("wgs84")->ellipsoid.semiMajorMetres, 6378137.0);
    EXPECT_EQ(DatumByName(" INTERNATIONAL 1924")->ellipsoid.semiMajorMetres, 6378388.0);
    EXPECT_TRUE(DatumByName("sphere")->sphere);
    EXPECT_FALSE(DatumByName("Mars"));
    EXPECT_FALSE(DatumByName(""));

    const std::optional<BatchDatum> custom = DatumFromAxes("6378137,298.257223563");
    ASSERT_TRUE(custom);
    EXPECT_NEAR(custom->ellipsoid.semiMinorMetres, 6356752.314245, 1e-6);
    for (const char* refused :
         {"6378137", "-1,300", "6378137,1", "6378137,0.5", "a,b", "0,300", "1E+400,300"})
        EXPECT_FALSE(DatumFromAxes(refused)) << refused;

    EXPECT_EQ(UnitBySymbol("KM"), kKilometres);
    EXPECT_EQ(UnitBySymbol("nmi"), kNauticalMiles);
    EXPECT_FALSE(UnitBySymbol("ft"));
}

// The output of a whole input fed line by line, as rows of cells.
struct Output {
    std::vector<std::vector<std::string>> rows;  // the header first
    std::size_t failed = 0;
};

Output runBatch(std::string_view input, const BatchOptions& options = {}) {
    BatchRun run(options);
    std::string out;
    while (!input.empty()) {
        const std::size_t end = input.find('\n');
        run.feedLine(input.substr(0, end), out);
        input.remove_prefix(end == input.npos ? input.size() : end + 1);
    }
    run.finish(out);
    Output result;
    result.failed = run.failedRows();
    std::string_view text = out;
    // Records end at a line break outside quotes.
    std::size_t start = 0;
    bool open = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') open = !open;
        if (text[i] == '\n' && !open) {
            std::vector<std::string> cells;
            SplitCsvRecord(text.substr(start, i - start), ',', cells);
            result.rows.push_back(cells);
            start = i + 1;
        }
    }
    EXPECT_EQ(start, text.size()) << "the output ends in a line break";
    return result;
}

struct InputCase {
    const char* name;
    const char* input;
    std::string header;                   // joined by ","
    std::vector<std::string> statuses;    // of the rows after the header
    std::vector<std::string> firstCells;  // of the rows after the header
};

TEST(BatchRun, KindsOfInputHeadersQuotingAndFailedRowsInPlace) {
    const std::string inverse = "distance_km,azi1,azi2,method,status";
    const std::vector<InputCase> cases{
        {"blank lines with labels",
         "40.6413 -73.7781 51.47 -0.4543 # JFK, LHR\n\n# a note\n1 2 3 4\n",
         "lat1,lon1,lat2,lon2,label," + inverse,
         {"ok", "ok"},
         {"40.6413", "1"}},
        {"failed rows keep their place",
         "0 0 1 1\n91 0 0 0\n0 0 0.5 179.7\n1 2 3\n1 2 3 4 5\n0 0 2 2\n",
         "lat1,lon1,lat2,lon2,label," + inverse,
         {"ok", "bad-input:lat1", "not-settled", "bad-input:lon2", "bad-input:columns", "ok"},
         {"0", "91", "0", "1", "1", "0"}},
        {"header by synonyms",
         "Name,Latitude A,Longitude A,lat_b,LON_B\nx,1,2,3,4\n",
         "Name,Latitude A,Longitude A,lat_b,LON_B," + inverse,
         {"ok"},
         {"x"}},
        {"no header",
         "1,2,3,4,extra\nabc,2,3,4\n",
         "lat1,lon1,lat2,lon2,column5," + inverse,
         {"ok", "bad-input:lat1"},
         {"1", "abc"}},
        {"unnamed header is by position",
         "A,B,C,D\n1,2,3,4\n",
         "A,B,C,D," + inverse,
         {"ok"},
         {"1"}},
        {"quoted cells",
         "name,lat1,lon1,lat2,lon2\n\"A, \"\"B\"\"\",1,2,3,4\n\"two\nlines\",1,2,3,4\n",
         "name,lat1,lon1,lat2,lon2," + inverse,
         {"ok", "ok"},
         {"A, \"B\"", "two\nlines"}},
        {"a seconds mark in an unquoted cell",
         "lat1,lon1,lat2,lon2\n48" DEG "51'24\"N,2.35,40.7,-74\n1,2,3,4\n",
         "lat1,lon1,lat2,lon2," + inverse,
         {"ok", "ok"},
         {"48" DEG "51'24\"N", "1"}},
        {"an unclosed quote",
         "name,lat1,lon1,lat2,lon2\n\"open,1,2,3,4\n",
         "name,lat1,lon1,lat2,lon2," + inverse,
         {"bad-input:name"},
         {"open,1,2,3,4"}},
        {"a column the header lacks",
         "lat1,lon1,lat2\n1,2,3\n",
         "lat1,lon1,lat2," + inverse,
         {"bad-input:lon2"},
         {"1"}},
        {"tabs, a byte order mark, CRLF",
         "\xEF\xBB\xBFlat1\tlon1\tlat2\tlon2\r\n1\t2\t3\t4\r\n",
         "lat1,lon1,lat2,lon2," + inverse,
         {"ok"},
         {"1"}},
    };
    for (const InputCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Output out = runBatch(c.input);
        ASSERT_EQ(out.rows.size(), c.statuses.size() + 1);
        std::string header;
        for (const std::string& cell : out.rows[0]) header += (header.empty() ? "" : ",") + cell;
        EXPECT_EQ(header, c.header);
        std::size_t failed = 0;
        for (std::size_t i = 0; i < c.statuses.size(); ++i) {
            const std::vector<std::string>& row = out.rows[i + 1];
            ASSERT_EQ(row.size(), out.rows[0].size()) << "row " << i;
            EXPECT_EQ(row.back(), c.statuses[i]) << "row " << i;
            EXPECT_EQ(row.front(), c.firstCells[i]) << "row " << i;
            if (c.statuses[i] != "ok") {
                ++failed;
                // Never a number where there is no result.
                for (std::size_t k = row.size() - 5; k < row.size() - 2; ++k)
                    EXPECT_EQ(row[k], "") << "row " << i << " cell " << k;
            } else {
                EXPECT_NE(row[row.size() - 5], "") << "row " << i;
            }
        }
        EXPECT_EQ(out.failed, failed);
    }
}

TEST(BatchRun, RowsAfterAFailedOneAreSolvedAsAlone) {
    const Output alone = runBatch("10 20 -30 40\n");
    const Output after = runBatch("10 20 -30 40\n0 0 0.5 179.7\nx\n10 20 -30 40\n");
    ASSERT_EQ(after.rows.size(), 5u);
    EXPECT_EQ(after.rows[4], alone.rows[1]);
    EXPECT_EQ(after.failed, 2u);
}

TEST(BatchRun, ColumnsByNameInAnyOrderGiveTheSameResult) {
    const Output blank = runBatch("1 2 3 4\n");
    const Output named = runBatch("lon2,lat2,lon1,lat1\n4,3,2,1\n");
    ASSERT_EQ(named.rows.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(named.rows[1].begin() + 4, named.rows[1].end()),
              std::vector<std::string>(blank.rows[1].begin() + 5, blank.rows[1].end()));
}

TEST(BatchRun, ExactSolutionWhereVincentyDoesNotSettle) {
    BatchOptions options;
    options.exactWhereUnsettled = true;
    const Output out = runBatch("0 0 0.5 179.7\n0 0 1 1\n", options);
    ASSERT_EQ(out.rows.size(), 3u);
    EXPECT_EQ(out.rows[1][5], "19944.127421");  // as the calculator's exact line gives it
    EXPECT_EQ(out.rows[1][8], "exact");
    EXPECT_EQ(out.rows[2][8], "vincenty");
    EXPECT_EQ(out.failed, 0u);
}

TEST(BatchRun, DirectRowsAndTheirWayBack) {
    BatchOptions direct;
    direct.problem = BatchProblem::Direct;
    // Due east on the equator the path is the equator: 100 km is 100 km / a radians.
    const Output out =
        runBatch("0 0 90 100 # east\n10 20 -30 5000\n0 0 0 -5\n95 0 0 1\n0 0 0 1E306\n", direct);
    ASSERT_EQ(out.rows.size(), 6u);
    EXPECT_EQ(out.rows[0].size(), 10u);
    EXPECT_EQ(out.rows[0][5], "lat2");
    EXPECT_EQ(out.rows[1][4], "east");
    EXPECT_NEAR(std::stod(out.rows[1][5]), 0.0, kShownDeg);
    EXPECT_NEAR(std::stod(out.rows[1][6]), 100e3 / 6378137.0 * 180.0 / std::numbers::pi, kShownDeg);
    EXPECT_NEAR(std::stod(out.rows[1][7]), 90.0, kShownDeg);
    EXPECT_EQ(out.rows[3].back(), "bad-input:s12");
    EXPECT_EQ(out.rows[4].back(), "bad-input:lat1");
    EXPECT_EQ(out.rows[5].back(), "bad-input:s12");  // beyond a double in metres

    // The inverse from A to the point reached gives back the distance and the azimuth.
    const Output back = runBatch("10 20 " + out.rows[2][5] + " " + out.rows[2][6] + "\n");
    EXPECT_NEAR(std::stod(back.rows[1][5]), 5000.0, kShownKm);
    EXPECT_NEAR(std::stod(back.rows[1][6]), 330.0, 1e-8);
    EXPECT_NEAR(std::stod(back.rows[1][7]), std::stod(out.rows[2][7]), 1e-8);
}

TEST(BatchRun, TheSphereFaultsAtTheAntipodeAndNamesItsMethod) {
    BatchOptions options;
    options.datum = *DatumByName("Sphere");
    const Output out = runBatch("0 0 0 180\n0 0 0 90\n", options);
    EXPECT_EQ(out.rows[1].back(), "fault");
    EXPECT_EQ(out.rows[1][5], "");
    EXPECT_EQ(out.rows[2][8], "sphere");
    EXPECT_NEAR(std::stod(out.rows[2][5]), 6372795.5 * std::numbers::pi / 2 / 1000, kShownKm);
}

// The same points through the calculator's keys and through a batch row: the batch writes
// the distance of the calculator's history line, digit for digit.
class BatchAgreement : public EngineTest {};

TEST_F(BatchAgreement, DistanceEqualsTheCalculatorsHistoryLine) {
    struct Case {
        const char* name;
        int hemispheres[4];  // keys for lat A, lon A, lat B, lon B
        const char* texts[4];
        std::int16_t datumEntry;
        int unitKey;
        const char* row;
        const char* datum;
        const char* unit;
    };
    const std::vector<Case> cases{
        {"Paris to New York, WGS-84, km",
         {kSelNorth, kSelEast, kSelNorth, kSelWest},
         {"48.8566", "2.3522", "40.7128", "74.006"},
         kWgs84Entry,
         kSelKilometres,
         "48.8566 2.3522 40.7128 -74.006\n",
         "WGS-84",
         "km"},
        {"Sydney to Santiago, International 1924, nmi",
         {kSelSouth, kSelEast, kSelSouth, kSelWest},
         {"33.8688", "151.2093", "33.4489", "70.6693"},
         static_cast<std::int16_t>(kFirstEllipsoidEntry + 7),
         kSelNauticalMiles,
         "33.8688S 151.2093E 33.4489S 70.6693W\n",
         "International 1924",
         "nmi"},
        {"Across the 180th meridian, sphere, mi",
         {kSelNorth, kSelEast, kSelSouth, kSelWest},
         {"10", "179.5", "5.25", "179.75"},
         kSphereEntry,
         kSelStatuteMiles,
         "10 179.5 -5.25 -179.75\n",
         "Sphere",
         "mi"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        calc.MenuDatum_Click(c.datumEntry);
        selector({kSelDegrees, c.unitKey});
        calc.Lab_Num_Click(kKeyCancel);
        const int fields[4] = {kSelLatitudeA, kSelLongitudeA, kSelLatitudeB, kSelLongitudeB};
        for (int i = 0; i < 4; ++i) enter(fields[i], c.hemispheres[i], c.texts[i]);
        calc.Lab_Num_Click(kKeyCalculate);

        BatchOptions options;
        options.datum = *DatumByName(c.datum);
        options.unit = *UnitBySymbol(c.unit);
        const Output out = runBatch(c.row, options);
        ASSERT_EQ(out.rows.size(), 2u);
        EXPECT_EQ(lastLine(), "Distance: " + out.rows[1][5] + " " + c.unit);
    }
}

}  // namespace
}  // namespace velmora::calc::testing
