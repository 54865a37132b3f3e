// kalorix in a browser page (the WebAssembly build).
#include "common/web/web_runtime.h"
#include "kalorix/kalorix.h"

int main() {
    return rt::run_page("kalorix", [](rt::Runtime& runtime) { kalorix::make_program(runtime)->run(); });
}
