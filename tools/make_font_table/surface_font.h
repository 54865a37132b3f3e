#pragma once
// The fonts the surface draws with, as Qt objects, and the list of faces the
// font table holds. Shared by the tool that writes the table and by the
// desktop test that compares the table with Qt's painting; the runtime
// itself reads only the table (common/runtime/font_table.h).

#include "common/runtime/runtime.h"

#include <QFont>

#include <string>
#include <vector>

namespace font_table_tool {

// The font Surface::set_font makes for a family and pixel size: Liberation
// Serif or Mono by name, grey antialiasing, full hinting.
QFont surface_font(rt::FontFamily family, int pixel_size);

// A character cell in which a face's text is printed (font_cell of a
// programs' font request) and its baseline from the cell's top.
struct CellOfFace {
    int width = 0, height = 0, baseline = 0;
};

struct FaceRequest {
    rt::FontFamily family = rt::FontFamily::serif;
    int pixel_size = 0;
    std::vector<CellOfFace> cells;  // every cell this face is printed in
};

// The surface widths whose font sizes the table covers (see the .cpp).
const std::vector<int>& covered_surface_widths();
// Every face the programs ask for at those widths, ordered by family and
// pixel size.
std::vector<FaceRequest> covered_faces();

// What the table holds of every face: Latin-1 and the characters beyond it
// that the programs' texts use or are likely to (German quotes, dashes), as
// far as the face's own font has them.
std::vector<char32_t> covered_characters();
// A code point no font maps (unassigned in Unicode): what Qt draws for it is
// what it draws for every character that no font on the machine has.
inline constexpr char32_t unmapped_character = 0x0378;

}  // namespace font_table_tool
