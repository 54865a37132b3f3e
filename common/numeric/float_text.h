#pragma once
// Decimal texts of doubles and doubles of decimal texts, the same digits on
// every platform: printf's conversions are exact in both C libraries the
// programs are built with (glibc on the desktop, musl in the browser), while
// the browser's C++ library has no floating-point std::to_chars or
// std::from_chars. Always with "." whatever the process's locale (Qt sets it
// from the environment, and a German one would write ",").

#include <string>
#include <string_view>

namespace numeric {

// printf("%.*f", decimals, value).
std::string fixed_text(double value, int decimals);

// printf("%.*g", precision, value).
std::string general_text(double value, int precision);

// The shortest digits that read back as the value, laid out in fixed
// notation ("0.001", "120") or in scientific ("1.5e-05", "2e+20"): what
// std::to_chars writes with chars_format::fixed or ::scientific and no
// precision. Finite values only.
enum class Layout { fixed, scientific };
std::string shortest_text(double value, Layout layout);

// Reads a whole decimal text as strtod does in the "C" locale; false when
// the text is not all one number. `out_of_range` is set when the value over-
// or underflows to infinity or zero (the value is then left unchanged, as
// std::from_chars leaves it).
bool parse_double(std::string_view text, double& value, bool* out_of_range = nullptr);

}  // namespace numeric
