// The window runtime on the offscreen platform. Boxes are answered by a timer
// that finds the shown modal box and presses its keys or buttons, as a user would.

#include "common/window/window_runtime.h"
#include "common/desktop_output/qt_pixels.h"
#include "common/runtime/surface.h"
#include "common/window/message_dialogs.h"
#include "common/window/quiet_messages.h"
#include "common/window/sound_player.h"
#include "diffundo/diffundo.h"
#include "window_waits.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

void ensure_application() {
    static int argc = 1;
    static char name[] = "window_runtime_test";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);
    (void)application;
}

using test_support::keep_going_until;
using test_support::shown_box;
using test_support::when_box_shows;

void press(QWidget* target, int key, const QString& text = QString()) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &event);
}

QPushButton* button_named(QWidget* box, const QString& text) {
    for (QPushButton* button : box->findChildren<QPushButton*>())
        if (button->text() == text) return button;
    return nullptr;
}

class WindowRuntimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensure_application();
        runtime = std::make_unique<rt::WindowRuntime>();
    }
    QWidget* view() const { return runtime->main_window()->centralWidget(); }
    // Polls keys until a poll throws the close; false when none did in time.
    bool polls_until_closed() {
        bool thrown = false;
        keep_going_until(
            [&] {
                try {
                    runtime->key_query();
                } catch (const rt::WindowClosed&) {
                    thrown = true;
                }
            },
            [&] { return thrown; });
        return thrown;
    }

    std::unique_ptr<rt::WindowRuntime> runtime;
};

// --- menus ------------------------------------------------------------------

const std::vector<std::string> menu_list = {
    "DESK |",  "&Quit", "-------------", "&Info", "&Autor", "",  // 0..5
    "HILFE |", "&Info", "&Entropie S",   "",      "",            // 6..10
};

QMenu* menu_titled(QMainWindow* window, const QString& title) {
    for (QAction* action : window->menuBar()->actions())
        if (action->text() == title) return action->menu();
    return nullptr;
}

TEST_F(WindowRuntimeTest, MenuBarFollowsTheListWithTitlesEntriesAndSeparators) {
    runtime->install_menu(menu_list);
    QStringList titles;
    for (QAction* action : runtime->main_window()->menuBar()->actions()) titles << action->text();
    EXPECT_EQ(titles, QStringList({"DESK", "HILFE"}));

    QMenu* desk = menu_titled(runtime->main_window(), "DESK");
    ASSERT_NE(desk, nullptr);
    const QList<QAction*> entries = desk->actions();
    ASSERT_EQ(entries.size(), 4);
    EXPECT_EQ(entries[0]->text(), "&Quit");
    EXPECT_TRUE(entries[1]->isSeparator());
    EXPECT_EQ(entries[2]->text(), "&Info");
    EXPECT_EQ(entries[3]->text(), "&Autor");

    // Installing again replaces the bar instead of adding to it.
    runtime->install_menu({"AUSGABE |", "&Weiter", ""});
    EXPECT_EQ(runtime->main_window()->menuBar()->actions().size(), 1);
}

TEST_F(WindowRuntimeTest, PictureIsShownOneToOneWithTheMenusInstalledAfterTheWindowOpened) {
    // The programs' order: the window first, its menus and status line after.
    runtime->open_window();
    runtime->install_menu(menu_list);
    runtime->show_status("Statuszeile");
    runtime->process_events();
    EXPECT_EQ(view()->size(), QSize(rt::Runtime::surface_width, rt::Runtime::surface_height));
}

