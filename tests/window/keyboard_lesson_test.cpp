// A whole lesson in kalorix's window with nothing but keys, as a pupil who
// cannot use a mouse (or a screen reader's user) goes through it: the title,
// the quit hint, the introduction, the proposed values, the theory, a help
// page from the menu bar, and Quit. The keys go where Qt's keyboard focus is.

#include "common/window/window_runtime.h"
#include "kalorix/core/help_pages.h"
#include "kalorix/kalorix.h"
#include "window_waits.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

namespace {

void ensure_application() {
    static int argc = 1;
    static char name[] = "keyboard_lesson_test";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);
    (void)application;
}

// Where a person's key goes: into the open menu, else to the focused widget
// of the box or the window (offscreen, the box may not be active yet).
QWidget* key_target(QWidget* window) {
    if (QWidget* popup = QApplication::activePopupWidget()) return popup;
    QWidget* top = test_support::shown_box();
    if (top == nullptr) top = window;
    return top->focusWidget() != nullptr ? top->focusWidget() : top;
}

QString box_text(QDialog* box) {
    QString text;
    for (const QLabel* label : box->findChildren<QLabel*>()) text += label->text() + QLatin1Char('\n');
    return text;
}

// One step of the lesson: once a box (or, with no box, the picture and the
// status line) shows `seen`, the keys are typed.
struct Step {
    bool in_box;
    QString seen;
    std::vector<QKeyCombination> keys;
};

TEST(KeyboardLesson, KalorixGoesFromTheTitleThroughTheTheoryAndAHelpPageToQuit) {
    ensure_application();
    rt::WindowRuntime runtime;
    QAccessible::setActive(true);  // a screen reader's user: the picture's text is kept
    const auto program = kalorix::make_program(runtime);
    QMainWindow* window = runtime.main_window();

    const QKeyCombination enter(Qt::Key_Return);
    std::vector<Step> steps = {{false, "Weiter ?", {enter}}, {true, "Beenden nur mit QUIT!", {enter}}};
    for (int page = 0; page < static_cast<int>(kalorix::help_info_pages().size()); ++page)
        steps.push_back({true, "", {enter}});
    for (const char* prompt : {"Nmax_A", "Nmax_B", "Gesamtzahl", "N_A", "Entropieskala", "Anregungsenergie"})
        steps.push_back({true, prompt, {enter}});
    const QString summary = "Also Übergang von 113 höherenergetischen Teilchen aus 150 von Raum A in Raum B.";
    const QString help = QString::fromUtf8(kalorix::help_info_pages().front().title).trimmed();
    steps.insert(steps.end(), {
                                  // The question's default is the experiment; Tab moves on to the theory.
                                  {true, "Was haben Sie vor?", {QKeyCombination(Qt::Key_Tab), enter}},
                                  {false, summary, {enter}},
                                  // HILFE by Alt and its initial, "Info" its first entry.
                                  {false, "Weiter ?", {QKeyCombination(Qt::AltModifier, Qt::Key_H), enter}},
                                  {false, "Gewählt: Info - wird nach <RETURN> ausgeführt", {enter}},
                                  {true, help, {enter}},
                              });
    for (std::size_t page = 1; page < kalorix::help_info_pages().size(); ++page) steps.push_back({true, "", {enter}});
    steps.insert(steps.end(),
                 {
                     {false, "Weiter ?", {QKeyCombination(Qt::AltModifier, Qt::Key_D), QKeyCombination(Qt::Key_Q)}},
                     {false, "Gewählt: Quit - wird nach <RETURN> ausgeführt", {enter}},
                 });

    std::size_t done = 0;
    QPointer<QDialog> answered;
    QString last_seen;
    QTimer driver;
    driver.setInterval(20);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        if (done == steps.size()) return;
        const Step& step = steps[done];
        QDialog* box = test_support::shown_box();
        if (box != nullptr && box == answered) return;  // the box just answered is still closing
        if (step.in_box != (box != nullptr)) return;
        last_seen =
            box != nullptr ? box_text(box) : QString::fromStdString(runtime.screen_description() + runtime.status());
        if (!last_seen.contains(step.seen)) return;
        answered = box;
        ++done;
        for (const QKeyCombination keys : step.keys) {
            QTest::keyClick(key_target(window), keys.key(), keys.keyboardModifiers());
            QApplication::processEvents();  // a menu opened by one key takes the next
        }
    });
    driver.start();
    // A lesson that gets stuck ends by a close after a while, and the test says where.
    QTimer::singleShot(60000, window, [window] { window->close(); });

    program->run();  // a close ends it too
    EXPECT_EQ(done, steps.size()) << "the program ended waiting for \""
                                  << (done < steps.size() ? steps[done].seen.toStdString() : "") << "\"; shown was:\n"
                                  << last_seen.toStdString();
    runtime.end();
    QAccessible::setActive(false);
}

}  // namespace
