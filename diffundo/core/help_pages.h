#pragma once

#include <string>

// The three fixed German help pages of diffundo, each the full text of one
// message box: its lines joined with "|", the box's line separator.

namespace diffundo {

std::string intro_page_text();      // "&Info", and once at start-up
std::string theory_page_text();     // "&Theorie"; begins with an empty line
std::string operation_page_text();  // "&Bedienung"

}  // namespace diffundo
