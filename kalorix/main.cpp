#include "common/window/run_in_window.h"
#include "kalorix/kalorix.h"

int main(int argc, char** argv) {
    const ProgramInfo program{"kalorix",
                              "Entropie und Temperatur: zwei Räume mit Zwei-Niveau-Atomen tauschen Energie aus.",
                              lesson::ProgramKind::kalorix};
    return run_in_window(argc, argv, program, [](rt::Runtime& runtime, const lesson::Lesson& given) {
        const auto kalorix = kalorix::make_program(runtime);
        kalorix->use_lesson(given);
        kalorix->run();
    });
}
