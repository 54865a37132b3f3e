#pragma once
// Large whole numbers as a German reader writes them: 1.234.567.

#include <cstdint>
#include <string>

namespace diffundo {

std::string step_count_text(std::int64_t count);

}  // namespace diffundo
