#pragma once
// A disk that fills up: while one lives, the files the programs write take
// only so many bytes more, and every write after that fails as on a full
// disk. No real disk needs to fill.

#include "common/runtime/atomic_file.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace test_support {

class DiskFullAfter {
public:
    explicit DiskFullAfter(std::size_t room)
        : room_(room), call_([this](int fd, const char* bytes, std::size_t count) -> long {
              if (room_ == 0) {
                  errno = ENOSPC;
                  return -1;
              }
              const long written = static_cast<long>(::write(fd, bytes, std::min(count, room_)));
              if (written > 0) room_ -= static_cast<std::size_t>(written);
              return written;
          }) {}

private:
    std::size_t room_;
    rt::ScopedWriteCall call_;
};

inline std::string file_text(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The names in a folder, hidden ones included.
inline std::set<std::string> names_in(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

}  // namespace test_support
