// The three extras through the engine's handlers: azimuth lines, the exact solution near
// antipodes, and whole points pasted at once.

#include <GeographicLib/Geodesic.hpp>

#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/distance.h"
#include "engine_fixture.h"
#include "calculator/datum_menu.h"
#include "geodesy/vincenty.h"

namespace velmora::calc::testing {
namespace {

#define DEG "\xC2\xB0"

constexpr double kShownKm = 1.5e-6;                 // the display's last decimal, and rounding
constexpr double kShownSecondDeg = 0.006 / 3600.0;  // half the 0.01" of a line, and some
constexpr double kSphereMetres = 6372795.5;

// Lines from the end of the history: back(0) is the last one.
class ExtrasTest : public EngineTest {
protected:
    const std::string& back(std::size_t fromEnd) const {
        return calc.history()[calc.history().size() - 1 - fromEnd];
    }
    void landsEndToJohnOGroats() {
        enter(kSelLatitudeA, kSelNorth, "50" DEG "3'59\"");
        enter(kSelLongitudeA, kSelWest, "5" DEG "42'53\"");
        enter(kSelLatitudeB, kSelNorth, "58" DEG "38'38\"");
        enter(kSelLongitudeB, kSelWest, "3" DEG "4'12\"");
    }
    // B at 0.5 N 179.7 E, A at the origin: Vincenty's iteration does not settle on WGS-84.
    void nearlyAntipodal() {
        selector({kSelDegrees});
        calc.Lab_Num_Click(kKeyCancel);
        enter(kSelLatitudeB, kSelNorth, "0.5");
        enter(kSelLongitudeB, kSelEast, "179.7");
    }
};

TEST_F(ExtrasTest, AllOffWritesTheDistanceAloneAndErrorNearTheAntipode) {
    landsEndToJohnOGroats();
    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_EQ(lastLine(), "Distance: 969.932988 km");
    calc.Lab_Sel_Click(kSelStatuteMiles);
    EXPECT_EQ(lastLine(), "Distance: 602.688417 mi");
    calc.Lab_Num_Click(kKeyResetPoints);
    nearlyAntipodal();
    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_EQ(display(), "Error");
}

struct AzimuthLinesCase {
    const char* name;
    int formatKey;
    const char* atA;
    const char* atB;
};

class AzimuthLines : public ExtrasTest, public ::testing::WithParamInterface<AzimuthLinesCase> {};

// Calculate, "=", a unit key that re-expresses and a datum that recomputes: each distance line
// is followed by the two azimuths (GeographicLib: 9.1423286, 11.2977211 degrees).
TEST_P(AzimuthLines, FollowEveryDistanceInTheCurrentFormat) {
    const AzimuthLinesCase& c = GetParam();
    calc.SetShowAzimuths(true);
    landsEndToJohnOGroats();
    calc.Lab_Sel_Click(static_cast<std::int16_t>(c.formatKey));
    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_EQ(back(2), "Distance: 969.932988 km");
    EXPECT_EQ(back(1), std::string("Azimuth at A: ") + c.atA);
    EXPECT_EQ(back(0), std::string("Azimuth at B: ") + c.atB);
    EXPECT_EQ(display(), "969.932988");

    calc.Lab_Sel_Click(kSelNauticalMiles);
    EXPECT_EQ(back(2), "Distance: 523.439281 nmi");
    EXPECT_EQ(back(1), std::string("Azimuth at A: ") + c.atA);

    type("=");
    EXPECT_EQ(back(2), "Distance: 523.439281 nmi");
    EXPECT_EQ(back(0), std::string("Azimuth at B: ") + c.atB);

    calc.MenuDatum_Click(kSphereEntry);
    EXPECT_EQ(back(3), "Datum: Sphere");
    EXPECT_TRUE(back(2).starts_with("Distance: "));
    EXPECT_TRUE(back(1).starts_with("Azimuth at A: ")) << back(1);
    EXPECT_NE(back(1), std::string("Azimuth at A: ") + c.atA);  // the great circle's own
}

INSTANTIATE_TEST_SUITE_P(
    Calculator, AzimuthLines,
    ::testing::Values(AzimuthLinesCase{"DegMinSec", kSelDegMinSec, "9" DEG " 8' 32.38\"",
                                       "11" DEG " 17' 51.80\""},
                      AzimuthLinesCase{"DegMin", kSelDegMin, "9" DEG " 8.5397'",
                                       "11" DEG " 17.8633'"},
                      AzimuthLinesCase{"Degrees", kSelDegrees, "9.142329" DEG, "11.297721" DEG}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ExtrasTest, SphereGivesTheGreatCircleAzimuths) {
    calc.SetShowAzimuths(true);
    calc.MenuDatum_Click(kSphereEntry);
    landsEndToJohnOGroats();
    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_EQ(back(1), "Azimuth at A: 9" DEG " 7' 11.35\"");
    EXPECT_EQ(back(0), "Azimuth at B: 11" DEG " 16' 30.72\"");
}

TEST_F(ExtrasTest, CoincidentPointsHaveNoAzimuth) {
    calc.SetShowAzimuths(true);
    for (const auto datum : {kWgs84Entry, kSphereEntry}) {
        calc.MenuDatum_Click(datum);
        calc.Lab_Num_Click(kKeyCalculate);
        EXPECT_EQ(back(2), "Distance: 0.000000 km");
        EXPECT_EQ(back(1), "Azimuth at A: none, A and B coincide");
        EXPECT_EQ(back(0), "Azimuth at B: none, A and B coincide");
    }
}

TEST_F(ExtrasTest, FailedDistanceHasNoAzimuthLines) {
    calc.SetShowAzimuths(true);
    nearlyAntipodal();
    const std::size_t lines = calc.history().size();
    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_EQ(display(), "Error");
    EXPECT_EQ(calc.history().size(), lines + 1);
    EXPECT_TRUE(lastLine().ends_with(": Error")) << lastLine();
}

// The angle of an azimuth line written in decimal degrees ("Azimuth at A: 9.142329°"), or
// nothing when the line has another form.
std::optional<double> decimalAzimuth(const std::string& line, char point) {
    const std::string prefix = std::string("Azimuth at ") + point + ": ";
    constexpr std::string_view kDegreeSign = "\xC2\xB0";
    if (!line.starts_with(prefix) || !line.ends_with(kDegreeSign)) return std::nullopt;
    const std::string number =
        line.substr(prefix.size(), line.size() - prefix.size() - kDegreeSign.size());
    if (number.empty() || number.find_first_not_of("0123456789.") != std::string::npos)
        return std::nullopt;
    return std::stod(number);
}

// A degree off each ellipsoid's antipode, and closer: with the option on, every datum of the
// menu gives GeographicLib's length on its a and f, "(exact)" where Vincenty did not settle,
// and the azimuths of the same solution.
TEST_F(ExtrasTest, EveryDatumNearItsAntipode) {
    calc.SetExactNearAntipodes(true);
    calc.SetShowAzimuths(true);
    nearlyAntipodal();
    int solvedExactly = 0;
    for (std::int16_t datum = 0; datum < kOtherEntry; ++datum) {
        if (IsDatumSeparator(datum)) continue;
        calc.MenuDatum_Click(datum);
        calc.Lab_Num_Click(kKeyCalculate);
        const DatumParameters& d = state().Datum;
        const bool sphere = datum == kSphereEntry;
        const GeographicLib::Geodesic oracle(sphere ? kSphereMetres : d.semiMajorMetres,
                                             sphere ? 0.0 : d.flattening);
        double metres = 0, atA = 0, atB = 0;
        oracle.Inverse(0, 0, 0.5, 179.7, metres, atA, atB);
        SCOPED_TRACE(DatumCaption(datum));
        ASSERT_NE(display(), "Error");
        EXPECT_NEAR(std::stod(display()), metres / 1000.0, kShownKm);
        const bool exact = back(2).ends_with(" km (exact)");
        solvedExactly += exact ? 1 : 0;
        const geodesy::GeodesicSolution vincenty = geodesy::VincentyInverse(
            0, 0, 0.5, 179.7, d.semiMajorMetres, d.semiMinorMetres, d.flattening);
        EXPECT_EQ(exact, !sphere && vincenty.status == geodesy::SolutionStatus::NotSettled);
        const std::optional<double> shownAtA = decimalAzimuth(back(1), 'A');
        ASSERT_TRUE(shownAtA) << back(1);
        EXPECT_NEAR(*shownAtA, atA, 1e-6);
        const std::optional<double> shownAtB = decimalAzimuth(back(0), 'B');
        ASSERT_TRUE(shownAtB) << back(0);
        EXPECT_NEAR(*shownAtB, atB + 360.0 * (atB < 0), 1e-6);
    }
    EXPECT_GT(solvedExactly, 0);
}

TEST_F(ExtrasTest, ExactDistanceKeepsItsMarkWhenReExpressed) {
    calc.SetExactNearAntipodes(true);
    nearlyAntipodal();
    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_EQ(display(), "19944.127421");
    EXPECT_EQ(lastLine(), "Distance: 19944.127421 km (exact)");
    calc.Lab_Sel_Click(kSelStatuteMiles);
    EXPECT_EQ(lastLine(), "Distance: 12392.706234 mi (exact)");
    // An ordinary distance afterwards carries no mark.
    calc.Lab_Num_Click(kKeyResetPoints);
    calc.Lab_Num_Click(kKeyCalculate);
    EXPECT_EQ(lastLine(), "Distance: 0.000000 mi");
}

struct FaultCase {
    const char* name;
    DatumParameters datum;
};

class ExactFaults : public ::testing::TestWithParam<FaultCase> {};

// Faults keep the failure path with the option on: b = 0 (which leaves the iteration unsettled
// rather than failing it), an ellipsoid GeographicLib refuses, overflowing axes.
TEST_P(ExactFaults, StillFail) {
    CalculatorState state;
    state.DisplaySeparator = ".";
    state.ConversionSeparator = ",";
    state.CoordText = {"0", "0.5" DEG, "0", "179.7" DEG};
    state.Datum = GetParam().datum;
    const std::optional<DistanceSolution> solution = SolveDistance(state, true);
    EXPECT_FALSE(solution.has_value());
    EXPECT_FALSE(state.ResultShown);
}

INSTANTIATE_TEST_SUITE_P(
    SolveDistance, ExactFaults,
    ::testing::Values(FaultCase{"SemiMinorAxisZero", {6378137.0, 0.0, 1.0 / 298.257223563}},
                      FaultCase{"FlatteningOne", {6378137.0, 6356752.3142, 1.0}},
                      FaultCase{"HugeAxes", {1e300, 1e300, 1.0 / 298.257223563}}),
    [](const auto& info) { return std::string(info.param.name); });

struct PasteCase {
    const char* name;
    int formatKey;
    const char* text;
    // The same position typed: latitude hemisphere key and text, longitude likewise.
    int latitudeHemisphere;
    const char* latitude;
    int longitudeHemisphere;
    const char* longitude;
};

class PastedPoint : public ::testing::TestWithParam<PasteCase> {};

// A second and third calculator inside one test, to compare two ways of entering a point.
class Session : public EngineTest {
public:
    void TestBody() override {}
    using EngineTest::calc;
    using EngineTest::display;
    using EngineTest::enter;
    using EngineTest::keys;
    using EngineTest::prompts;
    using EngineTest::selector;
    using EngineTest::state;
};

// A pasted point leaves the history, the stored coordinates, the display and the keys exactly
// as typing it does, in each format and for either point.
TEST_P(PastedPoint, IsEnteredExactlyAsTyped) {
    const PasteCase& c = GetParam();
    for (const std::int16_t point : {kPointA, kPointB}) {
        Session pasted;
        Session typed;
        for (Session* e : {&pasted, &typed}) {
            e->selector({c.formatKey});
            e->keys({kKeyCancel});
        }
        pasted.calc.MenuPastePoint_Click(point, c.text);
        typed.keys({kKeyCancel});
        typed.enter(point == kPointA ? kSelLatitudeA : kSelLatitudeB, c.latitudeHemisphere,
                    c.latitude);
        typed.keys({kKeyCancel});
        typed.enter(point == kPointA ? kSelLongitudeA : kSelLongitudeB, c.longitudeHemisphere,
                    c.longitude);
        EXPECT_EQ(pasted.calc.history(), typed.calc.history());
        EXPECT_EQ(pasted.state().CoordText, typed.state().CoordText);
        EXPECT_EQ(pasted.state().ActiveField, typed.state().ActiveField);
        EXPECT_EQ(pasted.state().Hemisphere, typed.state().Hemisphere);
        EXPECT_EQ(pasted.display(), typed.display());
        EXPECT_TRUE(pasted.prompts.messages.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Calculator, PastedPoint,
    ::testing::Values(PasteCase{"DmsIntoDegMinSec", kSelDegMinSec,
                                "48" DEG "51'24\"N 2" DEG "21'08\"E", kSelNorth, "48" DEG "51'24\"",
                                kSelEast, "2" DEG "21'8\""},
                      PasteCase{"DecimalIntoDegMinSec", kSelDegMinSec, "-33.8688, 151.2093",
                                kSelSouth, "33" DEG "52'7.68\"", kSelEast, "151" DEG "12'33.48\""},
                      PasteCase{"DecimalIntoDegMin", kSelDegMin, "40.7128, -74.0060", kSelNorth,
                                "40" DEG "42.768'", kSelWest, "74" DEG "0.36'"},
                      PasteCase{"DmsIntoDegrees", kSelDegrees,
                                "33" DEG "52'07.7\"S 151" DEG "12'33.5\"E", kSelSouth,
                                "33.8688055556" DEG, kSelEast, "151.2093055556" DEG}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ExtrasTest, PastedPointsGiveTheDistance) {
    calc.MenuPastePoint_Click(kPointA, "48.8566, 2.3522");
    calc.MenuPastePoint_Click(kPointB, "N 51" DEG " 30.444' W 0" DEG " 7.668'");
    calc.Lab_Num_Click(kKeyCalculate);
    const GeographicLib::Geodesic wgs84(6378137.0, 1.0 / 298.257223563);
    double metres = 0;
    wgs84.Inverse(48.8566, 2.3522, 51.5074, -0.1278, metres);
    EXPECT_NEAR(std::stod(display()), metres / 1000.0, kShownKm);
}

// A refused text says why in a message box and leaves everything as it was, a shown
// distance included.
TEST_F(ExtrasTest, RefusedTextChangesNothing) {
    landsEndToJohnOGroats();
    calc.Lab_Num_Click(kKeyCalculate);
    const std::vector<std::string> lines = calc.history();
    const CalculatorState before = state();
    calc.MenuPastePoint_Click(kPointB, "48.8566");
    calc.MenuPastePoint_Click(kPointA, "-48 S, 2 E");
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[0].title, "Velmora");
    EXPECT_EQ(
        prompts.messages[0].text,
        "Point B was not pasted: the clipboard holds one angle, not a latitude and a longitude.");
    EXPECT_EQ(prompts.messages[1].text,
              "Point A was not pasted: an angle carries both a sign and a hemisphere letter.");
    EXPECT_EQ(calc.history(), lines);
    EXPECT_EQ(state().CoordText, before.CoordText);
    EXPECT_EQ(state().ActiveField, before.ActiveField);
    EXPECT_TRUE(state().ResultShown);
    EXPECT_EQ(display(), "969.932988");
}

}  // namespace
}  // namespace velmora::calc::testing
