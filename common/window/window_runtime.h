#pragma once
// The runtime in a real window: a main window with the menu bar that shows the
// drawing surface scaled to fit, the modal dialogs, keyboard and mouse polls.
//
// The programs run their own loops and call in here; Qt's event loop is never
// run on its own. Qt handlers only record what happened (a key, a button, a
// menu selection, the close request); the program's code, and with it every
// exception, runs outside Qt's frames: menu selections are delivered from
// process_events, and WindowClosed is thrown only after Qt has returned.
// The boxes are modal for the user but not in Qt's sense: Qt drops the close
// request of a window under a modal box, and the main window's close must end
// the program from any state, a waiting box included.
//
// Needs a QApplication that outlives the runtime.

#include "common/runtime/coarse_clock.h"
#include "common/runtime/idle_polls.h"
#include "common/runtime/runtime.h"
#include "common/window/window_input.h"

#include <QAccessible>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <string>

class QAction;
class QLabel;
class QDialog;
class QMenu;
class QMainWindow;
class QPrinter;

namespace rt {

class SoundPlayer;
class MainWindow;

class WindowRuntime : public Runtime, private ExtrasHost, private QAccessible::ActivationObserver {
public:
    WindowRuntime();
    ~WindowRuntime() override;

    void set_title(const std::string& title) override;
    void open_window() override;
    void process_events() override;

    std::string key_query() override;
    int mouse_state() override;
    double time() override;

    int message_box(int style, const std::string& text, int default_button, const std::string& captions) override;
    std::string input_box(const std::string& prompt, const std::string& default_text) override;
    void input_dialog(const std::string& prompt, const std::string& hint, std::string& text) override;

    void play_sound(const std::string& file) override;
    std::string program_directory() const override;
    void end() override;

    // For embedding and tests: the main window, and how often the surface
    // picture has been painted into it.
    QMainWindow* main_window() const;
    std::int64_t paint_count() const { return input_.paints; }
    // How often a poll has slept waiting for events.
    std::uint64_t waits() const { return waits_; }
    bool window_closed() const { return input_.closed; }
    // Where the save and print dialogs propose to write; the user's pictures
    // folder unless set.
    void set_picture_folder(const QString& folder) { picture_folder_ = folder; }

protected:
    void show_menu(const std::vector<std::string>& entries) override;

private:
    // The window's extras (window_extras.cpp).
    std::string output_file(Output what) override;
    bool write_picture(const std::string& file, const std::string& description, const ImageView& picture) override;
    void file_written(const std::string&) override {}
    void print_picture(const ImageView& picture) override;
    void copy_picture() override;
    void copy_text(const std::string& text) override;
    void toggle_full_screen() override;
    void projector_colours_changed(bool on) override;
    void print_colours_changed(bool on) override;
    void status_changed(const std::string& text) override;
    void menu_checked_changed(int index, bool checked) override;
    void announced(const std::function<std::string()>& text) override;
    // The text grid costs a sixth of a drawn dice step: it is kept only while
    // a screen reader or another assistive tool is listening.
    void accessibilityActiveChanged(bool active) override;
    // Lets queued window events through without blocking; at most about once
    // a millisecond, so loops that poll millions of times a second stay fast
    // (the clock that tells is itself read only every so many calls).
    void let_events_through();
    // Sleeps until a window event arrives or a short time has passed.
    void wait_for_events();
    // Sizes the window so that the picture is shown 1:1, or as large as the
    // screen allows; leaves a full-screen or maximized window alone.
    void fit_window_to_picture();
    void throw_if_closed() const;
    // Common part of the polls: events through, then wait a little when the
    // loop is evidently idle (no drawing asked for, nothing new found).
    template <typename Look, typename Found>
    auto poll(Look look, Found found);
    QString dialog_caption() const;
    // Shows the box and waits for its answer while the main window takes no
    // input; gives up (0) when the main window is closed meanwhile.
    int wait_for_answer(QDialog& box);
    // What the menus offer: everything; while a box of the program waits,
    // only the picture's services (they act on the picture behind it); while
    // one of those runs a dialog of its own, nothing.
    enum class MenuOffer { everything, picture_services, nothing };
    void offer_menus(MenuOffer offer);
    void repaint_if_changed();
    // Runs the EXTRAS entries chosen meanwhile, outside Qt's frames; whether
    // any ran.
    bool run_pending_extras();
    void add_extras_action(QAction* action, Extra extra);
    // The titles carry no access letter: Alt and a title's initial opens its
    // menu, the first entry highlighted, as in the browser page.
    void add_title_key(QMenu* menu);
    void show_extras_state();
    QString picture_folder() const;
    // "kalorix-2026-12-07-10-15" with the given ending.
    QString proposed_name(const QString& ending) const;

    // The repaint timer sleeps after half a second without changes (an idle
    // window would otherwise wake 60 times a second); the next poll that
    // sees the surface changed starts it again.
    void wake_repaints() {
        if (!repaint_running_ && !ended_ && surface_changes() != painted_changes_) start_repaints();
    }
    void start_repaints();
    std::uint64_t surface_changes() const;

    WindowInput input_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<SoundPlayer> sound_;
    QTimer repaint_timer_;
    QTimer wake_timer_;
    CoarseClock clock_;
    QString title_;
    std::vector<QPointer<QAction>> program_actions_;  // the program's own entries
    std::vector<QPointer<QAction>> program_menus_;    // menus holding only those
    std::vector<QPointer<QAction>> extras_actions_;
    std::vector<QPointer<QAction>> title_keys_;
    MenuOffer menu_offer_ = MenuOffer::everything;
    QPointer<QDialog> waiting_box_;  // the innermost box that waits
    bool extra_running_ = false;

    std::uint64_t painted_changes_ = ~std::uint64_t{0};
    bool repaint_running_ = false;
    int quiet_ticks_ = 0;
    IdlePolls idle_polls_;
    std::uint64_t waits_ = 0;
    int last_mouse_result_ = mouse_none;
    double last_pump_ = -1;  // clock_ seconds
    bool ended_ = false;

    // The status line's colours follow the palette, its size the picture's.
    void style_status_line();
    QLabel* status_label_ = nullptr;  // owned by the window's status bar
    int status_pixel_size_ = 0;       // its font's size at the picture's own size
    QPointer<QAction> full_screen_action_;
    QPointer<QAction> projector_action_;
    QPointer<QAction> print_colours_action_;
    Qt::WindowStates before_full_screen_;
    std::unique_ptr<QPrinter> printer_;  // kept, so a second print starts from the first one's settings
    QString picture_folder_;
};

}  // namespace rt
