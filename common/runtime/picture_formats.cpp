#include "common/runtime/picture_formats.h"

#include <array>
#include <cstdint>

namespace rt {

namespace {

const std::array<std::uint32_t, 256>& crc_table() {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

void put32(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v >> 24);
    out += static_cast<char>(v >> 16);
    out += static_cast<char>(v >> 8);
    out += static_cast<char>(v);
}

void chunk(std::string& out, const char* type, const std::string& data) {
    put32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.append(type, 4);
    out += data;
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = start; i < out.size(); ++i)
        crc = crc_table()[(crc ^ static_cast<unsigned char>(out[i])) & 0xFF] ^ (crc >> 8);
    put32(out, crc ^ 0xFFFFFFFFu);
}

std::uint32_t rotl(std::uint32_t v, int n) { return (v << n) | (v >> (32 - n)); }

class Sha1 {
public:
    void add(const unsigned char* data, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) {
            block_[fill_++] = data[i];
            if (fill_ == 64) compress();
        }
        length_ += size;
    }
    std::string hex() {
        const std::uint64_t bits = length_ * 8;
        const unsigned char one = 0x80, zero = 0;
        add(&one, 1);
        while (fill_ != 56) add(&zero, 1);
        for (int i = 7; i >= 0; --i) {
            const auto b = static_cast<unsigned char>(bits >> (i * 8));
            add(&b, 1);
        }
        static const char digits[] = "0123456789abcdef";
        std::string text;
        for (const std::uint32_t word : h_)
            for (int shift = 28; shift >= 0; shift -= 4) text += digits[(word >> shift) & 0xF];
        return text;
    }

private:
    void compress() {
        std::uint32_t w[80];
        for (int i = 0; i < 16; ++i)
            w[i] = std::uint32_t(block_[4 * i]) << 24 | std::uint32_t(block_[4 * i + 1]) << 16 |
                   std::uint32_t(block_[4 * i + 2]) << 8 | block_[4 * i + 3];
        for (int i = 16; i < 80; ++i) w[i] = rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
        std::uint32_t a = h_[0], b = h_[1], c = h_[2], d = h_[3], e = h_[4];
        for (int i = 0; i < 80; ++i) {
            std::uint32_t f, k;
            if (i < 20) f = (b & c) | (~b & d), k = 0x5A827999u;
            else if (i < 40) f = b ^ c ^ d, k = 0x6ED9EBA1u;
            else if (i < 60) f = (b & c) | (b & d) | (c & d), k = 0x8F1BBCDCu;
            else f = b ^ c ^ d, k = 0xCA62C1D6u;
            const std::uint32_t t = rotl(a, 5) + f + e + k + w[i];
            e = d, d = c, c = rotl(b, 30), b = a, a = t;
        }
        h_[0] += a, h_[1] += b, h_[2] += c, h_[3] += d, h_[4] += e;
        fill_ = 0;
    }

    std::array<std::uint32_t, 5> h_{0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u};
    std::array<unsigned char, 64> block_{};
    std::size_t fill_ = 0;
    std::uint64_t length_ = 0;
};

}  // namespace

std::string plain_png(const ImageView& picture, const std::string& description) {
    const int width = picture.width(), height = picture.height();
    std::string png("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    put32(header, static_cast<std::uint32_t>(width));
    put32(header, static_cast<std::uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter choice, no interlace
    chunk(png, "IHDR", header);
    if (!description.empty()) {
        // iTXt: keyword, no compression, no language tag, no translated keyword.
        chunk(png, "iTXt", std::string("Description") + std::string(5, '\0') + description);
    }
    // The rows as filter byte 0 and RGB triples, in stored blocks of at most
    // 65535 bytes, with zlib's header and Adler-32.
    std::string raw;
    raw.reserve(static_cast<std::size_t>(height) * (1 + 3 * static_cast<std::size_t>(width)));
    for (int y = 0; y < height; ++y) {
        raw += '\0';
        const Rgb* row = picture.row(y);
        for (int x = 0; x < width; ++x) {
            raw += static_cast<char>(red_of(row[x]));
            raw += static_cast<char>(green_of(row[x]));
            raw += static_cast<char>(blue_of(row[x]));
        }
    }
    std::string z("\x78\x01", 2);
    std::size_t at = 0;
    do {
        const std::size_t size = std::min<std::size_t>(65535, raw.size() - at);
        const bool last = at + size == raw.size();
        z += static_cast<char>(last ? 1 : 0);
        z += static_cast<char>(size & 0xFF);
        z += static_cast<char>(size >> 8);
        z += static_cast<char>(~size & 0xFF);
        z += static_cast<char>((~size >> 8) & 0xFF);
        z.append(raw, at, size);
        at += size;
    } while (at < raw.size());
    std::uint32_t s1 = 1, s2 = 0;
    for (const char c : raw) {
        s1 = (s1 + static_cast<unsigned char>(c)) % 65521;
        s2 = (s2 + s1) % 65521;
    }
    put32(z, (s2 << 16) | s1);
    chunk(png, "IDAT", z);
    chunk(png, "IEND", {});
    return png;
}

PictureFormats plain_picture_formats() {
    PictureFormats formats;
    formats.png = [](const ImageView& picture, const std::string& description) -> std::optional<std::string> {
        return plain_png(picture, description);
    };
    return formats;
}

std::string pixel_digest(const ImageView& picture) {
    Sha1 sha;
    std::vector<unsigned char> row(static_cast<std::size_t>(picture.width()) * 4);
    for (int y = 0; y < picture.height(); ++y) {
        const Rgb* pixels = picture.row(y);
        for (int x = 0; x < picture.width(); ++x) {
            const Rgb p = pixels[x] | 0xFF000000u;
            row[4 * x] = static_cast<unsigned char>(p);
            row[4 * x + 1] = static_cast<unsigned char>(p >> 8);
            row[4 * x + 2] = static_cast<unsigned char>(p >> 16);
            row[4 * x + 3] = static_cast<unsigned char>(p >> 24);
        }
        sha.add(row.data(), row.size());
    }
    return sha.hex();
}

}  // namespace rt
