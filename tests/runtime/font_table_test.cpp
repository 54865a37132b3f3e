// The font table's reader, without Qt: a small table written here by hand,
// every kind of damage to it, and the table the build made.
#include "common/runtime/asset_path.h"
#include "common/runtime/font_table.h"
#include "common/runtime/glyph_blend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void put(Bytes& out, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

struct TestGlyph {
    std::uint32_t character;
    int advance, left, top, width, height;
    Bytes packed = {};  // empty: the mask's values counting up (mask_byte), as literal runs
};

struct TestFace {
    int family, pixel_size;
    std::vector<TestGlyph> glyphs;
};

// The masks count up from a start per glyph, so that a glyph pointing at
// another one's bytes shows.
std::uint8_t mask_byte(std::size_t glyph, int i) { return static_cast<std::uint8_t>(glyph * 16 + i + 1); }

Bytes packed_mask(const TestGlyph& g, std::size_t index) {
    if (!g.packed.empty()) return g.packed;
    Bytes out;
    for (int i = 0; i < g.width * g.height; i += 128) {
        const int run = std::min(128, g.width * g.height - i);
        out.push_back(static_cast<std::uint8_t>(run - 1));
        for (int b = i; b < i + run; ++b) out.push_back(mask_byte(index, b));
    }
    return out;
}

Bytes write_table(const std::vector<TestFace>& faces) {
    Bytes out = {'K', 'D', 'F', 'T'};
    put(out, 1, 2);
    put(out, static_cast<std::uint32_t>(faces.size()), 2);
    for (const TestFace& face : faces) {
        put(out, static_cast<std::uint32_t>(face.family), 1);
        put(out, 1, 1);  // one cell
        put(out, static_cast<std::uint32_t>(face.pixel_size), 2);
        for (const int v : {face.pixel_size, 4, face.pixel_size + 5, 0, face.pixel_size + 5}) put(out, v, 2);
        put(out, static_cast<std::uint32_t>(face.glyphs.size()), 4);
        for (const int v : {8, 16, 12}) put(out, static_cast<std::uint32_t>(v), 2);
        for (std::size_t i = 0; i < face.glyphs.size(); ++i) {
            const TestGlyph& g = face.glyphs[i];
            put(out, g.character, 4);
            for (const int v : {g.advance, g.left, g.top, g.width, g.height, static_cast<int>(packed_mask(g, i).size())})
                put(out, static_cast<std::uint32_t>(v), 2);
        }
        for (std::size_t i = 0; i < face.glyphs.size(); ++i) {
            const Bytes packed = packed_mask(face.glyphs[i], i);
            out.insert(out.end(), packed.begin(), packed.end());
        }
    }
    return out;
}

const std::vector<TestFace> small_faces = {
    {0, 20, {{0xFFFFFFFF, 7, 1, -12, 5, 12}, {U' ', 5, 0, 0, 0, 0}, {U'A', 14, 0, -13, 14, 13}, {U'\u00e4', 9, 1, -14, 2, 3},
             {U'\u201e', 9, 1, 2, 3, 2}}},
    {0, 17, {{0xFFFFFFFF, 6, 1, -10, 4, 10}, {U'A', 12, 0, -11, 2, 2}}},
    // 'x': 3 zeros, 3 times 255, the values 7 and 9, 10 zeros.
    {1, 13, {{0xFFFFFFFF, 8, 1, -9, 5, 9}, {U'x', 8, 1, -6, 3, 6, {0x82, 0xC2, 0x01, 7, 9, 0x89}}}},
};