TEST_F(WindowRuntimeTest, AClosedMenuGivesTheKeyboardBackToThePicture) {
    // Qt leaves the bar holding the keyboard after Escape; two Returns would
    // then open DESK and run its first entry, Quit.
    runtime->install_menu(menu_list);
    std::vector<int> delivered;
    runtime->set_menu_handler([&](int index) { delivered.push_back(index); });
    runtime->open_window();
    QMenuBar* bar = runtime->main_window()->menuBar();
    ASSERT_TRUE(QTest::qWaitForWindowActive(runtime->main_window()));

    bar->setActiveAction(menu_titled(runtime->main_window(), "DESK")->menuAction());
    ASSERT_TRUE(keep_going_until([&] { runtime->process_events(); },
                                 [] { return QApplication::activePopupWidget() != nullptr; }));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    runtime->process_events();
    runtime->main_window()->activateWindow();  // the window manager's part, offscreen ours
    ASSERT_TRUE(QTest::qWaitForWindowActive(runtime->main_window()));
    ASSERT_TRUE(keep_going_until([&] { runtime->process_events(); }, [&] { return view()->hasFocus(); }))
        << "the bar kept the keyboard";

    std::vector<std::string> keys;
    for (int i = 0; i < 2; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        std::string key;
        keep_going_until([&] { key = runtime->key_query(); }, [&] { return !key.empty(); });
        keys.push_back(key);
        runtime->process_events();
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"\r", "\r"})) << "both Returns answer the program's waits";
    EXPECT_TRUE(delivered.empty()) << "nothing was chosen";
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(WindowRuntimeTest, SelectionsArriveByListPositionOnlyFromProcessEvents) {
    runtime->install_menu(menu_list);
    std::vector<int> delivered;
    runtime->set_menu_handler([&](int index) { delivered.push_back(index); });

    menu_titled(runtime->main_window(), "DESK")->actions()[3]->trigger();   // "&Autor"
    menu_titled(runtime->main_window(), "HILFE")->actions()[1]->trigger();  // "&Entropie S"
    EXPECT_TRUE(delivered.empty()) << "the action's slot must only queue the selection";

    runtime->process_events();
    EXPECT_EQ(delivered, (std::vector<int>{4, 8}));
}

TEST_F(WindowRuntimeTest, HandlerMayProcessEventsAgainAndItsExceptionsReachTheCaller) {
    runtime->install_menu(menu_list);
    std::vector<std::string> trace;
    runtime->set_menu_handler([&](int index) {
        trace.push_back("begin " + std::to_string(index));
        if (index == 1) runtime->process_events();
        if (index == 7) throw std::runtime_error("from the handler");
        trace.push_back("end " + std::to_string(index));
    });
    QMenu* desk = menu_titled(runtime->main_window(), "DESK");
    desk->actions()[0]->trigger();  // 1
    desk->actions()[2]->trigger();  // 3
    runtime->process_events();
    EXPECT_EQ(trace, (std::vector<std::string>{"begin 1", "begin 3", "end 3", "end 1"}));

    menu_titled(runtime->main_window(), "HILFE")->actions()[0]->trigger();  // 7
    EXPECT_THROW(runtime->process_events(), std::runtime_error);
}

// --- closing ------------------------------------------------------------------

TEST_F(WindowRuntimeTest, ClosedWindowEndsEveryInteractiveService) {
    runtime->open_window();
    runtime->main_window()->close();
    EXPECT_TRUE(runtime->window_closed());
    EXPECT_THROW(runtime->process_events(), rt::WindowClosed);
    EXPECT_THROW(runtime->key_query(), rt::WindowClosed);
    EXPECT_THROW(runtime->mouse_state(), rt::WindowClosed);
    EXPECT_THROW(runtime->message_box(1, "Text", 1, " OK "), rt::WindowClosed);
    EXPECT_THROW(runtime->input_box("Zahl", "1"), rt::WindowClosed);
}

TEST_F(WindowRuntimeTest, CloseArrivingDuringAPollIsThrownAfterQtReturns) {
    runtime->open_window();
    // As the window system asks: through the native window, from inside Qt's event processing.
    QWindow* native = runtime->main_window()->windowHandle();
    ASSERT_NE(native, nullptr);
    QTimer::singleShot(0, native, [native] { native->close(); });
    EXPECT_TRUE(polls_until_closed());
    EXPECT_FALSE(runtime->main_window()->isVisible());
}

