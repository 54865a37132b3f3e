// Random scripts for kalorix and diffundo, run through the scenario runner:
//   scenario_fuzz SCENARIO_RUN PROGRAM SEED COUNT WORK_DIR
// Every run must end with 0 (the program ended) or 2 (the script and the
// program went different ways). A crash, a sanitizer report (exit 1 or a
// signal), an error of the program's own (1) or a hang (3) is a fault; the
// script and the runner's message are printed and kept in WORK_DIR.
//
// One hang is expected: diffundo's running simulation asks only for menu
// selections and the mouse, so a key or a dialog answer due there is never
// taken. The scripts follow the programs' start-up and their dialogs closely
// enough that this is rare, and such a time-out counts as no fault.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class Generator {
public:
    Generator(std::uint64_t seed, bool kalorix) : random_(seed), kalorix_(kalorix) {}

    std::string script() {
        out_.str("");
        if (kalorix_)
            kalorix();
        else
            diffundo();
        return out_.str();
    }

private:
    int below(int n) { return static_cast<int>(random_() % static_cast<std::uint64_t>(n)); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T>
    const T& pick(const std::vector<T>& from) {
        return from[static_cast<std::size_t>(below(static_cast<int>(from.size())))];
    }
    void line(const std::string& text) { out_ << text << '\n'; }

    // Numbers a user might type, the edges of every input among them: an
    // entropy scale of millions puts the theory's points beyond the integers.
    std::string number() {
        static const std::vector<std::string> typed = {
            "0",   "1",   "2",       "-1",   "-40",   "3",      "20",    "100",   "100.4",  "100.5", "100.6", "101",
            "150", "400", "500",     "1000", "1200",  "1500",   "2000",  "65000", "0,4",    "0.1",   "2.0",   "0.01",
            "1e9", "abc", "5000000", "1e12", "1e308", "-1e308", "12abc", " 7",    "0,0001", "99999",
        };
        if (chance(20)) return std::to_string(below(2500));
        return pick(typed);
    }

    void answer_or_cancel() {
        if (chance(8))
            line("cancel");
        else if (chance(4))
            line("answer");
        else
            line("answer " + number());
    }

    void noise() {
        // diffundo's simulation never takes a key or a dialog answer: mostly
        // other items there, so that few runs end in a time-out.
        const int kind = !kalorix_ && chance(75) ? 4 + below(5) : below(9);
        switch (kind) {
        case 0: line("key"); break;
        case 1: line("key " + pick(std::vector<std::string>{"x", "Escape", "Space", "Tab", "Backspace", "ä"})); break;
        case 2: line("button " + std::to_string(1 + below(3))); break;
        case 3: answer_or_cancel(); break;
        case 4:
            line(std::string("mouse ") + pick(std::vector<std::string>{"left", "right", "middle"}) +
                 (chance(50) ? " down" : " up"));
            break;
        case 5: line("passes " + std::to_string(below(400))); break;
        case 6: line("snapshot s" + std::to_string(snapshots_++)); break;
        case 7: line("close"); break;
        default: line("menu " + pick(menus())); break;
        }
    }

    const std::vector<std::string>& menus() const {
        static const std::vector<std::string> kalorix_menus = {
            "DESK / &Info",
            "DESK / &Autor",
            "AUSGABE / &Neue Eingabe",
            "AUSGABE / &theoretische Analyse",
            "AUSGABE / &Experimentelle Analyse",
            "AUSGABE / Bildschirm &löschen",
            "AUSGABE / &Weiter",
            "HILFE / &Info",
            "HILFE / &Entropie S",
            "HILFE / &Temperatur T",
            "HILFE / Temperatur in der &Schule",
            "HILFE / &innere Energie U",
            "HILFE / Helmholtzsche &Freie Energie F (A)",
            "HILFE / thermisches &Gleichgewicht",
            "DESK / &Quit",
        };
        static const std::vector<std::string> diffundo_menus = {
            "DESK / &Info",
            "DESK / &Autor",
            "AUSGABE / &Neue Eingabe",
            "AUSGABE / &Statistik zeigen",
            "AUSGABE / Bildschirm &löschen",
            "AUSGABE / &Zeichen-Modus ändern",
            "AUSGABE / &Weiter",
            "HILFE / &Theorie",
            "HILFE / &Bedienung",
            "DESK / &Quit",
        };
        return kalorix_ ? kalorix_menus : diffundo_menus;
    }

    // The parameter input: mostly counts that fit together, with scales and
    // energies of every size; sometimes any numbers at all, whose refusals
    // the script may or may not expect. Then what to do next.
    void kalorix_input() {
        struct Counts {
            const char *Nmax_A, *Nmax_B, *n, *N_A;
        };
        static const std::vector<Counts> fitting = {
            {"400", "1200", "150", "150"}, {"400", "1200", "150", "0"}, {"20", "20", "10", "5"},
            {"5", "5", "2", "2"},          {"100", "300", "50", "25"},  {"1000", "1000", "100", "100"},
            {"1", "1", "1", "1"},          {"3", "7", "10", "3"},       {"50", "50", "100", "0"},
            {"2000", "100", "50", "50"},   {"7", "3", "9", "3"},        {"400", "1200", "1", "1"},
        };
        if (chance(20)) {
            for (int field = 0; field < 6; ++field) {
                answer_or_cancel();
                if (chance(15)) line("button 1");
            }
        } else {
            const Counts& counts = pick(fitting);
            line(std::string("answer ") + counts.Nmax_A);
            line(std::string("answer ") + counts.Nmax_B);
            line(std::string("answer ") + counts.n);
            line(std::string("answer ") + counts.N_A);
            if (std::string(counts.N_A) == "0")
                line("button 1");  // only the experiment is possible
            else
                line("answer " + pick(std::vector<std::string>{"0,4", "0.1", "2", "5000000", "2e7", "1e-3", "0,2"}));
            line("answer " + pick(std::vector<std::string>{"2.0", "0.1", "1e-3", "50", "3", "0,5"}));
        }
        line("button " + std::to_string(1 + below(3)));
    }

    void kalorix() {
        line("key");
        for (int i = 0; i < 6; ++i) line("button 1");  // quit hint and the introduction's pages
        kalorix_input();
        const int steps = 3 + below(25);
        for (int i = 0; i < steps; ++i) {
            if (chance(10)) {
                noise();
                continue;
            }
            switch (below(6)) {
            case 0:
            case 1: line("key"); break;
            case 2: line("passes " + std::to_string(below(200))); break;
            case 3: {
                const std::string& menu = pick(menus());
                line("menu " + menu);
                if (menu.find("Neue Eingabe") != std::string::npos)
                    kalorix_input();
                else if (menu.starts_with("HILFE") || menu.find("Info") != std::string::npos ||
                         menu.find("Autor") != std::string::npos)
                    line("button 1");
                break;
            }
            case 4:
                line(std::string("mouse ") + pick(std::vector<std::string>{"left", "right", "middle"}) + " down");
                line("passes 2");
                line("mouse left up\nmouse right up\nmouse middle up");
                break;
            default: line("snapshot s" + std::to_string(snapshots_++)); break;
            }
        }
    }

    // diffundo after start-up runs its simulation: menu selections, the
    // mouse and passes, each dialog answered as it comes.
    void diffundo() {
        line("key");
        line("button 1");
        line("button 1");
        line("answer " + number());
        line("passes " + std::to_string(below(300)));
        const int steps = 3 + below(25);
        for (int i = 0; i < steps; ++i) {
            if (chance(6)) {
                noise();
                continue;
            }
            switch (below(5)) {
            case 0: line("passes " + std::to_string(below(3000))); break;
            case 1:
                line("mouse right down");
                line("passes " + std::to_string(below(50)));
                line("mouse right up");
                break;
            case 2: line("snapshot s" + std::to_string(snapshots_++)); break;
            default: {
                const std::string& menu = pick(menus());
                line("menu " + menu);
                if (menu.find("Neue Eingabe") != std::string::npos) {
                    line("answer " + number());
                    line("passes " + std::to_string(2 + below(300)));
                } else if (menu.find("Statistik") != std::string::npos) {
                    line("passes " + std::to_string(below(20)));
                    if (chance(50))
                        line("key");
                    else
                        line("mouse right down\npasses 2\nmouse right up");
                } else if (menu.starts_with("HILFE") || menu.find("Info") != std::string::npos ||
                           menu.find("Autor") != std::string::npos) {
                    line("button 1");
                }
                break;
            }
            }
        }
    }

    std::mt19937_64 random_;
    bool kalorix_;
    std::ostringstream out_;
    int snapshots_ = 0;
};

