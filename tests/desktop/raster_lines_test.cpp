// raster_lines.h against Qt's raster painter, pixel for pixel: each shape is
// drawn by QPainter exactly as Surface::line and Surface::rectangle call it
// today and by the Qt-free functions into a copy of the same image; the two
// must agree everywhere the painter could have drawn (the shape's box grown
// by the pen width, which also holds everything the functions may write),
// and the reported change and area must be true of the pixels (a shape drawn
// again over itself changes nothing).
#include "common/runtime/raster_lines.h"

#include <QImage>
#include <QPainter>
#include <QPen>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace rl = rt::raster_lines;

constexpr QRgb paper = 0xFF203040;
constexpr QRgb ink = 0xFFFFFFFF;

struct Shape {
    bool box = false;  // a box outline from (x1, y1) to (x2, y2), else a line
    int x1, y1, x2, y2, width;
    std::string text() const {
        std::ostringstream s;
        s << (box ? "box " : "line ") << x1 << "," << y1 << " -> " << x2 << "," << y2 << " width " << width;
        return s.str();
    }
};

// As Surface::line and Surface::rectangle draw with the painter.
void paint_with_qt(QImage& image, const Shape& s) {
    QPainter painter(&image);
    QPen pen{QColor::fromRgb(ink)};
    pen.setWidth(s.width);
    if (s.box) {
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(s.x1, s.y1, s.x2 - s.x1, s.y2 - s.y1));
    } else {
        pen.setCapStyle(s.width <= 1 ? Qt::SquareCap : Qt::FlatCap);
        painter.setPen(pen);
        painter.drawLine(QPoint(s.x1, s.y1), QPoint(s.x2, s.y2));
    }
}

rl::Drawn paint_without_qt(QImage& image, const Shape& s) {
    const rt::PixelRows pixels{reinterpret_cast<rt::Rgb*>(image.bits()), image.bytesPerLine() / 4, image.width(),
                               image.height()};
    return s.box ? rl::box_outline(pixels, s.x1, s.y1, s.x2, s.y2, s.width, ink)
                 : rl::line(pixels, s.x1, s.y1, s.x2, s.y2, s.width, ink);
}

// Two images of one size, compared and restored shape by shape.
class Bench {
public:
    Bench(int width, int height)
        : qt_(width, height, QImage::Format_RGB32), ours_(width, height, QImage::Format_RGB32) {
        qt_.fill(paper);
        ours_.fill(paper);
    }

    // Empty when both agree, else what differs.
    std::string differences(const Shape& s) {
        // Where the painter may draw: the shape's box and the pen around it,
        // with the miter limit's spikes where a box outline turns back.
        const long long margin = 3LL * s.width + 2;
        const auto clamp = [](long long v, int hi) { return static_cast<int>(std::clamp<long long>(v, 0, hi)); };
        const int x0 = clamp(std::min<long long>(s.x1, s.x2) - margin, qt_.width());
        const int x1 = clamp(std::max<long long>(s.x1, s.x2) + margin + 1, qt_.width());
        const int y0 = clamp(std::min<long long>(s.y1, s.y2) - margin, qt_.height());
        const int y1 = clamp(std::max<long long>(s.y1, s.y2) + margin + 1, qt_.height());

        paint_with_qt(qt_, s);
        const rl::Drawn drawn = paint_without_qt(ours_, s);

        std::ostringstream out;
        int wrong = 0;
        bool any_ink = false;
        for (int y = y0; y < y1; ++y) {
            const QRgb* q = reinterpret_cast<const QRgb*>(qt_.constScanLine(y));
            const QRgb* o = reinterpret_cast<const QRgb*>(ours_.constScanLine(y));
            for (int x = x0; x < x1; ++x) {
                if (o[x] != paper) {
                    any_ink = true;
                    if (x < drawn.area.x0 || x >= drawn.area.x1 || y < drawn.area.y0 || y >= drawn.area.y1)
                        out << " written outside the area at " << x << "," << y << ";";
                }
                if (q[x] != o[x] && ++wrong <= 6)
                    out << " at " << x << "," << y << (q[x] == ink ? " Qt draws" : " only ours draws") << ";";
            }
        }
        if (wrong > 6) out << " ... " << wrong << " pixels in all;";
        if (drawn.changed != any_ink) out << " changed is " << drawn.changed << ";";
        // Drawn again over itself, nothing changes.
        if (paint_without_qt(ours_, s).changed) out << " changed again;";
        const rl::Box& a = drawn.area;
        if (!a.empty() && (a.x0 < x0 || a.y0 < y0 || a.x1 > x1 || a.y1 > y1)) out << " area beyond the pen;";
        // Back to paper for the next shape.
        for (int y = y0; y < y1; ++y) {
            std::fill_n(reinterpret_cast<QRgb*>(qt_.scanLine(y)) + x0, x1 - x0, paper);
            std::fill_n(reinterpret_cast<QRgb*>(ours_.scanLine(y)) + x0, x1 - x0, paper);
        }
        return out.str();
    }

