// diffundo in a browser page (the WebAssembly build).
#include "common/web/web_runtime.h"
#include "diffundo/diffundo.h"

int main() {
    return rt::run_page(lesson::ProgramKind::diffundo, [](rt::Runtime& runtime, const lesson::Lesson& given) {
        const auto diffundo = diffundo::make_program(runtime);
        diffundo->use_lesson(given);
        diffundo->run();
    });
}
