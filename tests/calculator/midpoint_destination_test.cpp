// Show midpoint and Destination from A through the engine's handlers, with GeographicLib as the
// oracle of the midpoints, the destinations and the arrival azimuths.

#include <GeographicLib/Geodesic.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "calculator/coordinate_text.h"
#include "calculator/datum_menu.h"
#include "calculator/destination.h"
#include "engine_fixture.h"

namespace velmora::calc::testing {
namespace {

#define DEG "\xC2\xB0"

constexpr double kSphereMetres = 6372795.5;
constexpr double kShownDeg = 1e-6;   // six decimals of a degree shown, and rounding
constexpr double kStoredDeg = 1e-9;  // B typed to 1e-6 second, Vincenty against Karney

GeographicLib::Geodesic oracle(bool sphere) {
    return sphere ? GeographicLib::Geodesic(kSphereMetres, 0.0)
                  : GeographicLib::Geodesic(6378137.0, 1.0 / 298.257223563);
}

// The angles of a line in decimal degrees, signed by their letters; the letters as written.
struct ReadLine {
    double first = NAN, second = NAN;
    std::string letters;
};
// Read with sscanf, not std::regex, which GCC 12 warns about inside its own headers.
ReadLine readDecimalLine(const std::string& line) {
    const std::size_t colon = line.find(": ");
    if (colon == std::string::npos) return {};
    const char* text = line.c_str() + colon + 2;
    ReadLine r;
    char first = 0;
    char second = 0;
    int used = 0;
    if (std::sscanf(text, "%lf" DEG " %c  %lf" DEG " %c%n", &r.first, &first, &r.second, &second,
                    &used) == 4 &&
        text[used] == '\0' && (first == 'N' || first == 'S') && (second == 'E' || second == 'W')) {
        r.letters = {first, second};
        if (first == 'S') r.first = -r.first;
        if (second == 'W') r.second = -r.second;
        return r;
    }
    r.second = NAN;
    used = 0;
    if (std::sscanf(text, "%lf" DEG "%n", &r.first, &used) == 1 && used > 0) {
        const std::string rest = text + used;
        if (rest.empty()) return r;
        if (rest == " N" || rest == " S") {
            r.letters = rest.substr(1);
            if (rest == " S") r.first = -r.first;
            return r;
        }
    }
    return {};
}

class MidpointDestinationTest : public EngineTest {
protected:
    const std::string& back(std::size_t fromEnd) const {
        return calc.history()[calc.history().size() - 1 - fromEnd];
    }
    void points(const char* a, const char* b) {
        calc.MenuPastePoint_Click(kPointA, a);
        calc.MenuPastePoint_Click(kPointB, b);
    }
};

struct MidpointCase {
    const char* name;
    bool sphere;
    double latA, lonA, latB, lonB;
    const char* letters;
};

class MidpointLines : public MidpointDestinationTest,
                      public ::testing::WithParamInterface<MidpointCase> {};

TEST_P(MidpointLines, AreHalfwayAlongTheGeodesic) {
    const MidpointCase& c = GetParam();
    calc.SetShowMidpoint(true);
    if (c.sphere) calc.MenuDatum_Click(kSphereEntry);
    points((std::to_string(c.latA) + ", " + std::to_string(c.lonA)).c_str(),
           (std::to_string(c.latB) + ", " + std::to_string(c.lonB)).c_str());
    selector({kSelDegrees});
    calc.Lab_Num_Click(kKeyCalculate);
    ASSERT_TRUE(back(1).starts_with("Distance: ")) << back(1);
    const ReadLine shown = readDecimalLine(back(0));
    EXPECT_EQ(shown.letters, c.letters) << back(0);
    double metres = 0, atA = 0, atB = 0, lat = 0, lon = 0;
    oracle(c.sphere).Inverse(c.latA, c.lonA, c.latB, c.lonB, metres, atA, atB);
    oracle(c.sphere).Direct(c.latA, c.lonA, atA, metres / 2.0, lat, lon);
    EXPECT_NEAR(shown.first, lat, kShownDeg);
    EXPECT_NEAR(std::remainder(shown.second - lon, 360.0), 0.0, kShownDeg);
}

INSTANTIATE_TEST_SUITE_P(
    Calculator, MidpointLines,
    ::testing::Values(MidpointCase{"Equator", false, 0, 0, 0, 10, "NE"},
                      MidpointCase{"Meridian", false, 10, 20, 30, 20, "NE"},
                      MidpointCase{"SouthAndWest", false, -33.8688, -70.6693, -12.0464, -77.0428,
                                   "SW"},
                      MidpointCase{"OnTheAntimeridian", false, 10, 170, 10, -170, "NE"},
                      MidpointCase{"AcrossTheAntimeridian", false, -5, 175, 5, -165, "NW"},
                      MidpointCase{"OverTheNorthPole", false, 60, 10, 70, -170, "NE"},
                      MidpointCase{"SphereAcrossTheAntimeridian", true, 40, 160, 20, -150, "NW"},
                      MidpointCase{"SphereOverTheSouthPole", true, -70, 100, -60, -80, "SW"}),
    [](const auto& info) { return std::string(info.param.name); });

// After the azimuth lines, for Calculate, a unit that re-expresses and a datum that recomputes;
// 0 shows as N and E, 180 as E, whatever the sign underneath.
TEST_F(MidpointDestinationTest, MidpointLineFollowsEveryDistance) {
    points("50.066389, -5.714722", "58.643889, -3.07");
    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_TRUE(lastLine().starts_with("Distance: ")) << lastLine();  // off: no line
    calc.SetShowAzimuths(true);
    calc.SetShowMidpoint(true);
    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_TRUE(back(1).starts_with("Azimuth at B: ")) << back(1);
    const std::string midpoint = "Midpoint: 54" DEG " 21' 49.80\" N  4" DEG " 31' 49.30\" W";
    EXPECT_EQ(back(0), midpoint);
    calc.Lab_Sel_Click(kSelStatuteMiles);
    EXPECT_TRUE(back(3).ends_with(" mi")) << back(3);
    EXPECT_EQ(back(0), midpoint);
    calc.MenuDatum_Click(kSphereEntry);
    EXPECT_TRUE(back(0).starts_with("Midpoint: 54" DEG " ")) << back(0);
    EXPECT_NE(back(0), midpoint);  // the great circle's own

    calc.SetShowAzimuths(false);
    points("0, 170", "-0.0000000001, -170");
    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_EQ(lastLine(), "Midpoint: 0" DEG " 0' 0.00\" N  180" DEG " 0' 0.00\" E");
}

// Nearly antipodal on WGS-84: "Midpoint: none" behind the failed distance; with the exact
// solution on, GeographicLib's midpoint.
TEST_F(MidpointDestinationTest, NearTheAntipodeNoneOrExact) {
    calc.SetShowMidpoint(true);
    points("0, 0", "0.5, 179.7");
    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_TRUE(back(1).ends_with(": Error")) << back(1);
    EXPECT_EQ(back(0), "Midpoint: none");
    calc.SetExactNearAntipodes(true);
    selector({kSelDegrees});
    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_TRUE(back(1).ends_with(" km (exact)")) << back(1);
    double metres = 0, atA = 0, atB = 0, lat = 0, lon = 0;
    oracle(false).Inverse(0, 0, 0.5, 179.7, metres, atA, atB);
    oracle(false).Direct(0, 0, atA, metres / 2.0, lat, lon);
    EXPECT_NEAR(readDecimalLine(back(0)).first, lat, kShownDeg) << back(0);
    EXPECT_NEAR(readDecimalLine(back(0)).second, lon, kShownDeg) << back(0);
}

struct InputCase {
    const char* azimuth;
    const char* distance;
    std::int16_t format;
    double azimuthDeg;    // when accepted
    const char* refusal;  // empty: accepted
};

class DestinationInputTable : public ::testing::TestWithParam<InputCase> {};

TEST_P(DestinationInputTable, AcceptsOrNamesTheFieldAndWhy) {
    const InputCase& c = GetParam();
    const DestinationParse parse =
        ParseDestinationInput(c.azimuth, c.distance, c.format, kKilometres);
    EXPECT_EQ(parse.refusal, c.refusal) << c.azimuth << " / " << c.distance;
    ASSERT_EQ(parse.input.has_value(), parse.refusal.empty());
    if (parse.input) {
        EXPECT_NEAR(parse.input->azimuthDeg, c.azimuthDeg, 1e-12) << c.azimuth;
    }
}

INSTANTIATE_TEST_SUITE_P(
    ParseDestinationInput, DestinationInputTable,
    ::testing::Values(
        InputCase{"45.5", "100", kDeg, 45.5, ""}, InputCase{" 45,5 ", "1,5", kDeg, 45.5, ""},
        InputCase{"45 30", "0", kDegMin, 45.5, ""},
        InputCase{"45" DEG "30'", "2.25", kDegMinSec, 45.5, ""},
        InputCase{"45 30 15.5", "7", kDegMinSec, 45.5043055555556, ""},
        InputCase{"45\u00BA 30\u2032 15.5\u2033", "7", kDegMinSec, 45.5043055555556, ""},
        InputCase{"45" DEG " 36\"", "1", kDegMinSec, 45.01, ""},
        InputCase{"90", "1", kDegMinSec, 90, ""},
        InputCase{"  ", "1", kDeg, 0, "Azimuth: nothing typed"},
        InputCase{"north", "1", kDeg, 0, "Azimuth: not an angle"},
        InputCase{"45.5.5", "1", kDeg, 0, "Azimuth: not a number"},
        InputCase{"-10", "1", kDeg, 0, "Azimuth: must not be negative"},
        InputCase{"360", "x", kDeg, 0, "Azimuth: must be below 360 degrees"},
        InputCase{"45 60", "1", kDegMin, 0, "Azimuth: minutes must be below 60"},
        InputCase{"45 30 60", "1", kDegMinSec, 0, "Azimuth: seconds must be below 60"},
        InputCase{"45 30", "1", kDeg, 0, "Azimuth: the coordinate format has no minutes"},
        InputCase{"45 30 15", "1", kDegMin, 0, "Azimuth: the coordinate format has no seconds"},
        InputCase{"45 30 15 5", "1", kDegMinSec, 0,
                  "Azimuth: more parts than degrees, minutes and seconds"},
        InputCase{"45.5 30", "1", kDegMin, 0, "Azimuth: only the last part may have decimals"},
        InputCase{"30' 45" DEG, "1", kDegMin, 0, "Azimuth: must begin with the degrees"},
        InputCase{"45" DEG " 30' 10" DEG, "1", kDegMinSec, 0,
                  "Azimuth: degrees, minutes and seconds must come in that order"},
        InputCase{"45", "", kDeg, 0, "Distance: nothing typed"},
        InputCase{"45", "1,000.5", kDeg, 0, "Distance: not a number"},
        InputCase{"45", "-5", kDeg, 0, "Distance: must not be negative"},
        InputCase{"45", "1e306", kDeg, 0, "Distance: too large"}));  // in metres

struct DestinationCase {
    const char* name;
    bool sphere;
    int unitKey, formatKey;
    const char* azimuth;
    const char* distance;
    double azimuthDeg, distanceKm;
    const char* line;
    const char* distanceLine;
};

class Destinations : public MidpointDestinationTest,
                     public ::testing::WithParamInterface<DestinationCase> {};

// From Paris: the line, B entered as Paste point B enters it (GeographicLib's B), the arrival
// azimuth, the display as after a paste; Calculate then gives the distance typed.
TEST_P(Destinations, WriteTheLineEnterBAndGiveTheDistanceBack) {
    const DestinationCase& c = GetParam();
    if (c.sphere) calc.MenuDatum_Click(kSphereEntry);
    selector({c.unitKey, c.formatKey});
    calc.MenuPastePoint_Click(kPointA, "48.8566, 2.3522");
    ASSERT_TRUE(calc.MenuDestination_CanStart());
    const std::size_t lines = calc.history().size();
    calc.MenuDestination_Click(c.azimuth, c.distance);
    ASSERT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;
    ASSERT_EQ(calc.history().size(), lines + 4);
    EXPECT_EQ(back(3), c.line);
    EXPECT_TRUE(back(2).starts_with("Latitude B: ") && back(1).starts_with("Longitude B: "));
    EXPECT_EQ(display(), "0");
    EXPECT_EQ(state().ActiveField, kLongitudeB);
    EXPECT_EQ(view.currentLine, static_cast<int>(calc.history().size()) - 1);

    double lat = 0, lon = 0, arrival = 0;
    oracle(c.sphere).Direct(48.8566, 2.3522, c.azimuthDeg, c.distanceKm * 1000.0, lat, lon,
                            arrival);
    const auto stored = [&](FieldCode f) {
        return ReadLeadingNumber(DecimalDegreesText(state(), state().CoordText[f]));
    };
    EXPECT_NEAR(stored(kLatitudeB), lat, kStoredDeg);
    EXPECT_NEAR(stored(kLongitudeB), lon, kStoredDeg);
    double d = 0, m = 0, sec = 0;
    int used = 0;
    const char* text = back(0).c_str();
    double shown = NAN;
    if (std::sscanf(text, "Azimuth at B: %lf" DEG " %lf' %lf\"%n", &d, &m, &sec, &used) == 3 &&
        text[used] == '\0') {
        shown = d + m / 60 + sec / 3600;
    } else if (std::sscanf(text, "Azimuth at B: %lf" DEG "%n", &d, &used) == 1 &&
               text[used] == '\0') {
        shown = d;
    }
    ASSERT_FALSE(std::isnan(shown)) << back(0);
    EXPECT_NEAR(shown, arrival + (arrival < 0 ? 360 : 0), 0.006 / 3600) << back(0);
    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_EQ(lastLine(), c.distanceLine);
}

INSTANTIATE_TEST_SUITE_P(
    Calculator, Destinations,
    ::testing::Values(DestinationCase{"DmsKm", false, kSelKilometres, kSelDegMinSec, "45 30", "100",
                                      45.5, 100.0,
                                      "Destination: azimuth 45" DEG " 30' 0.00\", 100.000000 km",
                                      "Distance: 100.000000 km"},
                      DestinationCase{"SphereDegreesMiles", true, kSelStatuteMiles, kSelDegrees,
                                      "270", "1000,25", 270.0, 1000.25 * 1.609344,
                                      "Destination: azimuth 270.000000" DEG ", 1000.250000 mi",
                                      "Distance: 1000.250000 mi"}),
    [](const auto& info) { return std::string(info.param.name); });

// No A, A out of range, a refused field, a direct that fails: a message box each, no change.
TEST_F(MidpointDestinationTest, DestinationRefusalsChangeNothing) {
    EXPECT_FALSE(calc.MenuDestination_CanStart());
    enter(kSelLatitudeA, kSelNorth, "95");
    enter(kSelLongitudeA, kSelEast, "10");
    calc.MenuDestination_Click("45", "100");
    calc.MenuPastePoint_Click(kPointA, "48.8566, 2.3522");
    calc.MenuDestination_Click("45 60", "100");
    prompts.replies = {"6378137", "-300"};  // f < 0: no ellipsoid the direct takes
    calc.MenuDatum_Click(kOtherEntry);
    const std::vector<std::string> lines = calc.history();
    const CalculatorState before = state();
    calc.MenuDestination_Click("45", "100");
    std::vector<std::string> texts;
    for (const auto& m : prompts.messages) texts.push_back(m.text);
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "Enter Latitude A and Longitude A first.",
                         "Latitude A is out of range: enter it again first.",
                         "Azimuth: minutes must be below 60.",
                         "The destination could not be computed on this ellipsoid."}));
    EXPECT_EQ(calc.history(), lines);
    EXPECT_EQ(state().CoordText, before.CoordText);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Latitude A: 48" DEG " 51' 23.76\" N"), 1);
    EXPECT_TRUE(std::none_of(lines.begin(), lines.end(),
                             [](const std::string& l) { return l.starts_with("Destination"); }));
}

}  // namespace
}  // namespace velmora::calc::testing