    // Counts the shapes that differ, reporting the first few.
    int check_all(const std::vector<Shape>& shapes) {
        int failures = 0;
        for (const Shape& s : shapes) {
            const std::string d = differences(s);
            if (d.empty()) continue;
            if (++failures <= 10) ADD_FAILURE() << s.text() << " on " << qt_.width() << "x" << qt_.height() << ":" << d;
        }
        return failures;
    }

private:
    QImage qt_, ours_;
};

struct Surface {
    const char* name;
    int width, height;
};
constexpr Surface surfaces[] = {{"small", 37, 23}, {"screen", 1024, 768}};

// The surface's rounding of a real to a pixel: halves to even.
int pixel(double v) { return static_cast<int>(std::nearbyint(v)); }

// ---- The families the programs draw (1024 x 768) --------------------------------

// diffundo: scale_y(k) = k * 768 / 200; a value row is scale_y(k) + 0.5,
// rounded; bars every 8 pixels at 8 split + 8 + (1024 - 8 N) / 2.
int scale_y(int k) { return static_cast<int>(static_cast<long>(k) * 768 / 200); }
int value_row(int k) { return pixel(scale_y(k) + 0.5); }

// A vertical line's pixels move with its column (all its arithmetic is exact
// for whole numbers in the image): the first, the last and some between of
// the columns the bars stand in stand for all.
std::vector<int> bar_columns() {
    std::vector<int> xs;
    for (int n = 1; n <= 101; ++n)
        for (int split = 1; split <= n; ++split) xs.push_back(8 * split + 8 + (1024 - 8 * n) / 2);
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    std::vector<int> some;
    for (std::size_t i = 0; i < xs.size(); i += xs.size() / 7) some.push_back(xs[i]);
    some.push_back(xs.back());
    return some;
}

TEST(RasterLines, DiffundoUpperBars) {
    // Width 5 from the upper diagram's base up (or down) to any value row.
    std::vector<Shape> shapes;
    for (const int x : bar_columns())
        for (int k = -80; k <= 200; ++k) shapes.push_back({false, x, scale_y(60), x, value_row(k), 5});
    Bench bench(1024, 768);
    EXPECT_EQ(bench.check_all(shapes), 0) << shapes.size() << " bars";
}

TEST(RasterLines, DiffundoLowerBars) {
    // Width 5 from the lower base to any height, off the top included.
    std::vector<Shape> shapes;
    for (const int x : bar_columns())
        for (int y = -910; y <= 640; y += 1) shapes.push_back({false, x, scale_y(165), x, y, 5});
    Bench bench(1024, 768);
    EXPECT_EQ(bench.check_all(shapes), 0) << shapes.size() << " bars";
}

