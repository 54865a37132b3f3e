#pragma once
// The runtime of a page: the programs in a browser tab, compiled by
// Emscripten with Asyncify. The picture goes into a canvas, the menus into an
// HTML menu bar, the boxes into HTML dialogs (common/web/page.js); the
// programs' blocking loops hand control to the browser whenever they let
// events through, so the page answers during long runs, and a loop that
// only waits sleeps in the browser's event loop instead of spinning.

#include "common/lesson/lesson.h"
#include "common/runtime/coarse_clock.h"
#include "common/runtime/idle_polls.h"
#include "common/runtime/runtime.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace rt {

class WebRuntime : public Runtime, private ExtrasHost {
public:
    // The program's files (fonts, picture table, title picture) lie in
    // `program_dir` of the page's file system; `name` names saved files.
    WebRuntime(std::string name, std::string program_dir);
    ~WebRuntime() override;

    void set_title(const std::string& title) override;
    void open_window() override;
    void process_events() override;
    std::string key_query() override;
    int mouse_state() override;
    double time() override;
    int message_box(int style, const std::string& text, int default_button, const std::string& captions) override;
    std::string input_box(const std::string& prompt, const std::string& default_text) override;
    void input_dialog(const std::string& prompt, const std::string& hint, std::string& text) override;
    void play_sound(const std::string& file) override;
    std::string program_directory() const override { return program_dir_; }
    // The folder of this page: a lesson's link opens where it was made.
    std::string pages_address() const override;
    void end() override;
    void set_extras_help(const std::string& page) override;

protected:
    void show_menu(const std::vector<std::string>& entries) override;

private:
    std::string output_file(Output what) override;
    bool write_picture(const std::string& file, const std::string& description, const ImageView& picture) override;
    void file_written(const std::string& file) override;
    void print_picture(const ImageView& picture) override;
    void copy_picture() override;
    void copy_text(const std::string& text) override;
    void announced(const std::function<std::string()>& text) override;
    void toggle_full_screen() override;
    void status_changed(const std::string& text) override;
    void projector_colours_changed(bool on) override;
    void print_colours_changed(bool on) override;
    void menu_checked_changed(int index, bool checked) override;
    // The check mark of an EXTRAS entry.
    void mark_extra(Extra extra, bool on);

    enum class MenuOffer { everything, picture_services, nothing };

    void throw_if_closed();
    // Shows the changed pixels and, a frame's time after the last time,
    // lets the browser run (its events, its painting) before going on.
    void let_events_through();
    // After a yield or a wait: the clock and the buttons are read afresh.
    void after_the_browser_ran();
    // Shows the picture and sleeps in the browser until an event comes or
    // `ms` milliseconds have passed.
    void wait_for_events(int ms);
    void present();
    // Hands the page the screen's text and the pictures' sentences when they
    // changed since the last time.
    void describe_to_page();
    // The area of these pixels (of the surface's size) onto the canvas.
    void show_on_canvas(const ImageView& pixels, const Rect& area);
    // Takes the menu selections the page has made: EXTRAS entries are kept
    // to run at once, the program's entries queued for process_events.
    void take_selections();
    bool run_pending_extras();
    template <typename Look, typename Found>
    auto poll(Look look, Found found);
    int wait_for_answer();
    std::string dialog_caption() const;
    void offer_menus(MenuOffer offer);

    std::string name_;
    std::string program_dir_;
    std::string title_;
    std::vector<std::uint32_t> rgba_;  // the canvas's bytes, R G B A
    std::vector<int> pending_extras_;
    IdlePolls idle_polls_;
    int last_mouse_result_ = mouse_none;
    // What only the page's events change, and those run only while the
    // browser runs: a loop that polls millions of times a second asks the
    // page once after each time the browser ran, not at every poll.
    struct Asked {
        bool closed = false;
        bool selections = false;
        bool keys = false;  // and none was left
        bool buttons = false;
    };
    Asked asked_;
    bool closed_ = false;
    int buttons_ = mouse_none;  // as the page last told them
    // Every call into JavaScript costs, the clock's reading too: a loop that
    // polls millions of times a second reads it only every so many calls.
    CoarseClock clock_;
    double last_yield_ = 0;
    bool extra_running_ = false;
    bool ended_ = false;
    MenuOffer offer_ = MenuOffer::everything;
    int files_saved_ = 0;
    double described_at_ = -1;
    std::uint64_t described_changes_ = ~std::uint64_t{0};
    std::string described_picture_;
    std::string described_text_;
};

// The page's main: the fonts and pictures from the page's program files,
// the program run on a WebRuntime until it ends, with the lesson the page's
// address holds after "#" (read once; a link the reader refuses is said in a
// box, and the program starts as without one).
int run_page(lesson::ProgramKind kind, const std::function<void(Runtime&, const lesson::Lesson&)>& run_program);

}  // namespace rt
