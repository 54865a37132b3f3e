#pragma once
// While a box waits, the main window takes no input (keys, clicks) but in
// its menu bar, whose menus then offer only the picture's services (the
// window runtime disables the rest); a click elsewhere on it brings the box
// to the front. Its close request passes, so that closing the main window
// ends the program even under a box.

#include <QObject>

class QWidget;

namespace rt {

class InputBlocker : public QObject {
public:
    InputBlocker(QWidget* blocked, QWidget* box, QWidget* open);
    ~InputBlocker() override;
    InputBlocker(const InputBlocker&) = delete;
    InputBlocker& operator=(const InputBlocker&) = delete;

protected:
    bool eventFilter(QObject* target, QEvent* event) override;

private:
    QWidget* blocked_;
    QWidget* box_;
    QWidget* open_;  // inside `blocked`, takes input all the same
};

}  // namespace rt
