#include "common/runtime/text_grid.h"

namespace rt {

int TextGrid::put(int column, int row, const std::u32string& text, const std::vector<int>& glyph_x, bool opaque) {
    if (row < 0 || row >= max_cells || text.empty() || glyph_x.size() != text.size() + 1) return column;
    if (static_cast<std::size_t>(row) >= rows_.size()) rows_.resize(row + 1);
    std::vector<Cell>& line = rows_[row];

    if (opaque) {
        const int left = glyph_x.front(), right = glyph_x.back();
        for (Cell& cell : line)
            if (cell.ch != U' ' && cell.x0 < right && cell.x1 > left) cell = Cell{};
    }

    // Move right while the text would overwrite a character that is still
    // visible. Trailing blanks never push: they only fill empty cells.
    const auto visible = [&line](long c) {
        return c >= 0 && static_cast<std::size_t>(c) < line.size() && line[c].ch != U' ';
    };
    const std::size_t shaped = text.find_last_not_of(U' ') + 1;  // without trailing blanks
    long start = column;
    for (bool clash = true; clash && shaped > 0;) {
        clash = false;
        for (std::size_t i = 0; i < shaped && !clash; ++i)
            if (visible(start + static_cast<long>(i))) clash = true;
        if (clash) ++start;
    }

    for (std::size_t i = 0; i < text.size(); ++i) {
        const long c = start + static_cast<long>(i);
        if (c < 0 || c >= max_cells) continue;
        if (static_cast<std::size_t>(c) >= line.size()) line.resize(c + 1);
        if (text[i] == U' ' && line[c].ch != U' ') continue;
        line[c] = Cell{text[i], glyph_x[i], glyph_x[i + 1]};
    }
    return static_cast<int>(start);
}

int TextGrid::put(int column, int row, const std::u32string& text) {
    std::vector<int> x(text.size() + 1);
    for (std::size_t i = 0; i < x.size(); ++i) x[i] = column + static_cast<int>(i);
    return put(column, row, text, x, true);
}

std::u32string TextGrid::row(int r) const {
    if (r < 0 || static_cast<std::size_t>(r) >= rows_.size()) return {};
    std::u32string out;
    for (const Cell& cell : rows_[r]) out.push_back(cell.ch);
    return out;
}

std::string TextGrid::to_text() const {
    std::string out;
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        const std::u32string line = row(static_cast<int>(r));
        const std::size_t end = line.find_last_not_of(U' ');
        out += u32_to_utf8(end == std::u32string::npos ? std::u32string() : line.substr(0, end + 1));
        out += '\n';
    }
    return out;
}

std::u32string utf8_to_u32(const std::string& text) {
    std::u32string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const int extra = lead < 0x80           ? 0
                          : (lead >> 5) == 0x6  ? 1
                          : (lead >> 4) == 0xE  ? 2
                          : (lead >> 3) == 0x1E ? 3
                                                : -1;
        bool valid = extra >= 0 && i + extra < text.size();
        char32_t cp = extra > 0 ? (lead & (0x3F >> extra)) : lead;
        for (int k = 1; valid && k <= extra; ++k) {
            const unsigned char cont = static_cast<unsigned char>(text[i + k]);
            valid = (cont & 0xC0) == 0x80;
            cp = (cp << 6) | (cont & 0x3F);
        }
        if (!valid) {
            out.push_back(U'\uFFFD');  // a broken byte stands for itself, once
            ++i;
            continue;
        }
        out.push_back(cp);
        i += extra + 1;
    }
    return out;
}

std::string u32_to_utf8(const std::u32string& text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t cp : text) {
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

}  // namespace rt
