// diffundo in a browser page (the WebAssembly build).
#include "common/web/web_runtime.h"
#include "diffundo/diffundo.h"

int main() {
    return rt::run_page("diffundo", [](rt::Runtime& runtime) { diffundo::make_program(runtime)->run(); });
}
