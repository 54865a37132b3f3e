// kalorix in a browser page (the WebAssembly build).
#include "common/web/web_runtime.h"
#include "kalorix/kalorix.h"

int main() {
    return rt::run_page(lesson::ProgramKind::kalorix, [](rt::Runtime& runtime, const lesson::Lesson& given) {
        const auto kalorix = kalorix::make_program(runtime);
        kalorix->use_lesson(given);
        kalorix->run();
    });
}
