#include "common/window/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

#include <algorithm>
#include <map>

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

// "--werte <Zahlen>"
std::string shown_names(const lesson::Key& key) {
    return std::string("--") + key.name + (key.value_name ? std::string(" <") + key.value_name + ">" : "");
}

std::string help_text(const ProgramInfo& program) {
    const std::string& name = program.name;
    const std::vector<lesson::Key>& keys = lesson::keys(program.kind);
    std::string text = "Aufruf: " + name + " [Option]\n\n" + name + " – " + program.summary + "\n\nOptionen:\n";
    std::size_t width = 0;
    for (const OptionRow& row : option_rows()) width = std::max(width, shown_names(row).size());
    for (const lesson::Key& key : keys) width = std::max(width, shown_names(key).size());
    const auto line = [&](const std::string& names, const std::string& description) {
        text += "  " + names + std::string(width - names.size() + 2, ' ') + description + '\n';
    };
    for (const OptionRow& row : option_rows()) line(shown_names(row), row.description);
    text += "\nEine vorbereitete Unterrichtsstunde (Menü EXTRAS / Diese Werte weitergeben ... zeigt sie):\n";
    for (const lesson::Key& key : keys) line(shown_names(key), key.description);
    lesson::Lesson example;
    if (program.kind == lesson::ProgramKind::kalorix) {
        example.values = {300, 700, 200, 0, 0.4, 2};
        example.analysis = lesson::Analysis::experiment;
    } else {
        example.values = {40};
        example.draw_mode = lesson::DrawMode::sorted;
        example.tempo = 50;
    }
    text += "  zum Beispiel: " + lesson::command_line(program.kind, example) + '\n';
    text += "Jeder Wert muss dieselben Regeln erfüllen wie eine getippte Antwort; sonst gilt der\n"
            "eingebaute Vorschlag.\n";
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
            program.name + ": " + what + "\n" + quoted(program.name + " --help") + " zeigt, was möglich ist.\n",
            {}};
}

bool takes_value(const ProgramInfo& program, const std::string& name) {
    for (const lesson::Key& key : lesson::keys(program.kind))
        if (name == key.name) return key.value_name != nullptr;
    return false;
}

// "--help=1": the option as typed before the "="; "--werte" last, without
// the value it needs.
CommandLine refuse_value(const ProgramInfo& program, const std::vector<std::string>& arguments) {
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::size_t equals = arguments[i].find('=');
        const std::string typed = arguments[i].substr(0, equals);
        const std::size_t dashes = typed.find_first_not_of('-');
        if (dashes == 0 || dashes == std::string::npos) continue;
        if (equals != std::string::npos && !takes_value(program, typed.substr(dashes)))
            return refuse(program, "die Option " + quoted(typed) + " nimmt keinen Wert an");
        if (equals == std::string::npos && i + 1 == arguments.size() && takes_value(program, typed.substr(dashes)))
            return refuse(program, "die Option " + quoted(typed) + " braucht einen Wert");
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
    for (const lesson::Key& key : lesson::keys(program.kind)) {
        const QCommandLineOption option(QString::fromUtf8(key.name), QString::fromUtf8(key.description),
                                        key.value_name ? QString::fromUtf8(key.value_name) : QString());
        parser.addOption(option);
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
            return {CommandLine::Action::help, help_text(program), {}};
        if (option_rows()[i].action == CommandLine::Action::version)
            return {CommandLine::Action::version, program.name + " " + PROGRAM_VERSION + "\n", {}};
    }
    // The lesson's options as they were given, each time it was given, in
    // order: the reader refuses what is repeated.
    std::vector<lesson::Pair> pairs;
    std::map<QString, qsizetype> occurrence;
    for (const QString& name : parser.optionNames()) {
        if (name.size() == 1 || name == "help" || name == "version") continue;
        const qsizetype index = occurrence[name]++;
        const QStringList values = parser.values(name);
        const std::string key = name.toStdString();
        pairs.emplace_back(key, takes_value(program, key) ? values.value(index).toStdString() : std::string());
    }
    const lesson::Reading reading = lesson::read_pairs(program.kind, pairs, lesson::Form::command_line);
    if (!reading.lesson) return refuse(program, reading.error);
    CommandLine run;
    run.lesson = *reading.lesson;
    return run;
}
