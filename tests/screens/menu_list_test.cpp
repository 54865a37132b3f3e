#include "common/screens/menu_list.h"

#include <gtest/gtest.h>

namespace {

TEST(MenuEntries, DropsMarkersAndBlanksTheEndWord) {
    const auto entries = common::menu_entries_from_list({"HILFE |", "&Info", "*", "", "ende"}, 81);
    ASSERT_EQ(entries.size(), 81u);
    EXPECT_EQ(entries[0], "HILFE |");
    EXPECT_EQ(entries[1], "&Info");
    EXPECT_EQ(entries[2], "");
    EXPECT_EQ(entries[3], "");
    for (std::size_t i = 2; i < entries.size(); ++i) EXPECT_EQ(entries[i], "") << i;
}

TEST(MenuEntries, PositionsFollowTheListWithoutMarkers) {
    const auto entries =
        common::menu_entries_from_list({"A |", "&One", "----", "*", "", "B |", "&Two", "*", "", "ende"}, 81);
    const std::vector<std::string> expected = {"A |", "&One", "----", "", "B |", "&Two", "", ""};
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(entries[i], expected[i]) << i;
}

TEST(MenuEntries, StopsAtTheCapacity) {
    std::vector<std::string> list(100, "x");
    const auto entries = common::menu_entries_from_list(list, 81);
    EXPECT_EQ(entries.size(), 81u);
    EXPECT_EQ(entries[80], "x");
}

}  // namespace