// Another program may destroy the native window without asking (X11's
// DestroyWindow, as `xdotool windowclose` does): that is a close too.
TEST_F(WindowRuntimeTest, DestroyedNativeWindowEndsTheProgramAsAClose) {
    runtime->open_window();
    QWindow* native = runtime->main_window()->windowHandle();
    ASSERT_NE(native, nullptr);
    QTimer::singleShot(0, native, [native] { native->destroy(); });
    EXPECT_TRUE(polls_until_closed());
    EXPECT_TRUE(runtime->window_closed());
    EXPECT_THROW(runtime->process_events(), rt::WindowClosed);
    runtime->end();
}

TEST_F(WindowRuntimeTest, EndHidesTheWindowAndMayBeCalledTwice) {
    runtime->open_window();
    EXPECT_TRUE(runtime->main_window()->isVisible());
    runtime->end();
    runtime->end();
    EXPECT_FALSE(runtime->main_window()->isVisible());
    EXPECT_THROW(runtime->process_events(), rt::WindowClosed);
}

// --- keyboard and mouse ---------------------------------------------------------

TEST(KeyText, NamesWhatTheProgramsReceive) {
    struct Row {
        const char* name;
        int key;
        QString typed;
        std::string expected;
    };
    const Row rows[] = {
        {"return", Qt::Key_Return, "\r", "\r"},   {"enter on the keypad", Qt::Key_Enter, "", "\r"},
        {"escape", Qt::Key_Escape, "", "\x1b"},   {"letter", Qt::Key_A, "a", "a"},
        {"umlaut", Qt::Key_Adiaeresis, "ä", "ä"}, {"function key", Qt::Key_F1, "", "F1"},
        {"arrow", Qt::Key_Left, "", "Left"},      {"backspace", Qt::Key_Backspace, "", "\b"},
        {"shift alone", Qt::Key_Shift, "", ""},   {"control alone", Qt::Key_Control, "", ""},
    };
    for (const Row& row : rows) EXPECT_EQ(rt::key_text(row.key, row.typed), row.expected) << row.name;
}

TEST_F(WindowRuntimeTest, KeysComeOutInTheOrderTheyWerePressed) {
    runtime->open_window();
    const std::pair<int, QString> keys[] = {
        {Qt::Key_A, "a"}, {Qt::Key_Shift, ""}, {Qt::Key_Return, "\r"}, {Qt::Key_Escape, "\x1b"}, {Qt::Key_F1, ""},
    };
    for (const auto& [key, text] : keys)
        QApplication::postEvent(view(), new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));

    std::vector<std::string> received;
    keep_going_until(
        [&] {
            const std::string key = runtime->key_query();
            if (!key.empty()) received.push_back(key);
        },
        [&] { return received.size() >= 4; });
    EXPECT_EQ(received, (std::vector<std::string>{"a", "\r", "\x1b", "F1"}));
    EXPECT_EQ(runtime->key_query(), "") << "every key is consumed once";
}

