#pragma once
// The script of a headless run: what the scripted user does, one item per
// line, consumed strictly in order by ScriptedRuntime. Plain C++ so that
// parsing can be tested and reported on without Qt.
//
//   answer TEXT            text typed into an input box or dialog, confirmed
//   cancel                 input box or dialog cancelled
//   button N               message box button N (from 1) pressed
//   key [NAME]             a key for key_query (default Return)
//   mouse left|right|middle down|up
//   menu TITLE / ENTRY     a menu selection, e.g. "menu AUSGABE / &Weiter"
//   passes N               N event passes go by before the next item is due
//   snapshot NAME          screen written to NAME.png / NAME.txt
//   close                  the user closes the main window
//
// Blank lines and lines whose first non-blank character is "#" are skipped,
// and so is a UTF-8 byte-order mark at the very start.

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace rt {

enum class ScriptItemKind { answer, cancel, button, key, mouse, menu, passes, snapshot, close };

struct ScriptItem {
    ScriptItemKind kind = ScriptItemKind::close;
    int line = 0;            // 1-based line in the script text
    std::string text;        // answer text, key text as key_query returns it, snapshot name
    std::string menu_title;  // without the " |" of the menu list
    std::string menu_entry;  // exactly as in the menu list, "&" included
    int number = 0;          // button number, pass count
    int mouse_button = 0;    // mouse_left, mouse_right or mouse_middle
    bool mouse_down = false;
};

struct ScriptError : std::runtime_error {
    ScriptError(int line, const std::string& what);
    int line;
};

// The longest line a script may have, in bytes: far beyond any item, and
// a file given as the script by mistake (a device without line breaks such
// as /dev/zero) is refused before it fills the memory.
constexpr std::size_t longest_script_line = 64 * 1024;

// One line of the script, without its line break; false at the end of the
// input. Throws ScriptError naming `line_number` for a line longer than
// longest_script_line.
bool read_script_line(std::istream& in, std::string& line, int line_number);

// Reads a script item by item, as a run consumes it: a script of any length
// takes no more memory than its longest line (and its snapshot names).
class ScriptReader {
public:
    explicit ScriptReader(std::istream& in);  // not owned; must outlive the reader

    // The next item, nothing at the end. Throws ScriptError naming the line.
    std::optional<ScriptItem> next();

private:
    std::istream& in_;
    int line_ = 0;
    std::set<std::string> snapshot_names_;
};

// The whole script at once. Throws ScriptError naming the first faulty line.
std::vector<ScriptItem> parse_script(const std::string& text);

// The item as it reads in a message: "answer \"12\"", "key Return", "menu DESK / &Quit".
std::string describe(const ScriptItem& item);

}  // namespace rt
