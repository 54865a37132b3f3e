#include "common/numeric/float_text.h"

#include <locale.h>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace numeric {

namespace {

// Switches the calling thread to the "C" locale for one conversion: the
// process's locale stays as Qt or the user set it.
class CLocale {
public:
    CLocale() : previous_(uselocale(c_locale())) {}
    ~CLocale() { uselocale(previous_); }
    CLocale(const CLocale&) = delete;
    CLocale& operator=(const CLocale&) = delete;

private:
    static locale_t c_locale() {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
        return c;
    }
    locale_t previous_;
};

template <typename... Args>
std::string printed(const char* format, Args... args) {
    const CLocale c;
    char buffer[400];
    const int length = std::snprintf(buffer, sizeof buffer, format, args...);
    if (length >= 0 && static_cast<std::size_t>(length) < sizeof buffer)
        return std::string(buffer, static_cast<std::size_t>(length));
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), format, args...);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// Where the C++ library has floating-point to_chars (the desktop), it gives
// printf's digits without the locale switch and the format parsing: the
// experiment writes five such numbers per trial. Infinities and not-a-number
// keep printf's spelling; false where to_chars does not apply.
#if defined(__cpp_lib_to_chars)
bool converted(double value, std::chars_format layout, int precision, std::string& text) {
    if (!std::isfinite(value)) return false;
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, layout, precision);
    if (error != std::errc()) return false;
    text.assign(buffer, end);
    return true;
}
#endif

}  // namespace

std::string fixed_text(double value, int decimals) {
#if defined(__cpp_lib_to_chars)
    if (std::string text; converted(value, std::chars_format::fixed, decimals, text)) return text;
#endif
    return printed("%.*f", decimals, value);
}

std::string general_text(double value, int precision) {
#if defined(__cpp_lib_to_chars)
    if (std::string text; converted(value, std::chars_format::general, precision, text)) return text;
#endif
    return printed("%.*g", precision, value);
}

std::string shortest_text(double value, Layout layout) {
    if (value == 0) {
        const std::string zero = layout == Layout::fixed ? "0" : "0e+00";
        return std::signbit(value) ? "-" + zero : zero;
    }
    // The first precision whose correctly rounded digits read back is the
    // shortest; the nearest such decimal, as to_chars chooses it.
    std::string scientific;
    for (int precision = 0; precision < 17; ++precision) {
        scientific = printed("%.*e", precision, value);
        double back = 0;
        if (parse_double(scientific, back) && back == value) break;
    }
    if (layout == Layout::scientific) return scientific;
    // From 2^53 on every double is a whole number, and fixed notation
    // writes all of its digits.
    if (std::fabs(value) >= 0x1p53) return fixed_text(value, 0);
    // d.ddde[+-]XX as plain digits with the point where the exponent puts it.
    const bool negative = scientific[0] == '-';
    const std::size_t e = scientific.find('e');
    std::string digits;
    for (std::size_t i = negative ? 1 : 0; i < e; ++i)
        if (scientific[i] != '.') digits += scientific[i];
    const int exponent = std::atoi(scientific.c_str() + e + 1);
    std::string text;
    const int point = exponent + 1;  // digits before the point
    if (point <= 0) {
        text = "0." + std::string(static_cast<std::size_t>(-point), '0') + digits;
    } else if (static_cast<std::size_t>(point) >= digits.size()) {
        text = digits + std::string(static_cast<std::size_t>(point) - digits.size(), '0');
    } else {
        text = digits.substr(0, static_cast<std::size_t>(point)) + "." + digits.substr(static_cast<std::size_t>(point));
    }
    return negative ? "-" + text : text;
}

bool parse_double(std::string_view text, double& value, bool* out_of_range) {
    if (out_of_range) *out_of_range = false;
    if (text.empty()) return false;
    // strtod would skip leading blanks and read "inf" and hex: only decimals count.
    const char first = text[0];
    if (!(first == '-' || first == '.' || (first >= '0' && first <= '9'))) return false;
    for (const char c : text)
        if (c == 'x' || c == 'X' || c == 'n' || c == 'N' || c == 'i' || c == 'I') return false;
    const std::string copy(text);
    const CLocale c;
    char* end = nullptr;
    errno = 0;
    const double read = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size()) return false;
    if (errno == ERANGE && (read == 0 || std::isinf(read))) {
        if (out_of_range) *out_of_range = true;
        return false;
    }
    value = read;
    return true;
}

}  // namespace numeric
