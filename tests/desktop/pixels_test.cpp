// Boxes, one-pixel outlines and straight one-pixel lines are written into
// the image directly; they must give exactly the pixels of Qt's painter.
#include "common/desktop_output/qt_pixels.h"
#include "common/runtime/surface.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

constexpr rt::Colour ink = 0x00FFFF, paper = 0xFF0000, background = 0xEEA833;

// The painter calls the surface made for every shape before.
void painted_rectangle(QImage& image, QRect r, bool filled) {
    QPainter painter(&image);
    if (filled && r.width() > 2 && r.height() > 2) painter.fillRect(r.adjusted(1, 1, -1, -1), rt::to_qcolor(paper));
    QPen pen(rt::to_qcolor(ink));
    pen.setWidth(1);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(r.left(), r.top(), r.width() - 1, r.height() - 1));
}

void painted_line(QImage& image, QPoint from, QPoint to) {
    QPainter painter(&image);
    QPen pen(rt::to_qcolor(ink));
    pen.setWidth(1);
    pen.setCapStyle(Qt::SquareCap);
    painter.setPen(pen);
    painter.drawLine(from, to);
}

TEST(DirectPixels, ShapesMatchQtsPainterAlsoAtTheEdges) {
    std::mt19937 random(7);
    const auto pick = [&random](int from, int to) { return from + static_cast<int>(random() % (to - from + 1)); };
    rt::Surface surface(64, 48);
    surface.set_background_colour(background);
    surface.set_colour(ink);
    surface.set_second_colour(paper);
    for (int i = 0; i < 3000; ++i) {
        surface.clear();
        QImage expected = rt::as_qimage(surface.image()).copy();
        const int x = pick(-12, 70), y = pick(-12, 54);
        const int w = pick(1, i % 3 == 0 ? 4 : 40), h = pick(1, i % 3 == 0 ? 4 : 40);
        switch (i % 4) {
        case 0:
        case 1: {
            const bool filled = i % 4 == 1;
            surface.set_fill_style(filled ? rt::fill_solid : rt::fill_hollow);
            surface.rectangle(x, y, x + w - 1, y + h - 1);
            painted_rectangle(expected, QRect(x, y, w, h), filled);
            break;
        }
        case 2: {
            surface.filled_box(x + w - 1, y + h - 1, x, y);  // corners either way round
            QPainter(&expected).fillRect(QRect(x, y, w, h), rt::to_qcolor(ink));
            break;
        }
        case 3: {
            const bool across = i % 8 == 3;
            const QPoint from(x, y), to(across ? x + w - h : x, across ? y : y + h - w);
            surface.line(from.x(), from.y(), to.x(), to.y());
            painted_line(expected, from, to);
            break;
        }
        }
        ASSERT_EQ(rt::as_qimage(surface.image()), expected)
            << "shape " << i << " at " << x << "," << y << " size " << w << "x" << h;
    }
}

TEST(DirectPixels, HalfPixelCoordinatesRoundToEven) {
    rt::Surface surface(64, 48);
    rt::Colour colour = 1;
    for (const double half : {0.5, 1.5, 2.5, 3.5, -0.5, 10.5, 47.5, 46.5000001, 2.4999999}) {
        surface.set_colour(++colour);  // every box changes its pixel
        surface.take_changed_area();
        surface.filled_box(half, 3, half, 3);
        const rt::Rect expected{static_cast<int>(std::nearbyint(half)), 3, 1, 1};
        EXPECT_EQ(surface.take_changed_area(), expected.intersected({0, 0, 64, 48})) << half;
    }
}

// Pixels are written straight into the image: a copy taken earlier (a
// snapshot, the final screen) must keep what it showed.
TEST(DirectPixels, ACopyOfTheImageKeepsItsPixels) {
    rt::Surface surface(64, 48);
    surface.set_colour(0x0000FF);
    surface.filled_box(1, 1, 10, 10);
    const rt::Image before = surface.image().copy();
    surface.rectangle(20, 20, 21, 21);
    surface.filled_box(5, 5, 30, 30);
    surface.line(0, 40, 60, 40);
    EXPECT_EQ(before.pixel(20, 20), rt::to_rgb(0xFFFFFF));
    EXPECT_EQ(before.pixel(5, 5), rt::to_rgb(0x0000FF));
    EXPECT_EQ(surface.image().pixel(25, 25), rt::to_rgb(0x0000FF));
    EXPECT_EQ(surface.image().pixel(30, 40), rt::to_rgb(0x0000FF));
}

TEST(DirectPixels, RedrawingWhatIsThereChangesNothing) {
    rt::Surface surface(1024, 768);
    surface.set_background_colour(background);
    surface.clear();
    surface.set_colour(0xFFFFFF);
    surface.line(10, 580, 1010, 580);
    surface.rectangle(478, 15, 519, 56);
    surface.take_changed_area();
    const auto changes = surface.change_count();
    surface.line(10, 580, 1010, 580);
    surface.rectangle(478, 15, 519, 56);
    EXPECT_EQ(surface.change_count(), changes);
    EXPECT_TRUE(surface.take_changed_area().empty());
    // A box given from its far corner is the same box.
    surface.filled_box(60, 60, 50, 50);
    EXPECT_EQ(surface.take_changed_area(), (rt::Rect{50, 50, 11, 11}));
    EXPECT_GT(surface.change_count(), changes);
}

}  // namespace
