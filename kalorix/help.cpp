// The help topics: each page one message box with the single button "OK".
#include "kalorix/core/extras_help.h"
#include "kalorix/core/help_pages.h"
#include "kalorix/kalorix.h"

namespace kalorix {
namespace {

void show_pages(rt::Runtime& runtime, const std::vector<HelpPage>& pages) {
    for (const HelpPage& page : pages) runtime.message_box(rt::box_help, page.text(), 2, "OK");
}

}  // namespace

void Kalorix::help_info() { show_pages(runtime_, help_info_pages()); }
void Kalorix::help_entropy() { show_pages(runtime_, help_entropy_pages()); }

void Kalorix::help_temperature() {
    show_pages(runtime_, help_temperature_pages());
    help_temperature_school();
}

void Kalorix::help_temperature_school() { show_pages(runtime_, help_temperature_school_pages()); }
void Kalorix::help_inner_energy() { show_pages(runtime_, help_inner_energy_pages()); }
void Kalorix::help_free_energy() { show_pages(runtime_, help_free_energy_pages()); }
void Kalorix::help_equilibrium() { show_pages(runtime_, help_equilibrium_pages()); }

// Shown by the runtime itself, from the EXTRAS menu.
std::string Kalorix::extras_help_page() const { return help_extras_page().text(); }

}  // namespace kalorix
