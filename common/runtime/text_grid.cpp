#include "common/runtime/text_grid.h"

#include "common/unicode/utf8.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace rt {
namespace {

// Sixteen bytes at a time, in place: a call to memmove costs more than the
// copy of a line's hundred characters.
void copy_chars(const char32_t* from, std::size_t count, char32_t* to) {
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        char32_t four[4];
        std::memcpy(four, from + i, sizeof four);
        std::memcpy(to + i, four, sizeof four);
    }
    for (; i < count; ++i) to[i] = from[i];
}

}  // namespace

int TextGrid::put(int column, int row, std::u32string_view text, const std::vector<int>& glyph_x, bool opaque) {
    if (row < 0 || row >= max_cells || text.empty() || glyph_x.size() != text.size() + 1) return column;
    if (static_cast<std::size_t>(row) >= rows_.size()) rows_.resize(row + 1);
    Row& line = rows_[row];
    give_pixel_ranges(line);
    if (opaque) erase_covered(line, glyph_x.front(), glyph_x.back());

    // Move right while the text would overwrite a character that is still
    // visible. Trailing blanks never push: they only fill empty cells.
    const auto visible = [&line](long c) {
        return c >= 0 && static_cast<std::size_t>(c) < line.ch.size() && line.ch[c] != U' ';
    };
    const std::size_t shaped = text.find_last_not_of(U' ') + 1;  // without trailing blanks
    long start = column;
    for (bool clash = true; clash && shaped > 0;) {
        clash = false;
        for (std::size_t i = 0; i < shaped; ++i)
            if (visible(start + static_cast<long>(i))) {
                // Every start up to this cell would overwrite it too.
                start += static_cast<long>(i) + 1;
                clash = true;
                break;
            }
    }

    const long end = std::min(start + static_cast<long>(text.size()), static_cast<long>(max_cells));
    if (end > 0 && static_cast<std::size_t>(end) > line.ch.size()) {
        line.ch.resize(static_cast<std::size_t>(end), U' ');
        line.x0.resize(static_cast<std::size_t>(end), 0);
        line.x1.resize(static_cast<std::size_t>(end), 0);
    }
    for (std::size_t i = start < 0 ? static_cast<std::size_t>(-start) : 0; start + static_cast<long>(i) < end; ++i) {
        const auto c = static_cast<std::size_t>(start) + i;
        if (text[i] == U' ' && line.ch[c] != U' ') continue;
        line.ch[c] = text[i];
        line.x0[c] = glyph_x[i];
        line.x1[c] = glyph_x[i + 1];
    }
    return static_cast<int>(start);
}

void TextGrid::erase_covered(Row& row, int left, int right) {
    using Lanes = int __attribute__((vector_size(16)));
    constexpr std::size_t lanes = 4;
    const std::size_t n = row.ch.size();
    std::size_t c = 0;
    for (; c + lanes <= n; c += lanes) {
        Lanes ch, x0, x1;
        std::memcpy(&ch, row.ch.data() + c, sizeof ch);
        std::memcpy(&x0, row.x0.data() + c, sizeof x0);
        std::memcpy(&x1, row.x1.data() + c, sizeof x1);
        const Lanes covered = (ch != static_cast<int>(U' ')) & (x0 < right) & (x1 > left);
        if ((covered[0] | covered[1] | covered[2] | covered[3]) == 0) continue;
        ch = (ch & ~covered) | (static_cast<int>(U' ') & covered);
        x0 &= ~covered;
        x1 &= ~covered;
        std::memcpy(row.ch.data() + c, &ch, sizeof ch);
        std::memcpy(row.x0.data() + c, &x0, sizeof x0);
        std::memcpy(row.x1.data() + c, &x1, sizeof x1);
    }
    for (; c < n; ++c)
        if (row.ch[c] != U' ' && row.x0[c] < right && row.x1[c] > left) {
            row.ch[c] = U' ';
            row.x0[c] = row.x1[c] = 0;
        }
}

int TextGrid::put(int column, int row, const std::u32string& text) {
    std::vector<int> x(text.size() + 1);
    for (std::size_t i = 0; i < x.size(); ++i) x[i] = column + static_cast<int>(i);
    return put(column, row, text, x, true);
}

