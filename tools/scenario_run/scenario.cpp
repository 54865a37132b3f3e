#include "tools/scenario_run/scenario.h"

#include "common/lesson/lesson.h"
#include "common/scripted/script.h"
#include "common/scripted/scripted_runtime.h"
#include "common/scripted/transcript.h"
#include "tools/scenario_run/watchdog.h"

#include <climits>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

namespace rt {

namespace {

std::string script_position(const ScriptedRuntime& runtime) {
    if (runtime.idle_passes() > 0)
        return "the script at line " + std::to_string(runtime.idle_line()) + " lets " +
               std::to_string(runtime.idle_passes()) + " more passes go by";
    if (const ScriptItem* next = runtime.next_unused_item())
        return "the script waits at line " + std::to_string(next->line) + ": " + describe(*next);
    return "the script was used up";
}

int run_program(ScriptedRuntime& runtime, const ProgramFactory& make_program, const ScenarioOptions& options,
                const lesson::Lesson& given, std::ostream& err) {
    try {
        std::unique_ptr<common::Program> program = make_program(runtime);
        program->use_lesson(given);
        program->run();
    } catch (const ScriptFailure& failure) {
        err << "scenario-run: " << failure.what() << '\n';
        return scenario_script_error;
    } catch (const OutputFailure& failure) {
        err << "scenario-run: " << failure.what() << '\n';
        return scenario_failed;
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

int run_scenario(const ScenarioOptions& options, const ProgramFactory& make_program, std::ostream& err,
                 const ScenarioPlatform& platform) {
    lesson::Lesson given;
    if (!options.lesson.empty()) {
        // A lesson belongs to one of the two programs; its keys say which.
        if (options.program != "kalorix" && options.program != "diffundo") {
            err << "scenario-run: --lesson is for kalorix and diffundo\n";
            return scenario_script_error;
        }
        const lesson::Reading reading = lesson::read_link(
            options.program == "kalorix" ? lesson::ProgramKind::kalorix : lesson::ProgramKind::diffundo, options.lesson);
        if (!reading.lesson) {
            err << "scenario-run: --lesson: " << reading.error << '\n';
            return scenario_script_error;
        }
        given = *reading.lesson;
    }
    // The script is read twice, item by item: once to check it all before
    // the program starts, once as the run consumes it. A file is read from
    // disk both times; a pipe, which reads only once, is kept in memory.
    std::error_code ec;
    if (std::filesystem::is_directory(options.script, ec)) {
        err << "scenario-run: the script " << options.script << " is a directory\n";
        return scenario_script_error;
    }
    auto file_in = std::make_unique<std::ifstream>(options.script, std::ios::binary);
    if (!*file_in) {
        err << "scenario-run: cannot read the script " << options.script << '\n';
        return scenario_script_error;
    }
    std::unique_ptr<std::istream> in;
    try {
        if (std::filesystem::is_regular_file(options.script, ec)) {
            in = std::move(file_in);
        } else {
            // Kept line by line, each one bounded: a device that never ends
            // a line (/dev/zero) is refused before the watchdog could start.
            auto text = std::make_unique<std::stringstream>();
            std::string line;
            for (int number = 1; read_script_line(*file_in, line, number); number += number < INT_MAX)
                *text << line << '\n';
            if (file_in->bad()) text->setstate(std::ios::badbit);
            in = std::move(text);
        }
        ScriptReader check(*in);
        while (check.next()) {
        }
    } catch (const ScriptError& e) {
        err << "scenario-run: " << e.what() << '\n';
        return scenario_script_error;
    }
    if (in->bad()) {
        err << "scenario-run: cannot read the script " << options.script << '\n';
        return scenario_script_error;
    }
    in->clear();
    in->seekg(0);
    auto reader = std::make_shared<ScriptReader>(*in);

    std::filesystem::create_directories(options.outdir, ec);
    if (ec) {
        err << "scenario-run: cannot create the output folder " << options.outdir << ": " << ec.message() << '\n';
        return scenario_failed;
    }
    std::FILE* file = std::fopen((options.outdir / "transcript.jsonl").string().c_str(), "wb");
    if (!file) {
        err << "scenario-run: cannot write into " << options.outdir << '\n';
        return scenario_failed;
    }

    int code;
    {
        Transcript transcript(file, options.record_prints);
        ScriptedRuntime runtime(ScriptSource([reader] { return reader->next(); }), options.width, options.height);
        runtime.set_transcript(&transcript);
        runtime.set_snapshot_directory(options.outdir);
        runtime.set_picture_name(options.program);
        runtime.set_program_directory(options.program_directory.empty() ? platform.program_directory
                                                                        : options.program_directory);
        runtime.set_picture_formats(platform.formats);
        runtime.seed_random(options.seed);

        Watchdog watchdog(options.timeout_seconds, options.hard_stop_grace_seconds, runtime);
        code = run_program(runtime, make_program, options, given, err);
        watchdog.disarm();

        const Screen final_screen = runtime.final_screen() ? *runtime.final_screen() : runtime.current_screen();
        if (!write_screen(final_screen, options.outdir, "final", platform.formats)) {
            err << "scenario-run: cannot write final.png / final.txt into " << options.outdir << '\n';
            if (code == scenario_ended) code = scenario_failed;
        }
        runtime.set_transcript(nullptr);
        transcript.flush();
        if (transcript.failed() && code == scenario_ended) {
            err << "scenario-run: cannot write the transcript into " << options.outdir << '\n';
            code = scenario_failed;
        }
    }
    if (std::fclose(file) != 0 && code == scenario_ended) {
        err << "scenario-run: cannot write the transcript into " << options.outdir << '\n';
        code = scenario_failed;
    }
    return code;
}

int scenario_main(int argc, char** argv, const std::map<std::string, ProgramFactory>& programs,
                  const std::function<ScenarioPlatform(const ScenarioOptions&)>& prepare) {
    std::string error;
    const std::optional<ScenarioOptions> options = parse_scenario_arguments(argc, argv, error);
    if (!options) {
        std::cerr << "scenario-run: " << error << '\n' << scenario_usage << '\n';
        return scenario_script_error;
    }
    const auto program = programs.find(options->program);
    if (program == programs.end()) {
        std::cerr << "scenario-run: unknown program \"" << options->program << "\"; known:";
        for (const auto& known : programs) std::cerr << ' ' << known.first;
        std::cerr << '\n' << scenario_usage << '\n';
        return scenario_script_error;
    }
    return run_scenario(*options, program->second, std::cerr, prepare(*options));
}

}  // namespace rt