TEST_F(WindowRuntimeTest, MouseStateIsTheSetOfHeldButtons) {
    runtime->open_window();
    const auto post = [&](QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held) {
        QApplication::postEvent(view(), new QMouseEvent(type, QPointF(10, 10), view()->mapToGlobal(QPointF(10, 10)),
                                                        button, held, Qt::NoModifier));
    };
    const auto settles_at = [&](int expected) {
        int state = -1;
        keep_going_until([&] { state = runtime->mouse_state(); }, [&] { return state == expected; });
        return state;
    };
    post(QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(settles_at(rt::mouse_right), rt::mouse_right);
    post(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton | Qt::RightButton);
    EXPECT_EQ(settles_at(rt::mouse_left | rt::mouse_right), rt::mouse_left | rt::mouse_right);
    post(QEvent::MouseButtonRelease, Qt::RightButton, Qt::LeftButton);
    EXPECT_EQ(settles_at(rt::mouse_left), rt::mouse_left);
    post(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(settles_at(rt::mouse_none), rt::mouse_none);
    post(QEvent::MouseButtonPress, Qt::MiddleButton, Qt::MiddleButton);
    EXPECT_EQ(settles_at(rt::mouse_middle), rt::mouse_middle);
    post(QEvent::MouseButtonRelease, Qt::MiddleButton, Qt::NoButton);
    EXPECT_EQ(settles_at(rt::mouse_none), rt::mouse_none);
}

TEST_F(WindowRuntimeTest, HeldF12StandsForTheHeldRightButtonAndIsNoKey) {
    runtime->open_window();
    const auto post = [&](QEvent::Type type, bool repeat) {
        QApplication::postEvent(view(), new QKeyEvent(type, Qt::Key_F12, Qt::NoModifier, QString(), repeat));
    };
    int state = -1;
    post(QEvent::KeyPress, false);
    keep_going_until([&] { state = runtime->mouse_state(); }, [&] { return state == rt::mouse_right; });
    EXPECT_EQ(state, rt::mouse_right);
    // The key's repeats while it is held change nothing.
    post(QEvent::KeyRelease, true);
    post(QEvent::KeyPress, true);
    for (int i = 0; i < 20; ++i) state = runtime->mouse_state();
    EXPECT_EQ(state, rt::mouse_right);
    post(QEvent::KeyRelease, false);
    keep_going_until([&] { state = runtime->mouse_state(); }, [&] { return state == rt::mouse_none; });
    EXPECT_EQ(state, rt::mouse_none);
    EXPECT_EQ(runtime->key_query(), "");
}

// --- screen readers ------------------------------------------------------------------

// The offscreen platform has no accessibility bridge: Qt then hands its
// events to nobody, so the test reads the interface itself.
TEST_F(WindowRuntimeTest, ScreenReadersReadThePictureAsTextAndItsNameIsTheNewestAnnouncement) {
    // Until an assistive tool listens, the window keeps no text of its picture.
    runtime->open_window();
    runtime->locate(0, 1);
    runtime->print("vorher");
    QAccessible::setActive(true);
    runtime->describe_picture("Ein Bild");
    runtime->locate(0, 0);
    runtime->print("Zeile null");
    runtime->graphics_text(300, 300, "???");
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(view());
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->role(), QAccessible::Graphic);
    EXPECT_EQ(reader->text(QAccessible::Description), "Ein Bild\nZeile null\n???\n");
    ASSERT_NE(reader->textInterface(), nullptr);
    EXPECT_EQ(reader->textInterface()->text(0, 8), "Ein Bild");
    EXPECT_EQ(reader->textInterface()->characterCount(), 24);
    EXPECT_EQ(reader->text(QAccessible::Name), "Bild");
    runtime->announce([] { return std::string("Versuch Nr.1: N_A = 149"); });
    EXPECT_EQ(reader->text(QAccessible::Name), "Versuch Nr.1: N_A = 149");

    QAccessible::setActive(false);
    runtime->announce([]() -> std::string {
        ADD_FAILURE() << "an announcement made while nobody listens";
        return {};
    });
    EXPECT_EQ(runtime->screen_description(), "");
}

// --- message box ----------------------------------------------------------------------

TEST(MessageBoxRules, CaptionsSplitAtBarsWithBlanksKept) {
    EXPECT_EQ(rt::split_at_bars(" OK "), std::vector<std::string>({" OK "}));
    EXPECT_EQ(rt::split_at_bars("Ja| Nein |"), std::vector<std::string>({"Ja", " Nein ", ""}));
    EXPECT_EQ(rt::split_at_bars(""), std::vector<std::string>({""}));
}

TEST(MessageBoxRules, DefaultButtonFallsBackToTheLastOrTheFirst) {
    struct Row {
        int requested, count, expected;
    };
    for (const Row& row : {Row{1, 1, 1}, Row{2, 3, 2}, Row{7, 3, 3}, Row{2, 1, 1}, Row{0, 3, 1}, Row{-5, 2, 1}})
        EXPECT_EQ(rt::effective_default_button(row.requested, row.count), row.expected)
            << row.requested << " of " << row.count;
}

TEST_F(WindowRuntimeTest, ReturnPressesTheDefaultButtonAndEscapeTheLast) {
    struct Row {
        const char* name;
        int default_button;
        const char* captions;
        int key;
        int expected;
    };
    const Row rows[] = {
        {"return on the second", 2, "Ja|Nein|Abbrechen", Qt::Key_Return, 2},
        {"default beyond the buttons", 7, "Ja|Nein|Abbrechen", Qt::Key_Return, 3},
        {"default below 1", 0, "Ja|Nein|Abbrechen", Qt::Key_Return, 1},
        {"escape with three", 1, "Ja|Nein|Abbrechen", Qt::Key_Escape, 3},
        {"escape with one", 1, " OK ", Qt::Key_Escape, 1},
    };
    for (const Row& row : rows) {
        when_box_shows([key = row.key](QWidget* box) { press(box, key); });
        EXPECT_EQ(runtime->message_box(1, "Frage", row.default_button, row.captions), row.expected) << row.name;
    }
}

TEST_F(WindowRuntimeTest, ClickedButtonIsReportedByItsNumber) {
    when_box_shows([](QWidget* box) { button_named(box, "Nein")->click(); });
    EXPECT_EQ(runtime->message_box(18, "Weiter?", 1, "Ja|Nein|Abbrechen"), 2);
}

TEST_F(WindowRuntimeTest, BoxShowsTheLinesWithBlanksInAFixedPitchFontUnderTheTitle) {
    runtime->set_title(" ENTROPIE  ");
    QString caption, shown, font_family, button;
    bool fixed_pitch = false;
    when_box_shows([&](QWidget* box) {
        caption = box->windowTitle();
        for (QLabel* label : box->findChildren<QLabel*>())
            if (!label->text().isEmpty()) {
                shown = label->text();
                font_family = label->font().family();
                fixed_pitch = QFontInfo(label->font()).fixedPitch();
            }
        button = box->findChildren<QPushButton*>().value(0)->text();
        press(box, Qt::Key_Return);
    });
    runtime->message_box(1, "S = k * ln g|    g = N!/(m!(N-m)!)||  Ende", 1, " OK ");
    EXPECT_EQ(caption, "ENTROPIE");
    EXPECT_EQ(shown, "S = k * ln g\n    g = N!/(m!(N-m)!)\n\n  Ende");
    EXPECT_EQ(font_family, "Liberation Mono");
    EXPECT_TRUE(fixed_pitch);
    EXPECT_EQ(button, "OK");
}

TEST_F(WindowRuntimeTest, LongLinesAreNotCutAndTallTextsStayOnTheScreen) {
    const std::string wide_line(70, 'W');
    std::string tall_text = wide_line;
    for (int i = 0; i < 150; ++i) tall_text += "|Zeile " + std::to_string(i);

    bool horizontal_bar = true;
    int box_height = 0;
    when_box_shows([&](QWidget* box) {
        box->adjustSize();
        const auto* scroll = box->findChild<QScrollArea*>();
        horizontal_bar = scroll->widget()->width() > scroll->viewport()->width();
        box_height = box->height();
        press(box, Qt::Key_Escape);
    });
    runtime->message_box(1, tall_text, 1, " OK ");
    EXPECT_FALSE(horizontal_bar) << "a line of 70 characters fits on any screen";
    EXPECT_LE(box_height, QApplication::primaryScreen()->availableGeometry().height());
}

TEST_F(WindowRuntimeTest, ClosingTheMainWindowEndsAWaitingBox) {
    runtime->open_window();
    when_box_shows([&](QWidget*) { runtime->main_window()->windowHandle()->close(); });
    EXPECT_THROW(runtime->message_box(1, "Hilfe", 1, " OK "), rt::WindowClosed);
    EXPECT_EQ(shown_box(), nullptr) << "the box goes with the window";
}

TEST_F(WindowRuntimeTest, MainWindowTakesNoInputWhileABoxWaits) {
    runtime->open_window();
    when_box_shows([&](QWidget* box) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
        QApplication::sendEvent(view(), &key);
        QMouseEvent click(QEvent::MouseButtonPress, QPointF(5, 5), view()->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view(), &click);
        press(box, Qt::Key_Return);
    });
    runtime->message_box(1, "Hilfe", 1, " OK ");
    EXPECT_EQ(runtime->key_query(), "");
    EXPECT_EQ(runtime->mouse_state(), rt::mouse_none);

    // Afterwards the window takes input again.
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Y, Qt::NoModifier, "y");
    QApplication::sendEvent(view(), &key);
    EXPECT_EQ(runtime->key_query(), "y");
}

