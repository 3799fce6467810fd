// Show midpoint and Destination from A through the engine's handlers, with GeographicLib as the
// oracle of the midpoints, the destinations and the arrival azimuths.

#include <GeographicLib/Geodesic.hpp>

#include <cmath>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "calculator/coordinate_text.h"
#include "calculator/datum_menu.h"
#include "calculator/destination.h"
#include "engine_fixture.h"

namespace velmora::calc::testing {
namespace {

#define DEG "\xC2\xB0"

constexpr double kWgs84SemiMajorMetres = 6378137.0;
constexpr double kWgs84Flattening = 1.0 / 298.257223563;
constexpr double kSphereMetres = 6372795.5;
constexpr double kShownDeg = 1e-6;        // six decimals of a degree shown, and rounding
constexpr double kStoredDeg = 1e-9;       // B typed to 1e-6 second, Vincenty against Karney
constexpr double kArrivalDeg = 0.006 / 3600.0;  // half the 0.01" of a line, and some

class MidpointDestinationTest : public EngineTest {
protected:
    const std::string& back(std::size_t fromEnd) const {
        return calc.history()[calc.history().size() - 1 - fromEnd];
    }
};

// GeographicLib's point halfway along the geodesic.
geodesy::GeoPoint oracleMidpoint(double latA, double lonA, double latB, double lonB, bool sphere) {
    const GeographicLib::Geodesic g(sphere ? kSphereMetres : kWgs84SemiMajorMetres,
                                    sphere ? 0.0 : kWgs84Flattening);
    double metres = 0, atA = 0, atB = 0, lat = 0, lon = 0;
    g.Inverse(latA, lonA, latB, lonB, metres, atA, atB);
    g.Direct(latA, lonA, atA, metres / 2.0, lat, lon);
    return {lat, lon};
}

double wrappedDifferenceDeg(double a, double b) {
    return std::remainder(a - b, 360.0);
}

struct MidpointCase {
    const char* name;
    bool sphere;
    double latA, lonA, latB, lonB;
    const char* letters;  // hemisphere letters of the line, latitude then longitude
};

class MidpointLines : public MidpointDestinationTest,
                      public ::testing::WithParamInterface<MidpointCase> {};

// In degrees, so the line reads back to 1e-6 degree; the letters carry the signs.
TEST_P(MidpointLines, AreHalfwayAlongTheGeodesic) {
    const MidpointCase& c = GetParam();
    calc.SetShowMidpoint(true);
    if (c.sphere) calc.MenuDatum_Click(kSphereEntry);
    calc.MenuPastePoint_Click(kPointA, std::to_string(c.latA) + ", " + std::to_string(c.lonA));
    calc.MenuPastePoint_Click(kPointB, std::to_string(c.latB) + ", " + std::to_string(c.lonB));
    selector({kSelDegrees});
    calc.Lab_Num_Click(kKeyCalculate);
    ASSERT_TRUE(back(1).starts_with("Distance: ")) << back(1);
    static const std::regex form("^Midpoint: ([0-9.]+)" DEG " ([NS])  ([0-9.]+)" DEG " ([EW])$");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(back(0), match, form)) << back(0);
    EXPECT_EQ(match[2].str() + match[4].str(), c.letters);
    const double lat = std::stod(match[1].str()) * (match[2] == "S" ? -1 : 1);
    const double lon = std::stod(match[3].str()) * (match[4] == "W" ? -1 : 1);
    const geodesy::GeoPoint expected = oracleMidpoint(c.latA, c.lonA, c.latB, c.lonB, c.sphere);
    EXPECT_NEAR(lat, expected.latDeg, kShownDeg);
    EXPECT_NEAR(wrappedDifferenceDeg(lon, expected.lonDeg), 0.0, kShownDeg);
}

INSTANTIATE_TEST_SUITE_P(
    Calculator, MidpointLines,
    ::testing::Values(
        MidpointCase{"Equator", false, 0, 0, 0, 10, "NE"},
        MidpointCase{"Meridian", false, 10, 20, 30, 20, "NE"},
        MidpointCase{"SouthAndWest", false, -33.8688, -70.6693, -12.0464, -77.0428, "SW"},
        MidpointCase{"OnTheAntimeridian", false, 10, 170, 10, -170, "NE"},
        MidpointCase{"AcrossTheAntimeridian", false, -5, 175, 5, -165, "NW"},
        MidpointCase{"ThroughThePole", false, 60, 10, 70, -170, "NE"},
        MidpointCase{"SphereAcrossTheAntimeridian", true, 40, 160, 20, -150, "NW"},
        MidpointCase{"SphereThroughTheSouthPole", true, -70, 100, -60, -80, "SW"}),
    [](const auto& info) { return std::string(info.param.name); });

// The exact writing in each format: 0 is N and E, 180 is E.
TEST_F(MidpointDestinationTest, MidpointLineInEachFormat) {
    calc.SetShowMidpoint(true);
    calc.MenuPastePoint_Click(kPointA, "0, 170");
    calc.MenuPastePoint_Click(kPointB, "0, -170");
    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_EQ(lastLine(), "Midpoint: 0" DEG " 0' 0.00\" N  180" DEG " 0' 0.00\" E");
    selector({kSelDegMin});
    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_EQ(lastLine(), "Midpoint: 0" DEG " 0.0000' N  180" DEG " 0.0000' E");
    calc.MenuPastePoint_Click(kPointB, "-0.0000000001, -0.0000000001");
    calc.MenuPastePoint_Click(kPointA, "0, 0");
    selector({kSelDegrees});
    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_EQ(lastLine(), "Midpoint: 0.000000" DEG " N  0.000000" DEG " E");
}

// Calculate, a unit that re-expresses and a datum that recomputes: the midpoint comes after
// the azimuth lines each time; off, no midpoint line at all.
TEST_F(MidpointDestinationTest, MidpointFollowsEveryDistanceBehindTheAzimuths) {
    calc.MenuPastePoint_Click(kPointA, "50.066389, -5.714722");
    calc.MenuPastePoint_Click(kPointB, "58.643889, -3.07");
    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_TRUE(lastLine().starts_with("Distance: ")) << lastLine();

    calc.SetShowAzimuths(true);
    calc.SetShowMidpoint(true);
    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_TRUE(back(3).starts_with("Distance: ")) << back(3);
    EXPECT_TRUE(back(2).starts_with("Azimuth at A: ")) << back(2);
    EXPECT_TRUE(back(1).starts_with("Azimuth at B: ")) << back(1);
    const std::string midpoint = back(0);
    EXPECT_EQ(midpoint, "Midpoint: 54" DEG " 21' 49.80\" N  4" DEG " 31' 49.30\" W");

    calc.Lab_Sel_Click(kSelStatuteMiles);
    EXPECT_TRUE(back(3).ends_with(" mi")) << back(3);
    EXPECT_EQ(back(0), midpoint);

    calc.MenuDatum_Click(kSphereEntry);
    EXPECT_TRUE(back(3).starts_with("Distance: ")) << back(3);
    EXPECT_TRUE(back(0).starts_with("Midpoint: ")) << back(0);
    EXPECT_NE(back(0), midpoint);  // the great circle's own
}

// Nearly antipodal on WGS-84: the failed distance gets "Midpoint: none"; with the exact
// solution on, GeographicLib's midpoint.
TEST_F(MidpointDestinationTest, NearTheAntipodeNoneOrExact) {
    calc.SetShowMidpoint(true);
    calc.MenuPastePoint_Click(kPointA, "0, 0");
    calc.MenuPastePoint_Click(kPointB, "0.5, 179.7");
    const std::size_t lines = calc.history().size();
    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_EQ(display(), "Error");
    ASSERT_EQ(calc.history().size(), lines + 2);
    EXPECT_TRUE(back(1).ends_with(": Error")) << back(1);
    EXPECT_EQ(back(0), "Midpoint: none");

    calc.SetExactNearAntipodes(true);
    selector({kSelDegrees});
    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_TRUE(back(1).ends_with(" km (exact)")) << back(1);
    const geodesy::GeoPoint expected = oracleMidpoint(0, 0, 0.5, 179.7, false);
    static const std::regex form("^Midpoint: ([0-9.]+)" DEG " N  ([0-9.]+)" DEG " E$");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(back(0), match, form)) << back(0);
    EXPECT_NEAR(std::stod(match[1].str()), expected.latDeg, kShownDeg);
    EXPECT_NEAR(std::stod(match[2].str()), expected.lonDeg, kShownDeg);
}

