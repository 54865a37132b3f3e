// Runs kalorix or diffundo headless against a script; see tools/scenario_run/scenario.h.

#include "diffundo/diffundo.h"
#include "kalorix/kalorix.h"
#include "tools/scenario_run/desktop_scenario.h"

int main(int argc, char** argv) {
    return rt::desktop_scenario_main(argc, argv, {{"kalorix", kalorix::make_program}, {"diffundo", diffundo::make_program}});
}
