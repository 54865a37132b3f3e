#include "fake_runtime.h"

#include "common/runtime/surface.h"

namespace test_support {

FakeRuntime::FakeRuntime(int width, int height) : Runtime(width, height) {
    surface().keep_text_grid(true);
    set_extras_host(*this);
}

void FakeRuntime::process_events() {
    ++passes;
    // The clock is read every 256th pass only: reading it is most of a pass.
    if (look_interval > 0 && (passes & 255) == 0) look_if_due();
    if (menu_index < 0) return;
    if ((menu_at_pass > 0 && passes == menu_at_pass) || (menu_at_wait > 0 && keys + 1 == menu_at_wait)) {
        const int index = menu_index;
        menu_index = -1;
        deliver_menu_selection(index);
    }
}

void FakeRuntime::stand_for_window() {
    surface().keep_text_grid(false);
    hears_announcements = false;
    real_clock = true;
    look_interval = 1.0 / 60;
}

void FakeRuntime::look_if_due() {
    const double now = time();
    if (now < next_look_) return;
    surface().image();
    next_look_ = now + look_interval;
}

std::string FakeRuntime::key_query() {
    ++keys;
    if (on_key_query) on_key_query(keys);
    return key;
}

double FakeRuntime::time() {
    if (real_clock) return clock_.now();
    return (passes + keys) * 0.001;
}

int FakeRuntime::message_box(int, const std::string& text, int default_button, const std::string&) {
    messages.push_back(text);
    return default_button;
}

std::string FakeRuntime::input_box(const std::string& prompt, const std::string& default_text) {
    prompts.push_back(prompt);
    if (on_input) on_input();
    switch (inputs) {
    case Inputs::take_defaults: return default_text;
    case Inputs::cancel: return {};
    case Inputs::answer: return answer;
    }
    return {};
}

void FakeRuntime::input_dialog(const std::string& prompt, const std::string& hint, std::string& text) {
    text = input_box(prompt, text);
    (void)hint;
}

}  // namespace test_support