struct InputCase {
    const char* name;
    const char* azimuth;
    const char* distance;
    std::int16_t format;
    double azimuthDeg;    // when accepted
    double distance_;     // when accepted
    const char* refusal;  // empty: accepted
};

class DestinationInputTable : public ::testing::TestWithParam<InputCase> {};

TEST_P(DestinationInputTable, AcceptsOrNamesTheFieldAndWhy) {
    const InputCase& c = GetParam();
    const DestinationParse parse = ParseDestinationInput(c.azimuth, c.distance, c.format, kKilometres);
    EXPECT_EQ(parse.refusal, c.refusal);
    if (std::string_view(c.refusal).empty()) {
        ASSERT_TRUE(parse.input);
        EXPECT_NEAR(parse.input->azimuthDeg, c.azimuthDeg, 1e-12);
        EXPECT_EQ(parse.input->distance, c.distance_);
    } else {
        EXPECT_FALSE(parse.input);
    }
}

constexpr double kDms = 45.0 + 30.0 / 60.0 + 15.5 / 3600.0;

INSTANTIATE_TEST_SUITE_P(
    ParseDestinationInput, DestinationInputTable,
    ::testing::Values(
        InputCase{"Decimal", "45.5", "100", kDeg, 45.5, 100, ""},
        InputCase{"DecimalComma", " 45,5 ", "1,5", kDeg, 45.5, 1.5, ""},
        InputCase{"BlankedDegMin", "45 30", "0", kDegMin, 45.5, 0, ""},
        InputCase{"MarkedDegMin", "45" DEG "30'", "2.25", kDegMinSec, 45.5, 2.25, ""},
        InputCase{"BlankedDms", "45 30 15.5", "7", kDegMinSec, kDms, 7, ""},
        InputCase{"MarkedDmsWithBlanks", "45" DEG " 30' 15.5\"", "7", kDegMinSec, kDms, 7, ""},
        InputCase{"TypographicMarks", "45\u00BA30\u203215.5\u2033", "7", kDegMinSec, kDms, 7, ""},
        InputCase{"DegreesAloneInDms", "90", "1", kDegMinSec, 90, 1, ""},
        InputCase{"DegreesAndSeconds", "45" DEG " 36\"", "1", kDegMinSec, 45.01, 1, ""},
        InputCase{"JustBelowAFullTurn", "359 59 59.99", "1", kDegMinSec,
                  359.0 + 59.0 / 60.0 + 59.99 / 3600.0, 1, ""},
        InputCase{"Empty", "  ", "1", kDeg, 0, 0, "Azimuth: nothing typed"},
        InputCase{"Word", "north", "1", kDeg, 0, 0, "Azimuth: not an angle"},
        InputCase{"MarkAlone", DEG, "1", kDeg, 0, 0, "Azimuth: not an angle"},
        InputCase{"TwoPoints", "45.5.5", "1", kDeg, 0, 0, "Azimuth: not a number"},
        InputCase{"Negative", "-10", "1", kDeg, 0, 0, "Azimuth: must not be negative"},
        InputCase{"FullTurn", "360", "1", kDeg, 0, 0, "Azimuth: must be below 360 degrees"},
        InputCase{"MinutesOf60", "45 60", "1", kDegMin, 0, 0, "Azimuth: minutes must be below 60"},
        InputCase{"SecondsOf60", "45 30 60", "1", kDegMinSec, 0, 0, "Azimuth: seconds must be below 60"},
        InputCase{"MinutesInDegrees", "45 30", "1", kDeg, 0, 0,
                  "Azimuth: the coordinate format has no minutes"},
        InputCase{"SecondsInDegMin", "45 30 15", "1", kDegMin, 0, 0,
                  "Azimuth: the coordinate format has no seconds"},
        InputCase{"FourParts", "45 30 15 5", "1", kDegMinSec, 0, 0,
                  "Azimuth: more parts than degrees, minutes and seconds"},
        InputCase{"DecimalsInside", "45.5 30", "1", kDegMin, 0, 0,
                  "Azimuth: only the last part may have decimals"},
        InputCase{"MinutesFirst", "30'", "1", kDegMin, 0, 0, "Azimuth: must begin with the degrees"},
        InputCase{"OutOfOrder", "45' 30" DEG, "1", kDegMin, 0, 0, "Azimuth: must begin with the degrees"},
        InputCase{"DegreesAgain", "45" DEG " 30' 10" DEG, "1", kDegMinSec, 0, 0,
                  "Azimuth: degrees, minutes and seconds must come in that order"},
        InputCase{"AzimuthFirst", "360", "x", kDeg, 0, 0, "Azimuth: must be below 360 degrees"},
        InputCase{"NoDistance", "45", "", kDeg, 0, 0, "Distance: nothing typed"},
        InputCase{"DistanceWord", "45", "far", kDeg, 0, 0, "Distance: not a number"},
        InputCase{"GroupMarks", "45", "1,000.5", kDeg, 0, 0, "Distance: not a number"},
        InputCase{"NegativeDistance", "45", "-5", kDeg, 0, 0, "Distance: must not be negative"},
        InputCase{"OverflowingDistance", "45", "1e400", kDeg, 0, 0, "Distance: too large"}),
    [](const auto& info) { return std::string(info.param.name); });

