#include "common/runtime/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <utility>

namespace rt {

namespace {

namespace fs = std::filesystem;

WriteCall& write_call() {
    static WriteCall call = [](int fd, const char* bytes, std::size_t count) {
        return static_cast<long>(::write(fd, bytes, count));
    };
    return call;
}

bool write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const long written = write_call()(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The file a chain of symbolic links ends at; the name itself when it is none.
fs::path link_target(const fs::path& file) {
    fs::path target = file;
    std::error_code error;
    for (int hop = 0; hop < 40 && fs::is_symlink(target, error); ++hop) {
        const fs::path next = fs::read_symlink(target, error);
        if (error) break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target;
}

bool write_in_place(const fs::path& target, std::string_view bytes) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = write_all(fd, bytes);
    // A device has nothing to flush.
    if (ok && ::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) ok = false;
    return ::close(fd) == 0 && ok;
}

// A name of its own beside the target, hidden: a file left by a killed
// program stays out of the way.
int create_beside(const fs::path& target, fs::path& temporary) {
    static unsigned counter = 0;
    // Room for the ending within the 255 bytes a name may have.
    const std::string name = target.filename().string().substr(0, 200);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = target.parent_path() /
                    ("." + name + "." + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".tmp");
        // The user's umask applies, as to any new file.
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

bool write_file_atomically(const std::string& file, std::string_view bytes) {
    const fs::path target = link_target(file);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) return write_in_place(target, bytes);

    fs::path temporary;
    const int fd = create_beside(target, temporary);
    if (fd < 0) return false;
    // A file that is replaced keeps who may read it.
    bool ok = (!exists || ::fchmod(fd, existing.st_mode & 07777) == 0) && write_all(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    // The new name on the disk too; a folder that cannot say so keeps the file all the same.
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

ScopedWriteCall::ScopedWriteCall(WriteCall call) : previous_(std::exchange(write_call(), std::move(call))) {}

ScopedWriteCall::~ScopedWriteCall() { write_call() = std::move(previous_); }

}  // namespace rt