// --- input boxes --------------------------------------------------------------------------

TEST_F(WindowRuntimeTest, InputBoxReturnsTheConfirmedTextAndEmptyWhenCancelled) {
    QString preselected;
    when_box_shows([&](QWidget* box) {
        preselected = box->findChild<QLineEdit*>()->selectedText();
        press(box, Qt::Key_Return);
    });
    EXPECT_EQ(runtime->input_box("Anzahl der Atome", "100"), "100");
    EXPECT_EQ(preselected, "100") << "the default is selected, so typing replaces it";

    when_box_shows([](QWidget* box) {
        box->findChild<QLineEdit*>()->setText("42");
        button_named(box, "OK")->click();
    });
    EXPECT_EQ(runtime->input_box("Anzahl der Atome", "100"), "42");

    when_box_shows([](QWidget* box) { press(box, Qt::Key_Escape); });
    EXPECT_EQ(runtime->input_box("Anzahl der Atome", "100"), "");

    when_box_shows([](QWidget* box) {
        box->findChild<QLineEdit*>()->setText("42");
        button_named(box, "Abbrechen")->click();
    });
    EXPECT_EQ(runtime->input_box("Anzahl der Atome", "100"), "");
}

TEST_F(WindowRuntimeTest, InputDialogShowsItsHintAndWritesTheAnswerBack) {
    bool hint_shown = false;
    when_box_shows([&](QWidget* box) {
        for (QLabel* label : box->findChildren<QLabel*>()) hint_shown |= label->text() == "höchstens 1600";
        box->findChild<QLineEdit*>()->setText("800");
        press(box, Qt::Key_Return);
    });
    std::string text = "40";
    runtime->input_dialog("Nmax_A", "höchstens 1600", text);
    EXPECT_TRUE(hint_shown);
    EXPECT_EQ(text, "800");

    when_box_shows([](QWidget* box) { press(box, Qt::Key_Escape); });
    runtime->input_dialog("Nmax_A", "", text);
    EXPECT_EQ(text, "") << "cancelled";
}

