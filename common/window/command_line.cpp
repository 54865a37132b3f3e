#include "common/window/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

#include <algorithm>

namespace {

// One row per option; a later option is one more row and its handling.
struct OptionRow {
    QStringList names;  // one letter: "-h"; longer: "--help"
    const char* description;
    CommandLine::Action action;
};

const std::vector<OptionRow>& option_rows() {
    static const std::vector<OptionRow> rows = {
        {{"h", "help"}, "zeigt diese Hilfe", CommandLine::Action::help},
        {{"v", "version"}, "zeigt die Versionsnummer", CommandLine::Action::version},
    };
    return rows;
}

std::string dashed(const std::string& name) { return (name.size() == 1 ? "-" : "--") + name; }

// "-h, --help"
std::string shown_names(const OptionRow& row) {
    std::string shown;
    for (const QString& name : row.names) shown += (shown.empty() ? "" : ", ") + dashed(name.toStdString());
    return shown;
}

std::string help_text(const ProgramInfo& program) {
    const std::string& name = program.name;
    std::string text = "Aufruf: " + name + " [Option]\n\n" + name + " – " + program.summary + "\n\nOptionen:\n";
    std::size_t width = 0;
    for (const OptionRow& row : option_rows()) width = std::max(width, shown_names(row).size());
    for (const OptionRow& row : option_rows()) {
        const std::string names = shown_names(row);
        text += "  " + names + std::string(width - names.size() + 2, ' ') + row.description + '\n';
    }
    text += "\nOhne Option öffnet " + name + " sein Fenster; dazu braucht es einen grafischen Desktop\n" +
            "(ohne Bildschirm: xvfb-run " + name + "). Beendet wird es über das Menü DESK / Quit.\n";
    return text;
}

// The unknown option as the user typed it ("-x", "--foo", "-platform"),
// without a value given with "=".
std::string as_typed(const std::string& name, const std::vector<std::string>& arguments) {
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        std::string typed = arguments[i].substr(0, arguments[i].find('='));
        const std::size_t dashes = typed.find_first_not_of('-');
        if (dashes != 0 && dashes != std::string::npos && typed.substr(dashes) == name) return typed;
    }
    return dashed(name);
}

std::string quoted(const std::string& text) { return "„" + text + "“"; }

CommandLine refuse(const ProgramInfo& program, const std::string& what) {
    return {CommandLine::Action::refuse,
            program.name + ": " + what + "\n" + quoted(program.name + " --help") + " zeigt, was möglich ist.\n"};
}

// "--help=1": the option as typed before the "=".
CommandLine refuse_value(const ProgramInfo& program, const std::vector<std::string>& arguments) {
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::size_t equals = arguments[i].find('=');
        if (arguments[i].starts_with('-') && equals != std::string::npos)
            return refuse(program, "die Option " + quoted(arguments[i].substr(0, equals)) + " nimmt keinen Wert an");
    }
    return refuse(program, "die Befehlszeile lässt sich nicht lesen");
}

}  // namespace

CommandLine read_command_line(const ProgramInfo& program, const std::vector<std::string>& arguments) {
    QCommandLineParser parser;
    // "-platform" is one unknown option, not the letters p, l, a, ...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    std::vector<QCommandLineOption> options;
    for (const OptionRow& row : option_rows()) {
        options.emplace_back(row.names, QString::fromUtf8(row.description));
        parser.addOption(options.back());
    }
    QStringList list;
    for (const std::string& argument : arguments) list << QString::fromLocal8Bit(argument);
    if (list.isEmpty()) list << QString::fromStdString(program.name);

    if (!parser.parse(list)) {
        const QStringList unknown = parser.unknownOptionNames();
        // Qt's own texts are English; with the options known, the other
        // refusal left is a value given to an option that takes none.
        if (unknown.isEmpty()) return refuse_value(program, arguments);
        std::string names;
        for (const QString& name : unknown) {
            if (!names.empty()) names += ", ";
            names += quoted(as_typed(name.toStdString(), arguments));
        }
        return refuse(program, (unknown.size() == 1 ? "unbekannte Option " : "unbekannte Optionen ") + names);
    }
    if (!parser.positionalArguments().isEmpty())
        return refuse(program, "unerwartetes Argument " + quoted(parser.positionalArguments().first().toStdString()));

    for (std::size_t i = 0; i < options.size(); ++i) {
        if (!parser.isSet(options[i])) continue;
        if (option_rows()[i].action == CommandLine::Action::help)
            return {CommandLine::Action::help, help_text(program)};
        if (option_rows()[i].action == CommandLine::Action::version)
            return {CommandLine::Action::version, program.name + " " + PROGRAM_VERSION + "\n"};
    }
    return {};
}
