#include "common/web/web_runtime.h"

#include "common/runtime/atomic_file.h"
#include "common/runtime/extras.h"
#include "common/runtime/font_table.h"
#include "common/runtime/message_text.h"
#include "common/runtime/picture_formats.h"
#include "common/runtime/styles.h"
#include "common/runtime/surface.h"
#include "common/runtime/surface_fonts.h"
#include "common/web/picture_table.h"

#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <ctime>
#include <fstream>
#include <sstream>
#include <stdexcept>

// The page's side, in common/web/page.js (the object KxPage).
EM_JS(void, js_set_title, (const char* title), { KxPage.setTitle(UTF8ToString(title)); });
EM_JS(void, js_show_menu, (const char* entries, const char* kinds),
      { KxPage.showMenu(UTF8ToString(entries).split(String.fromCharCode(31)), UTF8ToString(kinds)); });
EM_JS(void, js_offer_menus, (int offer), { KxPage.offerMenus(offer); });
EM_JS(void, js_menu_checked, (int index, int on), { KxPage.menuChecked(index, on !== 0); });
EM_JS(int, js_take_selection, (), { return KxPage.takeSelection(); });
EM_JS(int, js_take_key, (char* buffer, int size), {
    const key = KxPage.takeKey();
    if (key === null) return -1;
    return stringToUTF8(key, buffer, size);
});
EM_JS(int, js_mouse_buttons, (), { return KxPage.mouseButtons(); });
EM_JS(int, js_closed, (), { return KxPage.closed() ? 1 : 0; });
EM_JS(void, js_present, (const void* rgba, int width, int height, int x, int y, int w, int h),
      { KxPage.present(HEAPU8.buffer, rgba, width, height, x, y, w, h); });
EM_JS(void, js_status, (const char* text), { KxPage.status(UTF8ToString(text)); });
EM_JS(void, js_describe, (const char* picture, const char* text),
      { KxPage.describe(UTF8ToString(picture), UTF8ToString(text)); });
EM_JS(void, js_announce, (const char* text), { KxPage.announce(UTF8ToString(text)); });
EM_JS(void, js_open_message, (const char* caption, int style, const char* text, int default_button, const char* captions),
      { KxPage.openMessage(UTF8ToString(caption), style, UTF8ToString(text), default_button, UTF8ToString(captions)); });
EM_JS(void, js_open_input, (const char* caption, const char* prompt, const char* hint, const char* text),
      { KxPage.openInput(UTF8ToString(caption), UTF8ToString(prompt), UTF8ToString(hint), UTF8ToString(text)); });
EM_JS(int, js_dialog_answer, (), { return KxPage.dialogAnswer(); });
EM_JS(int, js_dialog_text, (char* buffer, int size), {
    const text = KxPage.dialogText();
    if (lengthBytesUTF8(text) + 1 > size) return -(lengthBytesUTF8(text) + 1);
    return stringToUTF8(text, buffer, size);
});
EM_JS(void, js_close_dialog, (), { KxPage.closeDialog(); });
EM_JS(void, js_bell, (const char* file), {
    let bytes;
    try { bytes = FS.readFile(UTF8ToString(file)); } catch (e) { return; }  // no sound, no end of the program
    KxPage.bell(bytes);
});
EM_JS(void, js_download, (const char* path, const char* name), {
    const file = UTF8ToString(path);
    KxPage.download(FS.readFile(file), UTF8ToString(name));
    FS.unlink(file);
});
EM_JS(void, js_print, (), { KxPage.print(); });
// 1 once the picture is on the clipboard, 0 where the browser refuses.
EM_JS(int, js_copy, (), { return Asyncify.handleSleep(function(wakeUp) { KxPage.copy(wakeUp); }); });
// The page address's part after "#" into `buffer`; its length in bytes.
EM_JS(int, js_fragment, (char* buffer, int size), {
    const fragment = location.hash.substring(1);
    if (size > 0) stringToUTF8(fragment, buffer, size);
    return lengthBytesUTF8(fragment);
});
// The page's address up to its last "/" (left out), into `buffer`; its length in bytes.
EM_JS(int, js_page_folder, (char* buffer, int size), {
    const path = location.pathname;
    const folder = location.origin + path.substring(0, path.lastIndexOf('/'));
    if (size > 0) stringToUTF8(folder, buffer, size);
    return lengthBytesUTF8(folder);
});
EM_JS(void, js_copy_text, (const char* text), { KxPage.copyText(UTF8ToString(text)); });
EM_JS(void, js_full_screen, (), { KxPage.toggleFullScreen(); });
EM_JS(int, js_projector_remembered, (), { return KxPage.projectorRemembered() ? 1 : 0; });
EM_JS(void, js_remember_projector, (int on), { KxPage.rememberProjector(on !== 0); });
EM_JS(void, js_ended, (), { KxPage.ended(); });
// Hand control to the browser: until an event or the time is up, or only
// for its pending tasks (a frame of a long run).
EM_JS(void, js_wait, (int ms), { Asyncify.handleSleep(function(wakeUp) { KxPage.wait(ms, wakeUp); }); });
EM_JS(void, js_yield, (), { Asyncify.handleSleep(function(wakeUp) { KxPage.yieldOnce(wakeUp); }); });

