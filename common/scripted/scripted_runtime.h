#pragma once
// A runtime whose user is a script: the programs run unchanged, without a
// window or a display, and draw the same pixels as in the window because the
// drawing half of Runtime is shared.
//
// Event passes: every process_events, key_query and mouse_state call is one.
// At each pass at most one item becomes due, strictly in script order:
//   menu    queued, delivered to the menu handler inside process_events;
//           an entry of the EXTRAS menu is the window's own instead: it runs
//           at once, in any pass and in a dialog before its answer, and the
//           pass goes on to the next item, so that a run with extras goes
//           exactly as the same run without;
//   mouse   changes the held buttons;
//   passes  N  the next N passes (this one included) do nothing more;
//   close   the window is gone: this and every later interactive call
//           throws WindowClosed;
//   key     consumed by key_query only;
//   answer, cancel, button   consumed by dialogs only; a key_query meeting
//           one, or a dialog meeting anything else, is a mismatch.
// Snapshots are written just before the item after them is consumed, or when
// the script is used up. From then on the user chooses "&Quit", confirms
// every message box with its default button, cancels every input, answers
// every key query with Return and lets go of the mouse.

#include "common/runtime/picture_formats.h"
#include "common/runtime/runtime.h"
#include "common/scripted/script.h"

#include <atomic>
#include <cstddef>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace rt {

class Transcript;

// A script error found while running (an unknown menu entry, a button the box
// does not have) or the script and the program going different ways.
struct ScriptFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// An output of the run (a snapshot) could not be written.
struct OutputFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Thrown by the services once the time limit of the run has passed, so that
// a program stuck in a polling loop unwinds and the outputs can be written.
struct ScriptTimeout : std::runtime_error {
    ScriptTimeout() : std::runtime_error("time limit reached") {}
};

// What the screen showed: the pixels and the text grid (final.txt's form).
struct Screen {
    Image image;
    std::string text;
};

// Writes DIR/NAME.png (by the formats' PNG writer) and DIR/NAME.txt; false
// when either cannot be written.
bool write_screen(const Screen& screen, const std::filesystem::path& dir, const std::string& name,
                  const PictureFormats& formats);

// Hands out the script's items in order, nothing at its end; may throw
// ScriptError.
using ScriptSource = std::function<std::optional<ScriptItem>()>;

class ScriptedRuntime : public Runtime, private ExtrasHost {
public:
    ScriptedRuntime(std::vector<ScriptItem> items, int width = surface_width, int height = surface_height);
    // Reads the items only as the run comes to them, so a script of any
    // length takes little memory. A ScriptError from the source is reported
    // as a ScriptFailure.
    ScriptedRuntime(ScriptSource source, int width = surface_width, int height = surface_height);
    ~ScriptedRuntime() override;

    // Records go to the transcript, which also watches the surface (not owned).
    void set_transcript(Transcript* transcript);
    // Where snapshots, saved pictures and printed PDFs are written; without
    // one they are skipped.
    void set_snapshot_directory(const std::filesystem::path& dir) { snapshot_dir_ = dir; }
    // Saved pictures are NAME-1.png, NAME-2.png, ..., printed ones NAME-1.pdf,
    // ..., saved data NAME-1.csv, ...
    void set_picture_name(const std::string& name) { picture_name_ = name; }
    void set_program_directory(const std::string& dir) { program_dir_ = dir; }
    // How pictures are written and read; by default plain_picture_formats()
    // (no picture files read, nothing printed).
    void set_picture_formats(PictureFormats formats);
    const PictureFormats& picture_formats() const { return formats_; }

    void set_title(const std::string& title) override;
    void open_window() override {}
    void process_events() override;
    std::string key_query() override;
    int mouse_state() override;
    // Call count times 1 ms: deterministic, and every call sees time go on.
    double time() override;
    int message_box(int style, const std::string& text, int default_button, const std::string& captions) override;
    std::string input_box(const std::string& prompt, const std::string& default_text) override;
    void input_dialog(const std::string& prompt, const std::string& hint, std::string& text) override;
    void play_sound(const std::string& file) override;
    std::string program_directory() const override { return program_dir_; }
    void end() override;

