// scenario-run compiled to WebAssembly and run by Node: the same runner on
// the browser's C++ library and libm, so its outputs show what the page
// computes and draws. Pictures are written by the plain PNG writer and the
// title picture comes from the picture table; nothing is printed.
#include "common/runtime/surface_fonts.h"
#include "common/web/picture_table.h"
#include "diffundo/diffundo.h"
#include "kalorix/kalorix.h"
#include "tools/scenario_run/scenario.h"

#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

int main(int argc, char** argv) try {
    return rt::scenario_main(
        argc, argv, {{"kalorix", kalorix::make_program}, {"diffundo", diffundo::make_program}},
        [](const rt::ScenarioOptions& options) {
            rt::ScenarioPlatform platform{rt::plain_picture_formats(), "."};
            const std::string dir = options.program_directory.empty() ? "." : options.program_directory;
            std::ifstream in(dir + "/pictures.bin", std::ios::binary);
            std::ostringstream table;
            table << in.rdbuf();
            platform.formats.decode = rt::picture_table_decoder(table.str());
            // The program directory is the runner's, not Node's beside /proc/self/exe.
            std::string error;
            std::optional<rt::FontTable> fonts = rt::FontTable::read_file(dir + "/fonts.bin", &error);
            if (!fonts) throw std::runtime_error("the fonts of the picture cannot be read: " + error);
            rt::use_surface_fonts(std::move(*fonts));
            return platform;
        });
} catch (const std::exception& e) {
    // What the desktop's runner would not survive either, told instead of
    // Emscripten's bare exception pointer.
    std::cerr << "scenario-run: " << e.what() << '\n';
    return rt::scenario_failed;
}
