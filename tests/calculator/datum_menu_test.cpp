#include "engine_fixture.h"
#include "calculator/datum_menu.h"

namespace velmora::calc::testing {
namespace {

constexpr std::int16_t kAiry = 2;

int tickedCount(const Calculator& calc) {
    int count = 0;
    for (int i = 0; i < kDatumEntryCount; ++i) count += calc.isDatumTicked(i) ? 1 : 0;
    return count;
}

TEST_F(EngineTest, ChosenDatumMovesTheTickAndWritesItsLine) {
    calc.MenuDatum_Click(kAiry);
    EXPECT_EQ(lastLine(), "Datum: Airy 1830");
    EXPECT_TRUE(calc.isDatumTicked(kAiry));
    EXPECT_EQ(tickedCount(calc), 1);
    EXPECT_EQ(state().Datum.semiMajorMetres, 6377563.396);
    EXPECT_EQ(view.currentLine, static_cast<int>(calc.history().size()) - 1);
}

TEST_F(EngineTest, TickedDatumChosenAgainDoesNothing) {
    const auto lines = calc.history();
    const int refreshes = view.refreshes;
    calc.MenuDatum_Click(kWgs84Entry);
    EXPECT_EQ(calc.history(), lines);
    EXPECT_EQ(view.refreshes, refreshes);
}

TEST_F(EngineTest, SeparatorsAndUnknownEntriesCannotBeChosen) {
    const auto lines = calc.history();
    for (const int index : {1, 17, -1, 19}) calc.MenuDatum_Click(static_cast<std::int16_t>(index));
    EXPECT_EQ(calc.history(), lines);
    EXPECT_TRUE(calc.isDatumTicked(kWgs84Entry));
}

TEST_F(EngineTest, SphereThenWgs84TurnsSphereModeOff) {
    calc.MenuDatum_Click(kSphereEntry);
    EXPECT_TRUE(state().SphereMode);
    EXPECT_EQ(lastLine(), "Datum: Sphere");
    calc.MenuDatum_Click(kWgs84Entry);
    EXPECT_FALSE(state().SphereMode);
}

TEST_F(EngineTest, ShownDistanceIsComputedAgainOnTheNewDatum) {
    enter(kSelLatitudeB, kSelNorth, "45");
    calc.Lab_Num_Click(kKeyCalculate);
    const std::string onWgs84 = display();
    calc.MenuDatum_Click(kAiry);
    const auto& lines = calc.history();
    EXPECT_EQ(lines[lines.size() - 2], "Datum: Airy 1830");
    EXPECT_EQ(lines.back(), "Distance: " + display() + " km");
    EXPECT_NE(display(), onWgs84);
    EXPECT_TRUE(state().ResultShown);
}

TEST_F(EngineTest, CustomDatumWithTheDefaultReplies) {
    prompts.replies = {"6378137", "298.257223563"};
    calc.MenuDatum_Click(kOtherEntry);

    ASSERT_EQ(prompts.questions.size(), 2u);
    EXPECT_EQ(prompts.questions[0].title, "Custom Datum Definition");
    EXPECT_EQ(prompts.questions[0].prompt, "Step1: input the semi-major axis value [m]");
    EXPECT_EQ(prompts.questions[0].defaultReply, "6378137");
    EXPECT_EQ(prompts.questions[1].prompt, "Step2: input the inverse flattering (1/f) value");
    EXPECT_EQ(prompts.questions[1].defaultReply, "298.257223563");

    const auto& h = calc.history();
    ASSERT_GE(h.size(), 5u);
    const std::vector<std::string> tail(h.end() - 5, h.end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        "Custom Datum Definition:", "  - Semi-major axis: 6378137 [m]",
                        "  - Semi-minor axis: 6356752.31424518 [m]",
                        "  - Inverse flattening: 298.257223563", "Custom Datum adopted"}));
    EXPECT_TRUE(calc.isDatumTicked(kOtherEntry));
    EXPECT_EQ(tickedCount(calc), 1);
    EXPECT_EQ(state().Datum.flattening, 1 / 298.257223563);
}

TEST_F(EngineTest, OtherAlwaysAsksAgain) {
    prompts.replies = {"6378137", "300", "6378000", "300"};
    calc.MenuDatum_Click(kOtherEntry);
    calc.MenuDatum_Click(kOtherEntry);
    EXPECT_EQ(prompts.questions.size(), 4u);
    EXPECT_EQ(state().CustomDatum.semiMajorMetres, 6378000.0);
}

struct AcceptedCase {
    const char* name;
    std::string semiMajor;
    std::string second;
    std::string semiMinorLine;
    std::string flatteningLine;
};

class CustomDatumAccepted : public EngineTest,
                            public ::testing::WithParamInterface<AcceptedCase> {};

