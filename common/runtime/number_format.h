#pragma once
// Numbers to text and text to numbers, as the programs show and read them.

#include "common/numeric/whole_number.h"

#include <charconv>
#include <concepts>
#include <string>
#include <string_view>

namespace rt {

// Formats with a picture such as "###,#", "##,#", "####,#" or "##": the "#"
// before the "," give a minimum width (right-aligned with blanks), the ","
// prints as the decimal comma and the "#" after it give the decimals. Halves
// round away from zero, decided on the exact value of the double. A value
// wider than the picture prints in full; a minus sign stands directly before
// the digits.
std::string format_picture(double value, std::string_view picture);

// Plain number text: at most 10 significant digits, "." as decimal point,
// no leading blank ("261.4", never "261.40000000000003"; 3 prints as "3").
std::string number_text(double value);

// A whole number with every digit, whatever its size (counts of long runs
// pass ten digits). For values of up to ten digits the same text as above.
template <std::integral Integer>
std::string number_text(Integer value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return std::string(digits, end);
}

struct ParsedNumber {
    double value = 0;  // 0 when the text does not begin with a number
    bool has_number = false;
};

// Reads a leading number: blanks skipped, optional sign, digits, "." or ","
// as the decimal separator (a German user types "0,4"), optional exponent;
// reading stops at the first character that does not fit.
ParsedNumber parse_number(std::string_view text);
inline double text_to_number(std::string_view text) { return parse_number(text).value; }

// A number read from a text becomes a count through the same conversion the
// Qt-free cores use.
using numeric::to_int32_nearest;

}  // namespace rt
