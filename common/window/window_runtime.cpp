#include "common/window/window_runtime.h"

#include "common/desktop_output/qt_pixels.h"
#include "common/runtime/projector_palette.h"
#include "common/runtime/surface.h"
#include "common/runtime/vector_state.h"
#include "common/window/input_blocker.h"
#include "common/window/main_window.h"
#include "common/window/message_dialogs.h"
#include "common/window/sound_player.h"
#include "common/window/surface_view.h"
#include "common/window/window_extras.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QFontInfo>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QScreen>
#include <QStatusBar>

#include <algorithm>
#include <cmath>
#include <random>

namespace rt {

namespace {

constexpr int repaint_interval_ms = 16;  // about the screen rate
constexpr int quiet_ticks_before_sleep = 30;
constexpr int idle_wait_ms = 10;  // longest sleep of an idle poll
// After a longer quiet spell (nothing drawn, nothing found by the polls) a
// wait may last longer: an idle window wakes 25 times a second instead of a
// hundred, which is most of its CPU. Paced loops draw at least once a second,
// so their waits stay short; a key or a click ends any wait at once. A loop
// may poll keys and mouse several times per drawing step: four idle polls in
// a row count as waiting.
constexpr IdlePolls::Rule idle_poll_rule{4, idle_wait_ms, 2, 40};
constexpr double pump_interval = 1e-3;  // seconds
// Room for the title bar and borders the window manager adds.
constexpr int window_frame_allowance = 48;

bool is_menu_title(const QString& text) { return text.endsWith(QLatin1Char('|')); }

QString menu_title(QString text) {
    text.chop(1);
    while (!text.isEmpty() && text.back().isSpace()) text.chop(1);
    return text;
}

bool is_separator(const QString& text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c == QLatin1Char('-'); });
}

}  // namespace

WindowRuntime::WindowRuntime() : window_(std::make_unique<MainWindow>(input_)), idle_polls_(idle_poll_rule) {
    // The programs end on their own; Qt must not quit because the last
    // window went (a pending quit would also end every later dialog at once).
    QGuiApplication::setQuitOnLastWindowClosed(false);

    std::random_device entropy;
    seed_random((std::uint64_t{entropy()} << 32) ^ entropy());

    auto* view = new SurfaceView(surface(), input_, window_.get());
    view->set_describer([this] { return screen_description(); });
    window_->setCentralWidget(view);
    QAccessible::installActivationObserver(this);
    accessibilityActiveChanged(QAccessible::isActive());
    // A permanent label: the bar's temporary messages would be wiped by
    // every menu entry the mouse passes over.
    status_label_ = new QLabel(window_.get());
    window_->statusBar()->addWidget(status_label_, 1);
    window_->statusBar()->setSizeGripEnabled(false);
    status_pixel_size_ = QFontInfo(status_label_->font()).pixelSize();
    window_->resized = [this] { style_status_line(); };

    // A menu closed while a box waits (an extra chosen, or Escape): the
    // keyboard goes back to the box.
    window_->menus_closed = [this] {
        if (waiting_box_ && waiting_box_->isVisible()) {
            waiting_box_->raise();
            waiting_box_->activateWindow();
        }
    };

    repaint_timer_.setInterval(repaint_interval_ms);
    QObject::connect(&repaint_timer_, &QTimer::timeout, window_.get(), [this] { repaint_if_changed(); });
    // Its only job is to end a wait; nothing listens to it.
    wake_timer_.setSingleShot(false);
    wake_timer_.setInterval(idle_wait_ms);
    set_extras_host(*this);
    set_picture_decoder(decode_picture);
    if (remembered_projector_colours()) set_projector_colours(true);
    clear_upper_vector_state();  // after making the widgets, before the program's first step
}

WindowRuntime::~WindowRuntime() {
    QAccessible::removeActivationObserver(this);
    repaint_timer_.stop();
    wake_timer_.stop();
    save_kept_settings();
}

QMainWindow* WindowRuntime::main_window() const { return window_.get(); }

void WindowRuntime::set_title(const std::string& title) {
    const CleanVectorStateOnExit clean;  // after Qt's widget code
    title_ = QString::fromStdString(title);
    window_->setWindowTitle(title_);
}

void WindowRuntime::open_window() {
    const CleanVectorStateOnExit clean;  // after Qt's widget code
    throw_if_closed();
    fit_window_to_picture();
    window_->show();
    window_->watch_native_window();
    window_->activateWindow();
    window_->centralWidget()->setFocus();
    start_repaints();
}

