#include "common/scenario.h"

#include "common/script.h"
#include "common/scripted_runtime.h"
#include "common/transcript.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <unistd.h>

#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <mutex>
#include <sstream>
#include <thread>

namespace rt {

namespace {

const char* const usage =
    "usage: scenario-run PROGRAM SCRIPT OUTDIR [--seed N] [--size WxH] [--timeout S] [--no-prints]";

template <typename Number>
bool parse_number(const std::string& text, Number& value) {
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, value);
    return !text.empty() && error == std::errc() && end == last;
}

bool parse_size(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find('x');
    if (x == std::string::npos) return false;
    // Large enough for any screen, small enough that the image fits in memory.
    constexpr int largest = 16384;
    return parse_number(text.substr(0, x), width) && parse_number(text.substr(x + 1), height) && width > 0 &&
           height > 0 && width <= largest && height <= largest;
}

// Ends a run that does not end by itself. At the deadline it asks the
// runtime to throw from its next service call; a program that calls none any
// more is ended the hard way, since nothing else can stop its thread.
class Watchdog {
public:
    Watchdog(double seconds, double grace_seconds, ScriptedRuntime& runtime) : runtime_(runtime) {
        if (seconds <= 0) return;
        const auto start = std::chrono::steady_clock::now();
        deadline_ = start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                std::chrono::duration<double>(seconds));
        hard_deadline_ = deadline_ + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                         std::chrono::duration<double>(grace_seconds));
        seconds_ = seconds;
        thread_ = std::thread([this] { watch(); });
    }
    ~Watchdog() { disarm(); }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    void disarm() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        woken_.notify_all();
        if (thread_.joinable()) thread_.join();
    }

private:
    void watch() {
        std::unique_lock lock(mutex_);
        if (woken_.wait_until(lock, deadline_, [this] { return done_; })) return;
        runtime_.request_stop();
        if (woken_.wait_until(lock, hard_deadline_, [this] { return done_; })) return;
        // The main thread is somewhere in the program: the transcript and the
        // surface may be half-written, so only the message is safe.
        char message[200];
        std::snprintf(message, sizeof message,
                      "scenario-run: the program did not end within %g s and calls no runtime service; stopped\n",
                      seconds_);
        std::fputs(message, stderr);
        std::fflush(stderr);
        std::_Exit(scenario_hang);
    }

    ScriptedRuntime& runtime_;
    std::chrono::steady_clock::time_point deadline_;
    std::chrono::steady_clock::time_point hard_deadline_;
    double seconds_ = 0;
    std::mutex mutex_;
    std::condition_variable woken_;
    bool done_ = false;
    std::thread thread_;
};

std::string script_position(const ScriptedRuntime& runtime) {
    if (runtime.idle_passes() > 0)
        return "the script at line " + std::to_string(runtime.idle_line()) + " lets " +
               std::to_string(runtime.idle_passes()) + " more passes go by";
    if (const ScriptItem* next = runtime.next_unused_item())
        return "the script waits at line " + std::to_string(next->line) + ": " + describe(*next);
    return "the script was used up";
}

int run_program(ScriptedRuntime& runtime, const ProgramFactory& make_program, const ScenarioOptions& options,
                std::ostream& err) {
    try {
        std::unique_ptr<common::Program> program = make_program(runtime);
        program->run();
    } catch (const ScriptFailure& failure) {
        err << "scenario-run: " << failure.what() << '\n';
        return scenario_script_error;
    } catch (const ScriptTimeout&) {
        err << "scenario-run: the program did not end within " << options.timeout_seconds << " s ("
            << script_position(runtime) << ")\n";
        return scenario_hang;
    } catch (const WindowClosed&) {
        // Closed before main() ran (a program that calls services while it is
        // made): the program has ended all the same.
    } catch (const std::exception& e) {
        err << "scenario-run: the program failed: " << e.what() << '\n';
        return scenario_failed;
    }
    if (const ScriptItem* left = runtime.next_unused_item()) {
        err << "scenario-run: script line " << left->line << ": " << describe(*left)
            << " was not used: the program ended before\n";
        return scenario_script_error;
    }
    return scenario_ended;
}

}  // namespace

