#pragma once
// The help page of kalorix on the EXTRAS menu: saving, printing and copying
// the picture, full screen and the projector colours, with their keys.

#include "kalorix/core/help_pages.h"

namespace kalorix {

const HelpPage& help_extras_page();

}  // namespace kalorix