TEST_P(CustomDatumAccepted, WritesTheDefinition) {
    const AcceptedCase& c = GetParam();
    prompts.replies = {c.semiMajor, c.second};
    calc.MenuDatum_Click(kOtherEntry);
    const auto& h = calc.history();
    ASSERT_EQ(h.back(), "Custom Datum adopted");
    EXPECT_EQ(h[h.size() - 3], "  - Semi-minor axis: " + c.semiMinorLine + " [m]");
    EXPECT_EQ(h[h.size() - 2], "  - Inverse flattening: " + c.flatteningLine);
    EXPECT_TRUE(prompts.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    DatumMenu, CustomDatumAccepted,
    ::testing::Values(AcceptedCase{"SemiMinorBehindAt", "6378137", "@6356752.3142", "6356752.3142",
                                   "298.25722293287"},
                      AcceptedCase{"EqualAxesGiveTheSphereValue", "6378137", "@6378137", "6378137",
                                   "1.79769313486231E+308"},
                      AcceptedCase{"NegativeAxesAreTakenAsTyped", "-10", "2", "-5", "2"}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase {
    const char* name;
    std::vector<std::string> replies;
    std::string message;  // empty: no message box
};

class CustomDatumRefused : public EngineTest, public ::testing::WithParamInterface<RefusedCase> {};

// Any refusal substitutes WGS-84, also when another datum was in use.
TEST_P(CustomDatumRefused, SubstitutesWgs84) {
    const RefusedCase& c = GetParam();
    calc.MenuDatum_Click(kAiry);
    const CustomDatumValues before = state().CustomDatum;
    prompts.replies.assign(c.replies.begin(), c.replies.end());
    calc.MenuDatum_Click(kOtherEntry);

    const auto& h = calc.history();
    EXPECT_EQ(h[h.size() - 2], "Uncorrect custom datum");
    EXPECT_EQ(h.back(), "Substitutive Datum: WGS-84");
    EXPECT_TRUE(calc.isDatumTicked(kWgs84Entry));
    EXPECT_EQ(tickedCount(calc), 1);
    EXPECT_EQ(state().Datum.semiMajorMetres, 6378137.0);
    EXPECT_EQ(state().Datum.semiMinorMetres, 6356752.3142);
    EXPECT_FALSE(state().DatumDialogCancelled);
    EXPECT_EQ(state().CustomDatum.semiMajorMetres, before.semiMajorMetres);
    if (c.message.empty()) {
        EXPECT_TRUE(prompts.messages.empty());
    } else {
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].title, "Velmora");
        EXPECT_EQ(prompts.messages[0].text, c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    DatumMenu, CustomDatumRefused,
    ::testing::Values(
        RefusedCase{"SemiMajorNotANumber", {"abc"}, "Incorrect value for semi-major axis"},
        RefusedCase{"FlatteningNotFinite", {"1e-320", "1e-320"}, ""},
        RefusedCase{"FlatteningOfOneLeavesNoSemiMinorAxis", {"6378137", "1"}, ""},
        RefusedCase{"FlatteningAboveOne", {"6378137", "0.5"}, ""},
        RefusedCase{
            "FlatteningNotANumber", {"6378137", "abc"}, "Incorrect value for inverse flattering"},
        RefusedCase{"AtAlone", {"6378137", "@"}, "Incorrect value for inverse flattering"},
        RefusedCase{"SemiMinorOverSemiMajor", {"6378137", "@6400000"}, ""},
        RefusedCase{"ZeroInverseFlattening", {"6378137", "0"}, ""},
        RefusedCase{
            "OverflowingSemiMajor", {"1E+400", "300"}, "Incorrect value for semi-major axis"},
        RefusedCase{"OverflowingSemiMinor", {"1E+308", "1E-308"}, ""},
        RefusedCase{"AxesTooFarApartForAFlattening", {"1E+308", "@-1E+308"}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Replies typed with the decimal mark of the user's locale, whatever it is.
class DatumRepliesInLocale : public EngineTest, public ::testing::WithParamInterface<const char*> {
protected:
    DatumRepliesInLocale() : EngineTest(UserLocale{GetParam(), ""}) {}
};

TEST_P(DatumRepliesInLocale, AreReadWithTheLocalesMark) {
    const std::string mark = GetParam();
    prompts.replies = {"6378137" + mark + "5", "298" + mark + "25"};
    calc.MenuDatum_Click(kOtherEntry);
    EXPECT_EQ(lastLine(), "Custom Datum adopted");
    EXPECT_EQ(state().CustomDatum.semiMajorMetres, 6378137.5);
    EXPECT_EQ(state().CustomDatum.inverseFlattening, 298.25);
}

INSTANTIATE_TEST_SUITE_P(DatumMenu, DatumRepliesInLocale,
                         ::testing::Values(",", "\u066B"),  // Arabic decimal separator
                         [](const auto& info) { return info.index == 0 ? "Comma" : "Arabic"; });

TEST_F(EngineTest, CancelLeavesEverythingAsItWas) {
    calc.MenuDatum_Click(kAiry);
    for (const std::vector<std::string>& replies :
         {std::vector<std::string>{}, std::vector<std::string>{"6000000"}}) {
        const auto lines = calc.history();
        const CustomDatumValues before = state().CustomDatum;
        prompts.replies.assign(replies.begin(), replies.end());
        calc.MenuDatum_Click(kOtherEntry);
        EXPECT_EQ(calc.history(), lines);
        EXPECT_TRUE(calc.isDatumTicked(kAiry));
        EXPECT_EQ(state().Datum.semiMajorMetres, 6377563.396);
        EXPECT_EQ(state().CustomDatum.semiMajorMetres, before.semiMajorMetres);
        EXPECT_TRUE(state().DatumDialogCancelled);
    }
}

}  // namespace
}  // namespace velmora::calc::testing