TEST(FontTable, FindsFacesAndGlyphs) {
    std::string error;
    const auto table = rt::FontTable::from_bytes(write_table(small_faces), &error);
    ASSERT_TRUE(table) << error;
    const rt::FontFace* serif = table->face(rt::FontFamily::serif, 20);
    ASSERT_NE(serif, nullptr);
    EXPECT_EQ(serif->metrics().ascent, 20);
    EXPECT_EQ(serif->metrics().height, 25);
    ASSERT_NE(serif->cell(8, 16), nullptr);
    EXPECT_EQ(serif->cell(8, 16)->baseline, 12);
    EXPECT_EQ(serif->cell(11, 24), nullptr);

    const rt::Glyph* a = serif->glyph(U'A');
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->advance, 14);
    EXPECT_EQ(a->top, -13);
    EXPECT_EQ(a->coverage[0], mask_byte(2, 0));
    EXPECT_EQ(a->coverage[14 * 13 - 1], mask_byte(2, 14 * 13 - 1));
    const rt::Glyph* quote = serif->glyph(U'\u201e');  // beyond Latin-1
    ASSERT_NE(quote, nullptr);
    EXPECT_EQ(quote->coverage[5], mask_byte(4, 5));
    EXPECT_EQ(serif->glyph(U' ')->coverage, nullptr);  // no ink, no mask

    EXPECT_EQ(serif->glyph(U'B'), nullptr);
    EXPECT_EQ(serif->glyph(U'\u2013'), nullptr);
    EXPECT_EQ(serif->glyph_or_missing(U'B').advance, 7);
    EXPECT_EQ(&serif->glyph_or_missing(U'\U0001F600'), &serif->missing_glyph());

    EXPECT_EQ(table->face(rt::FontFamily::mono, 20), nullptr);
    EXPECT_EQ(table->face(rt::FontFamily::serif, 18), nullptr);
    EXPECT_EQ(table->face(rt::FontFamily::serif, -1), nullptr);
    EXPECT_EQ(table->face(rt::FontFamily::serif, 100000), nullptr);
    EXPECT_EQ(table->nearest_face(rt::FontFamily::serif, 18).pixel_size(), 17);  // ties go to the smaller
    EXPECT_EQ(table->nearest_face(rt::FontFamily::serif, 19).pixel_size(), 20);
    EXPECT_EQ(table->nearest_face(rt::FontFamily::serif, 400).pixel_size(), 20);
    EXPECT_EQ(table->nearest_face(rt::FontFamily::mono, 1).pixel_size(), 13);
}

TEST(FontTable, MovedTableKeepsItsMasks) {
    auto table = rt::FontTable::from_bytes(write_table(small_faces));
    ASSERT_TRUE(table);
    const rt::FontTable moved = std::move(*table);
    EXPECT_EQ(moved.face(rt::FontFamily::serif, 20)->glyph(U'A')->coverage[17], mask_byte(2, 17));
}

TEST(FontTable, UnpacksRuns) {
    const auto table = rt::FontTable::from_bytes(write_table(small_faces));
    ASSERT_TRUE(table);
    const rt::Glyph& x = *table->face(rt::FontFamily::mono, 13)->glyph(U'x');
    const Bytes expected = {0, 0, 0, 255, 255, 255, 7, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Bytes(x.coverage, x.coverage + x.width * x.height), expected);
}

// Every damage must be refused with a reason, without reading outside the bytes.
TEST(FontTable, RefusesDamagedTables) {
    const Bytes good = write_table(small_faces);
    const std::size_t face0 = 8, glyphs0 = face0 + 18 + 6;  // the first face; its glyph records after its header and cell
    using Edit = std::function<void(Bytes&)>;
    const auto set16 = [](std::size_t at, std::uint16_t v) {
        return [=](Bytes& b) { b[at] = v & 0xFF, b[at + 1] = v >> 8; };
    };
    const auto set32 = [](std::size_t at, std::uint32_t v) {
        return [=](Bytes& b) {
            for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        };
    };
    const struct {
        const char* name;
        Edit edit;
    } cases[] = {
        {"empty", [](Bytes& b) { b.clear(); }},
        {"other magic", [](Bytes& b) { b[0] = 'X'; }},
        {"other version", set16(4, 2)},
        {"no faces", set16(6, 0)},
        {"more faces than bytes", set16(6, 60000)},
        {"unknown family", [](Bytes& b) { b[face0] = 2; }},
        {"pixel size 0", set16(face0 + 2, 0)},
        {"two faces of one size", set16(face0 + 2, 17)},
        {"glyph count 0", set32(face0 + 14, 0)},
        {"glyph count beyond the file", set32(face0 + 14, 0xFFFFFFFF)},
        {"a box larger than its runs", set16(glyphs0 + 16 * 2 + 10, 300)},
        {"huge mask", set16(glyphs0 + 16 * 2 + 10, 65535)},
        {"missing glyph not first", set32(glyphs0, U'@')},
        {"glyphs out of order", set32(glyphs0 + 16 * 3, U'@')},
        {"same glyph twice", set32(glyphs0 + 16 * 2, U' ')},
        {"a byte after the end", [](Bytes& b) { b.push_back(0); }},
        {"runs beyond their mask", [](Bytes& b) { b[b.size() - 1] = 0x8A; }},
        {"runs short of their mask", [](Bytes& b) { b[b.size() - 1] = 0x88; }},
        {"a literal run beyond its bytes", set16(glyphs0 + 16 * 2 + 14, 100)},
        {"no mono face", [](Bytes& b) { b = write_table({small_faces[0], small_faces[1]}); }},
    };
    for (const auto& c : cases) {
        Bytes bytes = good;
        c.edit(bytes);
        std::string error;
        EXPECT_FALSE(rt::FontTable::from_bytes(bytes, &error)) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
    }
    // Cut anywhere, the table is refused.
    for (std::size_t length = 0; length < good.size(); ++length)
        EXPECT_FALSE(rt::FontTable::from_bytes(Bytes(good.begin(), good.begin() + length))) << "cut at " << length;
    EXPECT_TRUE(rt::FontTable::from_bytes(good));
}

