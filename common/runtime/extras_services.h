#pragma once
// The services around the picture that both programs get from the runtime,
// not from their own code: the EXTRAS menu's entries, the projector and the
// print colours, the status line below the picture, the check marks of the
// program's own entries and the data export. What they share lives here, once; what
// differs between a window and a scripted run (a dialog or the run's output
// folder, a label or a transcript record) is the host's.

#include "common/runtime/extras.h"
#include "common/runtime/image.h"

#include <functional>
#include <set>
#include <string>

namespace rt {

class Runtime;

// What a runtime does for the services: the one interface a runtime
// implements for them. Called only from inside the runtime's own services
// (a poll, an event pass, a program's call), never from the host's frames.
class ExtrasHost {
public:
    enum class Output { picture, data };  // PNG, CSV
    // Where the picture or the data goes: the user's choice in a dialog, or
    // a name of the run's own; empty when cancelled or there is nowhere.
    virtual std::string output_file(Output what) = 0;
    // The picture as PNG, with the description as its text unless empty;
    // false when the file cannot be written. The picture is the surface's or
    // a copy in print colours, valid during the call.
    virtual bool write_picture(const std::string& file, const std::string& description,
                               const ImageView& picture) = 0;
    // A file from output_file has been written.
    virtual void file_written(const std::string& file) = 0;
    virtual void print_picture(const ImageView& picture) = 0;
    virtual void copy_picture() = 0;
    // Text to the clipboard: the values in use, to hand on.
    virtual void copy_text(const std::string& text) = 0;
    virtual void toggle_full_screen() = 0;
    // What the services changed, to be shown (or recorded); each is called
    // only when its state really changed.
    virtual void status_changed(const std::string& text) = 0;
    virtual void projector_colours_changed(bool on) = 0;
    virtual void print_colours_changed(bool on) = 0;
    virtual void menu_checked_changed(int index, bool checked) = 0;
    // A result for a screen reader to say now (Runtime::announce); `text`
    // makes it, to be called only where someone listens.
    virtual void announced(const std::function<std::string()>& text) = 0;

protected:
    ~ExtrasHost() = default;
};

// The values a program uses now, as a lesson to hand on: the command line
// that starts it with them, and the link to the browser edition.
struct PassedOnValues {
    std::string command_line;
    std::string link;
};

// What "Diese &Werte weitergeben ..." shows; the clipboard gets the two lines alone.
std::string passed_on_message(const PassedOnValues& values);

// A host with nowhere to write that shows nothing: the host of a runtime
// that never meets the EXTRAS menu, and the base of one that needs only a
// few of the services.
class NoExtrasHost : public ExtrasHost {
public:
    std::string output_file(Output) override { return {}; }
    bool write_picture(const std::string&, const std::string&, const ImageView&) override { return false; }
    void file_written(const std::string&) override {}
    void print_picture(const ImageView&) override {}
    void copy_picture() override {}
    void copy_text(const std::string&) override {}
    void toggle_full_screen() override {}
    void status_changed(const std::string&) override {}
    void announced(const std::function<std::string()>&) override {}
    void projector_colours_changed(bool) override {}
    void print_colours_changed(bool) override {}
    void menu_checked_changed(int, bool) override {}
};

// The message a save or print shows when its file cannot be written;
// `headline` says what did not happen ("Das Bild wurde nicht gespeichert").
std::string unwritable_file_message(const std::string& headline, const std::string& file);

// Owned by the Runtime, which forwards the programs' calls. Without a host
// (a runtime for tests that never meets the menu) saving finds nowhere to
// write and the changes are shown nowhere.
class ExtrasServices {
public:
    explicit ExtrasServices(Runtime& runtime);
    void set_host(ExtrasHost& host) { host_ = &host; }

    // Runs one EXTRAS entry; its dialogs and boxes run inside.
    void run(Extra extra);
    void set_help(const std::string& page) { help_ = page; }

    bool projector_colours() const { return projector_; }
    // Re-colours the picture on the surface into the other palette and tells
    // the host; false (and nothing done) when the palette is already that.
    bool switch_palette(bool projector);
    // Print colours: "Bild drucken" prints a copy in them; the screen stays.
    bool print_colours() const { return print_colours_; }
    void set_print_colours(bool on);

    void show_status(const std::string& text);
    const std::string& status() const { return status_; }

    void set_export(std::function<std::string()> provider) { export_ = std::move(provider); }
    const std::function<std::string()>& exporter() const { return export_; }

    void set_menu_checked(int index, bool checked);
    bool menu_checked(int index) const { return checked_entries_.contains(index); }
    void announce(const std::function<std::string()>& text) { host_->announced(text); }

    void set_passing_on(std::function<PassedOnValues()> provider) { passing_on_ = std::move(provider); }

private:
    void save_picture(bool in_print_colours);
    void print_picture();
    void save_data();
    void pass_on_values();
    // The surface's picture in print colours, from the palette it is shown in.
    Image print_copy() const;
    void report_unwritable(const std::string& headline, const std::string& file);

    Runtime& runtime_;  // for its boxes and its surface
    ExtrasHost* host_;  // never null
    bool projector_ = false;
    bool print_colours_ = false;
    std::string help_;
    std::string status_;
    std::function<std::string()> export_;
    std::function<PassedOnValues()> passing_on_;
    std::set<int> checked_entries_;
};

}  // namespace rt
