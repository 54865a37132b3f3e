#pragma once
// The transcript of a scripted run: one JSON object per line (JSON Lines),
// in the order things happened, each with a "kind". It records what the
// program showed and asked and how the scripted user answered, so a run can
// be checked without looking at pixels.

#include "common/runtime/surface.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace rt {

// A JSON string literal, quotes included. Bytes that are not valid UTF-8 are
// taken as Latin-1 so the line stays valid JSON whatever the program printed.
std::string json_string(std::string_view text);

// "#rrggbb" from a Windows colour value 0x00BBGGRR.
std::string colour_hex(Colour c);

class Transcript : public SurfaceObserver {
public:
    // Writes to `out` (not owned; nullptr keeps the lines only in memory,
    // for tests). Without prints, no print records are made at all.
    explicit Transcript(std::FILE* out, bool record_prints = true);
    ~Transcript() override;

    void printed(int column, int row, int x, int y, const std::string& text, Colour colour) override;
    void graphics_text(int x, int y, const std::string& text, Colour colour) override;
    void cleared() override;

    void title(const std::string& text);
    void menu(const std::vector<std::string>& entries);
    void message(int style, const std::string& text, int default_button, const std::vector<std::string>& buttons,
                 int answer);
    void input(bool dialog, const std::string& prompt, const std::string& hint, const std::string& default_text,
               const std::string& answer, bool cancelled);
    // `found`: whether the window would find the file to play; a missing one
    // is marked, since the window would stay silent.
    void sound(const std::string& file, bool found);
    void end();

    // The window's extras, by file name in the output folder where they wrote one.
    void saved(const std::string& file);
    void printed(const std::string& file, int pages);
    void copied(int width, int height, const std::string& digest);
    void copied_text(const std::string& text);
    void full_screen(bool on);
    void palette(bool projector);
    void print_colours(bool on);
    // The status line below the picture, when its text changed.
    void status(const std::string& text);
    // A program's menu entry got or lost its check mark.
    void checked(const std::string& entry, bool on);

    // Hands the buffered lines to the file; also done whenever the buffer grows large.
    void flush();
    // Whether a write to the file has failed (a full disk, an unwritable device).
    bool failed() const { return failed_; }
    // Lines not yet flushed (all of them when there is no file).
    const std::string& pending() const { return buffer_; }

private:
    void finish_line();

    std::FILE* out_;
    bool record_prints_;
    std::string buffer_;
    bool failed_ = false;
};

}  // namespace rt
