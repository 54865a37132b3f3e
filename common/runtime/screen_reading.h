#pragma once
// What the screen says to someone who cannot see it: beside the text cells
// (the text grid), the texts drawn at pixel positions (axis labels, values
// in a graph) and the programs' own sentences on what their pictures show.
// Kept where the text grid is kept; every runtime describes the screen from
// here, so every edition says the same.

#include "common/runtime/geometry.h"

#include <string>
#include <vector>

namespace rt {

class TextGrid;

class ScreenReading {
public:
    // At most this many texts and sentences are kept: a loop that draws
    // new texts without ever clearing cannot grow them without end.
    static constexpr std::size_t max_texts = 4096;
    static constexpr std::size_t max_sentences = 16;

    // A text drawn over `area`. It replaces what stood at the same place
    // and, when opaque, every earlier text it wholly covers.
    void drawn(const Rect& area, const std::string& text, bool opaque);
    // A filled box: the texts wholly inside it are gone.
    void covered(const Rect& area);
    // A program's sentence on its picture; the same sentence again adds nothing.
    void describe(const std::string& sentence);
    void clear();

    const std::vector<std::string>& sentences() const { return sentences_; }
    // The drawn texts as lines in reading order: top to bottom, the texts
    // whose tops lie within half a text height joined left to right.
    std::vector<std::string> text_lines() const;

private:
    struct Placed {
        Rect area;
        std::string text;
    };
    std::vector<Placed> texts_;
    std::vector<std::string> sentences_;
};

// The whole description: the sentences, then the lines of the text cells
// from top to bottom (blank ones left out), then the drawn texts; one line each.
std::string describe_screen(const ScreenReading& reading, const TextGrid& grid);

}  // namespace rt
