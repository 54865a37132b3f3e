#include "common/scripted/scripted_runtime.h"

#include "common/runtime/message_text.h"

#include "common/runtime/surface.h"
#include "common/runtime/vector_state.h"
#include "common/scripted/transcript.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

namespace rt {

namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

bool write_screen(const Screen& screen, const std::filesystem::path& dir, const std::string& name,
                  const PictureFormats& formats) {
    // Both files are written through the same path type: the name reaches
    // the file system byte for byte, UTF-8 or not, and the two names agree.
    const std::optional<std::string> png = formats.png(screen.image, {});
    const bool encoded = png.has_value();
    std::ofstream png_file(dir / (name + ".png"), std::ios::binary);
    if (png) png_file.write(png->data(), static_cast<std::streamsize>(png->size()));
    png_file.close();
    std::ofstream txt(dir / (name + ".txt"), std::ios::binary);
    txt << screen.text;
    txt.close();
    return encoded && png_file.good() && txt.good();
}

int find_menu_entry(const std::vector<std::string>& menu, const std::string& title, const std::string& entry) {
    const std::string heading = title + " |";
    for (std::size_t i = 0; i < menu.size(); ++i) {
        if (menu[i] != heading) continue;
        // The entries of a menu run up to the empty text that closes it.
        for (std::size_t j = i + 1; j < menu.size() && !menu[j].empty(); ++j)
            if (menu[j] == entry || menu[j].substr(0, menu[j].find('\t')) == entry) return static_cast<int>(j);
    }
    return -1;
}

// A headless run writes what the screen showed as text too.
ScriptedRuntime::ScriptedRuntime(std::vector<ScriptItem> items, int width, int height)
    : Runtime(width, height), ahead_(std::make_move_iterator(items.begin()), std::make_move_iterator(items.end())) {
    surface().keep_text_grid(true);
    set_extras_host(*this);
}

ScriptedRuntime::ScriptedRuntime(ScriptSource source, int width, int height)
    : Runtime(width, height), source_(std::move(source)) {
    surface().keep_text_grid(true);
    set_extras_host(*this);
}

ScriptedRuntime::~ScriptedRuntime() {
    if (transcript_) surface().set_observer(nullptr);
}

void ScriptedRuntime::set_picture_formats(PictureFormats formats) {
    formats_ = std::move(formats);
    set_picture_decoder(formats_.decode);
}

void ScriptedRuntime::set_transcript(Transcript* transcript) {
    transcript_ = transcript;
    surface().set_observer(transcript);
}

void ScriptedRuntime::set_title(const std::string& title) {
    if (transcript_) transcript_->title(title);
}

void ScriptedRuntime::show_menu(const std::vector<std::string>& entries) {
    if (transcript_) transcript_->menu(entries);
}

void ScriptedRuntime::process_events() {
    event_pass(Poll::events);
    deliver_queued_selections([this](int index, bool ran) {
        if (ran && index == default_quit_) quit_delivered_ = true;
    });
}

std::string ScriptedRuntime::key_query() { return event_pass(Poll::key); }

int ScriptedRuntime::mouse_state() {
    event_pass(Poll::mouse);
    return mouse_buttons_;
}

double ScriptedRuntime::time() {
    if (stop_requested_) throw ScriptTimeout();
    return static_cast<double>(++time_calls_) * 0.001;
}

void ScriptedRuntime::check_service() {
    if (stop_requested_) throw ScriptTimeout();
    if (closed_) throw WindowClosed();
}

std::string ScriptedRuntime::event_pass(Poll poll) {
    check_service();
    ++passes_;
    check_used_up();
    if (used_up_) return default_user(poll);
    if (idle_passes_ > 0) {
        --idle_passes_;
        check_used_up();
        return {};
    }
    for (;;) {
        const std::size_t k = next_item();
        const ScriptItem& item = ahead_[k];  // gone once consumed
        switch (item.kind) {
        case ScriptItemKind::passes: {
            // This pass is the first of the N; `passes 0` lets the next item
            // be due at once. Set before consuming: trailing passes still
            // have to go by before the script counts as used up.
            const int count = item.number;
            idle_passes_ = count > 0 ? count - 1 : 0;
            idle_line_ = item.line;
            consume(k);
            if (count > 0 || used_up_) return {};
            continue;
        }
        case ScriptItemKind::menu: {
            const int index = resolve_menu(item);
            if (const std::optional<Extra> extra = extra_at(installed_menu(), index)) {
                run_extra_item(k, *extra);
                if (used_up_) return default_user(poll);
                continue;
            }
            consume(k);
            queue_menu_selection(index);
            return {};
        }
        case ScriptItemKind::mouse:
            if (item.mouse_down)
                mouse_buttons_ |= item.mouse_button;
            else
                mouse_buttons_ &= ~item.mouse_button;
            consume(k);
            return {};
        case ScriptItemKind::close:
            consume(k);
            closed_ = true;
            drop_queued_selections();
            throw WindowClosed();
        case ScriptItemKind::key:
            if (poll != Poll::key) return {};
            {
                std::string text = item.text;
                consume(k);
                return text;
            }
        case ScriptItemKind::answer:
        case ScriptItemKind::cancel:
        case ScriptItemKind::button:
            if (poll == Poll::key) mismatch(item.line, "expected a dialog for " + describe(item) + ", found key query");
            return {};
        case ScriptItemKind::snapshot: break;  // next_item() never stops at one
        }
        return {};
    }
}

std::string ScriptedRuntime::default_user(Poll poll) {
    // Chosen again until it has run: a selection made while too many others
    // are running is ignored.
    if (!quit_delivered_) {
        default_quit_ = find_quit_entry();
        if (default_quit_ >= 0 && !menu_selection_queued(default_quit_)) queue_menu_selection(default_quit_);
    }
    mouse_buttons_ = mouse_none;
    return poll == Poll::key ? "\r" : "";
}

int ScriptedRuntime::find_quit_entry() const {
    for (std::size_t i = 0; i < installed_menu().size(); ++i)
        if (installed_menu()[i] == "&Quit") return static_cast<int>(i);
    return -1;
}

std::size_t ScriptedRuntime::next_item() const {
    std::size_t k = 0;
    for (;;) {
        while (k < ahead_.size() && ahead_[k].kind == ScriptItemKind::snapshot) ++k;
        if (k < ahead_.size() || !read_item()) return k;
    }
}

bool ScriptedRuntime::read_item() const {
    if (!source_) return false;
    std::optional<ScriptItem> item;
    try {
        item = source_();
    } catch (const ScriptError& error) {
        throw ScriptFailure(error.what());
    }
    if (!item) {
        source_ = nullptr;
        return false;
    }
    ahead_.push_back(std::move(*item));
    return true;
}

const ScriptItem* ScriptedRuntime::next_unused_item() const {
    const std::size_t k = next_item();
    return k < ahead_.size() ? &ahead_[k] : nullptr;
}

void ScriptedRuntime::consume(std::size_t index, bool check) {
    take_snapshots(0, index);
    ahead_.erase(ahead_.begin(), ahead_.begin() + static_cast<std::ptrdiff_t>(index) + 1);
    if (check) check_used_up();
}

void ScriptedRuntime::run_extra_item(std::size_t index, Extra extra) {
    // The script counts as used up only after the entry has run: snapshots
    // behind it, the last one too, show what it did.
    consume(index, false);
    run_extra(extra);
    check_used_up();
}

void ScriptedRuntime::check_used_up() {
    if (used_up_ || idle_passes_ > 0 || next_item() < ahead_.size()) return;
    take_snapshots(0, ahead_.size());
    ahead_.clear();
    used_up_ = true;
}

void ScriptedRuntime::take_snapshots(std::size_t from, std::size_t to) {
    const CleanVectorStateOnExit clean;  // after the PNG writer, which may be Qt's
    for (std::size_t i = from; i < to; ++i) {
        const ScriptItem& item = ahead_[i];
        if (item.kind != ScriptItemKind::snapshot || snapshot_dir_.empty()) continue;
        if (!write_screen(current_screen(), snapshot_dir_, item.text, formats_))
            throw OutputFailure("script line " + std::to_string(item.line) + ": cannot write snapshot " +
                                quoted(item.text) + " into " + snapshot_dir_.string());
    }
}

int ScriptedRuntime::resolve_menu(const ScriptItem& item) const {
    const int index = find_menu_entry(installed_menu(), item.menu_title, item.menu_entry);
    if (index < 0)
        throw ScriptFailure("script line " + std::to_string(item.line) + ": " + describe(item) +
                            " is not in the installed menu");
    return index;
}

void ScriptedRuntime::mismatch(int line, const std::string& what) const {
    throw ScriptFailure("script line " + std::to_string(line) + ": " + what);
}

std::size_t ScriptedRuntime::run_extras_before_answer() {
    for (;;) {
        const std::size_t k = next_item();
        if (k >= ahead_.size()) return k;
        const ScriptItem& item = ahead_[k];
        if (item.kind != ScriptItemKind::menu) return k;
        const std::optional<Extra> extra = extra_at(installed_menu(), resolve_menu(item));
        if (!extra) return k;
        run_extra_item(k, *extra);
        if (used_up_) return ahead_.size();
    }
}

std::optional<std::size_t> ScriptedRuntime::dialog_answer(DialogSort sort, const std::string& what) {
    check_service();
    check_used_up();
    if (used_up_) return std::nullopt;
    const char* expected = sort == DialogSort::message ? "button" : "answer or cancel";
    if (idle_passes_ > 0)
        mismatch(idle_line_, std::string("expected ") + expected + " for " + what + ", found passes with " +
                                 std::to_string(idle_passes_) + " still to go");
    const std::size_t k = run_extras_before_answer();
    if (used_up_) return std::nullopt;
    const ScriptItem& item = ahead_[k];
    const bool fits = sort == DialogSort::message
                          ? item.kind == ScriptItemKind::button
                          : item.kind == ScriptItemKind::answer || item.kind == ScriptItemKind::cancel;
    if (!fits) mismatch(item.line, std::string("expected ") + expected + " for " + what + ", found " + describe(item));
    return k;
}

int ScriptedRuntime::message_box(int style, const std::string& text, int default_button, const std::string& captions) {
    const std::vector<std::string> buttons = split_at_bars(captions);
    const int count = static_cast<int>(buttons.size());
    const std::optional<std::size_t> k = dialog_answer(DialogSort::message, "message box " + quoted(text));
    int answer;
    if (k) {
        const ScriptItem& item = ahead_[*k];
        if (item.number > count)
            mismatch(item.line, describe(item) + " for message box " + quoted(text) + " with " + std::to_string(count) +
                                    (count == 1 ? " button" : " buttons"));
        answer = item.number;
        consume(*k);
    } else {
        answer = effective_default_button(default_button, count);
    }
    if (transcript_) transcript_->message(style, text, default_button, buttons, answer);
    return answer;
}

std::string ScriptedRuntime::input_box(const std::string& prompt, const std::string& default_text) {
    const std::optional<std::size_t> k = dialog_answer(DialogSort::input, "input box " + quoted(prompt));
    const bool cancelled = !k || ahead_[*k].kind == ScriptItemKind::cancel;
    std::string answer = cancelled ? std::string() : ahead_[*k].text;
    if (k) consume(*k);
    if (transcript_) transcript_->input(false, prompt, "", default_text, answer, cancelled);
    return answer;
}

void ScriptedRuntime::input_dialog(const std::string& prompt, const std::string& hint, std::string& text) {
    const std::optional<std::size_t> k = dialog_answer(DialogSort::input, "input dialog " + quoted(prompt));
    const bool cancelled = !k || ahead_[*k].kind == ScriptItemKind::cancel;
    std::string answer = cancelled ? std::string() : ahead_[*k].text;
    if (k) consume(*k);
    if (transcript_) transcript_->input(true, prompt, hint, text, answer, cancelled);
    text = std::move(answer);
}

void ScriptedRuntime::play_sound(const std::string& file) {
    if (stop_requested_) throw ScriptTimeout();
    if (!transcript_) return;
    std::error_code error;
    transcript_->sound(file, std::filesystem::is_regular_file(asset_path(file), error));
}

void ScriptedRuntime::end() {
    if (final_screen_) return;
    final_screen_ = current_screen();
    if (transcript_) transcript_->end();
}

Screen ScriptedRuntime::current_screen() const {
    return Screen{surface().image().copy(), surface().text_grid().to_text()};
}

}  // namespace rt
