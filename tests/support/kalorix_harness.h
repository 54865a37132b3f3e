#pragma once
// Runs kalorix against a scripted user, in-process, and keeps what it showed.

#include "common/runtime/surface.h"
#include "common/scripted/script.h"
#include "common/scripted/scripted_runtime.h"
#include "common/scripted/transcript.h"
#include "kalorix/kalorix.h"

#include <sstream>
#include <string>
#include <vector>

namespace kalorix_test {

// The start-up dialogs up to the parameter input: the title screen's key,
// the quit hint and the five introduction pages.
inline const char* const start_up = "key\nbutton 1\nbutton 1\nbutton 1\nbutton 1\nbutton 1\nbutton 1\n";

// The proposed parameters, accepted as offered, then "Wahl nach Menue".
inline const char* const default_input =
    "answer 400\nanswer 1200\nanswer 150\nanswer 150\nanswer 0.4\nanswer 2.0\nbutton 3\n";

// kalorix with its menu builder open to the tests.
struct TestKalorix : kalorix::Kalorix {
    using Kalorix::build_menu;
    using Kalorix::Kalorix;
};

struct KalorixRun {
    rt::Transcript transcript{nullptr, true};
    rt::ScriptedRuntime runtime;
    TestKalorix program{runtime};

    explicit KalorixRun(const std::string& script, int width = 1024, int height = 768)
        : runtime(rt::parse_script(script), width, height) {
        runtime.set_transcript(&transcript);
    }

    // The transcript lines of one kind, in order.
    std::vector<std::string> records(const std::string& kind) const {
        std::vector<std::string> found;
        std::istringstream lines(transcript.pending());
        for (std::string line; std::getline(lines, line);)
            if (line.find("\"kind\":\"" + kind + "\"") != std::string::npos) found.push_back(line);
        return found;
    }

    std::string text_row(int row) const { return rt::u32_to_utf8(runtime.surface().text_grid().row(row)); }
};

}  // namespace kalorix_test