std::optional<ScenarioOptions> parse_scenario_arguments(int argc, const char* const* argv, std::string& error) {
    ScenarioOptions options;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc) return std::nullopt;
            return std::string(argv[++i]);
        };
        if (arg == "--seed") {
            const auto v = value();
            if (!v || !parse_number(*v, options.seed)) {
                error = "--seed needs a whole number >= 0";
                return std::nullopt;
            }
        } else if (arg == "--size") {
            const auto v = value();
            if (!v || !parse_size(*v, options.width, options.height)) {
                error = "--size needs WIDTHxHEIGHT in pixels, e.g. 1280x1024";
                return std::nullopt;
            }
        } else if (arg == "--timeout") {
            const auto v = value();
            if (!v || !parse_number(*v, options.timeout_seconds) || options.timeout_seconds < 0) {
                error = "--timeout needs a number of seconds >= 0 (0: no limit)";
                return std::nullopt;
            }
        } else if (arg == "--no-prints") {
            options.record_prints = false;
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + arg;
            return std::nullopt;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 3) {
        error = "expected PROGRAM SCRIPT OUTDIR";
        return std::nullopt;
    }
    options.program = positional[0];
    options.script = positional[1];
    options.outdir = positional[2];
    return options;
}

namespace {

void prepare_headless_environment() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Without a session (CI, a plain shell) Qt complains on every run that it
    // has no runtime directory; give it a private one.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray dir = QDir::tempPath().toUtf8() + "/scenario-run-" + QByteArray::number(getuid());
        QDir().mkpath(QString::fromUtf8(dir));
        QFile::setPermissions(QString::fromUtf8(dir), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", dir);
    }
}

}  // namespace

void ensure_offscreen_application() {
    if (QCoreApplication::instance()) return;
    prepare_headless_environment();
    static int argc = 1;
    static char name[] = "scenario-run";
    static char* argv[] = {name, nullptr};
    // Never deleted: it must outlive every surface, and destroying it during
    // static destruction is not safe.
    new QGuiApplication(argc, argv);
}

int run_scenario(const ScenarioOptions& options, const ProgramFactory& make_program, std::ostream& err) {
    std::ifstream in(options.script, std::ios::binary);
    if (!in) {
        err << "scenario-run: cannot read the script " << options.script << '\n';
        return scenario_script_error;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::vector<ScriptItem> items;
    try {
        items = parse_script(text.str());
    } catch (const ScriptError& e) {
        err << "scenario-run: " << e.what() << '\n';
        return scenario_script_error;
    }

    std::error_code ec;
    std::filesystem::create_directories(options.outdir, ec);
    std::FILE* file = std::fopen((options.outdir / "transcript.jsonl").string().c_str(), "wb");
    if (!file) {
        err << "scenario-run: cannot write into " << options.outdir << '\n';
        return scenario_script_error;
    }

    ensure_offscreen_application();
    int code;
    {
        Transcript transcript(file, options.record_prints);
        ScriptedRuntime runtime(std::move(items), options.width, options.height);
        runtime.set_transcript(&transcript);
        runtime.set_snapshot_directory(options.outdir);
        runtime.set_program_directory(options.program_directory.empty()
                                          ? QCoreApplication::applicationDirPath().toStdString()
                                          : options.program_directory);
        runtime.seed_random(options.seed);

        Watchdog watchdog(options.timeout_seconds, options.hard_stop_grace_seconds, runtime);
        code = run_program(runtime, make_program, options, err);
        watchdog.disarm();

        const Screen final_screen = runtime.final_screen() ? *runtime.final_screen() : runtime.current_screen();
        if (!write_screen(final_screen, options.outdir, "final")) {
            err << "scenario-run: cannot write final.png / final.txt into " << options.outdir << '\n';
            if (code == scenario_ended) code = scenario_failed;
        }
        runtime.set_transcript(nullptr);
        transcript.flush();
    }
    if (std::fclose(file) != 0 && code == scenario_ended) {
        err << "scenario-run: cannot write the transcript into " << options.outdir << '\n';
        code = scenario_failed;
    }
    return code;
}

int scenario_main(int argc, char** argv, const std::map<std::string, ProgramFactory>& programs) {
    std::string error;
    const std::optional<ScenarioOptions> options = parse_scenario_arguments(argc, argv, error);
    if (!options) {
        std::cerr << "scenario-run: " << error << '\n' << usage << '\n';
        return scenario_script_error;
    }
    const auto program = programs.find(options->program);
    if (program == programs.end()) {
        std::cerr << "scenario-run: unknown program \"" << options->program << "\"; known:";
        for (const auto& known : programs) std::cerr << ' ' << known.first;
        std::cerr << '\n' << usage << '\n';
        return scenario_script_error;
    }
    // Headless whatever the environment says: the run must not need a display.
    prepare_headless_environment();
    QGuiApplication app(argc, argv);
    return run_scenario(*options, program->second, std::cerr);
}

}  // namespace rt