namespace rt {

namespace {

// A loop that draws gives the browser a turn once a frame: often enough for
// menus and painting, rarely enough to cost little.
constexpr double frame_seconds = 1.0 / 60;
// Three idle polls in a row sleep; after a quiet while, longer: an idle page
// costs next to nothing (an event wakes the wait at once).
constexpr int quiet_wait_ms = 250;
constexpr IdlePolls::Rule idle_poll_rule{3, 10, 2, quiet_wait_ms};
// While a program runs, the page's text of the screen follows the picture no
// more often than this: a screen reader is not to be flooded with each step.
constexpr double description_seconds = 1.0;

constexpr const char* copy_refused_message =
    "Das Bild wurde nicht kopiert !||Der Browser lässt diese Seite nicht in die Zwischenablage schreiben|"
    "(das geht nur, wenn die Seite über https oder von diesem Rechner kommt|und die Zwischenablage erlaubt ist).||"
    "Das Bild lässt sich stattdessen als PNG-Datei speichern.";

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string page_fragment() {
    std::string fragment(static_cast<std::size_t>(js_fragment(nullptr, 0)), '\0');
    js_fragment(fragment.data(), static_cast<int>(fragment.size()) + 1);  // room for the terminating zero
    return fragment;
}

}  // namespace

WebRuntime::WebRuntime(std::string name, std::string program_dir)
    : Runtime(surface_width, surface_height),
      name_(std::move(name)),
      program_dir_(std::move(program_dir)),
      rgba_(static_cast<std::size_t>(surface_width) * surface_height, 0xFF000000u),
      idle_polls_(idle_poll_rule) {
    set_extras_host(*this);
    // A page cannot tell whether a screen reader listens: it always keeps
    // the text of its screen.
    surface().keep_text_grid(true);
    set_picture_decoder(picture_table_decoder(read_file(program_dir_ + "/pictures.bin")));
    if (js_projector_remembered()) set_projector_colours(true);
}

WebRuntime::~WebRuntime() = default;

// The program's page tells the desktop's extras; in a browser some work otherwise.
void WebRuntime::set_extras_help(const std::string& page) {
    Runtime::set_extras_help(
        page +
        "|  Im Browser:"
        "|   Bild speichern und Daten speichern laden die Datei herunter, meist in den Ordner"
        "|   'Downloads'; ihr Name trägt Datum, Uhrzeit und eine laufende Nummer."
        "|   Bild drucken öffnet den Druckdialog des Browsers: das Bild allein, quer auf A4;"
        "|   als Ziel 'Als PDF speichern' gibt eine PDF-Datei."
        "|   Bild kopieren geht nur, wenn der Browser die Zwischenablage erlaubt (bei Seiten"
        "|   über https oder von diesem Rechner); sonst wird das Bild zum Speichern angeboten."
        "|   Vollbild zeigt Bild, Menü und Zeile darunter auf dem ganzen Bildschirm;"
        "|   Esc, F11 oder der Menüpunkt beenden es."
        "|   Die Beamer-Farben merkt sich der Browser für diese Seite."
        "|   Auf einem Tablet ist Tippen ein Klick mit der linken Maustaste; ein Finger,"
        "|   der liegen bleibt, hält die rechte Maustaste, bis er sich hebt."
        "| ");
}

void WebRuntime::throw_if_closed() {
    if (!asked_.closed) {
        closed_ = closed_ || js_closed();
        asked_.closed = true;
    }
    if (ended_ || closed_) throw WindowClosed();
}

void WebRuntime::set_title(const std::string& title) {
    title_ = title;
    js_set_title(title.c_str());
}

void WebRuntime::open_window() { present(); }

void WebRuntime::show_menu(const std::vector<std::string>& entries) {
    std::string joined, kinds;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i > 0) joined += '\x1f';
        joined += entries[i];
        // The page marks full screen itself: the browser also ends it without the program.
        const std::optional<Extra> extra = extra_at(entries, static_cast<int>(i));
        kinds += !extra ? 'p' : *extra == Extra::full_screen ? 'f' : 'x';
    }
    js_show_menu(joined.c_str(), kinds.c_str());
    js_offer_menus(static_cast<int>(offer_));
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (menu_checked(static_cast<int>(i))) js_menu_checked(static_cast<int>(i), 1);
    if (projector_colours()) mark_extra(Extra::projector_colours, true);
    if (print_colours()) mark_extra(Extra::print_colours, true);
}