TEST(RasterLines, DiffundoFrequencyCurve) {
    // Width 3 from one bar's value row to a later bar's (a run of splits
    // without counts is bridged), zero length at a curve's start.
    std::vector<Shape> shapes;
    for (const int dx : {0, 8, 16, 24, 40, 80, 400, 800})
        for (int k1 = -80; k1 <= 200; k1 += (dx <= 40 ? 1 : 5))
            for (int k2 = -80; k2 <= 200; k2 += (dx <= 8 ? 1 : dx <= 40 ? 4 : 10)) {
                const int x = 20 + (k1 % 2) * 4;
                shapes.push_back({false, x, value_row(k1), x + dx, value_row(k2), 3});
            }
    Bench bench(1024, 768);
    EXPECT_EQ(bench.check_all(shapes), 0) << shapes.size() << " segments";
}

TEST(RasterLines, KalorixThinLinesAndFrames) {
    // Ticks and maximum marks (vertical, zero length when the height rounds
    // to 0), the bottom line, the frames and the atom picture's squares.
    std::vector<Shape> shapes;
    for (int x = 0; x < 1024; x += 7)
        for (const int h : {0, 1, 2, 150, 440}) shapes.push_back({false, x, 480, x, 480 - h, 1});
    shapes.push_back({false, 10, 580, 1010, 580, 1});
    shapes.push_back({true, 10, 10, 1010, 580, 1});
    for (int side = 1; side <= 200; side += 3) shapes.push_back({true, 699, 99, 700 + side, 100 + side, 1});
    for (int x = -3; x <= 3; ++x)
        for (int y = -3; y <= 3; ++y)
            for (int w = 1; w <= 4; ++w) shapes.push_back({true, x, y, x + w, y + w + 1, 1});
    Bench bench(1024, 768);
    EXPECT_EQ(bench.check_all(shapes), 0) << shapes.size() << " shapes";
}

TEST(RasterLines, ThinCurvesOfSegments) {
    // Curves as chains of short thin segments between points rounded as the
    // surface rounds them: the entropy of a room over the transferred atoms
    // (an arch, ln of a binomial scaled to the graph) and a temperature
    // falling steeply, at many step widths, drawn left to right and back.
    std::vector<Shape> shapes;
    for (const double step : {1.0, 1.5, 2.0, 3.3, 5.0, 8.0, 13.7, 25.0, 50.0})
        for (const double height : {40.0, 200.0, 440.0}) {
            std::vector<std::pair<int, int>> points;
            for (double x = 10; x <= 1010; x += step) {
                const double t = (x - 10) / 1000;
                const double arch = std::log(1 + 1e4 * t * (1 - t)) / std::log(2501.0);
                points.emplace_back(pixel(x), pixel(480 - height * arch));
                points.emplace_back(pixel(x), pixel(480 - height / (0.02 + t)));
            }
            for (std::size_t i = 2; i < points.size(); ++i) {
                const auto [x1, y1] = points[i - 2];
                const auto [x2, y2] = points[i];
                shapes.push_back({false, x1, y1, x2, y2, 1});
                shapes.push_back({false, x2, y2, x1, y1, 1});
            }
        }
    Bench bench(1024, 768);
    EXPECT_EQ(bench.check_all(shapes), 0) << shapes.size() << " segments";
}

TEST(RasterLines, LengthIsTheCLibrarysHypot) {
    // Qt takes a wide line's length from std::hypot; line_length must give
    // the same for every whole-number direction the programs can draw.
    int differing = 0;
    for (int dx = 0; dx <= 1100; ++dx)
        for (int dy = 0; dy <= 1100; ++dy) differing += rl::line_length(dx, dy) != std::hypot(double(dx), double(dy));
    std::mt19937 random(4);
    std::uniform_int_distribution<int> far(-(1 << 25), 1 << 25);
    for (int i = 0; i < 200000; ++i) {
        const double dx = far(random) >> (i % 25), dy = far(random);
        differing += rl::line_length(dx, dy) != std::hypot(dx, dy);
    }
    EXPECT_EQ(differing, 0);
}

