#include "common/scripted/script.h"

#include "common/runtime/runtime.h"
#include "common/unicode/utf8.h"

#include <array>
#include <charconv>
#include <istream>
#include <limits>
#include <set>
#include <sstream>
#include <string_view>
#include <utility>

namespace rt {

namespace {

struct KeyName {
    const char* name;
    const char* text;
};

// Keys without a printable character of their own, as key_query reports them.
constexpr std::array<KeyName, 5> key_names = {{
    {"Return", "\r"},
    {"Escape", "\x1b"},
    {"Space", " "},
    {"Tab", "\t"},
    {"Backspace", "\b"},
}};

// Editors on Windows start UTF-8 files with it.
constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string trim(const std::string& s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && is_blank(s[b])) ++b;
    while (e > b && is_blank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

int parse_count(int line, const std::string& word, const std::string& arg, int minimum) {
    int value = 0;
    const char* first = arg.data();
    const char* last = arg.data() + arg.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (arg.empty() || error != std::errc() || end != last)
        throw ScriptError(line, word + " needs a whole number, found \"" + arg + "\"");
    if (value < minimum) throw ScriptError(line, word + " needs a number of at least " + std::to_string(minimum));
    return value;
}

std::string key_text(int line, const std::string& arg) {
    if (arg.empty()) return "\r";
    for (const KeyName& k : key_names)
        if (arg == k.name) return k.text;
    if (unicode::utf8_character_count(arg) == 1) return arg;
    throw ScriptError(line,
                      "unknown key \"" + arg + "\" (a single character or Return, Escape, Space, Tab, Backspace)");
}

ScriptItem parse_mouse(int line, const std::string& arg) {
    ScriptItem item;
    item.kind = ScriptItemKind::mouse;
    const std::size_t gap = arg.find(' ');
    const std::string button = arg.substr(0, gap);
    const std::string action = gap == std::string::npos ? std::string() : trim(arg.substr(gap + 1));
    if (button == "left")
        item.mouse_button = mouse_left;
    else if (button == "right")
        item.mouse_button = mouse_right;
    else if (button == "middle")
        item.mouse_button = mouse_middle;
    else
        throw ScriptError(line, "mouse needs left, right or middle, found \"" + button + "\"");
    if (action == "down")
        item.mouse_down = true;
    else if (action != "up")
        throw ScriptError(line, "mouse " + button + " needs down or up, found \"" + action + "\"");
    return item;
}

ScriptItem parse_menu(int line, const std::string& arg) {
    const std::size_t slash = arg.find(" / ");
    if (slash == std::string::npos) throw ScriptError(line, "menu needs TITLE / ENTRY, found \"" + arg + "\"");
    ScriptItem item;
    item.kind = ScriptItemKind::menu;
    item.menu_title = trim(arg.substr(0, slash));
    item.menu_entry = trim(arg.substr(slash + 3));
    if (item.menu_title.empty() || item.menu_entry.empty())
        throw ScriptError(line, "menu needs TITLE / ENTRY, found \"" + arg + "\"");
    return item;
}

void check_snapshot_name(int line, const std::string& name, std::set<std::string>& seen) {
    if (name.empty()) throw ScriptError(line, "snapshot needs a name");
    if (name.find_first_of("/\\ \t") != std::string::npos || name[0] == '.')
        throw ScriptError(line, "snapshot name \"" + name + "\" must be a plain file name without blanks");
    if (name == "final") throw ScriptError(line, "snapshot name \"final\" is taken by the final screen");
    if (!seen.insert(name).second) throw ScriptError(line, "snapshot name \"" + name + "\" used twice");
}

ScriptItem parse_line(int line, const std::string& raw, std::set<std::string>& snapshot_names) {
    std::size_t start = 0;
    while (start < raw.size() && is_blank(raw[start])) ++start;
    std::size_t word_end = start;
    while (word_end < raw.size() && !is_blank(raw[word_end])) ++word_end;
    const std::string word = raw.substr(start, word_end - start);

    if (word == "answer") {
        ScriptItem item;
        item.kind = ScriptItemKind::answer;
        // Everything after the one separating blank is typed, blanks and "#" included.
        if (word_end < raw.size()) item.text = raw.substr(word_end + 1);
        return item;
    }

    // Behind any other item, a "#" after a blank starts a comment.
    std::string rest = raw.substr(word_end);
    for (std::size_t i = 0; i < rest.size(); ++i)
        if (rest[i] == '#' && (i == 0 || is_blank(rest[i - 1]))) {
            rest.resize(i);
            break;
        }
    const std::string arg = trim(rest);
    auto no_argument = [&](ScriptItemKind kind) {
        if (!arg.empty()) throw ScriptError(line, word + " takes no argument, found \"" + arg + "\"");
        ScriptItem item;
        item.kind = kind;
        return item;
    };

    if (word == "cancel") return no_argument(ScriptItemKind::cancel);
    if (word == "close") return no_argument(ScriptItemKind::close);
    if (word == "button") {
        ScriptItem item;
        item.kind = ScriptItemKind::button;
        item.number = parse_count(line, word, arg, 1);
        return item;
    }
    if (word == "passes") {
        ScriptItem item;
        item.kind = ScriptItemKind::passes;
        item.number = parse_count(line, word, arg, 0);
        return item;
    }
    if (word == "key") {
        ScriptItem item;
        item.kind = ScriptItemKind::key;
        item.text = key_text(line, arg);
        return item;
    }
    if (word == "mouse") return parse_mouse(line, arg);
    if (word == "menu") return parse_menu(line, arg);
    if (word == "snapshot") {
        check_snapshot_name(line, arg, snapshot_names);
        ScriptItem item;
        item.kind = ScriptItemKind::snapshot;
        item.text = arg;
        return item;
    }
    // Cut short: a wrong file given as the script would fill the terminal.
    throw ScriptError(line, "unknown item \"" + word.substr(0, 40) + "\"");
}

}  // namespace

ScriptError::ScriptError(int line_number, const std::string& what)
    : std::runtime_error("script line " + std::to_string(line_number) + ": " + what), line(line_number) {}

bool read_script_line(std::istream& in, std::string& line, int line_number) {
    line.clear();
    std::streambuf* text = in.rdbuf();
    if (!in.good() || text == nullptr) {
        in.setstate(std::ios::failbit);
        return false;
    }
    for (;;) {
        const int c = text->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            in.setstate(line.empty() ? std::ios::eofbit | std::ios::failbit : std::ios::eofbit);
            return !line.empty();
        }
        if (c == '\n') return true;
        if (line.size() == longest_script_line)
            throw ScriptError(line_number, "line longer than " + std::to_string(longest_script_line) + " bytes");
        line.push_back(static_cast<char>(c));
    }
}

ScriptReader::ScriptReader(std::istream& in) : in_(in) {}

std::optional<ScriptItem> ScriptReader::next() {
    std::string raw;
    constexpr int last_line = std::numeric_limits<int>::max();
    while (read_script_line(in_, raw, line_ < last_line ? line_ + 1 : line_)) {
        if (line_ == last_line) throw ScriptError(line_, "the script has too many lines");
        ++line_;
        if (line_ == 1 && raw.starts_with(byte_order_mark)) raw.erase(0, byte_order_mark.size());
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();

        const std::string content = trim(raw);
        if (content.empty() || content[0] == '#') continue;
        ScriptItem item = parse_line(line_, raw, snapshot_names_);
        item.line = line_;
        return item;
    }
    return std::nullopt;
}

std::vector<ScriptItem> parse_script(const std::string& text) {
    std::istringstream in(text);
    ScriptReader reader(in);
    std::vector<ScriptItem> items;
    while (std::optional<ScriptItem> item = reader.next()) items.push_back(std::move(*item));
    return items;
}

std::string describe(const ScriptItem& item) {
    switch (item.kind) {
    case ScriptItemKind::answer: return "answer \"" + item.text + "\"";
    case ScriptItemKind::cancel: return "cancel";
    case ScriptItemKind::button: return "button " + std::to_string(item.number);
    case ScriptItemKind::key:
        for (const KeyName& k : key_names)
            if (item.text == k.text) return std::string("key ") + k.name;
        return "key " + item.text;
    case ScriptItemKind::mouse: {
        const char* button = item.mouse_button == mouse_left    ? "left"
                             : item.mouse_button == mouse_right ? "right"
                                                                : "middle";
        return std::string("mouse ") + button + (item.mouse_down ? " down" : " up");
    }
    case ScriptItemKind::menu: return "menu " + item.menu_title + " / " + item.menu_entry;
    case ScriptItemKind::passes: return "passes " + std::to_string(item.number);
    case ScriptItemKind::snapshot: return "snapshot " + item.text;
    case ScriptItemKind::close: return "close";
    }
    return "?";
}

}  // namespace rt