void WindowRuntime::fit_window_to_picture() {
    if (window_->isFullScreen() || window_->isMaximized()) return;
    // The bars around the picture are measured, not estimated: the menu bar
    // is still empty when the window opens (the programs install their menus
    // afterwards), and a guess that misses by a pixel resamples every glyph.
    window_->layout()->activate();
    QSize bars = window_->size() - window_->centralWidget()->size();
    if (window_->menuBar()->actions().isEmpty()) {
        // Room for the menus the programs install just after the window
        // opened: a shown window that changes its size at once may keep the
        // old one, when the window manager is still placing it.
        QMenuBar sample;
        sample.addMenu(QStringLiteral("DESK"));
        bars.rheight() += sample.sizeHint().height();
    }
    QSize picture(surface_width, surface_height);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        const QSize room(available.width() - bars.width() - window_frame_allowance,
                         available.height() - bars.height() - window_frame_allowance);
        if (room.width() < picture.width() || room.height() < picture.height())
            picture = picture.scaled(room.expandedTo(QSize(160, 120)), Qt::KeepAspectRatio);
    }
    window_->resize(picture + bars);
}

void WindowRuntime::show_menu(const std::vector<std::string>& entries) {
    const CleanVectorStateOnExit clean;  // after Qt's widget code
    program_actions_.clear();
    program_menus_.clear();
    extras_actions_.clear();
    for (const QPointer<QAction>& key : title_keys_) delete key.data();
    title_keys_.clear();
    QMenuBar* bar = window_->menuBar();
    bar->clear();
    for (QMenu* old : bar->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) delete old;

    QMenu* menu = nullptr;
    bool menu_has_extras = false;
    const auto end_menu = [&] {
        if (menu != nullptr && !menu_has_extras) program_menus_.emplace_back(menu->menuAction());
        menu = nullptr;
    };
    for (int index = 0; index < static_cast<int>(entries.size()); ++index) {
        const QString text = QString::fromStdString(entries[static_cast<std::size_t>(index)]);
        if (menu == nullptr) {
            if (is_menu_title(text)) {
                menu = bar->addMenu(menu_title(text));
                add_title_key(menu);
                menu_has_extras = false;
                window_->keep_keyboard_for_picture(menu);
            }
        } else if (text.isEmpty()) {
            end_menu();
        } else if (is_separator(text)) {
            menu->addSeparator();
        } else if (const std::optional<Extra> extra = extra_at(entries, index)) {
            add_extras_action(menu->addAction(text), *extra);
            menu_has_extras = true;
        } else {
            // Only queued here: the program's handler runs from process_events,
            // outside Qt's frames.
            // "Text\tKey": the key after the tab is the entry's shortcut.
            const qsizetype tab = text.indexOf(QLatin1Char('\t'));
            QAction* action = menu->addAction(text.left(tab));
            action->setData(index);  // found again by menu_checked_changed
            if (tab >= 0) action->setShortcut(QKeySequence(text.mid(tab + 1)));
            QObject::connect(action, &QAction::triggered, window_.get(),
                             [this, index] { queue_menu_selection(index); });
            program_actions_.emplace_back(action);
        }
    }
    end_menu();
    offer_menus(menu_offer_);
    show_extras_state();
    fit_window_to_picture();
}

void WindowRuntime::add_title_key(QMenu* menu) {
    const QString title = menu->title();
    if (title.isEmpty() || title.contains(QLatin1Char('&'))) return;
    auto* key = new QAction(window_.get());
    key->setShortcut(QKeySequence(QStringLiteral("Alt+") + title.left(1)));
    window_->addAction(key);
    QObject::connect(key, &QAction::triggered, window_.get(), [this, menu = QPointer<QMenu>(menu)] {
        if (!menu || !menu->menuAction()->isEnabled()) return;
        window_->menuBar()->setActiveAction(menu->menuAction());
        for (QAction* entry : menu->actions()) {
            if (!entry->isSeparator() && entry->isEnabled()) {
                menu->setActiveAction(entry);
                break;
            }
        }
    });
    title_keys_.emplace_back(key);
}

