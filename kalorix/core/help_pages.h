#pragma once

#include <string>
#include <string_view>
#include <vector>

// Fixed German help texts of kalorix. Each page is shown as one message box
// with the single button "OK"; "|" starts a new line in such a box.

namespace kalorix {

struct HelpPage {
    std::string_view title;
    // Every piece begins with "|", so each one is a line of its own under the title.
    std::vector<std::string_view> pieces;

    // The message text: the title followed by all pieces, nothing in between.
    std::string text() const;
};

// Pages per help procedure, in the order they are shown.
const std::vector<HelpPage>& help_info_pages();                // I1 .. I5
const std::vector<HelpPage>& help_entropy_pages();             // E1
const std::vector<HelpPage>& help_temperature_pages();         // T1 .. T3, then the school page
const std::vector<HelpPage>& help_temperature_school_pages();  // T4
const std::vector<HelpPage>& help_inner_energy_pages();        // U1
const std::vector<HelpPage>& help_free_energy_pages();         // F1
const std::vector<HelpPage>& help_equilibrium_pages();         // G1

}  // namespace kalorix
