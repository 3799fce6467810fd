#include "calculator/number_text.h"
#include "engine_fixture.h"

namespace velmora::calc::testing {
namespace {

const std::string kD = kDegreeMark;

struct FieldCase {
    const char* name;
    std::vector<int> selectors;
    std::int16_t field;
    std::int16_t hemisphere;
    int fieldPicture;
    int compassPicture;
};

class SelectorField : public EngineTest, public ::testing::WithParamInterface<FieldCase> {};

TEST_P(SelectorField, KeepsHemisphereOnTheFieldsAxis) {
    const FieldCase& c = GetParam();
    for (const int s : c.selectors) calc.Lab_Sel_Click(static_cast<std::int16_t>(s));
    EXPECT_EQ(state().ActiveField, c.field);
    EXPECT_EQ(state().Hemisphere, c.hemisphere);
    EXPECT_EQ(calc.indicatorPicture(Indicator::LatLon), c.fieldPicture);
    EXPECT_EQ(calc.indicatorPicture(Indicator::Bussola), c.compassPicture);
    const bool latitude = c.field <= kLatitudeB;
    EXPECT_EQ(calc.isSelectorKeyEnabled(kSelNorth), latitude);
    EXPECT_EQ(calc.isSelectorKeyEnabled(kSelSouth), latitude);
    EXPECT_EQ(calc.isSelectorKeyEnabled(kSelWest), !latitude);
    EXPECT_EQ(calc.isSelectorKeyEnabled(kSelEast), !latitude);
}

INSTANTIATE_TEST_SUITE_P(
    Selector, SelectorField,
    ::testing::Values(
        FieldCase{"LongitudeBTurnsNorthIntoEast", {kSelLongitudeB}, kLongitudeB, kEast, 4, 11},
        FieldCase{"LatitudeAfterLongitudeTurnsBackToNorth",
                  {kSelLongitudeB, kSelLatitudeA},
                  kLatitudeA,
                  kNorth,
                  1,
                  8},
        FieldCase{"LatitudeBKeepsSouth", {kSelSouth, kSelLatitudeB}, kLatitudeB, kSouth, 3, 9},
        FieldCase{"LongitudeKeepsWest",
                  {kSelLongitudeA, kSelWest, kSelLongitudeB},
                  kLongitudeB,
                  kWest,
                  4,
                  10},
        FieldCase{
            "SouthBecomesEastOnLongitude", {kSelSouth, kSelLongitudeA}, kLongitudeA, kEast, 2, 11},
        FieldCase{
            "HemisphereKeyOfOtherAxisIsIgnored", {kSelWest, kSelEast}, kLatitudeA, kNorth, 1, 8},
        FieldCase{"LatitudeKeyIgnoredOnLongitude",
                  {kSelLongitudeA, kSelSouth},
                  kLongitudeA,
                  kEast,
                  2,
                  11}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EngineTest, FieldKeyChangesNeitherDisplayNorCoordinatesNorHistory) {
    enter(kSelLatitudeA, kSelSouth, "12");
    type("3" + kD);
    const std::size_t lines = calc.history().size();
    selector({kSelLongitudeB, kSelWest, kSelLatitudeB});
    EXPECT_EQ(display(), "3" + kD);
    EXPECT_EQ(state().CoordText[kLatitudeA], "-12" + kD);
    EXPECT_EQ(calc.history().size(), lines);
}

TEST_F(EngineTest, EverySelectorPressEndsWithRedrawScrollAndFocus) {
    for (const int index : {int{kSelKilometres}, int{kSelDegMin}, -1, 14}) {
        view.currentLine = -2;
        const int focus = view.focusRequests;
        const int refreshes = view.refreshes;
        calc.Lab_Sel_Click(static_cast<std::int16_t>(index));
        EXPECT_EQ(view.currentLine, static_cast<int>(calc.history().size()) - 1) << index;
        EXPECT_EQ(view.focusRequests, focus + 1) << index;
        EXPECT_GT(view.refreshes, refreshes) << index;
    }
}

TEST_F(EngineTest, SelectedUnitAgainWritesNothing) {
    const auto lines = calc.history();
    calc.Form_KeyPress('k');
    calc.Lab_Sel_Click(kSelKilometres);
    EXPECT_EQ(calc.history(), lines);
}

TEST_F(EngineTest, UnitKeyWithoutResultWritesOnlyItsLine) {
    type("12");
    calc.Lab_Sel_Click(kSelNauticalMiles);
    EXPECT_EQ(lastLine(), "Distance: nautical miles [nmi]");
    EXPECT_EQ(display(), "12");
    EXPECT_EQ(state().UnitIndex, kNauticalMiles);
    EXPECT_EQ(calc.indicatorPicture(Indicator::UMisura), 7);
}

// A shown distance is re-expressed from its six-decimal text, not from the exact value.
TEST_F(EngineTest, UnitKeysReExpressTheShownText) {
    enter(kSelLatitudeB, kSelNorth, "1");
    calc.Lab_Num_Click(kKeyCalculate);
    const std::string km = display();

    calc.Lab_Sel_Click(kSelStatuteMiles);
    const std::string mi = display();
    EXPECT_EQ(mi, FixedSixText(ReadLeadingNumber(km) / 1.609344, "."));
    const auto& lines = calc.history();
    EXPECT_EQ(lines[lines.size() - 2], "Distance: statute miles [mi]");
    EXPECT_EQ(lines.back(), "Distance: " + mi + " mi");
    EXPECT_TRUE(state().ResultShown);

    calc.Lab_Sel_Click(kSelNauticalMiles);
    const std::string nmi = display();
    EXPECT_EQ(nmi, FixedSixText(ReadLeadingNumber(mi) * 1.609344 / 1.853, "."));

    calc.Lab_Sel_Click(kSelKilometres);
    EXPECT_EQ(display(), FixedSixText(ReadLeadingNumber(nmi) * 1.853, "."));
    EXPECT_EQ(lastLine(), "Distance: " + display() + " km");
}

// A number pasted over a shown distance is re-expressed like the distance; a negative one is
// no length and gets only the unit line.
TEST_F(EngineTest, UnitKeyReExpressesAPastedLengthButNoNegativeNumber) {
    calc.Lab_Num_Click(kKeyCalculate);
    calc.MenuIncolla_Click("1.853");
    calc.Lab_Sel_Click(kSelNauticalMiles);
    EXPECT_EQ(lastLine(), "Distance: 1.000000 nmi");

    calc.MenuIncolla_Click("-4");
    calc.Lab_Sel_Click(kSelKilometres);
    EXPECT_EQ(lastLine(), "Distance: kilometers [km]");
    EXPECT_EQ(display(), "-4");
    EXPECT_EQ(state().UnitIndex, kKilometres);
    EXPECT_TRUE(state().ResultShown);
}

// Locales whose decimal mark is not the point: the re-expressed distance keeps the mark on
// the display and in its line, and a further unit key reads it again.
class UnitKeysInLocale : public EngineTest, public ::testing::WithParamInterface<const char*> {
protected:
    UnitKeysInLocale() : EngineTest(UserLocale{GetParam(), ""}) {}
};

TEST_P(UnitKeysInLocale, ReExpressedDistanceKeepsTheMarkAndIsReadAgain) {
    const std::string mark = GetParam();
    enter(kSelLatitudeB, kSelNorth, "1");
    calc.Lab_Num_Click(kKeyCalculate);
    ASSERT_EQ(display().find(mark), std::string::npos) << "the display shows the point";
    const double km = ReadLeadingNumber(display());
    EXPECT_EQ(lastLine(), "Distance: " + FixedSixText(km, mark).value() + " km");

    calc.Lab_Sel_Click(kSelStatuteMiles);
    const std::string mi = FixedSixText(km / 1.609344, mark).value();
    EXPECT_EQ(display(), mi);
    EXPECT_EQ(lastLine(), "Distance: " + mi + " mi");

    const double miRead = ReadLeadingNumber(FixedSixText(km / 1.609344, ".").value());
    calc.Lab_Sel_Click(kSelKilometres);
    EXPECT_EQ(display(), FixedSixText(miRead * 1.609344, mark));
}

TEST_P(UnitKeysInLocale, FormatKeyReadsTheReExpressedDistance) {
    enter(kSelLatitudeB, kSelNorth, "1");
    calc.Lab_Num_Click(kKeyCalculate);
    calc.Lab_Sel_Click(kSelStatuteMiles);
    const std::string shown = display();
    calc.Lab_Sel_Click(kSelDegrees);
    std::string pointed = shown;
    pointed.replace(pointed.find(GetParam()), std::string_view(GetParam()).size(), ".");
    EXPECT_EQ(display(), NumberText(ReadLeadingNumber(pointed)) + kD);
}

INSTANTIATE_TEST_SUITE_P(Selector, UnitKeysInLocale,
                         ::testing::Values(",", "\u066B"),  // Arabic decimal separator
                         [](const auto& info) { return info.index == 0 ? "Comma" : "Arabic"; });

struct FormatCase {
    const char* name;
    std::vector<int> before;
    std::string typed;
    int formatKey;
    std::string display;
    std::string line;
    int picture;
};

class SelectorFormat : public EngineTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(SelectorFormat, ConvertsTheDisplayAndSetsTheMarkKeys) {
    const FormatCase& c = GetParam();
    for (const int s : c.before) calc.Lab_Sel_Click(static_cast<std::int16_t>(s));
    type(c.typed);
    calc.Lab_Sel_Click(static_cast<std::int16_t>(c.formatKey));
    EXPECT_EQ(display(), c.display);
    EXPECT_EQ(lastLine(), c.line);
    EXPECT_EQ(calc.indicatorPicture(Indicator::Gms), c.picture);
    const std::int16_t format = state().CoordFormat;
    EXPECT_TRUE(calc.isKeypadKeyEnabled(kKeyDegrees));
    EXPECT_EQ(calc.isKeypadKeyEnabled(kKeyMinutes), format != kDeg);
    EXPECT_EQ(calc.isKeypadKeyEnabled(kKeySeconds), format == kDegMinSec);
}

INSTANTIATE_TEST_SUITE_P(
    Selector, SelectorFormat,
    ::testing::Values(
        FormatCase{"DegMinToDegrees",
                   {},
                   "45" + kD + "30'",
                   kSelDegrees,
                   "45.5" + kD,
                   "Coordinates: Degrees",
                   12},
        FormatCase{"PlainNumberToDegMinSec",
                   {kSelDegrees},
                   "12.5",
                   kSelDegMinSec,
                   "12" + kD + "30'0\"",
                   "Coordinates: Degrees / minutes / seconds",
                   14},
        FormatCase{"DegreesToDegMin",
                   {kSelDegrees},
                   "12.5" + kD,
                   kSelDegMin,
                   "12" + kD + "30'",
                   "Coordinates: Degrees / minutes",
                   13},
        FormatCase{"IdleZeroStays", {}, "", kSelDegMin, "0", "Coordinates: Degrees / minutes", 13}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EngineTest, FormatKeyPressedTwiceWritesTwiceAndConvertsOnlyTheDisplay) {
    enter(kSelLatitudeA, kSelNorth, "45" + kD + "30'");
    const std::size_t lines = calc.history().size();
    selector({kSelDegrees, kSelDegrees});
    EXPECT_EQ(calc.history().size(), lines + 2);
    EXPECT_EQ(calc.history()[lines], calc.history()[lines + 1]);
    EXPECT_EQ(state().CoordText[kLatitudeA], "45" + kD + "30'");
}

}  // namespace
}  // namespace velmora::calc::testing
