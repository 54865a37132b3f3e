#include "common/window/run_in_window.h"
#include "diffundo/diffundo.h"

int main(int argc, char** argv) {
    return run_in_window(argc, argv, [](rt::Runtime& runtime) { diffundo::make_program(runtime)->run(); });
}
