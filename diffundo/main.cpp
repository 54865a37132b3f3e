#include "common/window/run_in_window.h"
#include "diffundo/diffundo.h"

int main(int argc, char** argv) {
    const ProgramInfo program{
        "diffundo", "Gasatome wandern zufällig zwischen zwei Kästen: Häufigkeit und Zahl der Realisierungen.",
        lesson::ProgramKind::diffundo};
    return run_in_window(argc, argv, program, [](rt::Runtime& runtime, const lesson::Lesson& given) {
        const auto diffundo = diffundo::make_program(runtime);
        diffundo->use_lesson(given);
        diffundo->run();
    });
}
