#pragma once
// Waiting in the window tests: the runtime runs in the test's own thread, so
// a test goes on stepping it until what it waits for holds, and answers a
// modal box from a timer that finds it once it is shown.

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>

namespace test_support {

// Runs `step` until `done` holds; false when it never did within five seconds.
inline bool keep_going_until(const std::function<void()>& step, const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > 5000) return false;
        step();
    }
    return true;
}

inline QDialog* shown_box() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QDialog*>(widget); box != nullptr && box->isVisible()) return box;
    return nullptr;
}

// Acts on the next box as soon as it is shown.
inline void when_box_shows(std::function<void(QDialog*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QDialog* box = shown_box();
        if (box == nullptr) return;
        timer->stop();
        timer->deleteLater();
        act(box);
    });
    timer->start();
}

}  // namespace test_support
