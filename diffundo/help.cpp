// The three help pages, each one message box with the single button "OK".
#include "diffundo/diffundo.h"

#include "diffundo/core/help_pages.h"

namespace diffundo {

namespace {

constexpr int help_box_style = 19;
constexpr int help_default_button = 2;  // beyond the one button: the runtime takes "OK"

}  // namespace

void Diffundo::show_intro() { rt.message_box(help_box_style, intro_page_text(), help_default_button, "OK"); }

void Diffundo::show_theory() { rt.message_box(help_box_style, theory_page_text(), help_default_button, "OK"); }

void Diffundo::show_operation() { rt.message_box(help_box_style, operation_page_text(), help_default_button, "OK"); }

}  // namespace diffundo
