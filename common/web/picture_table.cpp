#include "common/web/picture_table.h"

#include <map>
#include <memory>
#include <optional>

namespace rt {

namespace {

std::uint64_t read_le(std::string_view bytes, std::size_t at, int size) {
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

}  // namespace

std::uint64_t file_hash(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

PictureDecoder picture_table_decoder(std::string_view table) {
    auto pictures = std::make_shared<std::map<std::uint64_t, Image>>();
    const std::string_view magic = "PICTABLE";
    std::size_t at = magic.size();
    if (table.substr(0, magic.size()) == magic) {
        while (at + 16 <= table.size()) {
            const std::uint64_t hash = read_le(table, at, 8);
            const auto width = static_cast<std::size_t>(read_le(table, at + 8, 4));
            const auto height = static_cast<std::size_t>(read_le(table, at + 12, 4));
            at += 16;
            if (width == 0 || height == 0 || width > 16384 || height > 16384 ||
                (table.size() - at) / 4 / width < height)
                break;
            Image picture(static_cast<int>(width), static_cast<int>(height));
            for (std::size_t y = 0; y < height; ++y) {
                Rgb* row = picture.row(static_cast<int>(y));
                for (std::size_t x = 0; x < width; ++x, at += 4)
                    row[x] = static_cast<Rgb>(read_le(table, at, 4)) | 0xFF000000u;
            }
            (*pictures)[hash] = std::move(picture);
        }
    }
    return [pictures](std::string_view bytes) -> std::optional<Image> {
        const auto found = pictures->find(file_hash(bytes));
        if (found == pictures->end()) return std::nullopt;
        return found->second;
    };
}

}  // namespace rt
