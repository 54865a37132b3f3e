#include "common/runtime/asset_file.h"

#include <filesystem>
#include <fstream>

namespace rt {

bool is_asset_file(const std::string& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error || !std::filesystem::is_regular_file(status)) return false;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return !error && size <= max_asset_bytes;
}

std::optional<std::string> read_asset_file(const std::string& path) {
    if (!is_asset_file(path)) return std::nullopt;
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    std::ifstream in(path, std::ios::binary);
    if (error || !in) return std::nullopt;
    // At most the size seen, should the file grow meanwhile.
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) return std::nullopt;
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

}  // namespace rt