void WebRuntime::mark_extra(Extra extra, bool on) {
    const std::vector<std::string>& menu = installed_menu();
    for (std::size_t i = 0; i < menu.size(); ++i)
        if (extra_at(menu, static_cast<int>(i)) == extra) js_menu_checked(static_cast<int>(i), on ? 1 : 0);
}

void WebRuntime::offer_menus(MenuOffer offer) {
    offer_ = offer;
    js_offer_menus(static_cast<int>(offer));
}

void WebRuntime::present() {
    const Rect area = surface().take_changed_area();
    if (area.w <= 0 || area.h <= 0) return;
    show_on_canvas(surface().image(), area);
}

void WebRuntime::show_on_canvas(const ImageView& pixels, const Rect& area) {
    // 0xFFRRGGBB words are B G R A in memory; the canvas wants R G B A: red
    // and blue swap places, two pixels at a time in a 64-bit word.
    const auto swap_red_blue = [](std::uint64_t p) {
        return (p & 0xFF00FF00FF00FF00u) | ((p >> 16) & 0x000000FF000000FFu) | ((p & 0x000000FF000000FFu) << 16);
    };
    for (int y = area.y; y < area.y + area.h; ++y) {
        const Rgb* from = pixels.row(y) + area.x;
        std::uint32_t* to = rgba_.data() + static_cast<std::ptrdiff_t>(y) * surface_width + area.x;
        int x = 0;
        for (; x + 2 <= area.w; x += 2) {
            std::uint64_t two;
            std::memcpy(&two, from + x, sizeof two);
            two = swap_red_blue(two);
            std::memcpy(to + x, &two, sizeof two);
        }
        if (x < area.w) to[x] = static_cast<std::uint32_t>(swap_red_blue(from[x]));
    }
    js_present(rgba_.data(), surface_width, surface_height, area.x, area.y, area.w, area.h);
}

void WebRuntime::take_selections() {
    if (asked_.selections) return;
    asked_.selections = true;
    for (int index = js_take_selection(); index >= 0; index = js_take_selection()) {
        if (extra_at(installed_menu(), index))
            pending_extras_.push_back(index);
        else if (offer_ == MenuOffer::everything)
            queue_menu_selection(index);
    }
}

bool WebRuntime::run_pending_extras() {
    take_selections();
    if (pending_extras_.empty() || extra_running_) return false;
    extra_running_ = true;
    struct Done {
        bool& running;
        ~Done() { running = false; }
    } done{extra_running_};
    while (!pending_extras_.empty()) {
        const int index = pending_extras_.front();
        pending_extras_.erase(pending_extras_.begin());
        if (const std::optional<Extra> extra = extra_at(installed_menu(), index)) run_extra(*extra);
    }
    return true;
}

void WebRuntime::let_events_through() {
    const double now = time();
    if (now - last_yield_ < frame_seconds) return;
    present();
    if (now - described_at_ >= description_seconds) describe_to_page();
    js_yield();
    after_the_browser_ran();
}

void WebRuntime::wait_for_events(int ms) {
    present();
    describe_to_page();
    js_wait(ms);
    after_the_browser_ran();
}

