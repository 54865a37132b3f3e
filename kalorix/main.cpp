#include "common/run_in_window.h"
#include "kalorix/kalorix.h"

int main(int argc, char** argv) { return run_in_window(argc, argv, kalorix::make_program); }
