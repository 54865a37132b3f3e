#include "common/scripted/transcript.h"

#include "common/unicode/utf8.h"

#include <charconv>

namespace rt {

namespace {

// Large enough that a million prints cost a few hundred writes, small enough
// to stay out of the way of the surface's memory.
constexpr std::size_t flush_threshold = 1 << 20;

void append_hex4(std::string& out, unsigned value) {
    static const char digits[] = "0123456789abcdef";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out += digits[(value >> shift) & 0xF];
}

void append_int(std::string& out, int value) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

void append_json_string(std::string& out, std::string_view text) {
    out += '"';
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        switch (c) {
        case '"':
            out += "\\\"";
            ++i;
            continue;
        case '\\':
            out += "\\\\";
            ++i;
            continue;
        case '\n':
            out += "\\n";
            ++i;
            continue;
        case '\r':
            out += "\\r";
            ++i;
            continue;
        case '\t':
            out += "\\t";
            ++i;
            continue;
        default: break;
        }
        if (c < 0x20 || c == 0x7F) {
            append_hex4(out, c);
            ++i;
            continue;
        }
        // A byte of an ill-formed sequence is written as its own code (JSON
        // readers reject the raw byte); the bytes after it are read afresh.
        const unicode::Utf8Character character = unicode::decode_utf8_at(text, i);
        if (!character.valid) {
            append_hex4(out, c);
            ++i;
            continue;
        }
        out.append(text.substr(i, character.length));
        i += character.length;
    }
    out += '"';
}

void append_colour_hex(std::string& out, Colour c) {
    static const char digits[] = "0123456789abcdef";
    out += '#';
    for (int shift : {0, 8, 16}) {  // red, green, blue: the low byte first
        const unsigned byte = (c >> shift) & 0xFF;
        out += digits[byte >> 4];
        out += digits[byte & 0xF];
    }
}

}  // namespace

std::string json_string(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    append_json_string(out, text);
    return out;
}

std::string colour_hex(Colour c) {
    std::string out;
    append_colour_hex(out, c);
    return out;
}

Transcript::Transcript(std::FILE* out, bool record_prints) : out_(out), record_prints_(record_prints) {}

Transcript::~Transcript() { flush(); }

void Transcript::finish_line() {
    buffer_ += "}\n";
    if (out_ && buffer_.size() >= flush_threshold) flush();
}

void Transcript::flush() {
    if (!out_) return;
    if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size()) failed_ = true;
    if (std::fflush(out_) != 0) failed_ = true;
    buffer_.clear();
}

// Prints may come by the million, so this record is appended piece by piece
// without temporaries.
void Transcript::printed(int column, int row, int x, int y, const std::string& text, Colour colour) {
    if (!record_prints_) return;
    buffer_ += "{\"kind\":\"print\",\"col\":";
    append_int(buffer_, column);
    buffer_ += ",\"row\":";
    append_int(buffer_, row);
    buffer_ += ",\"x\":";
    append_int(buffer_, x);
    buffer_ += ",\"y\":";
    append_int(buffer_, y);
    buffer_ += ",\"text\":";
    append_json_string(buffer_, text);
    buffer_ += ",\"colour\":\"";
    append_colour_hex(buffer_, colour);
    buffer_ += '"';
    finish_line();
}

void Transcript::graphics_text(int x, int y, const std::string& text, Colour colour) {
    buffer_ += "{\"kind\":\"gtext\",\"x\":" + std::to_string(x) + ",\"y\":" + std::to_string(y) + ",\"text\":";
    buffer_ += json_string(text);
    buffer_ += ",\"colour\":\"" + colour_hex(colour) + "\"";
    finish_line();
}

void Transcript::cleared() {
    buffer_ += "{\"kind\":\"clear\"";
    finish_line();
}

void Transcript::title(const std::string& text) {
    buffer_ += "{\"kind\":\"title\",\"text\":" + json_string(text);
    finish_line();
}

void Transcript::menu(const std::vector<std::string>& entries) {
    buffer_ += "{\"kind\":\"menu\",\"entries\":[";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i) buffer_ += ',';
        buffer_ += json_string(entries[i]);
    }
    buffer_ += ']';
    finish_line();
}

void Transcript::message(int style, const std::string& text, int default_button,
                         const std::vector<std::string>& buttons, int answer) {
    buffer_ += "{\"kind\":\"message\",\"style\":" + std::to_string(style) + ",\"text\":" + json_string(text) +
               ",\"default\":" + std::to_string(default_button) + ",\"buttons\":[";
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (i) buffer_ += ',';
        buffer_ += json_string(buttons[i]);
    }
    buffer_ += "],\"answer\":" + std::to_string(answer);
    finish_line();
}

void Transcript::input(bool dialog, const std::string& prompt, const std::string& hint, const std::string& default_text,
                       const std::string& answer, bool cancelled) {
    buffer_ += std::string("{\"kind\":\"input\",\"dialog\":") + (dialog ? "true" : "false") +
               ",\"prompt\":" + json_string(prompt) + ",\"hint\":" + json_string(hint) +
               ",\"default\":" + json_string(default_text) + ",\"answer\":" + json_string(answer) +
               ",\"cancelled\":" + (cancelled ? "true" : "false");
    finish_line();
}

void Transcript::sound(const std::string& file, bool found) {
    buffer_ += "{\"kind\":\"sound\",\"file\":" + json_string(file);
    if (!found) buffer_ += ",\"missing\":true";
    finish_line();
}

void Transcript::saved(const std::string& file) {
    buffer_ += "{\"kind\":\"saved\",\"file\":" + json_string(file);
    finish_line();
}

void Transcript::printed(const std::string& file, int pages) {
    buffer_ += "{\"kind\":\"printed\",\"file\":" + json_string(file) + ",\"pages\":" + std::to_string(pages);
    finish_line();
}

void Transcript::copied(int width, int height, const std::string& digest) {
    buffer_ += "{\"kind\":\"copied\",\"width\":" + std::to_string(width) + ",\"height\":" + std::to_string(height) +
               ",\"sha1\":" + json_string(digest);
    finish_line();
}

void Transcript::copied_text(const std::string& text) {
    buffer_ += "{\"kind\":\"copied_text\",\"text\":" + json_string(text);
    finish_line();
}

void Transcript::full_screen(bool on) {
    buffer_ += std::string("{\"kind\":\"fullscreen\",\"on\":") + (on ? "true" : "false");
    finish_line();
}

void Transcript::palette(bool projector) {
    buffer_ += std::string("{\"kind\":\"palette\",\"projector\":") + (projector ? "true" : "false");
    finish_line();
}

void Transcript::print_colours(bool on) {
    buffer_ += std::string("{\"kind\":\"print_colours\",\"on\":") + (on ? "true" : "false");
    finish_line();
}

void Transcript::status(const std::string& text) {
    buffer_ += "{\"kind\":\"status\",\"text\":" + json_string(text);
    finish_line();
}

void Transcript::checked(const std::string& entry, bool on) {
    buffer_ += "{\"kind\":\"checked\",\"entry\":" + json_string(entry) + ",\"on\":" + (on ? "true" : "false");
    finish_line();
}

void Transcript::end() {
    buffer_ += "{\"kind\":\"end\"";
    finish_line();
}

}  // namespace rt
