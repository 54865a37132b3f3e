#include "common/runtime/surface_fonts.h"

#include "common/runtime/asset_path.h"

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <system_error>

namespace rt {

namespace {

constexpr const char* font_file = "fonts.bin";

std::unique_ptr<FontTable>& installed() {
    static std::unique_ptr<FontTable> table;
    return table;
}

// The running program's folder, from the kernel's link to its file.
std::string own_directory() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : self.parent_path().string();
}

}  // namespace

const FontTable& surface_fonts() {
    std::unique_ptr<FontTable>& table = installed();
    if (!table) {
        const std::string path = find_asset(own_directory(), font_file);
        std::string error;
        std::optional<FontTable> read = FontTable::read_file(path, &error);
        if (!read) throw std::runtime_error("the fonts of the picture (" + path + ") cannot be read: " + error);
        table = std::make_unique<FontTable>(std::move(*read));
    }
    return *table;
}

void use_surface_fonts(FontTable table) { installed() = std::make_unique<FontTable>(std::move(table)); }

}  // namespace rt
