#pragma once
// Every file the programs write (pictures, PDFs, data) goes through here, so
// that none is ever left half-written: the bytes go into a new file beside
// the target, are flushed to the disk, and only then take the target's name.
// A full disk, a failing write or a killed program leave an existing file as
// it was.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace rt {

// Writes `bytes` as `file`, replacing it only once they are all on the disk;
// false when any step fails, and then nothing is left behind. A symbolic link
// is followed and the file it names replaced, as an editor does. A target
// that is no regular file (a device such as /dev/full, a pipe) is written
// straight into, every write checked.
bool write_file_atomically(const std::string& file, std::string_view bytes);

// How the bytes reach the open file, as ::write does: the count written, or
// -1 with errno set.
using WriteCall = std::function<long(int fd, const char* bytes, std::size_t count)>;

// While one lives, write_file_atomically writes through `call`: a full disk
// or a failing device can be tried without one.
class ScopedWriteCall {
public:
    explicit ScopedWriteCall(WriteCall call);
    ~ScopedWriteCall();
    ScopedWriteCall(const ScopedWriteCall&) = delete;
    ScopedWriteCall& operator=(const ScopedWriteCall&) = delete;

private:
    WriteCall previous_;
};

}  // namespace rt