void WebRuntime::describe_to_page() {
    described_at_ = time();
    if (surface().change_count() == described_changes_) return;
    described_changes_ = surface().change_count();
    std::string picture;
    for (const std::string& sentence : surface().reading().sentences())
        picture += (picture.empty() ? "" : " ") + sentence;
    std::string text = screen_description();
    if (picture == described_picture_ && text == described_text_) return;
    js_describe(picture.c_str(), text.c_str());
    described_picture_ = std::move(picture);
    described_text_ = std::move(text);
}

void WebRuntime::after_the_browser_ran() {
    clock_.fresh();
    asked_ = {};
    last_yield_ = time();
}

void WebRuntime::process_events() {
    throw_if_closed();
    let_events_through();
    throw_if_closed();
    run_pending_extras();
    deliver_queued_selections([this](int, bool) { throw_if_closed(); });
}

template <typename Look, typename Found>
auto WebRuntime::poll(Look look, Found found) {
    throw_if_closed();
    let_events_through();
    throw_if_closed();
    run_pending_extras();
    auto result = look();
    if (!idle_polls_.idle(surface().drawing_requests(), found(result), time())) return result;
    wait_for_events(idle_polls_.sleep_ms(time()));
    throw_if_closed();
    run_pending_extras();
    return look();
}

std::string WebRuntime::key_query() {
    return poll(
        [this] {
            if (asked_.keys) return std::string();
            char buffer[64];
            const int length = js_take_key(buffer, sizeof buffer);
            asked_.keys = length < 0;
            return length < 0 ? std::string() : std::string(buffer, static_cast<std::size_t>(length));
        },
        [](const std::string& key) { return !key.empty(); });
}

int WebRuntime::mouse_state() {
    // A held button is no news: a loop that waits for its release must sleep too.
    const int buttons = poll(
        [this] {
            // A click between two askings is kept by the page.
            if (!asked_.buttons) {
                buttons_ = js_mouse_buttons();
                asked_.buttons = true;
            }
            return buttons_;
        },
        [this](int state) { return state != last_mouse_result_; });
    last_mouse_result_ = buttons;
    return buttons;
}

double WebRuntime::time() { return clock_.now(); }

std::string WebRuntime::dialog_caption() const {
    const std::size_t first = title_.find_first_not_of(' ');
    if (first == std::string::npos) return name_;
    return title_.substr(first, title_.find_last_not_of(' ') - first + 1);
}

int WebRuntime::wait_for_answer() {
    const MenuOffer before = offer_;
    offer_menus(extra_running_ ? MenuOffer::nothing : MenuOffer::picture_services);
    struct Restore {
        WebRuntime& runtime;
        MenuOffer offer;
        ~Restore() { runtime.offer_menus(offer); }
    } restore{*this, before};
    for (;;) {
        const int answer = js_dialog_answer();
        if (answer >= 0) return answer;
        if (ended_ || js_closed()) {
            js_close_dialog();
            throw WindowClosed();
        }
        wait_for_events(quiet_wait_ms);
        if (!extra_running_) run_pending_extras();
    }
}

int WebRuntime::message_box(int style, const std::string& text, int default_button, const std::string& captions) {
    throw_if_closed();
    present();
    describe_to_page();
    js_open_message(dialog_caption().c_str(), style, text.c_str(), default_button, captions.c_str());
    return wait_for_answer();
}

std::string WebRuntime::input_box(const std::string& prompt, const std::string& default_text) {
    std::string text = default_text;
    input_dialog(prompt, {}, text);
    return text;
}

void WebRuntime::input_dialog(const std::string& prompt, const std::string& hint, std::string& text) {
    throw_if_closed();
    present();
    describe_to_page();
    js_open_input(dialog_caption().c_str(), prompt.c_str(), hint.c_str(), text.c_str());
    if (wait_for_answer() == 0) {  // cancelled
        text.clear();
        return;
    }
    std::string answer(256, '\0');
    int length = js_dialog_text(answer.data(), static_cast<int>(answer.size()));
    if (length < 0) {
        answer.assign(static_cast<std::size_t>(-length), '\0');
        length = js_dialog_text(answer.data(), static_cast<int>(answer.size()));
    }
    answer.resize(static_cast<std::size_t>(length));
    text = std::move(answer);
}

