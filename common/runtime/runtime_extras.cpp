// The EXTRAS menu's entries, as far as both runtimes share them: saving the
// picture, the projector colours and the help page. Where the picture goes
// (a dialog, the run's output folder) is each runtime's own.
#include "common/runtime/runtime.h"

#include "common/runtime/picture_output.h"
#include "common/runtime/projector_palette.h"
#include "common/runtime/projector_picture.h"
#include "common/runtime/surface.h"
#include "common/runtime/vector_state.h"

namespace rt {

void Runtime::set_extras_help(const std::string& page) { extras_help_ = page; }

void Runtime::run_extra(Extra extra) {
    const CleanVectorStateOnExit clean;  // after Qt's dialogs, printing and picture files
    switch (extra) {
    case Extra::save_picture: save_picture(); break;
    case Extra::print_picture: print_picture(); break;
    case Extra::copy_picture: copy_picture(); break;
    case Extra::full_screen: toggle_full_screen(); break;
    case Extra::projector_colours: set_projector_colours(!projector_); break;
    case Extra::help:
        if (!extras_help_.empty()) message_box(box_help, extras_help_, 2, "OK");
        break;
    case Extra::save_data: save_data(); break;
    }
}

void Runtime::save_picture() {
    const std::string file = picture_file();
    if (file.empty()) return;
    // The status line goes with it: the figures it shows (diffundo's
    // distance to the binomial law) are not in the picture.
    if (write_png(surface_->image(), file, status_))
        picture_saved(file);
    else
        report_failure("gespeichert", file);
}

void Runtime::report_failure(const std::string& what, const std::string& file) {
    message_box(box_message,
                "Das Bild wurde nicht " + what + " !||Die Datei|   " + file +
                    "|lässt sich nicht schreiben: Ist der Ordner schreibgeschützt|oder der Datenträger voll?",
                1, " OK ");
}

Colour Runtime::shown(Colour c) const { return projector_ ? projector_colour(c) : c; }

void Runtime::set_projector_colours(bool on) {
    if (on == projector_) return;
    PixelRecolour change = palette_change(on);
    surface_->recolour([&change](QRgb p) { return static_cast<QRgb>(change.drawn(p)); },
                       [&change](QRgb p) { return static_cast<QRgb>(change.picture(p)); });
    projector_ = on;
    surface_->set_colour(shown(wanted_colour_));
    surface_->set_second_colour(shown(wanted_second_colour_));
    surface_->set_background_colour(shown(wanted_background_));
    projector_colours_changed();
}

}  // namespace rt
