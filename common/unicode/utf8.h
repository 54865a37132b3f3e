#pragma once
// The one UTF-8 reader of every layer: plain C++, no Qt. Strict, as the
// Unicode Standard (chapter 3.9, "U+FFFD Substitution of Maximal Subparts")
// recommends and as browsers decode: overlong forms, surrogates (U+D800 ..
// U+DFFF), values above U+10FFFF, stray continuation bytes and sequences cut
// short each give one U+FFFD for every maximal subpart, the longest start of
// a well-formed sequence (at least one byte), and decoding goes on right
// after it. So "C0 AF" is two U+FFFD, never "/", and "E2 82 41" is U+FFFD, "A".

#include <cstddef>
#include <string>
#include <string_view>

namespace unicode {

inline constexpr char32_t replacement_character = U'\uFFFD';

// One character read from a text.
struct Utf8Character {
    char32_t code_point;  // replacement_character where the bytes are ill-formed
    std::size_t length;   // the bytes it took, at least 1
    bool valid;           // a well-formed sequence (a U+FFFD written as such is valid)
};

// The character starting at text[at]; needs at < text.size().
Utf8Character decode_utf8_at(std::string_view text, std::size_t at);

// The whole text into `out`, which has room for text.size() characters
// (never more characters than bytes); returns the number written.
std::size_t decode_utf8(std::string_view text, char32_t* out);
std::u32string decode_utf8(std::string_view text);

// The number of characters decode_utf8 gives.
std::size_t utf8_character_count(std::string_view text);
// How many bytes the first `count` characters take (all of them if fewer):
// a cut there never splits a character.
std::size_t utf8_prefix_bytes(std::string_view text, std::size_t count);

}  // namespace unicode
