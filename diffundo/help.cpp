// The three help pages, each one message box with the single button "OK".
#include "diffundo/diffundo.h"

#include "diffundo/core/extras_help.h"
#include "diffundo/core/help_pages.h"

namespace diffundo {

namespace {

constexpr int help_default_button = 2;  // beyond the one button: the runtime takes "OK"

}  // namespace

void Diffundo::show_intro() { runtime_.message_box(rt::box_help, intro_page_text(), help_default_button, "OK"); }

void Diffundo::show_theory() { runtime_.message_box(rt::box_help, theory_page_text(), help_default_button, "OK"); }

void Diffundo::show_operation() { runtime_.message_box(rt::box_help, operation_page_text(), help_default_button, "OK"); }

// Shown by the runtime itself, from the EXTRAS menu.
std::string Diffundo::extras_help_page() const { return extras_page_text(); }

}  // namespace diffundo
