#pragma once
// The files the programs read beside themselves: the title picture and the
// bell. Only regular files of a sensible size are read; anything else counts
// as missing. A named pipe would block its reader until some other program
// writes to it, and a file of gigabytes (a header may claim any size) would
// be taken into memory whole.

#include <cstdint>
#include <optional>
#include <string>

namespace rt {

// The largest file taken: the picture and the bell are tens of kilobytes.
inline constexpr std::uintmax_t max_asset_bytes = std::uintmax_t{8} << 20;

// Whether `path` names (through links) a regular file of at most
// max_asset_bytes. Never opens the file.
bool is_asset_file(const std::string& path);

// The bytes of such a file; nothing when it is not one or cannot be read.
std::optional<std::string> read_asset_file(const std::string& path);

}  // namespace rt