TEST(RasterLines, AtTheSurfacesReach) {
    // The surface saturates coordinates at +-2^24: lines and boxes from
    // there across, along and around the image.
    constexpr int far = 1 << 24;
    std::vector<Shape> shapes;
    for (int w = 1; w <= 6; ++w) {
        for (const int edge : {-far, -1000, -3, 0, 5, 40, 1030, far}) {
            shapes.push_back({true, -far, -far, far, far, w});
            shapes.push_back({true, -far, edge, far, far, w});
            shapes.push_back({true, edge, -far, far, edge + 20, w});
            shapes.push_back({true, -far, 3, edge, 30, w});
            shapes.push_back({false, -far, edge, far, edge, w});
            shapes.push_back({false, edge, -far, edge, far, w});
            shapes.push_back({false, -far, -far, far, far - edge, w});
            shapes.push_back({false, -far, 300, far, 300 + edge, w});
            shapes.push_back({false, 500, -far, 500 + edge, far, w});
            shapes.push_back({false, far, far, edge, 7, w});
        }
    }
    for (const Surface& s : surfaces) {
        Bench bench(s.width, s.height);
        EXPECT_EQ(bench.check_all(shapes), 0) << s.name;
    }
}

// ---- Random shapes ----------------------------------------------------------------

// Segments of every direction and length 0..1000 from points in and around
// the image, some far off.
std::vector<Shape> random_lines(std::mt19937& random, int count, int width, int height, int max_pen) {
    std::uniform_int_distribution<int> px(-width / 2 - 10, width + width / 2 + 10),
        py(-height / 2 - 10, height + height / 2 + 10);
    std::uniform_real_distribution<double> angle(0, 2 * M_PI);
    std::uniform_int_distribution<int> length(0, 1000), pen(1, max_pen), kind(0, 9);
    std::vector<Shape> shapes;
    for (int i = 0; i < count; ++i) {
        const int x = px(random), y = py(random);
        const double a = angle(random);
        int l = length(random);
        if (kind(random) < 3) l %= 12;  // short ones, near the rounding
        Shape s{false,
                x,
                y,
                x + static_cast<int>(std::lround(l * std::cos(a))),
                y + static_cast<int>(std::lround(l * std::sin(a))),
                pen(random)};
        if (kind(random) == 0) {
            // Axis-parallel and diagonal.
            const int d = l * ((kind(random) % 2) ? 1 : -1);
            switch (kind(random) % 3) {
            case 0: s.x2 = x + d, s.y2 = y; break;
            case 1: s.x2 = x, s.y2 = y + d; break;
            default: s.x2 = x + d, s.y2 = y + d; break;
            }
        }
        if (kind(random) == 0) s.x1 = (kind(random) % 2 ? 1 : -1) * (1 << 24);  // the surface's reach
        shapes.push_back(s);
    }
    return shapes;
}

std::vector<Shape> random_boxes(std::mt19937& random, int count, int width, int height, int max_pen) {
    std::uniform_int_distribution<int> px(-20, width + 20), py(-20, height + 20), size(0, 40), pen(1, max_pen);
    std::vector<Shape> shapes;
    for (int i = 0; i < count; ++i) {
        const int x = px(random), y = py(random);
        shapes.push_back({true, x, y, x + size(random), y + size(random), pen(random)});
    }
    return shapes;
}

TEST(RasterLines, RandomThinLines) {
    std::mt19937 random(1);
    for (const Surface& s : surfaces) {
        Bench bench(s.width, s.height);
        const auto shapes = random_lines(random, 20000, s.width, s.height, 1);
        EXPECT_EQ(bench.check_all(shapes), 0) << s.name;
    }
}

TEST(RasterLines, RandomWideLines) {
    std::mt19937 random(2);
    for (const Surface& s : surfaces) {
        Bench bench(s.width, s.height);
        auto shapes = random_lines(random, 20000, s.width, s.height, 6);
        for (Shape& shape : shapes) shape.width = std::max(shape.width, 2);
        EXPECT_EQ(bench.check_all(shapes), 0) << s.name;
    }
}

TEST(RasterLines, RandomBoxes) {
    std::mt19937 random(3);
    for (const Surface& s : surfaces) {
        Bench bench(s.width, s.height);
        const auto shapes = random_boxes(random, 20000, s.width, s.height, 6);
        EXPECT_EQ(bench.check_all(shapes), 0) << s.name;
    }
}

}  // namespace
