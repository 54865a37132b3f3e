#include "diffundo/core/help_pages.h"

#include <initializer_list>
#include <string_view>

namespace diffundo {

namespace {

// Lines, not one literal, so that the blanks that align the formulas and the
// menu descriptions stay visible line by line.
std::string join_lines(std::initializer_list<std::string_view> lines) {
    std::string text;
    bool first = true;
    for (std::string_view line : lines) {
        if (!first) {
            text += '|';
        }
        text += line;
        first = false;
    }
    return text;
}

}  // namespace

std::string intro_page_text() {
    return join_lines({
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
        "                 g(N;m) = N! / [ m!(N-m)! ]",
        "",
        " berechnet. Der Logarithmus von g(N;m) - die Entropie - kann mit der ",
        " Statistik der eingetretenen Aufteilungen ('Häufigkeit') dargestellt ",
        " werden.",
        "",
        " Darum geht es hier: Um den Vergleich der Häufigkeit mit der Entropie.",
        "",
        "",
    });
}

std::string theory_page_text() {
    return join_lines({
        "",
        " N Atome lassen sich auf N! = 1.2.3...N verschiedenen Weisen anordnen ",
        " (N! Permutationen). Für unser Problem sind aber die m! verschie-",
        " denen Anordnungen innerhalb von Kasten 1 gleichwertig und auch",
        " die (N-m)! verschiedenen Permutationen innerhalb von Kasten 2.",
        " Deshalb wird durch beide Faktoren dividiert:",
        " ",
        "                 g(N;m) = N! / [ m!(N-m)! ]",
        " ",
        " Proportional zur Zahl der verschiedenen Möglichkeiten g(N;m) ist die",
        " relative Häufigkeit für das jeweilige m. So lässt sich g(N,m) durch",
        " Würfeln bei einer großen Zahl von Würfen recht gut bestätigen.",
        " Die Entropie des Systems bei m Atomen in Raum 1 ist prop. zu log[g(N,m)].",
        " ",
        " Die wahrscheinlichste Verteilung folgt beim m für das Entropie-Maximum.",
        " Dieses ergibt sich hier bei Gleichverteilung der Atome über beide Kästen.",
        " ",
    });
}

std::string operation_page_text() {
    return join_lines({
        "  Nach der Wahl der Atomzahl N beginnt das Würfeln automatisch, wobei ",
        " sich zunächst alle N Atome im Kasten 1 befinden.",
        "",
        " Menuepunkte:",
        "",
        " <Statistik>:  Die Entropie und die relative Häufigkeit werden",
        "                     dargestelt. Fortsetzung mit <Weiter> oder <Return>",
        "",
        " <Neue Eingabe>: Ermöglicht eine Änderung der Zahl der Atome.",
        "",
        " <Zeichen-Modus>: Schaltet um zwischen den beiden Moden:",
        "                               - alle Atome in Kasten 2, dahinter die in ",
        "                                 Kasten 1.",
        "                               - von den Atomen wird der Kasten symboli-",
        "                                 siert, in dem sie sich befinden",
        " ",
    });
}

}  // namespace diffundo
