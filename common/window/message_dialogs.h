#pragma once
// The modal boxes of the window runtime: the message box with buttons of the
// program's own captions and the one-line input box, German throughout.

#include "common/runtime/message_text.h"
#include "common/runtime/styles.h"

#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QDialog;
class QWidget;

namespace rt {

// Shows a built box and waits until it is answered; returns the box's result
// code, or 0 when the wait was given up without an answer. The window runtime
// waits in its own way, so that closing the main window ends a box too.
using BoxWait = std::function<int(QDialog&)>;

// Shows `text` (lines at "|", blanks kept, in a fixed-pitch font so that
// formulas aligned with blanks stay aligned) with one button per caption and
// returns the number of the button pressed, from 1 (0 when `wait` gave up).
// Escape and the close button of the box pick the last button. No captions
// give one "OK" button.
int show_message_box(QWidget* parent, const QString& caption, int style, const std::string& text, int default_button,
                     const std::string& captions, const BoxWait& wait);

// Asks for one line of text: the prompt (lines at "|"), the hint below it when
// not empty, and a field pre-filled with `text`, all selected. Returns the
// confirmed text (possibly empty), or nothing when cancelled or given up.
std::optional<std::string> show_input_box(QWidget* parent, const QString& caption, const std::string& prompt,
                                          const std::string& hint, const std::string& text, const BoxWait& wait);

}  // namespace rt