// A distance that only overflows once turned into metres.
TEST(ParseDestinationInput, DistanceMustBeFiniteInMetres) {
    EXPECT_EQ(ParseDestinationInput("45", "1e306", kDeg, kStatuteMiles).refusal,
              "Distance: too large");
    EXPECT_TRUE(ParseDestinationInput("45", "1e300", kDeg, kStatuteMiles).input);
}

// One destination from Paris: the line, B entered as Paste point B enters it, the arrival
// azimuth, the display as after a paste; Calculate then gives the distance typed.
TEST_F(MidpointDestinationTest, DestinationHistory) {
    calc.MenuPastePoint_Click(kPointA, "48.8566, 2.3522");
    ASSERT_TRUE(calc.MenuDestination_CanStart());
    const std::size_t lines = calc.history().size();
    calc.MenuDestination_Click("45 30", "100");
    ASSERT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;
    ASSERT_EQ(calc.history().size(), lines + 4);
    EXPECT_EQ(back(3), "Destination: azimuth 45" DEG " 30' 0.00\", 100.000000 km");
    EXPECT_TRUE(back(2).starts_with("Latitude B: 49" DEG " ") && back(2).ends_with("\" N")) << back(2);
    EXPECT_TRUE(back(1).starts_with("Longitude B: 3" DEG " ") && back(1).ends_with("\" E")) << back(1);
    EXPECT_EQ(display(), "0");
    EXPECT_EQ(state().ActiveField, kLongitudeB);
    EXPECT_EQ(view.currentLine, static_cast<int>(calc.history().size()) - 1);

    const GeographicLib::Geodesic wgs84(kWgs84SemiMajorMetres, kWgs84Flattening);
    double lat = 0, lon = 0, arrival = 0;
    wgs84.Direct(48.8566, 2.3522, 45.5, 100'000.0, lat, lon, arrival);
    const auto storedDegrees = [&](FieldCode field) {
        return ReadLeadingNumber(DecimalDegreesText(state(), state().CoordText[field]));
    };
    EXPECT_NEAR(storedDegrees(kLatitudeB), lat, kStoredDeg);
    EXPECT_NEAR(storedDegrees(kLongitudeB), lon, kStoredDeg);
    static const std::regex arrivalForm("^Azimuth at B: (\\d+)" DEG " (\\d+)' ([0-9.]+)\"$");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(back(0), match, arrivalForm)) << back(0);
    const double shownArrival =
        std::stod(match[1].str()) + std::stod(match[2].str()) / 60 + std::stod(match[3].str()) / 3600;
    EXPECT_NEAR(shownArrival, arrival, kArrivalDeg);

    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_EQ(lastLine(), "Distance: 100.000000 km");
}

