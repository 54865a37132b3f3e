#pragma once
// The runtime layer: every service the two programs use to reach the screen,
// the user and the machine. The programs see only this class; a real window
// (WindowRuntime) and a scripted headless user (ScriptedRuntime) implement
// the interactive half, while the drawing half is shared, so both produce the
// same pixels. No Qt type appears here: program code stays Qt-free.

#include "common/runtime/extras.h"
#include "common/runtime/extras_services.h"
#include "common/runtime/image.h"
#include "common/runtime/number_format.h"
#include "common/runtime/styles.h"

#include <concepts>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace rt {

class Surface;

enum class FontFamily { serif, mono };

// Thrown by the interactive services once the main window has been closed.
// It unwinds the program to its entry point, which ends it: closing the
// window thus ends every loop and every wait, whatever it watches.
struct WindowClosed : std::runtime_error {
    WindowClosed() : std::runtime_error("main window closed") {}
};

// Mouse button state as the programs test it.
enum MouseButtons : int { mouse_none = 0, mouse_left = 1, mouse_right = 2, mouse_middle = 4 };

// Fill styles of the rectangle operation.
enum FillStyle : int { fill_hollow = 0, fill_solid = 1 };

class Runtime {
public:
    static constexpr int surface_width = 1024;
    static constexpr int surface_height = 768;
    // Menu selections nested deeper than this are ignored (see
    // deliver_menu_selection).
    static constexpr int max_menu_depth = 50;

    explicit Runtime(int width = surface_width, int height = surface_height);
    virtual ~Runtime();
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    // --- window and menus -------------------------------------------------
    virtual void set_title(const std::string& title) = 0;
    virtual void open_window() = 0;
    // Installs the menu bar from a list in the format `build_menu` leaves:
    // "TITLE |" starts a menu, entries follow, an empty text ends it; "&"
    // marks access letters, an entry of dashes is a separator. Selections are
    // reported to the menu handler by position in this list.
    void install_menu(const std::vector<std::string>& entries);
    const std::vector<std::string>& installed_menu() const { return menu_; }
    void set_menu_handler(std::function<void(int)> handler);

    // Lets pending window events through and delivers menu selections made
    // meanwhile to the menu handler, inside this call. Returns at once when
    // nothing is pending.
    virtual void process_events() = 0;
    // The menu entry chosen but not yet delivered (a wait that polls only
    // keys and mouse holds it until the next process_events); empty if none.
    std::string queued_selection() const;

    // --- keyboard, mouse, time ----------------------------------------------
    // A waiting key as text (Return is "\r", Escape "\x1b"), consumed; empty
    // when none. Polling lets window events through without running menu
    // actions, and a loop that only polls does not burn a core.
    virtual std::string key_query() = 0;
    // Bit set of the held buttons (mouse_left, mouse_right, mouse_middle).
    virtual int mouse_state() = 0;
    // Seconds since some fixed moment; a value that changes as time goes on.
    virtual double time() = 0;

    // --- dialogs (modal) ----------------------------------------------------
    // Text lines are separated by "|" (blanks kept); captions likewise.
    // Returns the number of the pressed button, from 1. A default number
    // larger than the number of buttons means the last button.
    virtual int message_box(int style, const std::string& text, int default_button, const std::string& captions) = 0;
    // The confirmed text; empty when the field was emptied or the box cancelled.
    virtual std::string input_box(const std::string& prompt, const std::string& default_text) = 0;
    // Like input_box, with an explanatory hint (may be empty); `text` is shown
    // for editing and holds the answer on return (empty = cancelled).
    virtual void input_dialog(const std::string& prompt, const std::string& hint, std::string& text) = 0;

    // --- sound, files, end ----------------------------------------------------
    // Plays a sound file found by asset_path; silently nothing when it is
    // missing or no audio device exists.
    virtual void play_sound(const std::string& file) = 0;
    // The directory of the running executable.
    virtual std::string program_directory() const = 0;
    // Where this program's browser pages lie (a link to a lesson points
    // there), without "/" at the end; empty: at their published address.
    virtual std::string pages_address() const { return {}; }
    // Where a picture or sound the programs read lies: beside the executable,
    // else in the installed data directory (common/runtime/asset_path.h).
    std::string asset_path(const std::string& file) const;
    // End of program: the window closes. Safe to call more than once.
    virtual void end() = 0;

    // --- random numbers ---------------------------------------------------------
    // Uniform in [0, 1).
    double random();
    void seed_random(std::uint64_t seed);

    // --- drawing surface (shared by both implementations) --------------------------
    int screen_width() const;
    int screen_height() const;
    void set_background_colour(Colour c);
    void clear_screen();
    void set_colour(Colour c);         // drawing colour: lines, outlines, text
    void set_second_colour(Colour c);  // fills, text background
    void set_line_width(int pixels);
    void set_fill_style(int style);  // fill_solid or fill_hollow
    // Lines are always solid: the programs only ever ask for the plain style.
    void set_line_style(int style);
    void set_font(FontFamily family, double size);
    void set_font_size(double size);
    // Transparent text leaves the background behind the glyphs untouched.
    void set_text_transparent(bool transparent);
    void line(double x1, double y1, double x2, double y2);
    // Outline in the drawing colour; inside in the second colour unless the
    // fill style is hollow.
    void rectangle(double x1, double y1, double x2, double y2);
    void filled_box(double x1, double y1, double x2, double y2);
    void point(double x, double y);
    void graphics_text(double x, double y, const std::string& text);
    // Draws the picture file (found by asset_path) scaled into the rectangle;
    // false (and nothing drawn) when it is missing or unreadable, or when the
    // runtime has no decoder for pictures.
    bool draw_picture(const std::string& file, int left, int top, int width, int height);