void TextGrid::give_pixel_ranges(Row& row) {
    if (row.aligned_to > 0) {
        const int width = row.aligned_to;
        const std::size_t n = row.ch.size();
        row.x0.assign(n, 0);
        row.x1.assign(n, 0);
        for (std::size_t c = 0; c < n; ++c) {
            // A blank's pixels never matter: only visible characters clash or are erased.
            if (row.ch[c] == U' ') continue;
            row.x0[c] = static_cast<int>(c) * width;
            row.x1[c] = static_cast<int>(c + 1) * width;
        }
    }
    row.aligned_to = 0;
}

int TextGrid::put_cells(int column, int row, const char32_t* text, std::size_t count, int x, int cell_width,
                        bool blank) {
    if (row < 0 || row >= max_cells || count == 0) return column;
    if (static_cast<std::size_t>(row) >= rows_.size()) rows_.resize(row + 1);
    Row& line = rows_[row];
    const bool aligned = line.aligned_to == any_width || line.aligned_to == cell_width;
    if (!aligned || column < 0 || static_cast<std::size_t>(column) + count > max_cells || cell_width < 1 ||
        x != column * cell_width) {
        std::vector<int> glyph_x(count + 1);
        for (std::size_t i = 0; i <= count; ++i) glyph_x[i] = x + static_cast<int>(i) * cell_width;
        const std::u32string chars = blank ? std::u32string(count, U' ') : std::u32string(text, count);
        return put(column, row, chars, glyph_x, true);
    }
    // What put() does here: the opaque text erases exactly the cells it
    // takes, so nothing clashes and nothing moves.
    line.aligned_to = cell_width;
    const auto start = static_cast<std::size_t>(column);
    if (line.ch.size() < start + count) line.ch.resize(start + count, U' ');
    char32_t* const cells = line.ch.data() + start;
    if (blank)
        std::fill_n(cells, count, U' ');
    else
        copy_chars(text, count, cells);
    return column;
}

std::u32string TextGrid::row(int r) const {
    if (r < 0 || static_cast<std::size_t>(r) >= rows_.size()) return {};
    return rows_[r].ch;
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
    out.resize(utf8_to_u32(text, out));
    return out;
}

std::size_t utf8_to_u32(const std::string& text, std::u32string& buffer) {
    if (buffer.size() < text.size()) buffer.resize(text.size());  // never more characters than bytes
    char32_t* const first = buffer.data();
    char32_t* to = first;
    [[maybe_unused]] const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t i = 0;
#if defined(__SSE2__)
    // Plain ASCII sixteen bytes at a time: the simulation lines are nothing else.
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= text.size(); i += 16, to += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        if (_mm_movemask_epi8(block) != 0) break;  // a byte with its high bit set
        const __m128i low = _mm_unpacklo_epi8(block, zero), high = _mm_unpackhi_epi8(block, zero);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_unpacklo_epi16(low, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 4), _mm_unpackhi_epi16(low, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 8), _mm_unpacklo_epi16(high, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 12), _mm_unpackhi_epi16(high, zero));
    }
    // The last bytes as the last sixteen once more, when all before were ASCII.
    if (i < text.size() && i >= 16 && i + 16 > text.size()) {
        const std::size_t back = i + 16 - text.size();
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + text.size() - 16));
        if (_mm_movemask_epi8(block) == 0) {
            char32_t* const last = to - back;
            const __m128i low = _mm_unpacklo_epi8(block, zero), high = _mm_unpackhi_epi8(block, zero);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(last), _mm_unpacklo_epi16(low, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(last + 4), _mm_unpackhi_epi16(low, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(last + 8), _mm_unpacklo_epi16(high, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(last + 12), _mm_unpackhi_epi16(high, zero));
            to = last + 16;
            i = text.size();
        }
    }
#else
    // Plain ASCII eight bytes at a time in a 64-bit word (WebAssembly has no
    // SSE2): the byte-by-byte decoder costs a browser's dice step a sixth.
    for (; i + 8 <= text.size(); i += 8, to += 8) {
        std::uint64_t block;
        std::memcpy(&block, bytes + i, sizeof block);
        if ((block & 0x8080808080808080u) != 0) break;  // a byte with its high bit set
        for (int k = 0; k < 8; ++k) to[k] = bytes[i + k];
    }
#endif
    to += unicode::decode_utf8(std::string_view(text).substr(i), to);
    return static_cast<std::size_t>(to - first);
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
