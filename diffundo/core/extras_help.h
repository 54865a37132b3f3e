#pragma once

#include <string>

// The help page of diffundo on the EXTRAS menu: saving, printing and copying
// the picture, full screen and the projector colours, with their keys. The
// full text of one message box, lines joined with "|".

namespace diffundo {

std::string extras_page_text();

}  // namespace diffundo
