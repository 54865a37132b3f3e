// The window's extras in a headless run: pictures and PDFs go into the run's
// output folder, the rest into the transcript.
#include "common/scripted/scripted_runtime.h"

#include "common/runtime/atomic_file.h"
#include "common/runtime/surface.h"
#include "common/scripted/transcript.h"

namespace rt {

std::string ScriptedRuntime::output_file(Output what) {
    if (snapshot_dir_.empty()) return {};
    const bool picture = what == Output::picture;
    const int number = picture ? ++pictures_saved_ : ++data_saved_;
    return (snapshot_dir_ / (picture_name_ + "-" + std::to_string(number) + (picture ? ".png" : ".csv"))).string();
}

bool ScriptedRuntime::write_picture(const std::string& file, const std::string& description,
                                    const ImageView& picture) {
    const std::optional<std::string> png = formats_.png(picture, description);
    return png && write_file_atomically(file, *png);
}

void ScriptedRuntime::file_written(const std::string& file) {
    if (transcript_) transcript_->saved(std::filesystem::path(file).filename().string());
}

void ScriptedRuntime::status_changed(const std::string& text) {
    if (transcript_) transcript_->status(text);
}

void ScriptedRuntime::menu_checked_changed(int index, bool checked) {
    const auto entry = static_cast<std::size_t>(index);
    const std::vector<std::string>& menu = installed_menu();
    if (transcript_) transcript_->checked(entry < menu.size() ? menu[entry] : std::string(), checked);
}

void ScriptedRuntime::print_picture(const ImageView& picture) {
    if (snapshot_dir_.empty()) return;
    const std::string name = picture_name_ + "-" + std::to_string(++pictures_printed_) + ".pdf";
    const std::string file = (snapshot_dir_ / name).string();
    // Without a PDF writer the picture cannot be printed, as on a desktop
    // whose PDF file cannot be written.
    const std::optional<std::string> pdf =
        formats_.pdf ? formats_.pdf(picture, picture_name_) : std::nullopt;
    if (!pdf || !write_file_atomically(file, *pdf))
        message_box(box_message, unwritable_file_message("Das Bild wurde nicht gedruckt", file), 1, " OK ");
    else if (transcript_)
        transcript_->printed(name, 1);
}

void ScriptedRuntime::copy_picture() {
    if (transcript_) transcript_->copied(screen_width(), screen_height(), pixel_digest(surface().image()));
}

void ScriptedRuntime::copy_text(const std::string& text) {
    if (transcript_) transcript_->copied_text(text);
}

void ScriptedRuntime::toggle_full_screen() {
    full_screen_ = !full_screen_;
    if (transcript_) transcript_->full_screen(full_screen_);
}

void ScriptedRuntime::projector_colours_changed(bool on) {
    if (transcript_) transcript_->palette(on);
}

void ScriptedRuntime::print_colours_changed(bool on) {
    if (transcript_) transcript_->print_colours(on);
}

}  // namespace rt