TEST(FontTable, ReadsNoFileThatIsNone) {
    std::string error;
    EXPECT_FALSE(rt::FontTable::read_file("/nonexistent/fonts.bin", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(rt::FontTable::read_file("/"));
}

// The table the build made, found beside the test as a program finds it.
std::string built_table() {
    return rt::find_asset(std::filesystem::read_symlink("/proc/self/exe").parent_path().string(),
                          rt::FontTable::file_name);
}

TEST(BuiltFontTable, HoldsTheSurfacesFacesWithAllOfLatin1) {
    std::string error;
    const auto table = rt::FontTable::read_file(built_table(), &error);
    ASSERT_TRUE(table) << error;
    EXPECT_LT(std::filesystem::file_size(built_table()), std::uintmax_t{1} << 20);
    // At 1024 x 768 (font_cell): serif 16 and 14, mono 14 and the continue
    // prompt's 16; the title's 30, 12 and 20 points per 800 pixels.
    const struct {
        rt::FontFamily family;
        int pixel_size, cell_width, cell_height;
    } faces[] = {{rt::FontFamily::serif, 20, 11, 24}, {rt::FontFamily::serif, 17, 8, 20},
                 {rt::FontFamily::mono, 13, 8, 16},   {rt::FontFamily::mono, 15, 9, 18},
                 {rt::FontFamily::serif, 48, 26, 58}, {rt::FontFamily::serif, 19, 11, 23},
                 {rt::FontFamily::serif, 32, 18, 38}};
    for (const auto& f : faces) {
        const rt::FontFace* face = table->face(f.family, f.pixel_size);
        ASSERT_NE(face, nullptr) << f.pixel_size;
        EXPECT_NE(face->cell(f.cell_width, f.cell_height), nullptr) << f.pixel_size;
    }
    for (const rt::FontFace& face : table->faces()) {
        for (char32_t ch = 0; ch < 256; ++ch) EXPECT_NE(face.glyph(ch), nullptr) << face.pixel_size() << " " << static_cast<unsigned>(ch);
        EXPECT_NE(face.glyph(U'\u201e'), nullptr);
        EXPECT_GT(face.missing_glyph().width, 0);  // Qt's missing-glyph box has ink
        // Monospace: every glyph one cell's advance (the tab excepted).
        if (face.family() == rt::FontFamily::mono) {
            EXPECT_EQ(face.glyph(U'W')->advance, face.glyph(U'i')->advance);
        }
    }
}

TEST(GlyphBlend, RulesAtTheirEnds) {
    using namespace rt::glyph_blend;
    // Qt's rule reaches the ink; the surface's mix stops one short of a
    // darker ink (truncating division), as the screens show it today.
    EXPECT_EQ(raster(51, 0, 255), 0);
    EXPECT_EQ(mix(51, 0, 255), 1);
    EXPECT_EQ(mix(0, 51, 255), 51);
    EXPECT_EQ(raster(51, 0, 0), 51);
    EXPECT_EQ(mix(51, 0, 0), 51);
    EXPECT_EQ(blend_pixel(0xFF33A8EE, 0xFFFFFFFF, 255, Rule::qt_raster), 0xFFFFFFFFu);
}

}  // namespace
