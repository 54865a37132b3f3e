// The UTF-8 reader against the Unicode Standard's examples of ill-formed
// text (chapter 3.9, table 3-8 and its neighbours): one U+FFFD per maximal
// subpart, and decoding goes on right after it.
#include "common/unicode/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr char32_t bad = unicode::replacement_character;

struct Case {
    const char* name;
    std::string bytes;
    std::u32string characters;
};

const Case cases[] = {
    {"ascii", "Nmax_A = 10", U"Nmax_A = 10"},
    {"empty", "", U""},
    {"two, three and four bytes", "\xC3\xA4\xE2\x82\xAC\xF0\x9D\x84\x9E", U"\u00E4\u20AC\U0001D11E"},
    {"smallest and largest of each length", "\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF",
     U"\u0080\u07FF\u0800\uFFFF\U00010000\U0010FFFF"},
    {"U+FFFD itself", "\xEF\xBF\xBD", U"\uFFFD"},
    {"overlong slash", "\xC0\xAF", {bad, bad}},
    {"overlong two bytes", "\xC1\xBF" "a", {bad, bad, U'a'}},
    {"overlong three bytes", "\xE0\x80\xAF", {bad, bad, bad}},
    {"overlong four bytes", "\xF0\x80\x80\xAF", {bad, bad, bad, bad}},
    {"surrogate", "\xED\xA0\x80", {bad, bad, bad}},
    {"last before the surrogates", "\xED\x9F\xBF", U"\uD7FF"},
    {"above U+10FFFF", "\xF4\x90\x80\x80", {bad, bad, bad, bad}},
    {"lead beyond F4", "\xF5\x80\x80\x80", {bad, bad, bad, bad}},
    {"FE and FF", "\xFE\xFF", {bad, bad}},
    {"stray continuation", "a\x80" "b", {U'a', bad, U'b'}},
    {"cut at the end", "a\xE2\x82", {U'a', bad}},
    {"cut four bytes at the end", "\xF0\x9F\x98", {bad}},
    {"cut before ascii", "\xE2\x82" "A", {bad, U'A'}},
    {"cut before a new lead", "\xC3\xC3\xA4", {bad, U'\u00E4'}},
    {"the standard's example",
     "\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64",
     {U'a', bad, bad, bad, U'b', bad, U'c', bad, bad, U'd'}},
};

TEST(Utf8, DecodesEachCaseWithOneReplacementPerBadSequence) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(unicode::decode_utf8(c.bytes), c.characters);
        EXPECT_EQ(unicode::utf8_character_count(c.bytes), c.characters.size());
        // The characters one at a time take all the bytes, none twice.
        std::size_t at = 0, n = 0;
        while (at < c.bytes.size()) {
            const unicode::Utf8Character character = unicode::decode_utf8_at(c.bytes, at);
            ASSERT_LT(n, c.characters.size());
            EXPECT_EQ(character.code_point, c.characters[n]);
            const bool written_fffd = c.bytes.compare(at, 3, "\xEF\xBF\xBD") == 0;
            EXPECT_EQ(character.valid, character.code_point != bad || written_fffd);
            ASSERT_GE(character.length, 1u);
            at += character.length;
            ++n;
        }
        EXPECT_EQ(at, c.bytes.size());
    }
}

TEST(Utf8, PrefixNeverSplitsACharacter) {
    const std::string text = "N\xC3\xA4" "chster \xE2\x82";
    EXPECT_EQ(unicode::utf8_prefix_bytes(text, 0), 0u);
    EXPECT_EQ(unicode::utf8_prefix_bytes(text, 2), 3u);            // "Nä"
    EXPECT_EQ(unicode::utf8_prefix_bytes(text, 9), 10u);           // "Nächster "
    EXPECT_EQ(unicode::utf8_prefix_bytes(text, 10), text.size());  // the cut sequence is one character
    EXPECT_EQ(unicode::utf8_prefix_bytes(text, 100), text.size());
}

}  // namespace