    bool full_screen() const { return full_screen_; }

    // From any thread: every later service call throws ScriptTimeout.
    void request_stop() { stop_requested_ = true; }

    Screen current_screen() const;
    // The screen at the first end() call, if there was one.
    const std::optional<Screen>& final_screen() const { return final_screen_; }

    bool window_closed() const { return closed_; }
    bool script_used_up() const { return used_up_; }
    // The first item not yet consumed, other than a snapshot; nullptr when none.
    const ScriptItem* next_unused_item() const;
    long event_passes() const { return passes_; }
    // Passes a `passes` item still lets go by, and that item's line.
    int idle_passes() const { return idle_passes_; }
    int idle_line() const { return idle_line_; }

protected:
    void show_menu(const std::vector<std::string>& entries) override;

private:
    // The window's extras in a headless run (scripted_extras.cpp).
    std::string output_file(Output what) override;
    bool write_picture(const std::string& file, const std::string& description, const ImageView& picture) override;
    void file_written(const std::string& file) override;
    void print_picture(const ImageView& picture) override;
    void copy_picture() override;
    void copy_text(const std::string& text) override;
    void toggle_full_screen() override;
    void projector_colours_changed(bool on) override;
    void print_colours_changed(bool on) override;
    void status_changed(const std::string& text) override;
    // Said to a screen reader; a scripted run's transcript already holds
    // every text the screen shows.
    void announced(const std::function<std::string()>&) override {}
    void menu_checked_changed(int index, bool checked) override;

    enum class Poll { events, key, mouse };
    enum class DialogSort { message, input };

    std::string event_pass(Poll poll);
    std::string default_user(Poll poll);
    void check_service();
    // Index in `ahead_` of the first item that is not a snapshot, reading on
    // as far as needed; ahead_.size() when the script has none left.
    std::size_t next_item() const;
    bool read_item() const;
    // Takes the snapshots before the item and the item; then, unless told
    // otherwise, whether the script is used up.
    void consume(std::size_t index, bool check = true);
    // Consumes an EXTRAS entry and runs it.
    void run_extra_item(std::size_t index, Extra extra);
    void check_used_up();
    void take_snapshots(std::size_t from, std::size_t to);
    int resolve_menu(const ScriptItem& item) const;
    int find_quit_entry() const;
    std::optional<std::size_t> dialog_answer(DialogSort sort, const std::string& what);
    // Runs the EXTRAS entries that stand before a dialog's answer, on the
    // picture behind the box; then as next_item().
    std::size_t run_extras_before_answer();
    [[noreturn]] void mismatch(int line, const std::string& what) const;

    // The items read but not yet consumed (snapshots included), in order.
    // Reading on is no change the caller sees, hence mutable.
    mutable std::deque<ScriptItem> ahead_;
    mutable ScriptSource source_;
    bool used_up_ = false;
    int default_quit_ = -1;  // the "&Quit" the scripted user chooses once the script is used up
    bool quit_delivered_ = false;
    int idle_passes_ = 0;
    int idle_line_ = 0;  // the `passes` item that made them
    long passes_ = 0;
    long time_calls_ = 0;
    int mouse_buttons_ = mouse_none;
    bool closed_ = false;
    std::atomic<bool> stop_requested_ = false;

    Transcript* transcript_ = nullptr;
    std::filesystem::path snapshot_dir_;
    std::string program_dir_ = ".";
    std::optional<Screen> final_screen_;
    std::string picture_name_ = "bild";
    int pictures_saved_ = 0;
    int pictures_printed_ = 0;
    int data_saved_ = 0;
    bool full_screen_ = false;
    PictureFormats formats_ = plain_picture_formats();
};

// Position of ENTRY in the menu TITLE (title given without " |"), or -1.
int find_menu_entry(const std::vector<std::string>& menu, const std::string& title, const std::string& entry);

}  // namespace rt
