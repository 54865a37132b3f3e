#pragma once
// The scripted user of a test script, with a record of what the program
// asked of it: the window title, the message boxes, the input boxes, and the
// text on the screen at the first key query.

#include "common/runtime/surface.h"
#include "common/runtime/text_grid.h"
#include "common/scripted/script.h"
#include "common/scripted/scripted_runtime.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace test_support {

class RecordingRuntime : public rt::ScriptedRuntime {
public:
    explicit RecordingRuntime(const std::string& script, int width = 1024, int height = 768)
        : ScriptedRuntime(rt::parse_script(script), width, height) {}

    struct Box {
        int style;
        std::string text;
        int default_button;
        std::string captions;
    };

    void set_title(const std::string& text) override {
        title = text;
        ScriptedRuntime::set_title(text);
    }
    int message_box(int style, const std::string& text, int default_button, const std::string& captions) override {
        boxes.push_back({style, text, default_button, captions});
        return ScriptedRuntime::message_box(style, text, default_button, captions);
    }
    std::string input_box(const std::string& prompt, const std::string& default_text) override {
        inputs.emplace_back(prompt, default_text);
        return ScriptedRuntime::input_box(prompt, default_text);
    }
    std::string key_query() override {
        if (!first_key_query_grid) first_key_query_grid = surface().text_grid();
        return ScriptedRuntime::key_query();
    }

    std::string title;
    std::vector<Box> boxes;
    std::vector<std::pair<std::string, std::string>> inputs;  // prompt, default
    std::optional<rt::TextGrid> first_key_query_grid;
};

}  // namespace test_support
