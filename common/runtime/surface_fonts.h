#pragma once
// The fonts every surface draws with: the table of fonts.bin, read once per
// process from beside the running program or from the installed data folder
// (find_asset), as the title picture is found. A browser, which has no such
// folder, hands over the bytes it embeds before the first surface is made.

#include "common/runtime/font_table.h"

namespace rt {

// The table; throws std::runtime_error naming the file when it is missing
// or damaged: without it no text can be drawn.
const FontTable& surface_fonts();
// Makes `table` the one every later surface uses.
void use_surface_fonts(FontTable table);

}  // namespace rt
