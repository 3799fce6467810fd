#include "engine_fixture.h"
#include "calculator/datum_menu.h"

namespace velmora::calc::testing {
namespace {

TEST(CalculatorStartUp, LeavesTheCalculatorReadyOnWgs84) {
    FakeView view;
    ScriptedPrompts prompts;
    Calculator calc(view, prompts, UserLocale{});
    calc.StartUp();

    EXPECT_TRUE(calc.state().Loading) << "the window finishes its own steps first";
    EXPECT_EQ(calc.displayText(), "0");
    EXPECT_EQ(calc.history(),
              (std::vector<std::string>{"Datum: WGS-84", "Distance: kilometers [km]",
                                        "Coordinates: Degrees / minutes / seconds"}));
    EXPECT_EQ(view.appended, 3);
    EXPECT_EQ(view.cleared, 1);
    for (const std::string& text : calc.state().CoordText) EXPECT_EQ(text, "0");
    for (int i = 0; i < kDatumEntryCount; ++i)
        EXPECT_EQ(calc.isDatumTicked(i), i == kWgs84Entry) << i;

    const CalculatorState& s = calc.state();
    EXPECT_EQ(s.ActiveField, kLatitudeA);
    EXPECT_EQ(s.Hemisphere, kNorth);
    EXPECT_EQ(s.UnitIndex, kKilometres);
    EXPECT_EQ(s.CoordFormat, kDegMinSec);
    EXPECT_EQ(s.UnitText, "");
    EXPECT_FALSE(s.ResultShown);
    EXPECT_FALSE(s.SphereMode);
    EXPECT_EQ(s.DisplaySeparator, ".");
    EXPECT_EQ(s.ConversionSeparator, ",");
    EXPECT_EQ(s.Datum.semiMinorMetres, 6356752.3142);

    EXPECT_EQ(calc.indicatorPicture(Indicator::LatLon), 1);
    EXPECT_EQ(calc.indicatorPicture(Indicator::Bussola), 8);
    EXPECT_EQ(calc.indicatorPicture(Indicator::UMisura), 5);
    EXPECT_EQ(calc.indicatorPicture(Indicator::Gms), 14);

    for (int i = 0; i < kKeypadKeyCount; ++i)
        EXPECT_EQ(calc.isKeypadKeyEnabled(i), i != kKeySign && i != kKeyPi) << i;
    for (int i = 0; i < kSelectorKeyCount; ++i)
        EXPECT_EQ(calc.isSelectorKeyEnabled(i), i != kSelWest && i != kSelEast) << i;

    calc.FinishStartUp();
    EXPECT_FALSE(calc.state().Loading);
}

TEST(CalculatorStartUp, BeforeStartUpEverythingIsAsDesigned) {
    FakeView view;
    ScriptedPrompts prompts;
    const Calculator calc(view, prompts, UserLocale{});
    EXPECT_EQ(calc.displayText(), "0");
    for (int i = 0; i < kIndicatorCount; ++i)
        EXPECT_EQ(calc.indicatorPicture(static_cast<Indicator>(i)), 0);
    for (int i = 0; i < kDatumEntryCount; ++i) EXPECT_FALSE(calc.isDatumTicked(i));
    EXPECT_TRUE(calc.isKeypadKeyEnabled(kKeySign));
    EXPECT_FALSE(calc.isKeypadKeyEnabled(kKeypadKeyCount));
}

// Before any field is chosen Enter has nowhere to store: the key fails visibly.
TEST(CalculatorStartUp, EnterWithoutFieldFails) {
    FakeView view;
    ScriptedPrompts prompts;
    Calculator calc(view, prompts, UserLocale{});
    calc.Lab_Num_Click(4);
    calc.Lab_Num_Click(kKeyEnter);
    EXPECT_EQ(calc.displayText(), "Error");
    EXPECT_TRUE(calc.history().back().ends_with("Error"));
}

}  // namespace
}  // namespace velmora::calc::testing
