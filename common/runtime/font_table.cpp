#include "common/runtime/font_table.h"

#include "common/runtime/asset_file.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace rt {
namespace {

constexpr std::uint16_t format_version = 1;
constexpr char32_t missing_character = 0xFFFFFFFF;
// Far beyond any glyph of the programs' fonts (60 px glyphs are about 60
// wide); keeps what a damaged file can make the reader unpack small.
constexpr int max_mask_side = 512;
constexpr int max_pixel_size = 1024;

// Reads little-endian numbers from a byte range; every read checks the
// range first, and a failed read leaves the reader failed for good.
class Reader {
public:
    explicit Reader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    bool ok() const { return ok_; }
    std::size_t position() const { return at_; }
    std::size_t left() const { return ok_ ? bytes_.size() - at_ : 0; }

    std::uint32_t unsigned_number(int size) {
        if (!ok_ || left() < static_cast<std::size_t>(size)) {
            ok_ = false;
            return 0;
        }
        std::uint32_t value = 0;
        for (int i = 0; i < size; ++i) value |= static_cast<std::uint32_t>(bytes_[at_ + i]) << (8 * i);
        at_ += static_cast<std::size_t>(size);
        return value;
    }
    std::uint8_t u8() { return static_cast<std::uint8_t>(unsigned_number(1)); }
    std::uint16_t u16() { return static_cast<std::uint16_t>(unsigned_number(2)); }
    std::int16_t i16() { return static_cast<std::int16_t>(unsigned_number(2)); }
    std::uint32_t u32() { return unsigned_number(4); }
    bool skip(std::size_t count) {
        if (!ok_ || left() < count) return ok_ = false;
        at_ += count;
        return true;
    }

private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

// Unpacks one mask (font_table.h has the runs) from exactly `packed` into
// exactly `out`; false when the runs do not fill it exactly.
bool unpack(const std::uint8_t* packed, std::size_t packed_size, std::uint8_t* out, std::size_t size) {
    std::size_t in = 0, at = 0;
    while (in < packed_size) {
        const std::uint8_t t = packed[in++];
        if (t < 0x80) {
            const std::size_t count = t + 1u;
            if (count > packed_size - in || count > size - at) return false;
            std::copy(packed + in, packed + in + count, out + at);
            in += count;
            at += count;
        } else {
            const std::size_t count = t < 0xC0 ? t - 0x7Fu : t - 0xBFu;
            if (count > size - at) return false;
            std::fill(out + at, out + at + count, t < 0xC0 ? 0 : 255);
            at += count;
        }
    }
    return at == size;
}

std::optional<FontTable> failed(std::string* error, const std::string& why) {
    if (error) *error = why;
    return std::nullopt;
}

}  // namespace

const FaceCell* FontFace::cell(int width, int height) const {
    for (const FaceCell& c : cells_)
        if (c.width == width && c.height == height) return &c;
    return nullptr;
}

const Glyph* FontFace::other_glyph(char32_t ch) const {
    // Glyphs after the missing one are sorted by character.
    const auto first = glyphs_.begin() + 1;
    const auto found =
        std::lower_bound(first, glyphs_.end(), ch, [](const Glyph& g, char32_t c) { return g.character < c; });
    return found != glyphs_.end() && found->character == ch ? &*found : nullptr;
}

const FontFace& FontTable::nearest_face(FontFamily family, int pixel_size) const {
    const FontFace* best = nullptr;
    for (const FontFace& f : faces_) {
        if (f.family() != family) continue;
        const int distance = std::abs(f.pixel_size() - pixel_size);
        if (best == nullptr || distance < std::abs(best->pixel_size() - pixel_size) ||
            (distance == std::abs(best->pixel_size() - pixel_size) && f.pixel_size() < best->pixel_size()))
            best = &f;
    }
    // A valid table has a face of each family.
    return *best;
}

std::optional<FontTable> FontTable::read_file(const std::string& path, std::string* error) {
    const std::optional<std::string> bytes = read_asset_file(path);
    if (!bytes) return failed(error, "cannot read " + path);
    return from_bytes(std::vector<std::uint8_t>(bytes->begin(), bytes->end()), error);
}

std::optional<FontTable> FontTable::from_bytes(const std::vector<std::uint8_t>& bytes, std::string* error) {
    FontTable table;
    Reader in(bytes);
    const std::uint32_t magic = in.u32();
    if (!in.ok() || magic != 0x5446444Bu)  // "KDFT"
        return failed(error, "not a font table");
    const std::uint16_t version = in.u16();
    const std::uint16_t face_count = in.u16();
    if (!in.ok()) return failed(error, "truncated header");
    if (version != format_version) return failed(error, "unknown version " + std::to_string(version));
    if (face_count == 0) return failed(error, "no faces");
    // A face takes at least 36 bytes (its numbers and one glyph record).
    if (face_count > in.left() / 36) return failed(error, "face count beyond the file");

    table.faces_.resize(face_count);
    for (FontFace& face : table.faces_) {
        const std::uint8_t family = in.u8();
        const std::uint8_t cell_count = in.u8();
        const std::uint16_t pixel_size = in.u16();
        face.metrics_ = FaceMetrics{in.i16(), in.i16(), in.i16(), in.i16(), in.i16()};
        const std::uint32_t glyph_count = in.u32();
        if (!in.ok()) return failed(error, "truncated face");
        if (family > 1) return failed(error, "unknown font family " + std::to_string(family));
        if (pixel_size == 0 || pixel_size > max_pixel_size)
            return failed(error, "pixel size " + std::to_string(pixel_size) + " out of range");
        face.family_ = family == 1 ? FontFamily::mono : FontFamily::serif;
        face.pixel_size_ = pixel_size;
        auto& index = table.index_[family];
        if (index.size() <= pixel_size) index.resize(pixel_size + 1u, -1);
        if (index[pixel_size] >= 0) return failed(error, "two faces of one size");
        index[pixel_size] = static_cast<int>(&face - table.faces_.data());

        for (int i = 0; i < cell_count; ++i) {
            const int width = in.u16(), height = in.u16(), baseline = in.i16();
            face.cells_.push_back(FaceCell{width, height, baseline});
        }
        // Each glyph record takes 16 bytes: a count the rest cannot hold is
        // refused before anything is allocated for it.
        if (!in.ok() || glyph_count == 0 || glyph_count > in.left() / 16)
            return failed(error, "glyph count beyond the file");
        face.glyphs_.resize(glyph_count);
        std::vector<std::size_t> packed_sizes;
        for (Glyph& g : face.glyphs_) {
            g.character = static_cast<char32_t>(in.u32());
            g.advance = in.i16();
            g.left = in.i16();
            g.top = in.i16();
            g.width = in.u16();
            g.height = in.u16();
            packed_sizes.push_back(in.u16());
            if (g.width > max_mask_side || g.height > max_mask_side)
                return failed(error, "glyph box too large");
            if (g.width == 0 || g.height == 0) g.width = g.height = 0;
        }
        if (!in.ok()) return failed(error, "truncated glyph records");
        if (face.glyphs_.front().character != missing_character) return failed(error, "no missing glyph");
        for (std::size_t i = 2; i < face.glyphs_.size(); ++i)
            if (face.glyphs_[i].character <= face.glyphs_[i - 1].character)
                return failed(error, "glyphs not in order");
        if (face.glyphs_.size() > 1 && face.glyphs_[1].character == missing_character)
            return failed(error, "glyphs not in order");
        // The masks, unpacked after the table's others; pointers into them
        // are set once all are there.
        for (std::size_t i = 0; i < face.glyphs_.size(); ++i) {
            const Glyph& g = face.glyphs_[i];
            const std::size_t size = static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height);
            const std::size_t packed_at = in.position();
            if (!in.skip(packed_sizes[i])) return failed(error, "truncated masks");
            const std::size_t at = table.masks_.size();
            table.masks_.resize(at + size);
            if (!unpack(bytes.data() + packed_at, packed_sizes[i], table.masks_.data() + at, size))
                return failed(error, "a mask does not fill its box");
        }
        for (const Glyph& g : face.glyphs_)
            if (g.character < face.latin1_.size()) face.latin1_[g.character] = &g;
    }
    if (in.left() != 0) return failed(error, "bytes after the last face");
    std::size_t at = 0;
    for (FontFace& face : table.faces_)
        for (Glyph& g : face.glyphs_) {
            const std::size_t size = static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height);
            g.coverage = size == 0 ? nullptr : table.masks_.data() + at;
            at += size;
        }
    for (const auto& index : table.index_)
        if (index.empty()) return failed(error, "a font family without faces");
    return table;
}

}  // namespace rt
