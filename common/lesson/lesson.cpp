#include "common/lesson/lesson.h"

#include "common/numeric/float_text.h"

#include <cmath>
#include <limits>

namespace lesson {

namespace {

// A value longer than any lesson needs is refused before it is read: a link
// is text from anywhere.
constexpr std::size_t longest_value = 200;
// What a message quotes of a text: enough to recognise it, never a page.
constexpr std::size_t quoted_length = 24;

const std::vector<Key> kalorix_keys = {
    {"werte", "Zahlen", "Nmax_A,Nmax_B,n,N_A,Entropieskala,Anregungsenergie als Vorschlag der Eingabe"},
    {"analyse", "Art", "die Antwort auf „Was haben Sie vor?“: experiment, theorie oder keine"},
    {"sofort", nullptr, "beginnt gleich mit den Werten, ohne die Eingabe"},
    {"ohne-titel", nullptr, "ohne Titelbild, Hinweis und Einführung"},
};

const std::vector<Key> diffundo_keys = {
    {"werte", "Zahl", "die Zahl der Atome als Vorschlag der Eingabe"},
    {"modus", "Art", "der Zeichen-Modus: einzeln oder sortiert"},
    {"tempo", "Schritte", "Schritte je Sekunde (1, 2, 5, ... 50000) oder voll"},
    {"sofort", nullptr, "beginnt gleich mit den Werten, ohne die Eingabe"},
    {"ohne-titel", nullptr, "ohne Titelbild, Hinweis und Einführung"},
};

// „text“, cut where a message would grow too long (never inside a UTF-8
// character), with control characters shown as "?".
std::string quoted(std::string_view text) {
    std::string shown;
    std::size_t end = text.size();
    bool cut = false;
    if (end > quoted_length) {
        end = quoted_length;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
        cut = true;
    }
    for (std::size_t i = 0; i < end; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        shown += byte < 0x20 || byte == 0x7F ? '?' : text[i];
    }
    return "„" + shown + (cut ? "…" : "") + "“";
}

std::string spelled(const std::string& key, Form form) { return quoted((form == Form::command_line ? "--" : "") + key); }

// A plain decimal number: strtod's forms without its leading blanks, plus
// sign and hexadecimal, which no lesson writes.
std::optional<double> number(std::string_view text) {
    if (text.empty() || text.front() == ' ' || text.front() == '+' || text.find_first_of("xX") != std::string_view::npos)
        return std::nullopt;
    double value = 0;
    if (!numeric::parse_double(text, value) || !std::isfinite(value)) return std::nullopt;
    return value;
}

// Reads one key's value into `lesson`; returns the German reason when it cannot.
std::string read_value(ProgramKind program, const std::string& key, const std::string& value, Form form,
                       Lesson& lesson) {
    const std::string name = spelled(key, form);
    if (key == "werte") {
        std::vector<std::optional<double>> values;
        std::size_t start = 0;
        for (;;) {
            const std::size_t comma = value.find(',', start);
            const std::string_view field =
                std::string_view(value).substr(start, comma == std::string::npos ? std::string::npos : comma - start);
            if (field.empty()) {
                values.emplace_back();
            } else if (const std::optional<double> read = number(field)) {
                values.emplace_back(read);
            } else {
                return name + ": " + quoted(field) + " ist keine Zahl";
            }
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        const std::size_t most = value_count(program);
        if (values.size() > most)
            return name + " nimmt höchstens " + std::to_string(most) + (most == 1 ? " Zahl" : " Zahlen") + " an, hier sind es " +
                   std::to_string(values.size());
        lesson.values = std::move(values);
    } else if (key == "analyse") {
        if (value == "experiment")
            lesson.analysis = Analysis::experiment;
        else if (value == "theorie")
            lesson.analysis = Analysis::theory;
        else if (value == "keine")
            lesson.analysis = Analysis::none;
        else
            return name + " ist experiment, theorie oder keine, nicht " + quoted(value);
    } else if (key == "modus") {
        if (value == "einzeln")
            lesson.draw_mode = DrawMode::in_place;
        else if (value == "sortiert")
            lesson.draw_mode = DrawMode::sorted;
        else
            return name + " ist einzeln oder sortiert, nicht " + quoted(value);
    } else if (key == "tempo") {
        const std::optional<double> steps = value == "voll" ? 0.0 : number(value);
        if (!steps || *steps < 0 || *steps != std::floor(*steps) || *steps > std::numeric_limits<int>::max())
            return name + " ist eine ganze Zahl von Schritten je Sekunde oder voll, nicht " + quoted(value);
        lesson.tempo = static_cast<int>(*steps);
    }
    return {};
}

}  // namespace

std::size_t value_count(ProgramKind program) { return program == ProgramKind::kalorix ? 6 : 1; }

const char* program_name(ProgramKind program) { return program == ProgramKind::kalorix ? "kalorix" : "diffundo"; }

const std::vector<Key>& keys(ProgramKind program) {
    return program == ProgramKind::kalorix ? kalorix_keys : diffundo_keys;
}

Reading read_pairs(ProgramKind program, const std::vector<Pair>& pairs, Form form) {
    Lesson lesson;
    std::vector<std::string> seen;
    for (const auto& [key, value] : pairs) {
        const Key* known = nullptr;
        for (const Key& candidate : keys(program))
            if (key == candidate.name) known = &candidate;
        if (!known) return {std::nullopt, spelled(key, form) + " gibt es bei " + program_name(program) + " nicht"};
        // Which of two would count is a guess; a lesson says each thing once.
        for (const std::string& earlier : seen)
            if (earlier == key) return {std::nullopt, spelled(key, form) + " steht mehr als einmal da"};
        seen.push_back(key);
        if (!known->value_name) {
            if (!value.empty()) return {std::nullopt, spelled(key, form) + " nimmt keinen Wert an"};
            (key == "sofort" ? lesson.at_once : lesson.without_title) = true;
            continue;
        }
        if (value.empty()) return {std::nullopt, spelled(key, form) + " braucht einen Wert"};
        if (value.size() > longest_value)
            return {std::nullopt, spelled(key, form) + ": der Wert ist zu lang (höchstens " +
                                      std::to_string(longest_value) + " Zeichen)"};
        std::string error = read_value(program, key, value, form, lesson);
        if (!error.empty()) return {std::nullopt, std::move(error)};
    }
    return {std::move(lesson), {}};
}

}  // namespace lesson
