#pragma once
// A runtime for tests and benchmarks that start a procedure directly: a user
// who answers every wait at once, in a way each test sets, and a record of
// what the program asked. Drawing goes to the real surface.

#include "common/runtime/coarse_clock.h"
#include "common/runtime/extras_services.h"
#include "common/runtime/runtime.h"

#include <functional>
#include <string>
#include <vector>

namespace test_support {

class FakeRuntime : public rt::Runtime, private rt::NoExtrasHost {
public:
    // Tests read the text grid; a benchmark that stands for the window
    // switches it off again.
    explicit FakeRuntime(int width = surface_width, int height = surface_height);

    // --- what the user does -----------------------------------------------------
    std::string key = "\r";  // the answer of every key query; empty: no key
    // Input boxes: confirmed with their default, cancelled, or answered with `answer`.
    enum class Inputs { take_defaults, cancel, answer };
    Inputs inputs = Inputs::take_defaults;
    std::string answer;
    // One menu pick: entry `menu_index` at event pass `menu_at_pass` (from 1),
    // or in the first event pass before key query `menu_at_wait` (from 1).
    int menu_index = -1;
    int menu_at_pass = 0;
    int menu_at_wait = 0;
    // Called at each key query with its number, from 1, and at each input box.
    std::function<void(int)> on_key_query;
    std::function<void()> on_input;
    // time(): the real clock, read as the window reads it (CoarseClock), or
    // a clock that ticks a millisecond per pass and key.
    bool real_clock = false;
    // > 0: every so many seconds of time() a pass reads the surface image,
    // as the window's repaint does, so deferred texts become pixels.
    double look_interval = 0;
    // For benchmarks that stand for the window: no text grid, the real clock,
    // the picture looked at as often as the window repaints it, nobody who
    // hears announcements.
    void stand_for_window();

    // --- what the program asked ---------------------------------------------------
    int passes = 0;
    int keys = 0;
    std::vector<std::string> messages;
    std::vector<std::string> prompts;
    std::vector<std::string> sounds;
    // What a screen reader was told, while `hears_announcements`.
    std::vector<std::string> announcements;
    bool hears_announcements = true;

    void set_title(const std::string&) override {}
    void open_window() override {}
    void process_events() override;
    std::string key_query() override;
    int mouse_state() override { return rt::mouse_none; }
    double time() override;
    int message_box(int style, const std::string& text, int default_button, const std::string& captions) override;
    std::string input_box(const std::string& prompt, const std::string& default_text) override;
    void input_dialog(const std::string& prompt, const std::string& hint, std::string& text) override;
    void play_sound(const std::string& file) override { sounds.push_back(file); }
    std::string program_directory() const override { return "."; }
    void end() override {}

protected:
    void show_menu(const std::vector<std::string>&) override {}

private:
    void look_if_due();

    // The services' host: nowhere to write, nothing shown but announcements.
    void announced(const std::function<std::string()>& text) override {
        if (hears_announcements) announcements.push_back(text());
    }

    rt::CoarseClock clock_;
    double next_look_ = 0;
};

}  // namespace test_support
