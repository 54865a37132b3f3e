#include "common/runtime/asset_path.h"

#include <filesystem>
#include <system_error>

namespace rt {

const char* const installed_data_from_program = INSTALLED_DATA_FROM_PROGRAM;

std::string find_asset(const std::string& program_directory, const std::string& file) {
    const std::filesystem::path program(program_directory);
    const std::filesystem::path beside = program / file;
    const std::filesystem::path installed = program / installed_data_from_program / file;
    for (const auto& candidate : {beside, installed}) {
        std::error_code error;
        if (std::filesystem::is_regular_file(candidate, error)) return candidate.lexically_normal().string();
    }
    return beside.string();
}

}  // namespace rt
