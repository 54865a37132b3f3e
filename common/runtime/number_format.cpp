#include "common/runtime/number_format.h"

#include "common/numeric/float_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

namespace rt {
namespace {

// The exact decimal expansion of a finite double's magnitude: every double is
// a finite binary fraction, so 1100 decimals hold all of its digits and a
// tie is a real tie, not an artefact of an earlier rounding.
std::string exact_decimal(double magnitude) {
    return numeric::fixed_text(magnitude, 1100);
}

// Rounds a non-negative decimal string "123.456..." to `decimals` places,
// halves away from zero; returns the integer part and the fraction digits.
void round_decimal(const std::string& exact, int decimals, std::string& whole, std::string& fraction) {
    const std::size_t point = exact.find('.');
    whole = exact.substr(0, point);
    std::string rest = point == std::string::npos ? std::string() : exact.substr(point + 1);
    if (rest.size() < static_cast<std::size_t>(decimals) + 1) rest.append(decimals + 1 - rest.size(), '0');
    fraction = rest.substr(0, decimals);
    if (rest[decimals] < '5') return;
    // Round up: carry through the fraction, then the whole part.
    std::string digits = whole + fraction;
    int i = static_cast<int>(digits.size()) - 1;
    while (i >= 0 && digits[i] == '9') digits[i--] = '0';
    if (i < 0)
        digits.insert(digits.begin(), '1');
    else
        ++digits[i];
    whole = digits.substr(0, digits.size() - decimals);
    fraction = digits.substr(digits.size() - decimals);
}

// The same rounding without the long expansion, for the usual magnitudes.
// printf's %f rounds correctly, ties to even; a tie is only possible when
// magnitude * 10^decimals is exactly k + 1/2, which the fused multiply-add
// confirms without rounding error, and such a tie goes away from zero.
// Returns false where it does not apply.
bool round_decimal_fast(double magnitude, int decimals, std::string& whole, std::string& fraction) {
    if (decimals > 15 || magnitude >= 1e15) return false;
    double scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;  // exact up to 10^22
    const double scaled = magnitude * scale;
    const double below = std::floor(scaled);
    std::string digits;
    if (scaled - below == 0.5 && std::fma(magnitude, scale, -scaled) == 0) {
        digits = std::to_string(static_cast<long long>(below) + 1);
        if (digits.size() <= static_cast<std::size_t>(decimals)) digits.insert(0, decimals + 1 - digits.size(), '0');
        whole = digits.substr(0, digits.size() - decimals);
        fraction = digits.substr(digits.size() - decimals);
        return true;
    }
    const std::string text = numeric::fixed_text(magnitude, decimals);
    const std::size_t point = text.find('.');
    whole = text.substr(0, point);
    fraction = point == std::string::npos ? std::string() : text.substr(point + 1);
    return true;
}

}  // namespace

std::string format_picture(double value, std::string_view picture) {
    const std::size_t comma = picture.find(',');
    const int decimals = comma == std::string_view::npos ? 0 : static_cast<int>(picture.size() - comma - 1);
    const std::size_t width = picture.size();
    if (!std::isfinite(value)) return number_text(value);

    const double magnitude = std::fabs(value);
    if (decimals == 0 && magnitude < 0x1p52) {
        // Whole numbers, as the experiment shows its counts and energies at
        // every trial: below 2^52 the fraction m - floor(m) is exact, so the
        // comparison with one half decides, ties away from zero.
        const double below = std::floor(magnitude);
        const auto rounded = static_cast<long long>(below) + (magnitude - below >= 0.5 ? 1 : 0);
        char digits[24];
        char* const first = digits + 1;
        const char* const end = std::to_chars(first, digits + sizeof digits, rounded).ptr;
        const bool minus = value < 0 && rounded != 0;
        if (minus) digits[0] = '-';
        const char* const start = minus ? digits : first;
        const auto length = static_cast<std::size_t>(end - start);
        std::string text(length < width ? width - length : 0, ' ');
        text.append(start, end);
        return text;
    }

    std::string whole, fraction;
    if (!round_decimal_fast(magnitude, decimals, whole, fraction))
        round_decimal(exact_decimal(magnitude), decimals, whole, fraction);
    const bool all_zero =
        whole.find_first_not_of('0') == std::string::npos && fraction.find_first_not_of('0') == std::string::npos;
    std::string text = (value < 0 && !all_zero) ? "-" + whole : whole;
    if (decimals > 0) text += "," + fraction;
    if (text.size() < width) text.insert(0, width - text.size(), ' ');
    return text;
}

std::string number_text(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    if (value == 0) return "0";  // also for -0
    char buffer[64];
    const double magnitude = std::fabs(value);
    if (magnitude < 1e10) {
        // Whole numbers of up to ten digits: printf("%.10g") writes their digits.
        if (value == std::trunc(value)) {
            const auto end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(value)).ptr;
            return std::string(buffer, end);
        }
    }
    return numeric::general_text(value, 10);
}

ParsedNumber parse_number(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    std::string clean;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') clean += '-';
        ++i;
    }
    std::size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        clean += text[i++];
        ++digits;
    }
    if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
        std::size_t j = i + 1;
        std::string fraction;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9') fraction += text[j++];
        if (digits > 0 || !fraction.empty()) {
            clean += '.';
            clean += fraction;
            digits += fraction.size();
            i = j;
        }
    }
    if (digits == 0) return {};
    long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool negative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) negative = text[j++] == '-';
        std::string exponent_digits;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9') exponent_digits += text[j++];
        if (!exponent_digits.empty()) {
            // Cap the exponent text: anything this large over- or underflows anyway.
            if (exponent_digits.size() > 6) exponent_digits = "999999";
            exponent = std::stol(exponent_digits) * (negative ? -1 : 1);
            clean += 'e' + std::to_string(exponent);
        }
    }
    double value = 0;
    bool out_of_range = false;
    numeric::parse_double(clean, value, &out_of_range);
    if (out_of_range) {
        // Too large or too small for a double: decide by the decimal magnitude.
        const std::size_t mantissa_end = clean.find('e');
        const std::string mantissa = clean.substr(0, mantissa_end);
        const std::size_t first = mantissa.find_first_of("123456789");
        const std::size_t point = mantissa.find('.');
        const long leading = first == std::string::npos ? 0
                             : (point == std::string::npos || first < point)
                                 ? static_cast<long>((point == std::string::npos ? mantissa.size() : point) - first)
                                 : -static_cast<long>(first - point - 1);
        const bool negative = clean[0] == '-';
        const double big = std::numeric_limits<double>::infinity();
        if (first != std::string::npos && leading + exponent > 0)
            value = negative ? -big : big;
        else
            value = negative ? -0.0 : 0.0;
    }
    return {value, true};
}

}  // namespace rt
