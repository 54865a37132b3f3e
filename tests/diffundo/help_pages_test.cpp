#include "diffundo/core/help_pages.h"

#include "diffundo/core/extras_help.h"

#include "common/runtime/message_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace {

// Leading blanks written as counts, so the alignment is checked by number.
std::string indent(std::size_t blanks, const std::string& rest) { return std::string(blanks, ' ') + rest; }

const std::vector<std::string> intro_lines = {
    "  Ein Gas bestehe aus N Atomen, verteilt über zwei Kästen 1 und 2. ",
    "",
    " Alle N Atome sollen sich zunächst im Kasten 1 befinden.",
    "",
    " Ein zufällig gewähltes Atom tritt dann in den jeweils anderen",
    " Kasten über. Atome im Kasten 1 werden als '.' dargestellt;",
    " die im Kasten 2 als '*'.",
    " ",
    " Die Anzahl der Möglichkeiten für die einzelnen Atomaufteilungen",
    " in Abhängigkeit von der Zahl der Atome m im Kasten 1 wird außerdem",
    " nach der Formel",
    "",
    indent(17, "g(N;m) = N! / [ m!(N-m)! ]"),
    "",
    " berechnet. Der Logarithmus von g(N;m) - die Entropie - kann mit der ",
    " Statistik der eingetretenen Aufteilungen ('Häufigkeit') dargestellt ",
    " werden.",
    "",
    " Darum geht es hier: Um den Vergleich der Häufigkeit mit der Entropie.",
    "",
    "",
};

const std::vector<std::string> theory_lines = {
    "",
    " N Atome lassen sich auf N! = 1.2.3...N verschiedenen Weisen anordnen ",
    " (N! Permutationen). Für unser Problem sind aber die m! verschie-",
    " denen Anordnungen innerhalb von Kasten 1 gleichwertig und auch",
    " die (N-m)! verschiedenen Permutationen innerhalb von Kasten 2.",
    " Deshalb wird durch beide Faktoren dividiert:",
    " ",
    indent(17, "g(N;m) = N! / [ m!(N-m)! ]"),
    " ",
    " Proportional zur Zahl der verschiedenen Möglichkeiten g(N;m) ist die",
    " relative Häufigkeit für das jeweilige m. So lässt sich g(N,m) durch",
    " Würfeln bei einer großen Zahl von Würfen recht gut bestätigen.",
    " Die Entropie des Systems bei m Atomen in Raum 1 ist prop. zu log[g(N,m)].",
    " ",
    " Die wahrscheinlichste Verteilung folgt beim m für das Entropie-Maximum.",
    " Dieses ergibt sich hier bei Gleichverteilung der Atome über beide Kästen.",
    " ",
};

const std::vector<std::string> operation_lines = {
    "  Nach der Wahl der Atomzahl N beginnt das Würfeln automatisch, wobei ",
    " sich zunächst alle N Atome im Kasten 1 befinden.",
    "",
    " Menuepunkte:",
    "",
    " <Statistik>:  Die Entropie und die relative Häufigkeit werden",
    indent(21, "dargestelt. Fortsetzung mit <Weiter> oder <Return>"),
    "",
    " <Neue Eingabe>: Ermöglicht eine Änderung der Zahl der Atome.",
    "",
    " <Zeichen-Modus>: Schaltet um zwischen den beiden Moden:",
    indent(31, "- alle Atome in Kasten 2, dahinter die in "),
    indent(33, "Kasten 1."),
    indent(31, "- von den Atomen wird der Kasten symboli-"),
    indent(33, "siert, in dem sie sich befinden"),
    " ",
};

// The lines of a message box: "|" is the line break.
std::vector<std::string> box_lines(const std::string& text) { return rt::split_at_bars(text); }

std::size_t leading_blanks(const std::string& line) {
    const auto first = line.find_first_not_of(' ');
    return first == std::string::npos ? line.size() : first;
}

