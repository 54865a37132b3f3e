// The files beside the program: the title picture and the bell are read only
// when they are regular files of a sensible size.
#include "common/desktop_output/picture_output.h"
#include "common/runtime/asset_file.h"
#include "common/runtime/surface.h"
#include "common/scripted/script.h"
#include "common/scripted/scripted_runtime.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

namespace {

namespace fs = std::filesystem;

class AssetFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("asset_file_test_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // A small picture, as the build draws the title picture.
    void write_picture(const fs::path& path) {
        QImage picture(16, 16, QImage::Format_RGB32);
        picture.fill(QColor(200, 0, 0));
        ASSERT_TRUE(picture.save(QString::fromStdString(path.string()), "JPG"));
    }

    fs::path dir;
};

TEST_F(AssetFiles, OnlyRegularFilesOfASensibleSizeAreRead) {
    struct Case {
        const char* name;
        std::function<void(const fs::path&)> make;
        bool readable;
    };
    const std::vector<Case> cases = {
        {"small file", [](const fs::path& p) { std::ofstream(p) << "RIFF"; }, true},
        {"empty file", [](const fs::path& p) { std::ofstream{p}; }, true},
        {"at the limit",
         [](const fs::path& p) {
             std::ofstream{p};
             fs::resize_file(p, rt::max_asset_bytes);
         },
         true},
        {"missing", [](const fs::path&) {}, false},
        {"directory", [](const fs::path& p) { fs::create_directory(p); }, false},
        {"named pipe", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }, false},
        // A header may claim 3 GB; a file that size is not taken in whole.
        {"three gigabytes",
         [](const fs::path& p) {
             std::ofstream{p};
             fs::resize_file(p, std::uintmax_t{3} << 30);
         },
         false},
        {"just past the limit",
         [](const fs::path& p) {
             std::ofstream{p};
             fs::resize_file(p, rt::max_asset_bytes + 1);
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = dir / c.name;
        c.make(path);
        EXPECT_EQ(rt::is_asset_file(path.string()), c.readable);
        const auto bytes = rt::read_asset_file(path.string());
        EXPECT_EQ(bytes.has_value(), c.readable);
        if (bytes) {
            EXPECT_EQ(bytes->size(), fs::file_size(path));
        }
    }
}

// A named pipe would block the reader until some other program writes to it,
// and the title screen would never come. Here a helper ends such a block after
// a second, so that the test fails instead of hanging.
TEST_F(AssetFiles, APipeNamedLikeThePictureIsSkippedAtOnce) {
    const fs::path pipe = dir / "titelbild1.jpg";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::atomic<bool> done = false;
    std::thread unblock([&] {
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (!done && std::chrono::steady_clock::now() < give_up)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        while (!done) {
            const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) ::close(fd);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    rt::ScriptedRuntime runtime(rt::parse_script(""));
    runtime.set_picture_formats(rt::qt_picture_formats());
    runtime.set_program_directory(dir.string());
    const auto started = std::chrono::steady_clock::now();
    const bool drawn = runtime.draw_picture("titelbild1.jpg", 0, 0, 100, 100);
    const auto waited = std::chrono::steady_clock::now() - started;
    done = true;
    unblock.join();
    EXPECT_FALSE(drawn);
    EXPECT_LT(waited, std::chrono::milliseconds(500));
}

TEST_F(AssetFiles, APictureFileTooLargeIsSkippedAsIfMissing) {
    rt::ScriptedRuntime runtime(rt::parse_script(""));
    runtime.set_picture_formats(rt::qt_picture_formats());
    runtime.set_program_directory(dir.string());
    const fs::path picture = dir / "titelbild1.jpg";
    write_picture(picture);
    const auto shown = [&] {
        const rt::Rgb c = runtime.surface().image().pixel(50, 50);
        return rt::red_of(c) > 150 && rt::green_of(c) < 60;
    };
    EXPECT_TRUE(runtime.draw_picture("titelbild1.jpg", 0, 0, 100, 100));
    EXPECT_TRUE(shown());
    // The same picture with zeros behind it, past the limit.
    runtime.clear_screen();
    fs::resize_file(picture, rt::max_asset_bytes + 1);
    EXPECT_FALSE(runtime.draw_picture("titelbild1.jpg", 0, 0, 100, 100));
    EXPECT_FALSE(shown());
}

}  // namespace