// --- repainting, time, random, sound ---------------------------------------------------------

TEST_F(WindowRuntimeTest, DrawingFastRepaintsOnlyAFewTimes) {
    runtime->open_window();
    ASSERT_TRUE(keep_going_until([&] { runtime->process_events(); }, [&] { return runtime->paint_count() > 0; }));
    const int before = runtime->paint_count();

    // Draw as fast as possible until the throttle has repainted a few times,
    // so that the loop spans several of its ticks.
    int draws = 0;
    const bool repainted = keep_going_until(
        [&] {
            runtime->point(draws % 1024, (draws / 1024) % 768);
            ++draws;
            runtime->process_events();
        },
        [&] { return runtime->paint_count() - before >= 3; });
    EXPECT_TRUE(repainted) << "drawing must reach the window";
    EXPECT_LE(runtime->paint_count() - before, draws / 10) << draws << " draws";

    // Nothing drawn: nothing repainted.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 100) runtime->process_events();
    const int settled = runtime->paint_count();
    for (int i = 0; i < 20; ++i) runtime->key_query();
    EXPECT_EQ(runtime->paint_count(), settled);

    // After a quiet spell long enough for the repaint timer to sleep, a new
    // drawing still reaches the window.
    settle.restart();
    while (settle.elapsed() < 700) runtime->key_query();
    runtime->set_colour(0x0000FF);  // a pixel that changes
    runtime->point(5, 5);
    EXPECT_TRUE(keep_going_until([&] { runtime->key_query(); }, [&] { return runtime->paint_count() > settled; }));
}

