#include "common/numeric/csv_table.h"

#include "common/numeric/float_text.h"

#include <algorithm>
#include <cmath>

namespace numeric {

// printf's %g switches to an exponent below 1e-4 and, at 15 digits, from
// 1e15 on; the same layout keeps counts and ordinary values as plain digits.
// Fixed notation is exact for the whole part there (every whole number below
// 2^53 is a double), so its shortest form has no more digits than needed.
std::string csv_number(double value) {
    if (std::isnan(value)) return "nan";  // never "-nan": the sign of a NaN means nothing
    const double magnitude = std::fabs(value);
    const Layout layout = magnitude == 0 || (magnitude >= 1e-4 && magnitude < 1e15) ? Layout::fixed : Layout::scientific;
    std::string text = std::isinf(value) ? (value < 0 ? "-inf" : "inf") : shortest_text(value, layout);
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

std::string csv_row(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += ';';
        const std::string& field = fields[i];
        if (field.find_first_of(";\"\r\n") == std::string::npos) {
            line += field;
            continue;
        }
        line += '"';
        for (char c : field) {
            if (c == '"') line += '"';
            line += c;
        }
        line += '"';
    }
    return line + "\r\n";
}

}  // namespace numeric
