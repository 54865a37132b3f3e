#pragma once
// What both programs share: the state the common screens read and write
// (menu entries, message text, button list, quit marker), the common screens
// themselves, and the way a program is run on a runtime.

#include "common/lesson/lesson.h"
#include "common/runtime/runtime.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace common {

// What the title screens of the two programs do differently.
struct TitleScreen {
    rt::Colour headline_colour;    // headline and left frame
    bool black_before_left_panel;  // diffundo frames its left panel in black
    rt::Colour right_frame_colour;
    struct Line {
        const char* text;
        int grid_x;
        int grid_y;
    };
    std::array<Line, 3> headline;
    bool source_credit;  // kalorix names the textbook it follows
    int continue_row;
};

class Program {
public:
    static constexpr int menu_capacity = 81;

    explicit Program(rt::Runtime& runtime);
    virtual ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The main procedure, from start-up to the end of the main loop.
    virtual void main() = 0;
    // Menu selections, by position in `menu_entries`.
    virtual void Win_0_MenuEvent(int index) = 0;

    // Runs the main procedure and then the end-of-program sequence. Closing
    // the window unwinds the program from wherever it waits.
    void run();

    rt::Runtime& runtime() { return runtime_; }

    // The lesson the program starts with, before run(): proposals for the
    // first input, or its values at once, and whether the title comes.
    void use_lesson(const lesson::Lesson& given) { lesson_ = given; }

protected:
    // Fills `menu_entries` from the program's menu list and installs the bar,
    // with the program's page for the EXTRAS menu's help entry.
    void build_menu(const std::vector<std::string>& menu_list);
    // The check mark of the program's own entry with this text (as in the
    // menu list); nothing when the menu has no such entry.
    void set_entry_checked(const std::string& entry_text, bool checked);
    // The help page on the extras and their keys; none without an EXTRAS menu.
    virtual std::string extras_help_page() const { return {}; }
    // Grid units (320 x 200) to pixels, truncating: p * width / 320.
    int scale_x(int p) const;
    int scale_y(int p) const;
    // `message_text` in a box with the single button " OK ".
    void show_message();
    // kalorix keeps the answer in `choice`; the box has one button, so 1.
    virtual void message_answered(int /*button*/) {}
    void show_author();
    void show_title();
    virtual TitleScreen title_screen() const = 0;
    // "Weiter ?  <RETURN>" in the program's place, then a wait for a key or
    // a mouse button.
    void wait_continue(int row);
    virtual void continue_prompt_cell(int row, double& column, double& text_row) const = 0;
    virtual rt::Colour background() const = 0;

    rt::Runtime& runtime_;
    std::vector<std::string> menu_entries = std::vector<std::string>(menu_capacity);
    std::string message_text;
    std::string button_list;
    std::string quit_marker;
    lesson::Lesson lesson_;
};

// "Gewählt: Quit - wird nach <RETURN> ausgeführt" for the entry "&Quit":
// what the status line says while a prompt holds a menu selection.
std::string queued_selection_text(const std::string& entry);

// The credit of the author box and the title screens: the project's own,
// no invented persons or addresses. The title panels are narrow, so there
// the long line is split in two.
struct Credit {
    static constexpr const char* name = "kalorix & diffundo";
    static constexpr const char* school = "Freie Software für den Physikunterricht";
    static constexpr const char* school_first = "Freie Software für den";
    static constexpr const char* school_second = "Physikunterricht";
    static constexpr const char* year = "2026";
    static constexpr const char* tool = "Erstellt mit C++ und Qt";
    static constexpr const char* years = "kalorix und diffundo, 2026";
    static constexpr const char* source = "Modell: zwei Räume mit Zwei-Niveau-Atomen";
};

}  // namespace common