// A scaled picture is painted in bands of rows; together they must give
// exactly the picture scaled in one piece, without a seam or a lost row.
TEST_F(WindowRuntimeTest, ScaledPictureIsTheWholePictureScaledAtOnce) {
    runtime->open_window();
    for (int i = 0; i < 768; i += 3) {
        runtime->set_colour(static_cast<rt::Colour>(0x010203 * (i % 85)));
        runtime->line(0, i, 1023, 767 - i);
    }
    runtime->main_window()->resize(1500, 1200);
    runtime->process_events();
    const QSize size = view()->size();
    ASSERT_NE(size, QSize(rt::Runtime::surface_width, rt::Runtime::surface_height)) << "the picture must be scaled";

    const QImage shown = view()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QImage expected(size, QImage::Format_RGB32);
    expected.fill(Qt::black);
    {
        QPainter painter(&expected);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QImage picture = rt::as_qimage(runtime->surface().image());
        const QSize fitted = picture.size().scaled(size, Qt::KeepAspectRatio);
        const QRect target(QPoint((size.width() - fitted.width()) / 2, (size.height() - fitted.height()) / 2), fitted);
        painter.drawImage(target, picture);
        painter.end();
        EXPECT_EQ(shown.copy(target), expected.copy(target));
    }
}

// diffundo's sorted lines depend only on m: between two repaints a line
// often leaves every pixel as the last repaint showed it, and a run of such
// steps looks like a loop that waits. The mouse polls of the running
// simulation must not sleep then, while polls with nothing drawn still do.
TEST_F(WindowRuntimeTest, PollsOfALoopThatDrawsNeverSleep) {
    runtime->open_window();
    diffundo::Diffundo program(*runtime);
    program.set_start_values();
    runtime->set_background_colour(program.background_colour);
    when_box_shows([](QWidget* box) { press(box, Qt::Key_Return); });
    program.enter_atom_count("Gesamtzahl der Atome", "4");
    program.toggle_draw_mode();
    ASSERT_EQ(program.draw_mode, 1);
    const std::uint64_t before = runtime->waits();
    for (int i = 0; i < 6000; ++i) {
        program.dice_step();
        if (i % 800 == 0) runtime->surface().image();  // a repaint at 60 frames a second
    }
    EXPECT_EQ(runtime->waits(), before);
    for (int i = 0; i < 10; ++i) runtime->key_query();
    EXPECT_GT(runtime->waits(), before);
}

TEST_F(WindowRuntimeTest, TimeGoesOnAndEachRuntimeHasItsOwnRandomSequence) {
    const double start = runtime->time();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_GT(runtime->time(), start);

    rt::WindowRuntime other;
    EXPECT_NE(runtime->random(), other.random()) << "seeded from the machine, not a fixed number";
}

TEST(SoundPlayer, MissingFileStaysSilent) {
    ensure_application();
    rt::SoundPlayer player;
    EXPECT_FALSE(player.play("/nonexistent/ding.wav"));
}

std::vector<std::string> passed_messages;

void record_message(QtMsgType, const QMessageLogContext&, const QString& message) {
    passed_messages.push_back(message.toStdString());
}

TEST(QuietMessages, DropsOnlyTheMissingSoundServerWarning) {
    const QtMessageHandler before = qInstallMessageHandler(record_message);
    quiet_harmless_messages();
    qWarning("PulseAudioService: pa_context_connect() failed");   // no sound server: dropped
    qWarning("PulseAudioService: failed to get sink info");       // a real fault: kept
    qCritical("PulseAudioService: pa_context_connect() failed");  // more than a warning: kept
    qWarning("qt.qpa.xcb: could not connect to display");         // anything else: kept
    qInstallMessageHandler(before);
    EXPECT_EQ(passed_messages, (std::vector<std::string>{"PulseAudioService: failed to get sink info",
                                                         "PulseAudioService: pa_context_connect() failed",
                                                         "qt.qpa.xcb: could not connect to display"}));
}

}  // namespace