void WindowRuntime::offer_menus(MenuOffer offer) {
    menu_offer_ = offer;
    for (const QPointer<QAction>& action : program_actions_)
        if (action) action->setEnabled(offer == MenuOffer::everything);
    for (const QPointer<QAction>& action : program_menus_)
        if (action) action->setEnabled(offer == MenuOffer::everything);
    for (const QPointer<QAction>& action : extras_actions_)
        if (action) action->setEnabled(offer != MenuOffer::nothing);
}

void WindowRuntime::throw_if_closed() const {
    if (input_.closed) throw WindowClosed();
}

void WindowRuntime::let_events_through() {
    wake_repaints();
    const double now = clock_.now();
    if (now - last_pump_ < pump_interval) return;
    last_pump_ = now;
    const CleanVectorStateOnExit clean;  // repaints run Qt's painter
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    clock_.fresh();  // the events may have taken a while
}

void WindowRuntime::wait_for_events() {
    const CleanVectorStateOnExit clean;
    ++waits_;
    wake_repaints();
    // The wake timer runs on once started: setting a timer up and taking it
    // down again at each of a hundred waits a second cost about a third of
    // an idle window's CPU. A wait thus ends at the next tick.
    const int tick = idle_polls_.sleep_ms(clock_.now());
    if (wake_timer_.interval() != tick) wake_timer_.setInterval(tick);  // restarts a running timer
    if (!wake_timer_.isActive()) wake_timer_.start();
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    clock_.fresh();
    last_pump_ = clock_.now();
}

void WindowRuntime::process_events() {
    throw_if_closed();
    let_events_through();
    throw_if_closed();
    run_pending_extras();
    // A window closed by an action ends the delivery: the rest are dropped with it.
    deliver_queued_selections([this](int, bool) { throw_if_closed(); });
}

template <typename Look, typename Found>
auto WindowRuntime::poll(Look look, Found found) {
    throw_if_closed();
    let_events_through();
    throw_if_closed();
    run_pending_extras();
    auto result = look();
    if (!idle_polls_.idle(surface().drawing_requests(), found(result), clock_.now())) return result;
    wait_for_events();
    throw_if_closed();
    run_pending_extras();
    return look();
}

std::string WindowRuntime::key_query() {
    return poll(
        [this] {
            std::string key;
            if (!input_.keys.empty()) {
                key = std::move(input_.keys.front());
                input_.keys.pop_front();
            }
            return key;
        },
        [](const std::string& key) { return !key.empty(); });
}

int WindowRuntime::mouse_state() {
    // A held button is no news: a loop that waits for its release must sleep too.
    const int buttons =
        poll([this] { return input_.mouse_buttons; }, [this](int state) { return state != last_mouse_result_; });
    last_mouse_result_ = buttons;
    return buttons;
}

double WindowRuntime::time() { return clock_.now(); }

QString WindowRuntime::dialog_caption() const {
    const QString caption = title_.trimmed();
    return caption.isEmpty() ? QCoreApplication::applicationName() : caption;
}

int WindowRuntime::message_box(int style, const std::string& text, int default_button, const std::string& captions) {
    const CleanVectorStateOnExit clean;  // after Qt's widget code
    throw_if_closed();
    input_.mouse_buttons = mouse_none;  // the release goes to the box
    const int pressed = show_message_box(window_.get(), dialog_caption(), style, text, default_button, captions,
                                         [this](QDialog& box) { return wait_for_answer(box); });
    throw_if_closed();
    return pressed;
}

std::string WindowRuntime::input_box(const std::string& prompt, const std::string& default_text) {
    const CleanVectorStateOnExit clean;  // after Qt's widget code
    throw_if_closed();
    input_.mouse_buttons = mouse_none;
    auto answer = show_input_box(window_.get(), dialog_caption(), prompt, std::string(), default_text,
                                 [this](QDialog& box) { return wait_for_answer(box); });
    throw_if_closed();
    return answer.value_or(std::string());
}

void WindowRuntime::input_dialog(const std::string& prompt, const std::string& hint, std::string& text) {
    const CleanVectorStateOnExit clean;  // after Qt's widget code
    throw_if_closed();
    input_.mouse_buttons = mouse_none;
    auto answer = show_input_box(window_.get(), dialog_caption(), prompt, hint, text,
                                 [this](QDialog& box) { return wait_for_answer(box); });
    throw_if_closed();
    text = answer.value_or(std::string());
}

