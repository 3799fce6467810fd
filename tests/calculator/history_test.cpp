#include "calculator/history.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_view.h"

namespace velmora::calc {
namespace {

struct CopyCase {
    const char* name;
    std::vector<std::size_t> selected;
    const char* text;
};

class Copies : public ::testing::TestWithParam<CopyCase> {};

TEST_P(Copies, TakeTheSelectedLinesOrTheDisplay) {
    testing::FakeView view;
    History history(view);
    history.append(std::vector<std::string>{"one", "two", "three"});
    EXPECT_EQ(history.copyText(GetParam().selected, "12.5"), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    History, Copies,
    ::testing::Values(CopyCase{"NoSelectionTakesTheDisplay", {}, "12.5"},
                      CopyCase{"EachLineBehindALineBreak", {0, 2}, "\r\none\r\nthree"},
                      CopyCase{"BeyondTheListIgnored", {1, 7}, "\r\ntwo"},
                      CopyCase{"OnlyBeyondTheListIsEmpty", {3}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(History, TellsTheWindowOfEveryChange) {
    testing::FakeView view;
    History history(view);
    history.selectLast();
    EXPECT_EQ(view.currentLine, -1);
    history.append("one");
    history.append(std::vector<std::string>{"two", "three"});
    history.selectLast();
    EXPECT_EQ(view.appended, 3);
    EXPECT_EQ(view.currentLine, 2);
    history.clear();
    EXPECT_EQ(view.cleared, 1);
    EXPECT_TRUE(history.lines().empty());
}

}  // namespace
}  // namespace velmora::calc
