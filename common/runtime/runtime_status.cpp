// The status line, the check marks of the program's entries and the data
// export, shared by both runtimes: where they show and where the file goes
// is each runtime's own.
#include "common/runtime/runtime.h"

#include <fstream>

namespace rt {

void Runtime::show_status(const std::string& text) {
    if (text == status_) return;
    status_ = text;
    status_changed();
}

void Runtime::set_menu_checked(int index, bool checked) {
    if (menu_checked(index) == checked) return;
    if (checked)
        checked_entries_.insert(index);
    else
        checked_entries_.erase(index);
    menu_checked_changed(index, checked);
}

void Runtime::set_export(std::function<std::string()> provider) { export_ = std::move(provider); }

void Runtime::save_data() {
    if (!export_) {
        message_box(box_message, "Dieser Bildschirm zeigt keine Daten zum Speichern.", 1, " OK ");
        return;
    }
    // The text is made before the dialog: what is saved is what the screen
    // showed when the entry was chosen.
    const std::string text = export_();
    const std::string file = data_file();
    if (file.empty()) return;
    std::ofstream out(file, std::ios::binary);
    out << text;
    out.close();
    if (out.good())
        data_saved(file);
    else
        message_box(box_message,
                    "Die Daten wurden nicht gespeichert !||Die Datei|   " + file +
                        "|lässt sich nicht schreiben: Ist der Ordner schreibgeschützt|oder der Datenträger voll?",
                    1, " OK ");
}

}  // namespace rt