void WebRuntime::play_sound(const std::string& file) {
    if (!ended_) js_bell((program_dir_ + "/" + file).c_str());
}

void WebRuntime::end() {
    if (ended_) return;
    present();
    ended_ = true;
    js_ended();
}

std::string WebRuntime::output_file(Output what) {
    // Written into the page's memory, then handed to the browser's download.
    const std::time_t now = std::time(nullptr);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H-%M", std::localtime(&now));
    std::filesystem::create_directories("/out");
    return "/out/" + name_ + "-" + stamp + "-" + std::to_string(++files_saved_) +
           (what == Output::picture ? ".png" : ".csv");
}

bool WebRuntime::write_picture(const std::string& file, const std::string& description, const ImageView& picture) {
    return write_file_atomically(file, plain_png(picture, description));
}

// The download keeps the run's counter: two saves in one minute are two files,
// not one the browser renames.
void WebRuntime::file_written(const std::string& file) {
    js_download(file.c_str(), std::filesystem::path(file).filename().string().c_str());
}

// The browser prints the canvas: a copy in print colours is shown on it
// while the print dialog is open (window.print waits for it), then the
// screen's own picture comes back.
void WebRuntime::print_picture(const ImageView& picture) {
    present();
    const ImageView screen = surface().image();
    const bool copy = picture.bits() != screen.bits();
    if (copy) show_on_canvas(picture, picture.rect());
    js_print();
    if (copy) show_on_canvas(screen, screen.rect());
}

// Where the browser refuses the clipboard, the picture is not lost: the box
// offers it as a download instead.
void WebRuntime::copy_picture() {
    present();
    const bool copied = js_copy();
    after_the_browser_ran();  // it waited for the browser's answer
    if (copied) return;
    if (message_box(box_message, copy_refused_message, 1, "Speichern|Abbrechen") == 1) run_extra(Extra::save_picture);
}

std::string WebRuntime::pages_address() const {
    std::string address(static_cast<std::size_t>(js_page_folder(nullptr, 0)), '\0');
    js_page_folder(address.data(), static_cast<int>(address.size()) + 1);  // room for the terminating zero
    return address;
}

void WebRuntime::copy_text(const std::string& text) { js_copy_text(text.c_str()); }

// The page's live region is always there: the text is made at once, and the
// screen's text brought up to date with it (the announced summary stands there).
void WebRuntime::announced(const std::function<std::string()>& text) {
    described_changes_ = ~surface().change_count();  // a new sentence may come without new pixels
    describe_to_page();
    js_announce(text().c_str());
}

void WebRuntime::toggle_full_screen() { js_full_screen(); }

void WebRuntime::status_changed(const std::string& text) { js_status(text.c_str()); }

void WebRuntime::projector_colours_changed(bool on) {
    js_remember_projector(on ? 1 : 0);
    mark_extra(Extra::projector_colours, on);
}

void WebRuntime::print_colours_changed(bool on) { mark_extra(Extra::print_colours, on); }

void WebRuntime::menu_checked_changed(int index, bool checked) { js_menu_checked(index, checked ? 1 : 0); }

int run_page(lesson::ProgramKind kind, const std::function<void(Runtime&, const lesson::Lesson&)>& run_program) {
    const std::string name = lesson::program_name(kind);
    const std::string dir = "/program";
    std::string error;
    std::optional<FontTable> fonts = FontTable::read_file(dir + "/fonts.bin", &error);
    if (!fonts) {
        std::fprintf(stderr, "%s: the fonts of the picture cannot be read: %s\n", name.c_str(), error.c_str());
        return 1;
    }
    use_surface_fonts(std::move(*fonts));
    WebRuntime runtime(name, dir);
    try {
        lesson::Lesson given;
        if (const std::string fragment = page_fragment(); !fragment.empty()) {
            const lesson::Reading reading = lesson::read_link(kind, fragment);
            if (reading.lesson)
                given = *reading.lesson;
            else
                runtime.message_box(box_message, "Der Link enthält eine Unterrichtsstunde, die das Programm nicht "
                                                 "lesen kann:|" + reading.error + "|Es startet ohne sie.",
                                    1, " OK ");
        }
        run_program(runtime, given);
    } catch (const WindowClosed&) {
    }
    runtime.end();
    return 0;
}

}  // namespace rt
