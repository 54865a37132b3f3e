#include "common/run_in_window.h"
#include "diffundo/diffundo.h"

int main(int argc, char** argv) { return run_in_window(argc, argv, diffundo::make_program); }
