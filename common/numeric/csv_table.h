#pragma once
// CSV text for German spreadsheets: ";" between fields, a decimal comma,
// UTF-8 with a byte order mark (so that Excel, too, takes the umlauts as
// UTF-8), CRLF line ends. Numbers keep their full precision: the shortest
// text that reads back to the same double.

#include <string>
#include <string_view>
#include <vector>

namespace numeric {

inline constexpr std::string_view csv_byte_order_mark = "\xEF\xBB\xBF";

// The shortest text that reads back to the same double, with a decimal
// comma: "0,1", "0,30000000000000004" (0.1 + 0.2), "780", "2563200",
// "-2,5e-31". Plain digits from 1e-4 up to below 1e15, an exponent outside;
// "inf", "-inf" and "nan" for values that are not finite.
std::string csv_number(double value);

// The fields joined by ";" and the line end; a field holding ";", a quote
// or a line break is quoted, its quotes doubled.
std::string csv_row(const std::vector<std::string>& fields);

}  // namespace numeric
