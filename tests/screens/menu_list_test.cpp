#include "common/screens/menu_list.h"

#include "common/runtime/extras.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>

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

namespace {

TEST(ExtrasMenu, OneMenuWithItsOwnAccessLettersAndKeysThatLeavePromptsTheirKeys) {
    const std::vector<std::string>& menu = common::extras_menu();
    ASSERT_GE(menu.size(), 4u);
    EXPECT_EQ(menu.front(), "EXTRAS |");
    EXPECT_EQ(menu[menu.size() - 2], "*");
    EXPECT_EQ(menu.back(), "");

    std::set<char32_t> letters;
    int entries = 0;
    for (std::size_t i = 1; i + 2 < menu.size(); ++i) {
        const std::string& text = menu[i];
        ASSERT_FALSE(text.empty()) << "an empty text would end the menu at " << i;
        if (text.find_first_not_of('-') == std::string::npos) continue;
        ++entries;
        const std::size_t amp = text.find('&');
        ASSERT_NE(amp, std::string::npos) << text;
        EXPECT_TRUE(letters.insert(std::tolower(static_cast<unsigned char>(text[amp + 1]))).second)
            << "access letter of " << text << " taken twice";
    }
    EXPECT_EQ(entries, static_cast<int>(rt::extras_entries().size()));

    // Ordinary keys end the continue prompt and the statistics wait: every
    // shortcut needs Ctrl or is a function key.
    for (const rt::ExtraEntry& entry : rt::extras_entries()) {
        const std::string key = entry.shortcut;
        EXPECT_TRUE(key.empty() || key.rfind("Ctrl+", 0) == 0 || (key[0] == 'F' && key.size() <= 3)) << key;
    }
}

TEST(ExtrasMenu, OnlyItsEntriesUnderItsTitleAreExtras) {
    const auto entries = common::menu_entries_from_list(
        common::joined({{"AUSGABE |", "&Vollbild", "*", ""}, common::extras_menu(), {"ende"}}), 81);
    EXPECT_FALSE(rt::extra_at(entries, 1)) << "the same text in another menu is the program's";
    EXPECT_FALSE(rt::extra_at(entries, 3)) << "the title";
    EXPECT_EQ(rt::extra_at(entries, 4), rt::Extra::save_picture);
    EXPECT_EQ(rt::extra_at(entries, 8), rt::Extra::full_screen);
    EXPECT_FALSE(rt::extra_at(entries, 7)) << "a separator";
    EXPECT_FALSE(rt::extra_at(entries, 81));
}

}  // namespace
