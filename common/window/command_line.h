#pragma once
// The command line of both programs. It is read before anything of Qt's GUI
// starts, so --help and --version work without a display, and a wrong
// argument is refused before a window opens.

#include "common/lesson/lesson.h"

#include <string>
#include <vector>

// What the command line and the launcher know of a program.
struct ProgramInfo {
    std::string name;     // the executable, desktop entry and icon: "kalorix"
    std::string summary;  // one German sentence for --help
    lesson::ProgramKind kind;  // which lesson options it takes
};

struct CommandLine {
    enum class Action { run, help, version, refuse };
    Action action = Action::run;
    // The help or version text for standard output, or the refusal for
    // standard error; each line ends in a line break.
    std::string text;
    // The lesson the options give, for Action::run.
    lesson::Lesson lesson;
};

// Exit codes of a start that ends before the window opens.
enum StartExit : int { start_ok = 0, start_no_display = 1, start_bad_arguments = 2 };

// `arguments` as the program received them, its own name first.
CommandLine read_command_line(const ProgramInfo& program, const std::vector<std::string>& arguments);
