// The help topics: each page one message box with the single button "OK".
#include "kalorix/core/help_pages.h"
#include "kalorix/kalorix.h"

namespace kalorix {
namespace {

void show_pages(rt::Runtime& rt, const std::vector<HelpPage>& pages) {
    for (const HelpPage& page : pages) rt.message_box(19, page.text(), 2, "OK");
}

}  // namespace

void Kalorix::help_info() { show_pages(rt, help_info_pages()); }
void Kalorix::help_entropy() { show_pages(rt, help_entropy_pages()); }

void Kalorix::help_temperature() {
    show_pages(rt, help_temperature_pages());
    help_temperature_school();
}

void Kalorix::help_temperature_school() { show_pages(rt, help_temperature_school_pages()); }
void Kalorix::help_inner_energy() { show_pages(rt, help_inner_energy_pages()); }
void Kalorix::help_free_energy() { show_pages(rt, help_free_energy_pages()); }
void Kalorix::help_equilibrium() { show_pages(rt, help_equilibrium_pages()); }

}  // namespace kalorix
