// The two forms of a lesson: a link's fragment and the command line, read
// into the one reader's pairs and written from a lesson.
#include "common/lesson/lesson.h"

#include "common/numeric/float_text.h"

#include <string>

namespace lesson {

namespace {

// Longer than any lesson written here (about 80 characters), shorter than
// what browsers and chat programs cut.
constexpr std::size_t longest_link = 1000;

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "%2C" to ","; false for a "%" without two hex digits. "+" stays "+":
// a fragment is not a form's query.
bool percent_decoded(std::string_view text, std::string& decoded) {
    decoded.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded += text[i];
            continue;
        }
        const int high = i + 2 < text.size() ? hex_digit(text[i + 1]) : -1;
        const int low = high >= 0 ? hex_digit(text[i + 2]) : -1;
        if (low < 0) return false;
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

// Everything but letters, digits and "-._~," as "%XX", so the link survives
// mail, chat and URLSearchParams alike.
std::string percent_encoded(std::string_view text) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '.' || c == '_' || c == '~' || c == ',';
        if (plain) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += digits[byte >> 4];
            encoded += digits[byte & 0xF];
        }
    }
    return encoded;
}

// The shortest text that reads back as the same double: 300, 0.4, 2; the
// fixed layout where it is no longer than the scientific.
std::string number_text(double value) {
    std::string fixed = numeric::shortest_text(value, numeric::Layout::fixed);
    std::string scientific = numeric::shortest_text(value, numeric::Layout::scientific);
    return scientific.size() < fixed.size() ? scientific : fixed;
}

const char* analysis_word(Analysis analysis) {
    switch (analysis) {
    case Analysis::experiment: return "experiment";
    case Analysis::theory: return "theorie";
    case Analysis::none: return "keine";
    }
    return "keine";
}

// The lesson as the reader's pairs, in the order --help lists the keys.
std::vector<Pair> pairs_of(ProgramKind program, const Lesson& lesson) {
    std::vector<Pair> pairs;
    std::size_t last = lesson.values.size();
    while (last > 0 && !lesson.values[last - 1]) --last;
    if (last > 0) {
        std::string values;
        for (std::size_t i = 0; i < last; ++i) {
            if (i > 0) values += ',';
            if (lesson.values[i]) values += number_text(*lesson.values[i]);
        }
        pairs.emplace_back("werte", values);
    }
    if (program == ProgramKind::kalorix && lesson.analysis) pairs.emplace_back("analyse", analysis_word(*lesson.analysis));
    if (program == ProgramKind::diffundo && lesson.draw_mode)
        pairs.emplace_back("modus", *lesson.draw_mode == DrawMode::sorted ? "sortiert" : "einzeln");
    if (program == ProgramKind::diffundo && lesson.tempo)
        pairs.emplace_back("tempo", *lesson.tempo == 0 ? "voll" : std::to_string(*lesson.tempo));
    if (lesson.at_once) pairs.emplace_back("sofort", "");
    if (lesson.without_title) pairs.emplace_back("ohne-titel", "");
    return pairs;
}

}  // namespace

Reading read_link(ProgramKind program, std::string_view fragment) {
    if (fragment.starts_with('#')) fragment.remove_prefix(1);
    if (fragment.size() > longest_link)
        return {std::nullopt, "der Link ist zu lang (höchstens " + std::to_string(longest_link) + " Zeichen)"};
    std::vector<Pair> pairs;
    std::size_t start = 0;
    while (start <= fragment.size()) {
        std::size_t end = fragment.find('&', start);
        if (end == std::string_view::npos) end = fragment.size();
        const std::string_view part = fragment.substr(start, end - start);
        start = end + 1;
        if (part.empty()) continue;  // "a&&b", a trailing "&"
        const std::size_t equals = part.find('=');
        Pair pair;
        if (!percent_decoded(part.substr(0, equals), pair.first) ||
            (equals != std::string_view::npos && !percent_decoded(part.substr(equals + 1), pair.second)))
            return {std::nullopt, "im Link steht ein „%“ ohne zwei Hexadezimalziffern dahinter"};
        pairs.push_back(std::move(pair));
    }
    return read_pairs(program, pairs, Form::link);
}

std::string link_fragment(ProgramKind program, const Lesson& lesson) {
    std::string fragment;
    for (const auto& [key, value] : pairs_of(program, lesson)) {
        if (!fragment.empty()) fragment += '&';
        fragment += percent_encoded(key);
        if (!value.empty()) fragment += '=' + percent_encoded(value);
    }
    return fragment;
}

std::vector<std::string> command_line_arguments(ProgramKind program, const Lesson& lesson) {
    std::vector<std::string> arguments;
    for (const auto& [key, value] : pairs_of(program, lesson)) {
        // A value that begins with "-" would read as an option of its own.
        if (value.starts_with('-')) {
            arguments.push_back("--" + key + "=" + value);
            continue;
        }
        arguments.push_back("--" + key);
        if (!value.empty()) arguments.push_back(value);
    }
    return arguments;
}

// No value written here needs quoting for a shell: digits, ".", ",", "-",
// "+" and the lower-case words.
std::string command_line(ProgramKind program, const Lesson& lesson) {
    std::string line = program_name(program);
    for (const std::string& argument : command_line_arguments(program, lesson)) line += ' ' + argument;
    return line;
}

std::string page_link(ProgramKind program, const Lesson& lesson, const std::string& pages) {
    const std::string fragment = link_fragment(program, lesson);
    return (pages.empty() ? std::string(LESSON_PAGE_BASE) : pages) + "/" + program_name(program) + ".html" +
           (fragment.empty() ? "" : "#" + fragment);
}

}  // namespace lesson
