#include "common/unicode/utf8.h"

namespace unicode {

namespace {

// The well-formed sequences by their first byte (the Unicode Standard's
// table 3-7): how many bytes follow, and the range of the second byte; every
// later byte is 80..BF. The narrower second ranges exclude overlong forms
// (E0, F0), surrogates (ED) and values above U+10FFFF (F4).
struct Lead {
    int following;  // -1: never starts a sequence (80..C1, F5..FF)
    unsigned char second_low, second_high;
};

Lead lead_of(unsigned char b) {
    if (b >= 0xC2 && b <= 0xDF) return {1, 0x80, 0xBF};
    if (b == 0xE0) return {2, 0xA0, 0xBF};
    if (b == 0xED) return {2, 0x80, 0x9F};
    if (b >= 0xE1 && b <= 0xEF) return {2, 0x80, 0xBF};
    if (b == 0xF0) return {3, 0x90, 0xBF};
    if (b >= 0xF1 && b <= 0xF3) return {3, 0x80, 0xBF};
    if (b == 0xF4) return {3, 0x80, 0x8F};
    return {-1, 0, 0};
}

}  // namespace

Utf8Character decode_utf8_at(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) return {lead, 1, true};
    const Lead rule = lead_of(lead);
    if (rule.following < 0) return {replacement_character, 1, false};
    char32_t cp = lead & (0x3F >> rule.following);
    for (int k = 1; k <= rule.following; ++k) {
        const std::size_t i = at + static_cast<std::size_t>(k);
        if (i >= text.size()) return {replacement_character, static_cast<std::size_t>(k), false};
        const auto b = static_cast<unsigned char>(text[i]);
        const unsigned char low = k == 1 ? rule.second_low : 0x80;
        const unsigned char high = k == 1 ? rule.second_high : 0xBF;
        // The bytes read so far are the maximal subpart; this one starts the next.
        if (b < low || b > high) return {replacement_character, static_cast<std::size_t>(k), false};
        cp = (cp << 6) | (b & 0x3F);
    }
    return {cp, static_cast<std::size_t>(rule.following) + 1, true};
}

std::size_t decode_utf8(std::string_view text, char32_t* out) {
    char32_t* to = out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {  // the common case, without the call
            *to++ = b;
            ++i;
            continue;
        }
        const Utf8Character c = decode_utf8_at(text, i);
        *to++ = c.code_point;
        i += c.length;
    }
    return static_cast<std::size_t>(to - out);
}

std::u32string decode_utf8(std::string_view text) {
    std::u32string out(text.size(), U'\0');
    out.resize(decode_utf8(text, out.data()));
    return out;
}

std::size_t utf8_character_count(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); ++n) i += decode_utf8_at(text, i).length;
    return n;
}

std::size_t utf8_prefix_bytes(std::string_view text, std::size_t count) {
    std::size_t i = 0;
    for (std::size_t n = 0; n < count && i < text.size(); ++n) i += decode_utf8_at(text, i).length;
    return i;
}

}  // namespace unicode
