#include "diffundo/core/line_text.h"

#include "common/runtime/number_format.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The fast line end must read exactly as the runtime's number printing and
// the picture "##" would print it, for every atom count and split.
TEST(LineText, CountsMatchTheRuntimesNumberFormats) {
    for (int atoms = 1; atoms <= 101; ++atoms) {
        for (int m = 0; m <= atoms; ++m) {
            std::string line;
            diffundo::append_counts(line, atoms, m);
            ASSERT_EQ(line, " " + rt::number_text(atoms) + " " + rt::format_picture(m, "##") + "  ")
                << "N=" << atoms << " m=" << m;
        }
    }
}

TEST(LineText, AppendsBehindTheAtoms) {
    struct Case {
        std::string atoms;
        int N;
        int m;
        std::string line;
    };
    const Case cases[] = {
        {"*", 1, 0, "* 1  0  "},
        {"*******...", 10, 3, "*******... 10  3  "},
        {std::string(100, '.'), 100, 100, std::string(100, '.') + " 100 100  "},
    };
    for (const Case& c : cases) {
        std::string line = c.atoms;
        diffundo::append_counts(line, c.N, c.m);
        EXPECT_EQ(line, c.line);
    }
}

}  // namespace
