#include "common/desktop_output/runtime_directory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace rt {
namespace {

// A directory that no one else can have written into: ours, not a link,
// and closed to everybody else. A folder of that name made beforehand by
// another user (or left open) may hold their files.
bool private_to_us(const std::string& dir) {
    struct stat st {};
    return ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 07777) == 0700;
}

}  // namespace

void ensure_runtime_directory() {
    const char* set = std::getenv("XDG_RUNTIME_DIR");
    if (set != nullptr && *set != '\0') return;
    const char* tmp = std::getenv("TMPDIR");
    const std::string base = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    // One name per user, so that the programs share it as a session would.
    std::string dir = base + "/kalorix-diffundo-runtime-" + std::to_string(::getuid());
    ::mkdir(dir.c_str(), 0700);
    if (!private_to_us(dir)) {
        std::string pattern = base + "/kalorix-diffundo-runtime-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (::mkdtemp(name.data()) == nullptr) return;  // Qt then warns as without the stand-in
        dir = name.data();
    }
    ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
}

}  // namespace rt
