#include "common/runtime/asset_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct LookupCase {
    const char* name;
    bool beside;     // the file lies beside the executable (build tree)
    bool installed;  // the file lies in the installed data directory
    bool expect_installed;
};

class AssetLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(AssetLookup, FindsTheFileBesideTheProgramFirstThenInstalled) {
    const LookupCase& c = GetParam();
    const fs::path root = fs::path(::testing::TempDir()) / ("asset_lookup_" + std::string(c.name));
    fs::remove_all(root);
    const fs::path program = root / "prefix" / "bin";
    const fs::path data = program / rt::installed_data_from_program;
    fs::create_directories(data);
    if (c.beside) std::ofstream(program / "ding.wav") << "beside";
    if (c.installed) std::ofstream(data / "ding.wav") << "installed";

    const fs::path found = rt::find_asset(program.string(), "ding.wav");
    const fs::path expected = c.expect_installed ? data / "ding.wav" : program / "ding.wav";
    EXPECT_TRUE(fs::equivalent(found.parent_path(), expected.parent_path())) << found;
    EXPECT_EQ(found.filename(), "ding.wav");
    fs::remove_all(root);
}

INSTANTIATE_TEST_SUITE_P(Places, AssetLookup,
                         ::testing::Values(LookupCase{"build_tree", true, false, false},
                                           LookupCase{"installed", false, true, true},
                                           LookupCase{"both_build_tree_wins", true, true, false},
                                           LookupCase{"neither_names_the_build_tree", false, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