int WindowRuntime::wait_for_answer(QDialog& box) {
    bool answered = false;
    QObject::connect(&box, &QDialog::finished, &box, [&answered] { answered = true; });
    const InputBlocker blocker(window_.get(), &box, window_->menuBar());
    // Restored however the wait ends, the close of the main window included.
    struct Restore {
        WindowRuntime& runtime;
        MenuOffer offer = runtime.menu_offer_;
        QPointer<QDialog> box = runtime.waiting_box_;
        ~Restore() {
            runtime.offer_menus(offer);
            runtime.waiting_box_ = box;
        }
    } restore{*this};
    offer_menus(extra_running_ ? MenuOffer::nothing : MenuOffer::picture_services);
    waiting_box_ = &box;

    const auto bring_to_front = [&box] {
        box.raise();
        box.activateWindow();
    };
    box.setWindowModality(Qt::NonModal);
    box.show();
    bring_to_front();
    while (!answered && !input_.closed) {
        wait_for_events();
        // Saving, full screen and the rest take the keyboard: it goes back to the box.
        if (!extra_running_ && run_pending_extras() && !answered) bring_to_front();
    }
    if (!answered) {
        box.hide();
        return 0;
    }
    if (window_->isVisible()) {
        window_->activateWindow();
        window_->centralWidget()->setFocus();  // the next key answers the program's wait
    }
    return box.result();
}

void WindowRuntime::play_sound(const std::string& file) {
    const CleanVectorStateOnExit clean;  // after Qt's widget code
    if (ended_) return;
    if (!sound_) sound_ = std::make_unique<SoundPlayer>();
    sound_->play(QString::fromStdString(asset_path(file)));
}

std::string WindowRuntime::program_directory() const { return QCoreApplication::applicationDirPath().toStdString(); }

void WindowRuntime::end() {
    const CleanVectorStateOnExit clean;  // after Qt's widget code
    if (ended_) return;
    ended_ = true;
    input_.closed = true;
    repaint_timer_.stop();
    repaint_running_ = false;
    wake_timer_.stop();
    sound_.reset();
    window_->hide();
}

void WindowRuntime::style_status_line() {
    // On the projector the line is read from the back of the room like the
    // picture: in the picture's colours, and as much larger as the picture is.
    QStatusBar* bar = window_->statusBar();
    QPalette look = QApplication::palette(bar);
    if (projector_colours()) {
        look.setColor(QPalette::Window, to_qcolor(projector_colour(colours::background)));
        look.setColor(QPalette::WindowText, to_qcolor(projector_colour(colours::white)));
    }
    bar->setAutoFillBackground(projector_colours());
    bar->setPalette(look);
    status_label_->setPalette(look);
    const double scale = std::min(static_cast<double>(window_->width()) / surface_width,
                                  static_cast<double>(window_->height()) / (surface_height + status_pixel_size_ * 3));
    QFont font = status_label_->font();
    const int pixels = std::max(status_pixel_size_, static_cast<int>(std::lround(status_pixel_size_ * scale)));
    if (font.pixelSize() != pixels) {
        font.setPixelSize(pixels);
        status_label_->setFont(font);
    }
}

void WindowRuntime::status_changed(const std::string& text) {
    const CleanVectorStateOnExit clean;  // after Qt's text layout
    status_label_->setText(QString::fromStdString(text));
}

void WindowRuntime::announced(const std::function<std::string()>& text) {
    // The grid is kept exactly while an assistive tool listens.
    if (surface().keeps_text_grid())
        static_cast<SurfaceView*>(window_->centralWidget())->announce(QString::fromStdString(text()));
}

void WindowRuntime::accessibilityActiveChanged(bool active) {
    if (active != surface().keeps_text_grid()) surface().keep_text_grid(active);
}

std::uint64_t WindowRuntime::surface_changes() const { return surface().change_count(); }

void WindowRuntime::start_repaints() {
    quiet_ticks_ = 0;
    repaint_running_ = true;
    repaint_timer_.start();
}

void WindowRuntime::repaint_if_changed() {
    const std::uint64_t changes = surface().change_count();
    if (changes == painted_changes_) {
        if (++quiet_ticks_ >= quiet_ticks_before_sleep) {
            repaint_timer_.stop();
            repaint_running_ = false;
        }
        return;
    }
    quiet_ticks_ = 0;
    painted_changes_ = changes;
    static_cast<SurfaceView*>(window_->centralWidget())->show_changes(surface().take_changed_area());
}

}  // namespace rt
