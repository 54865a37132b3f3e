#pragma once
// How a message box reads its texts, the same in the window and in the
// scripted run: "|" separates lines of the text and the button captions.

#include <string>
#include <vector>

namespace rt {

// The fields of a "|"-separated text, blanks kept: "a| b|" gives "a", " b", "".
std::vector<std::string> split_at_bars(const std::string& text);

// The button a box preselects: the requested number (from 1) when it exists,
// the last button when the number is larger, the first when it is below 1.
int effective_default_button(int requested, int button_count);

}  // namespace rt
