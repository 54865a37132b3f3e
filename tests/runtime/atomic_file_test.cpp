// Files are replaced whole or not at all.
#include "common/runtime/atomic_file.h"
#include "disk_full.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using test_support::DiskFullAfter;
using test_support::file_text;
using test_support::names_in;

TEST(AtomicFile, AFullDiskLeavesTheOldFileAsItWasAndNothingBeside) {
    const fs::path dir = fs::path(::testing::TempDir()) / ("atomic_file_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path old = dir / "old.csv";
    std::ofstream(old) << "alt\n";
    fs::permissions(old, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const std::string bytes(10000, 'x');

    for (const std::size_t room : {std::size_t{0}, std::size_t{1}, std::size_t{4096}, bytes.size() - 1}) {
        SCOPED_TRACE(room);
        const DiskFullAfter full(room);
        EXPECT_FALSE(rt::write_file_atomically(old.string(), bytes));
        EXPECT_FALSE(rt::write_file_atomically((dir / "new.csv").string(), bytes));
        EXPECT_EQ(file_text(old), "alt\n");
        EXPECT_EQ(names_in(dir), std::set<std::string>{"old.csv"});
    }

    // With room, the file is replaced, keeps who may read it, and a link to it stays a link.
    fs::create_symlink("old.csv", dir / "link.csv");
    ASSERT_TRUE(rt::write_file_atomically((dir / "link.csv").string(), bytes));
    EXPECT_EQ(file_text(old), bytes);
    EXPECT_TRUE(fs::is_symlink(dir / "link.csv"));
    EXPECT_EQ(fs::status(old).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(names_in(dir), (std::set<std::string>{"link.csv", "old.csv"}));
    // A device is written into, and its refusal is seen.
    EXPECT_FALSE(rt::write_file_atomically("/dev/full", bytes));
    fs::remove_all(dir);
}

}  // namespace
