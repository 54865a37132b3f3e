// Draws the icons of both programs for the hicolor icon theme:
//   make_icons OUTDIR SIZE...
// writes OUTDIR/SIZExSIZE/apps/kalorix.png and diffundo.png for each size.
// Both sit on the programs' window blue. kalorix: two rooms of two-level
// atoms, the excited ones yellow, most of them still in room A. diffundo:
// two boxes of gas atoms, the one that just moved red, and below them the
// bell of the numbers of realisations g(N, m). Small sizes draw fewer and
// larger atoms and leave the bell out, so the icon stays legible at 16 pixels.

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <set>

namespace {

constexpr double design = 256;  // the icons are drawn on a 256 x 256 grid
const QColor window_blue(51, 168, 238);
const QColor deep_blue(24, 110, 176);
const QColor wall(Qt::white);
const QColor excited_yellow(255, 224, 0);
const QColor yellow_rim(150, 110, 0);
const QColor moved_red(220, 30, 30);

bool small(int size) { return size <= 32; }

void background(QPainter& painter) {
    painter.setPen(QPen(deep_blue, 6));
    painter.setBrush(window_blue);
    painter.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);
}

void box(QPainter& painter, const QRectF& r) {
    painter.setPen(QPen(wall, 8, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(r);
}

void atom(QPainter& painter, QPointF centre, double radius, const QColor& fill, const QColor& rim) {
    painter.setPen(rim.isValid() ? QPen(rim, 2.5) : QPen(Qt::NoPen));
    painter.setBrush(fill);
    painter.drawEllipse(centre, radius, radius);
}

// Atoms on a grid of columns x rows inside the room; `marked` holds the
// cells (counted row by row) drawn with `mark`, the rest with `plain`.
void atoms(const QRectF& room, int columns, int rows, const std::set<int>& marked,
           const std::function<void(QPointF, bool)>& draw) {
    const double dx = room.width() / columns;
    const double dy = room.height() / rows;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            draw(QPointF(room.left() + (c + 0.5) * dx, room.top() + (r + 0.5) * dy), marked.count(r * columns + c) > 0);
}

void kalorix_icon(QPainter& painter, int size) {
    background(painter);
    const QRectF room_a(36, 52, 88, 152);
    const QRectF room_b(132, 52, 88, 152);
    box(painter, room_a);
    box(painter, room_b);
    const bool few = small(size);
    const double excited_radius = few ? 17 : 11;
    const double ground_radius = few ? 11 : 7;
    auto draw = [&](QPointF centre, bool excited) {
        if (excited)
            atom(painter, centre, excited_radius, excited_yellow, few ? QColor() : yellow_rim);
        else
            atom(painter, centre, ground_radius, wall, QColor());
    };
    if (few) {
        atoms(room_a, 1, 2, {0, 1}, draw);
        atoms(room_b, 1, 2, {1}, draw);
    } else {
        atoms(room_a, 3, 4, {0, 1, 2, 3, 5, 6, 8, 10, 11}, draw);
        atoms(room_b, 3, 4, {4, 9}, draw);
    }
}

void diffundo_icon(QPainter& painter, int size) {
    background(painter);
    const bool few = small(size);
    const double bottom = few ? 204 : 140;
    const QRectF box_1(36, few ? 52 : 40, 88, bottom - (few ? 52 : 40));
    const QRectF box_2(132, box_1.top(), 88, box_1.height());
    box(painter, box_1);
    box(painter, box_2);
    const double radius = few ? 15 : 9;
    auto draw = [&](QPointF centre, bool present) {
        if (present) atom(painter, centre, radius, Qt::black, QColor());
    };
    if (few) {
        atoms(box_1, 1, 2, {0, 1}, draw);
        atoms(box_2, 1, 2, {1}, draw);
    } else {
        atoms(box_1, 3, 3, {0, 1, 2, 3, 5, 6, 7, 8}, draw);
        atoms(box_2, 3, 3, {1, 6, 8}, draw);
    }
    // The atom that just changed box, in the opening of the common wall.
    atom(painter, QPointF(128, box_1.center().y()), radius + 2, moved_red, QColor());
    if (few) return;

    // g(8, m) for m = 0 .. 8, scaled to the tallest bar.
    const int g[] = {1, 8, 28, 56, 70, 56, 28, 8, 1};
    painter.setPen(Qt::NoPen);
    painter.setBrush(wall);
    for (int m = 0; m < 9; ++m) {
        const double height = std::max(4.0, 56.0 * g[m] / 70);
        painter.drawRect(QRectF(38 + 20 * m, 216 - height, 14, height));
    }
}

bool write_icon(const QString& directory, int size, const char* name, void (*draw)(QPainter&, int)) {
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / design, size / design);
    draw(painter, size);
    painter.end();
    const QString apps = QStringLiteral("%1/%2x%2/apps").arg(directory).arg(size);
    return QDir().mkpath(apps) && icon.save(apps + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUTDIR SIZE...\n", argv[0]);
        return 2;
    }
    const QString directory = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size < 16 || size > 1024) {
            std::fprintf(stderr, "%s: size %s is not between 16 and 1024\n", argv[0], argv[i]);
            return 2;
        }
        if (!write_icon(directory, size, "kalorix", kalorix_icon) ||
            !write_icon(directory, size, "diffundo", diffundo_icon)) {
            std::fprintf(stderr, "%s: cannot write the icons of size %d into %s\n", argv[0], size, argv[1]);
            return 1;
        }
    }
    return 0;
}
