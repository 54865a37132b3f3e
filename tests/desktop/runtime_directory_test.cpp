// The runtime directory made for Qt where a session has none: private to
// us, never a folder someone else made or could write into.
#include "common/desktop_output/runtime_directory.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

class RuntimeDirectory : public ::testing::Test {
protected:
    void SetUp() override {
        static const fs::path base = fs::temp_directory_path();  // before the tests move TMPDIR
        tmp = base / ("runtime_directory_test_" + std::to_string(::getpid()));
        fs::remove_all(tmp);
        fs::create_directories(tmp);
        ::setenv("TMPDIR", tmp.c_str(), 1);
        ::unsetenv("XDG_RUNTIME_DIR");
        usual = (tmp / ("kalorix-diffundo-runtime-" + std::to_string(::getuid()))).string();
    }
    void TearDown() override { fs::remove_all(tmp); }

    static std::string chosen() {
        const char* dir = std::getenv("XDG_RUNTIME_DIR");
        return dir ? dir : "";
    }
    static bool private_to_us(const std::string& dir) {
        struct stat st {};
        return ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
               (st.st_mode & 07777) == 0700;
    }
    fs::path tmp;
    std::string usual;
};

TEST_F(RuntimeDirectory, TheUsualNameWhenFreeAFreshOneWhenOthersCouldWriteThere) {
    rt::ensure_runtime_directory();
    EXPECT_EQ(chosen(), usual);
    EXPECT_TRUE(private_to_us(usual));

    ::unsetenv("XDG_RUNTIME_DIR");
    ::chmod(usual.c_str(), 0777);  // as made beforehand by somebody else
    rt::ensure_runtime_directory();
    EXPECT_NE(chosen(), usual);
    EXPECT_TRUE(private_to_us(chosen()));

    const std::string fresh = chosen();
    ::unsetenv("XDG_RUNTIME_DIR");
    fs::remove_all(usual);
    fs::create_directory_symlink(fresh, usual);  // a link may lead anywhere
    rt::ensure_runtime_directory();
    EXPECT_NE(chosen(), usual);
    EXPECT_TRUE(private_to_us(chosen()));
}

TEST_F(RuntimeDirectory, ASetOneIsLeftAlone) {
    ::setenv("XDG_RUNTIME_DIR", "/run/user/4711", 1);
    rt::ensure_runtime_directory();
    EXPECT_EQ(chosen(), "/run/user/4711");
}

}  // namespace
