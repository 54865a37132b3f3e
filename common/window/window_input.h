#pragma once
// What the window's event handlers record for the program's next poll. The
// handlers only record; the program reads it from its own loops.

#include "common/runtime/extras.h"
#include "common/runtime/runtime.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace rt {

// What the window's event handlers record for the program's next poll.
struct WindowInput {
    bool closed = false;
    std::deque<std::string> keys;  // oldest first
    int mouse_buttons = mouse_none;
    std::deque<Extra> extras;         // EXTRAS entries chosen, oldest first
    std::int64_t paints = 0;          // repaints of the surface picture
};

// A full buffer drops further keys, as a real keyboard buffer does.
constexpr std::size_t key_buffer_limit = 256;

// The text a key press leaves in the key buffer: "\r" for Return and Enter,
// "\x1b" for Escape, the typed text, else the key's name ("F1", "Left");
// empty for keys that type nothing by themselves (Shift, Ctrl, ...).
std::string key_text(int key, const QString& typed);

}  // namespace rt
