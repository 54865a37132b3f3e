#include "diffundo/core/line_text.h"

#include <charconv>

namespace diffundo {

namespace {

void append_integer(std::string& line, std::int32_t value, std::size_t width) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    const auto length = static_cast<std::size_t>(end - digits);
    if (length < width) line.append(width - length, ' ');
    line.append(digits, length);
}

}  // namespace

void append_counts(std::string& line, std::int32_t N, std::int32_t m) {
    line += ' ';
    append_integer(line, N, 0);
    line += ' ';
    append_integer(line, m, 2);
    line += "  ";
}

}  // namespace diffundo
