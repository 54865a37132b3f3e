#include "common/runtime/extras_services.h"

#include "common/runtime/atomic_file.h"
#include "common/runtime/projector_picture.h"
#include "common/runtime/runtime.h"
#include "common/runtime/surface.h"
#include "common/runtime/vector_state.h"

namespace rt {

namespace {

ExtrasHost& no_host() {
    static NoExtrasHost host;
    return host;
}

}  // namespace

std::string unwritable_file_message(const std::string& headline, const std::string& file) {
    return headline + " !||Die Datei|   " + file +
           "|lässt sich nicht schreiben: Ist der Ordner schreibgeschützt|oder der Datenträger voll?";
}

std::string passed_on_message(const PassedOnValues& values) {
    return "Mit diesen Werten startet das Programm wieder:||Befehlszeile (auch für einen Starter):|   " +
           values.command_line + "||Link für den Browser:|   " + values.link +
           "||Beides steht jetzt in der Zwischenablage.";
}

ExtrasServices::ExtrasServices(Runtime& runtime) : runtime_(runtime), host_(&no_host()) {}

void ExtrasServices::run(Extra extra) {
    const CleanVectorStateOnExit clean;  // after Qt's dialogs, printing and picture files
    switch (extra) {
    case Extra::save_picture: save_picture(false); break;
    case Extra::print_picture: print_picture(); break;
    case Extra::copy_picture: host_->copy_picture(); break;
    case Extra::full_screen: host_->toggle_full_screen(); break;
    // Through the runtime: the program's colours follow the palette.
    case Extra::projector_colours: runtime_.set_projector_colours(!projector_); break;
    case Extra::help:
        if (!help_.empty()) runtime_.message_box(box_help, help_, 2, "OK");
        break;
    case Extra::save_data: save_data(); break;
    case Extra::pass_on_values: pass_on_values(); break;
    case Extra::print_colours: set_print_colours(!print_colours_); break;
    case Extra::save_print_picture: save_picture(true); break;
    }
}

void ExtrasServices::report_unwritable(const std::string& headline, const std::string& file) {
    runtime_.message_box(box_message, unwritable_file_message(headline, file), 1, " OK ");
}

Image ExtrasServices::print_copy() const {
    return in_print_colours(runtime_.surface(), projector_ ? Palette::projector : Palette::normal);
}

void ExtrasServices::save_picture(bool in_print_colours) {
    const std::string file = host_->output_file(ExtrasHost::Output::picture);
    if (file.empty()) return;
    // The status line goes with it: the figures it shows (diffundo's
    // distance to the binomial law) are not in the picture.
    const Image copy = in_print_colours ? print_copy() : Image();
    if (host_->write_picture(file, status_, in_print_colours ? copy.view() : runtime_.surface().image()))
        host_->file_written(file);
    else
        report_unwritable("Das Bild wurde nicht gespeichert", file);
}

void ExtrasServices::save_data() {
    if (!export_) {
        runtime_.message_box(box_message, "Dieser Bildschirm zeigt keine Daten zum Speichern.", 1, " OK ");
        return;
    }
    // The text is made before the dialog: what is saved is what the screen
    // showed when the entry was chosen.
    const std::string text = export_();
    const std::string file = host_->output_file(ExtrasHost::Output::data);
    if (file.empty()) return;
    if (write_file_atomically(file, text))
        host_->file_written(file);
    else
        report_unwritable("Die Daten wurden nicht gespeichert", file);
}

// Read when chosen: the values of this moment, also while a box of the
// program waits (then those of the last complete input).
void ExtrasServices::pass_on_values() {
    if (!passing_on_) return;
    const PassedOnValues values = passing_on_();
    host_->copy_text(values.command_line + "\n" + values.link + "\n");
    runtime_.message_box(box_message, passed_on_message(values), 1, " OK ");
}

void ExtrasServices::print_picture() {
    if (!print_colours_) {
        host_->print_picture(runtime_.surface().image());
        return;
    }
    const Image copy = print_copy();
    host_->print_picture(copy);
}

void ExtrasServices::set_print_colours(bool on) {
    if (on == print_colours_) return;
    print_colours_ = on;
    host_->print_colours_changed(on);
}

bool ExtrasServices::switch_palette(bool projector) {
    if (projector == projector_) return false;
    PixelRecolour change =
        projector ? palette_change(Palette::normal, Palette::projector) : palette_change(Palette::projector, Palette::normal);
    runtime_.surface().recolour([&change](Rgb p) { return change.drawn(p); },
                                [&change](Rgb p) { return change.picture(p); });
    projector_ = projector;
    host_->projector_colours_changed(projector);
    return true;
}

void ExtrasServices::show_status(const std::string& text) {
    if (text == status_) return;
    status_ = text;
    host_->status_changed(status_);
}

void ExtrasServices::set_menu_checked(int index, bool checked) {
    if (menu_checked(index) == checked) return;
    if (checked)
        checked_entries_.insert(index);
    else
        checked_entries_.erase(index);
    host_->menu_checked_changed(index, checked);
}

}  // namespace rt
