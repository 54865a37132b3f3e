#pragma once
// The names of the numbers the programs hand to the runtime: message box
// styles and the colours of their screens.

#include <cstdint>

namespace rt {

// Colours are Windows colour values 0x00BBGGRR (red in the lowest byte).
using Colour = std::uint32_t;

// Message box styles. The window shows a question icon for `box_question`,
// no icon for `box_author`, and the information icon for the others.
enum BoxStyle : int {
    box_message = 1,    // a message with " OK " (and kalorix's refusals)
    box_question = 18,  // kalorix's "Was haben Sie vor?"
    box_help = 19,      // a help page
    box_author = 147,   // the author box
};

// The colours both programs draw with.
namespace colours {
constexpr Colour background = 0xEEA833;  // light blue: red 51, green 168, blue 238
constexpr Colour white = 0xFFFFFF;
constexpr Colour black = 0x000000;
constexpr Colour red = 0x0000FF;
constexpr Colour yellow = 0x00FFFF;
constexpr Colour blue = 0xFF0000;
constexpr Colour pink = 0x7300FA;  // red 250, green 0, blue 115
}  // namespace colours

}  // namespace rt
