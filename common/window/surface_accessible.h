#pragma once
// The picture as a screen reader meets it. Everything the programs say is
// drawn into one picture; here it becomes text: the description is what the
// screen shows (the sentences on the pictures, then the lines of text), and
// the name is the newest announcement, since a screen reader says a changed
// name of the focused widget at once.

#include <QAccessibleWidget>

#include <functional>

namespace rt {

class SurfaceView;

class SurfaceAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    SurfaceAccessible(SurfaceView* view, std::function<QString()> describe);

    // Lets every SurfaceView answer through this class; once per process.
    static void install();

    QString text(QAccessible::Text t) const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // The text interface: the description, read only, without selections.
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override;
    int characterCount() const override;
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* start, int* end) const override;

private:
    std::function<QString()> describe_;
};

}  // namespace rt
