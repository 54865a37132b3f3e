#include "common/window/run_in_window.h"
#include "diffundo/diffundo.h"

int main(int argc, char** argv) {
    const ProgramInfo program{
        "diffundo", "Gasatome wandern zufällig zwischen zwei Kästen: Häufigkeit und Zahl der Realisierungen."};
    return run_in_window(argc, argv, program, [](rt::Runtime& runtime) { diffundo::make_program(runtime)->run(); });
}
