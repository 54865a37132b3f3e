#include "tools/scenario_run/arguments.h"

#include "common/numeric/float_text.h"

#include <charconv>
#include <vector>

namespace rt {

const char* const scenario_usage =
    "usage: scenario-run PROGRAM SCRIPT OUTDIR [--seed N] [--size WxH] [--timeout S] [--no-prints] "
    "[--program-dir DIR] [--lesson FRAGMENT]";

namespace {

template <typename Number>
bool parse_number(const std::string& text, Number& value) {
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, value);
    return !text.empty() && error == std::errc() && end == last;
}

bool parse_number(const std::string& text, double& value) { return numeric::parse_double(text, value); }

bool parse_size(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find('x');
    if (x == std::string::npos) return false;
    // Large enough for any screen, small enough that the image fits in memory.
    constexpr int largest = 16384;
    return parse_number(text.substr(0, x), width) && parse_number(text.substr(x + 1), height) && width > 0 &&
           height > 0 && width <= largest && height <= largest;
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
            // Written so that nan fails too.
            if (!v || !parse_number(*v, options.timeout_seconds) ||
                !(options.timeout_seconds >= 0 && options.timeout_seconds <= longest_timeout_seconds)) {
                error = "--timeout needs a number of seconds from 0 to 86400, a day (0: no limit)";
                return std::nullopt;
            }
        } else if (arg == "--no-prints") {
            options.record_prints = false;
        } else if (arg == "--program-dir") {
            const auto v = value();
            if (!v || v->empty()) {
                error = "--program-dir needs a directory";
                return std::nullopt;
            }
            options.program_directory = *v;
        } else if (arg == "--lesson") {
            const auto v = value();
            if (!v) {
                error = "--lesson needs a link's fragment, e.g. werte=300,700&sofort";
                return std::nullopt;
            }
            options.lesson = *v;
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

}  // namespace rt