// Characters as a reader counts them: UTF-8 continuation bytes do not count.
std::size_t shown_length(const std::string& line) {
    std::size_t count = 0;
    for (char c : line) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }
    return count;
}

struct PageCase {
    const char* name;
    std::string (*text)();
    const std::vector<std::string>* lines;
    // Line numbers (from 1) and blank counts of the lines not indented by one blank.
    std::vector<std::pair<std::size_t, std::size_t>> indented;
};

const PageCase pages[] = {
    {"intro", diffundo::intro_page_text, &intro_lines, {{1, 2}, {13, 17}}},
    {"theory", diffundo::theory_page_text, &theory_lines, {{8, 17}}},
    {"operation",
     diffundo::operation_page_text,
     &operation_lines,
     {{1, 2}, {7, 21}, {12, 31}, {13, 33}, {14, 31}, {15, 33}}},
};

TEST(DiffundoHelpPages, LinesMatchOneByOne) {
    for (const auto& page : pages) {
        SCOPED_TRACE(page.name);
        const auto actual = box_lines(page.text());
        ASSERT_EQ(actual.size(), page.lines->size());
        for (std::size_t i = 0; i < actual.size(); ++i) {
            EXPECT_EQ(actual[i], (*page.lines)[i]) << "line " << i + 1;
        }
    }
}

TEST(DiffundoHelpPages, LineCountsAndEmptyEnds) {
    EXPECT_EQ(box_lines(diffundo::intro_page_text()).size(), 21u);
    EXPECT_EQ(box_lines(diffundo::theory_page_text()).size(), 17u);
    EXPECT_EQ(box_lines(diffundo::operation_page_text()).size(), 16u);

    const std::string theory = diffundo::theory_page_text();
    ASSERT_FALSE(theory.empty());
    EXPECT_EQ(theory.front(), '|');

    const std::string intro = diffundo::intro_page_text();
    ASSERT_GE(intro.size(), 2u);
    EXPECT_EQ(intro.substr(intro.size() - 2), "||");
    EXPECT_NE(intro[intro.size() - 3], '|');
}

TEST(DiffundoHelpPages, IndentationOfEveryLine) {
    for (const auto& page : pages) {
        SCOPED_TRACE(page.name);
        const auto actual = box_lines(page.text());
        for (std::size_t i = 0; i < actual.size(); ++i) {
            const std::size_t number = i + 1;
            std::size_t expected = 1;
            for (const auto& [line, blanks] : page.indented) {
                if (line == number) {
                    expected = blanks;
                }
            }
            // Empty lines have no blanks; all others start with exactly one
            // unless listed.
            if (actual[i].empty()) {
                continue;
            }
            EXPECT_EQ(leading_blanks(actual[i]), expected) << "line " << number;
        }
    }
}

TEST(DiffundoHelpPages, LongestLineHasSeventyFourCharacters) {
    std::size_t longest = 0;
    for (const auto& page : pages) {
        for (const auto& line : box_lines(page.text())) {
            longest = std::max(longest, shown_length(line));
        }
    }
    EXPECT_EQ(longest, 74u);
}

// In a message box "|" breaks the line wherever it stands: one written as a
// sign (an absolute value, a choice) cuts a sentence, and the piece after it
// lacks the blank every line of these pages begins with.
TEST(DiffundoHelpPages, NoBarBreaksALineOfAnyPage) {
    const std::pair<const char*, std::string> texts[] = {{"intro", diffundo::intro_page_text()},
                                                         {"theory", diffundo::theory_page_text()},
                                                         {"operation", diffundo::operation_page_text()},
                                                         {"extras", diffundo::extras_page_text()}};
    for (const auto& [name, text] : texts) {
        SCOPED_TRACE(name);
        const auto lines = box_lines(text);
        for (std::size_t i = 0; i < lines.size(); ++i)
            EXPECT_TRUE(lines[i].empty() || lines[i].front() == ' ') << "line " << i + 1 << ": " << lines[i];
    }
}

}  // namespace
