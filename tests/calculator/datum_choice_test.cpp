#include "calculator/datum_choice.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "calculator/distance_units.h"

namespace velmora::calc {
namespace {

class Replies : public UserPrompts {
public:
    explicit Replies(std::deque<std::string> replies) : m_replies(std::move(replies)) {}
    std::string InputBox(std::string_view, std::string_view, std::string_view) override {
        if (m_replies.empty()) return {};
        std::string reply = m_replies.front();
        m_replies.pop_front();
        return reply;
    }
    void CriticalMessage(std::string_view, std::string_view) override {}

private:
    std::deque<std::string> m_replies;
};

using Lines = std::vector<std::string>;

struct ChoiceCase {
    const char* name;
    std::int16_t first;  // chosen before, kNone for nothing
    std::int16_t index;
    std::deque<std::string> replies;
    std::optional<Lines> lines;
    std::int16_t ticked;  // the ticked entry afterwards
};

class Choices : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(Choices, TickInstallAndWrite) {
    const ChoiceCase& c = GetParam();
    CalculatorState state;
    DetectDecimalSeparator(state);
    DatumChoice choice;
    Replies replies(c.replies);
    if (c.first != kNone) {
        ASSERT_TRUE(choice.choose(state, c.first, replies, {}).has_value());
    }
    EXPECT_EQ(choice.choose(state, c.index, replies, {}), c.lines);
    for (int entry = 0; entry < kDatumEntryCount; ++entry)
        EXPECT_EQ(choice.isTicked(entry), entry == c.ticked) << entry;
}

INSTANTIATE_TEST_SUITE_P(
    DatumChoice, Choices,
    ::testing::Values(
        ChoiceCase{"NamedEllipsoid", kNone, kWgs84Entry, {}, Lines{"Datum: WGS-84"}, kWgs84Entry},
        ChoiceCase{"Sphere", kWgs84Entry, kSphereEntry, {}, Lines{"Datum: Sphere"}, kSphereEntry},
        ChoiceCase{
            "TickedAgainDoesNothing", kWgs84Entry, kWgs84Entry, {}, std::nullopt, kWgs84Entry},
        ChoiceCase{"SeparatorDoesNothing", kWgs84Entry, 1, {}, std::nullopt, kWgs84Entry},
        ChoiceCase{"BeyondTheMenuDoesNothing",
                   kWgs84Entry,
                   kDatumEntryCount,
                   {},
                   std::nullopt,
                   kWgs84Entry},
        ChoiceCase{"CancelledDialogDoesNothing",
                   kSphereEntry,
                   kOtherEntry,
                   {},
                   std::nullopt,
                   kSphereEntry},
        ChoiceCase{"CustomDefinition",
                   kNone,
                   kOtherEntry,
                   {"6378137", "298.257223563"},
                   Lines{"Custom Datum Definition:", "  - Semi-major axis: 6378137 [m]",
                         "  - Semi-minor axis: 6356752.31424518 [m]",
                         "  - Inverse flattening: 298.257223563", "Custom Datum adopted"},
                   kOtherEntry},
        ChoiceCase{"RefusedDefinitionTakesWgs84",
                   kSphereEntry,
                   kOtherEntry,
                   {"6378137", "0"},
                   Lines{"Uncorrect custom datum", "Substitutive Datum: WGS-84"},
                   kWgs84Entry}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmora::calc