// Miles, degrees and the sphere: the line in the current unit and format, B from the great
// circle of the sphere distance.
TEST_F(MidpointDestinationTest, DestinationOnTheSphereInMiles) {
    calc.MenuDatum_Click(kSphereEntry);
    selector({kSelStatuteMiles, kSelDegrees});
    calc.MenuPastePoint_Click(kPointA, "-33.8688, 151.2093");
    calc.MenuDestination_Click("270", "1000,25");
    ASSERT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;
    EXPECT_EQ(back(3), "Destination: azimuth 270.000000" DEG ", 1000.250000 mi");
    const GeographicLib::Geodesic sphere(kSphereMetres, 0.0);
    double lat = 0, lon = 0;
    sphere.Direct(-33.8688, 151.2093, 270.0, 1000.25 * 1609.344, lat, lon);
    EXPECT_NEAR(-std::stod(back(2).substr(std::string("Latitude B: ").size())), lat, 1e-9) << back(2);
    EXPECT_NEAR(std::stod(back(1).substr(std::string("Longitude B: ").size())), lon, 1e-9) << back(1);
    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_EQ(lastLine(), "Distance: 1000.250000 mi");
}

// No A, a refused field, a direct that fails: a message box each, and nothing changes.
TEST_F(MidpointDestinationTest, RefusalsChangeNothing) {
    const std::vector<std::string> start = calc.history();
    EXPECT_FALSE(calc.MenuDestination_CanStart());
    calc.MenuDestination_Click("45", "100");
    calc.MenuPastePoint_Click(kPointA, "48.8566, 2.3522");
    const std::vector<std::string> withA = calc.history();
    const CalculatorState before = state();
    calc.MenuDestination_Click("45 60", "100");
    prompts.replies = {"6378137", "-300"};  // f < 0: no ellipsoid the direct takes
    calc.MenuDatum_Click(kOtherEntry);
    const std::vector<std::string> withDatum = calc.history();
    calc.MenuDestination_Click("45", "100");

    std::vector<std::string> texts;
    for (const auto& m : prompts.messages) texts.push_back(m.text);
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "Enter Latitude A and Longitude A first.", "Enter Latitude A and Longitude A first.",
                         "Azimuth: minutes must be below 60.",
                         "The destination could not be computed on this ellipsoid."}));
    EXPECT_EQ(std::vector<std::string>(withA.begin(), withA.begin() + static_cast<long>(start.size())), start);
    EXPECT_EQ(calc.history(), withDatum);
    EXPECT_EQ(state().CoordText, before.CoordText);
    EXPECT_EQ(state().ActiveField, before.ActiveField);
}

// A refused entry is stored too: A out of range is no start either.
TEST_F(MidpointDestinationTest, OutOfRangeAIsNoStart) {
    enter(kSelLatitudeA, kSelNorth, "95");
    enter(kSelLongitudeA, kSelEast, "10");
    EXPECT_FALSE(calc.MenuDestination_CanStart());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "Latitude A is out of range: enter it again first.");
}

}  // namespace
}  // namespace velmora::calc::testing