    // Text cells: (column, row) from 0; the cell size follows the font.
    void locate(double column, double row);
    void print(const std::string& text);
    void print_line(const std::string& text);  // then column 0 of the next row
    void print_number(double value);           // plain number text
    // Whole numbers print every digit (see number_text).
    template <std::integral Integer>
    void print_number(Integer value) {
        print(number_text(value));
    }
    // Size in pixels of one character cell in the current font.
    int cell_width() const;
    int cell_height() const;

    Surface& surface();
    const Surface& surface() const;

    // --- the services around the picture (common/runtime/extras_services.h) -------
    // The EXTRAS menu's entries are run by the runtime itself, in every event
    // pass and poll, and never reach the menu handler: they neither change
    // the program's state nor draw its random numbers.
    // The program's page for "&Hilfe zu den Extras"; a runtime whose extras
    // work differently (a browser's) adds its own lines.
    virtual void set_extras_help(const std::string& page);
    // Projector colours: what the program asks for is drawn in the projector
    // palette, and the picture already shown is re-coloured at once.
    bool projector_colours() const;
    void set_projector_colours(bool on);
    // Print colours: "Bild drucken" prints a copy of the picture in the print
    // palette (projector_palette.h); the screen keeps its colours.
    bool print_colours() const;
    void set_print_colours(bool on);
    // One line of text below the picture, outside the surface: the programs'
    // screens stay as they are. Passed on only when the text changes.
    void show_status(const std::string& text);
    const std::string& status() const;
    // What "Da&ten speichern ..." writes: a CSV text of the analysis on the
    // screen, asked for only when the entry is chosen. Empty function: the
    // screen shows nothing to export, and the runtime says so.
    void set_export(std::function<std::string()> provider);
    const std::function<std::string()>& exporter() const;
    // A check mark at one of the program's own entries, by position in the
    // installed menu list: the menu shows what the program says, not what a
    // click would make of it. Unchecked until set; passed on only when the
    // state changes.
    void set_menu_checked(int index, bool checked);
    bool menu_checked(int index) const;
    // What "Diese &Werte weitergeben ..." shows and copies: the values in
    // use as a command line and a link, asked for when the entry is chosen.
    void set_passing_on(std::function<PassedOnValues()> provider);

    // --- for readers of the screen (common/runtime/screen_reading.h) ----------
    // A sentence on what the picture shows, kept until the screen is cleared.
    void describe_picture(const std::string& sentence);
    // A result a screen reader should say at once: a summary, a trial's
    // outcome; never every step of a running simulation. The text is made
    // only where someone listens.
    void announce(const std::function<std::string()>& text);
    // What the screen shows, as lines of text; empty where the runtime keeps
    // no text grid (a window without a screen reader).
    std::string screen_description() const;

protected:
    // Shows the menu list install_menu has just stored.
    virtual void show_menu(const std::vector<std::string>& entries) = 0;

    // The selections made but not yet delivered, by position in the menu
    // list, oldest first. A runtime only queues them where its user makes
    // them; they reach the menu handler in deliver_queued_selections.
    void queue_menu_selection(int index) { queued_menus_.push_back(index); }
    bool menu_selection_queued(int index) const;
    void drop_queued_selections() { queued_menus_.clear(); }
    // Delivers the queued selections one at a time, each taken off the queue
    // before its handler runs: an action that lets events through receives
    // the selections queued after it inside itself. `after_each` runs after
    // every selection with its position and whether the handler ran.
    void deliver_queued_selections(const std::function<void(int index, bool ran)>& after_each = {});

    // Runs the menu handler, unless `max_menu_depth` selections are already
    // running: an action that lets events through receives the next selection
    // inside itself, and thousands of them would overflow the stack. An
    // ignored selection changes nothing. Returns whether the handler ran.
    bool deliver_menu_selection(int index);

    // How picture files become pixels where this runtime runs.
    void set_picture_decoder(PictureDecoder decoder) { decode_picture_ = std::move(decoder); }

    // The services show their changes through the host; until one is set,
    // nowhere (a runtime that never meets the EXTRAS menu needs none).
    void set_extras_host(ExtrasHost& host);
    // Runs an EXTRAS entry the runtime's user chose, its dialogs inside.
    void run_extra(Extra extra);

private:
    std::unique_ptr<Surface> surface_;
    PictureDecoder decode_picture_;
    std::vector<std::string> menu_;
    std::deque<int> queued_menus_;
    std::function<void(int)> menu_handler_;
    int menu_depth_ = 0;
    std::mt19937_64 generator_;

    Colour shown(Colour c) const;
    // The colours as the program asked for them; the surface holds them shown.
    Colour wanted_colour_;
    Colour wanted_second_colour_;
    Colour wanted_background_;
    std::unique_ptr<ExtrasServices> extras_;
};

}  // namespace rt
