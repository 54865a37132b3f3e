#include "common/window/run_in_window.h"
#include "kalorix/kalorix.h"

int main(int argc, char** argv) {
    return run_in_window(argc, argv, [](rt::Runtime& runtime) { kalorix::make_program(runtime)->run(); });
}
