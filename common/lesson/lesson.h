#pragma once
// A prepared lesson: the values a program asks for at its start, and how the
// run begins. A teacher hands it out as a command line
//   kalorix --werte 300,700,200,0,0.4,2 --analyse experiment --ohne-titel
// or as the fragment of a link to the browser edition
//   kalorix.html#werte=300,700,200,0,0.4,2&analyse=experiment&ohne-titel
// Both forms become the same key/value pairs and go through one reader, so a
// link made on the desktop opens the same lesson in the browser and back.
//
// Only the form is checked here (known keys, each once, numbers that are
// numbers). Whether a value may be used is decided by the same rules as a
// typed answer, in the program's input: a lesson is trusted no further.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lesson {

enum class ProgramKind { kalorix, diffundo };

// kalorix's closing question "Was haben Sie vor?", by its button number.
enum class Analysis { experiment = 1, theory = 2, none = 3 };
// diffundo's drawing mode, by its value of `draw_mode`.
enum class DrawMode { in_place = -1, sorted = 1 };

struct Lesson {
    // In the order the input asks for them (kalorix: Nmax_A, Nmax_B, n, N_A,
    // entropy scale, excitation energy; diffundo: the number of atoms). An
    // empty or missing field keeps the built-in proposal.
    std::vector<std::optional<double>> values;
    std::optional<Analysis> analysis;   // kalorix only
    std::optional<DrawMode> draw_mode;  // diffundo only
    // diffundo only: steps per second, one of the tempo levels; 0 is full speed.
    std::optional<int> tempo;
    bool at_once = false;        // values that pass are taken without their boxes
    bool without_title = false;  // no title screen, quit hint and introduction

    bool operator==(const Lesson&) const = default;
    // The value at `index`, if the lesson gives one.
    std::optional<double> value(std::size_t index) const {
        return index < values.size() ? values[index] : std::nullopt;
    }
};

// A key without "--" and its value as given; empty for a key without one.
using Pair = std::pair<std::string, std::string>;

enum class Form { command_line, link };

struct Reading {
    std::optional<Lesson> lesson;  // set exactly when `error` is empty
    std::string error;             // German, one line, names the key as the form spells it
};

// The most values "werte" holds: kalorix 6, diffundo 1.
std::size_t value_count(ProgramKind program);
const char* program_name(ProgramKind program);

// The keys `program` knows, and whether each takes a value, for --help.
struct Key {
    const char* name;         // "werte"
    const char* value_name;   // "Zahlen"; nullptr for a key without a value
    const char* description;  // German, for --help
};
const std::vector<Key>& keys(ProgramKind program);

// The one reader both forms end in. Refuses unknown and repeated keys,
// missing and superfluous values, malformed numbers and overlong texts.
Reading read_pairs(ProgramKind program, const std::vector<Pair>& pairs, Form form);

// The fragment of a link, with or without its leading "#"; "%XX" decoded.
Reading read_link(ProgramKind program, std::string_view fragment);

// The writers, for the values in use. Fields that are not set stay empty;
// empty fields at the end are left out.
std::string link_fragment(ProgramKind program, const Lesson& lesson);
std::vector<std::string> command_line_arguments(ProgramKind program, const Lesson& lesson);
std::string command_line(ProgramKind program, const Lesson& lesson);  // "kalorix --werte ..."
// The browser edition's address with the fragment: "https://.../kalorix.html#werte=...";
// the pages lie in `pages` (no "/" at its end), or at the published address when empty.
std::string page_link(ProgramKind program, const Lesson& lesson, const std::string& pages = {});

}  // namespace lesson
