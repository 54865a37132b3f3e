#pragma once
// The end of a simulation line, built without the general number formatting:
// the line is printed at every dice step, hundreds of thousands of times a
// second, and the general picture formatter is far too slow for that.

#include <cstdint>
#include <string>

namespace diffundo {

// Appends " ", N as plain number text, " ", m right-aligned in two places
// (the picture "##"; three digits print in full) and two blanks: the same
// text as the runtime's number printing and picture formatting give.
void append_counts(std::string& line, std::int32_t N, std::int32_t m);

}  // namespace diffundo