struct Outcome {
    int code = -1;  // exit code, or -1 after a signal
    int signal = 0;
    std::string message;
};

Outcome run(const std::string& runner, const std::vector<std::string>& args, const fs::path& log) {
    const pid_t child = ::fork();
    if (child < 0) return {};
    if (child == 0) {
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(runner.c_str()));
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        std::FILE* err = std::freopen(log.c_str(), "w", stderr);
        if (err == nullptr) ::_exit(126);
        ::execv(runner.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    Outcome outcome;
    if (WIFEXITED(status)) outcome.code = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    outcome.message = text.str();
    return outcome;
}

// A time-out while the simulation waits for an item it never takes: the
// runner names the item the script waits at.
bool expected_hang(bool kalorix, const Outcome& outcome) {
    if (kalorix || outcome.code != 3) return false;
    const std::size_t at = outcome.message.find("waits at line ");
    if (at == std::string::npos) return false;
    const std::size_t item = outcome.message.find(": ", at);
    if (item == std::string::npos) return false;
    for (const char* never_taken : {"answer", "cancel", "button", "key"})
        if (outcome.message.compare(item + 2, std::string(never_taken).size(), never_taken) == 0) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::cerr << "usage: scenario_fuzz SCENARIO_RUN PROGRAM SEED COUNT WORK_DIR\n";
        return 2;
    }
    const std::string runner = argv[1];
    const std::string program = argv[2];
    const bool kalorix = program == "kalorix";
    const std::uint64_t seed = std::stoull(argv[3]);
    const int count = std::stoi(argv[4]);
    const fs::path work = argv[5];
    fs::remove_all(work);
    fs::create_directories(work);

    Generator generator(seed, kalorix);
    std::mt19937_64 options(seed ^ 0x5eed);
    const std::vector<std::string> sizes = {"1024x768", "1024x768",  "1024x768", "640x480",
                                            "800x600",  "1280x1024", "320x200"};
    int faults = 0, hangs = 0, ended = 0;
    for (int i = 0; i < count; ++i) {
        const std::string name = program + "_" + std::to_string(seed) + "_" + std::to_string(i);
        const fs::path script = work / (name + ".script");
        std::ofstream(script) << generator.script();
        const fs::path out = work / name;
        const std::string size = sizes[options() % sizes.size()];
        const Outcome outcome = run(runner,
                                    {program, script.string(), out.string(), "--seed", std::to_string(options() % 1000),
                                     "--size", size, "--timeout", kalorix ? "60" : "4", "--no-prints"},
                                    work / (name + ".log"));
        const bool fine = outcome.code == 0 || outcome.code == 2;
        if (fine || expected_hang(kalorix, outcome)) {
            hangs += !fine;
            ended += outcome.code == 0;
            fs::remove_all(out);
            fs::remove(script);
            fs::remove(work / (name + ".log"));
            continue;
        }
        ++faults;
        std::cout << "FAULT " << script.string() << " (size " << size << "): ";
        if (outcome.signal)
            std::cout << "signal " << outcome.signal;
        else
            std::cout << "exit " << outcome.code;
        std::cout << "\n" << outcome.message << "--- script:\n";
        std::ifstream in(script);
        std::cout << in.rdbuf() << "---\n";
    }
    std::cout << program << ": " << count << " scripts, seed " << seed << ": " << ended << " ended, " << faults
              << " faults, " << hangs << " expected time-outs of the running simulation, the rest mismatches\n";
    return faults == 0 ? 0 : 1;
}
