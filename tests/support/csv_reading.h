#pragma once
// Reads the programs' CSV texts back as a spreadsheet would: byte order
// mark, ";" between fields, CRLF, decimal comma. Fields are never quoted in
// the numeric rows the tests read.

#include <sstream>
#include <string>
#include <vector>

namespace test_support {

inline std::vector<std::vector<std::string>> csv_rows(std::string csv) {
    if (csv.rfind("\xEF\xBB\xBF", 0) == 0) csv.erase(0, 3);
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(csv);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> fields;
        std::istringstream parts(line);
        for (std::string field; std::getline(parts, field, ';');) fields.push_back(field);
        rows.push_back(fields);
    }
    return rows;
}

inline double german_number(std::string text) {
    for (char& c : text)
        if (c == ',') c = '.';
    return std::stod(text);
}

}  // namespace test_support
