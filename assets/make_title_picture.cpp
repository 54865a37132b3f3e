// Draws the title picture of both programs and saves it as JPEG to argv[1].
// The headline and the author block are written over it in blue or black, so
// it stays pale everywhere: a soft gradient with two rooms of atoms, a few of
// them excited (warm), joined by an opening in the wall between them.

#include <QCoreApplication>
#include <QImage>
#include <QImageWriter>
#include <QLineF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int picture_width = 492;  // the title panel on a 1024 x 768 surface
constexpr int picture_height = 706;

// Fixed seed: the picture is the same on every build.
class Dice {
public:
    double uniform() { return static_cast<double>(engine_()) / 4294967296.0; }

private:
    std::mt19937 engine_{20260207u};
};

void soft_atom(QPainter& painter, QPointF centre, double radius, QColor core) {
    QRadialGradient glow(centre, radius);
    glow.setColorAt(0.0, core);
    QColor edge = core;
    edge.setAlpha(0);
    glow.setColorAt(1.0, edge);
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(centre, radius, radius);
}

// Atoms apart from each other, as in a dilute model: overlapping glows
// would make dark smudges.
void fill_room(QPainter& painter, Dice& dice, const QRectF& room, int atoms, int excited) {
    const QColor ground(150, 185, 225, 120);
    const QColor warm(240, 170, 120, 140);
    constexpr double spacing = 30;
    std::vector<QPointF> placed;
    for (int i = 0; i < atoms; ++i) {
        QPointF centre;
        for (int attempt = 0; attempt < 100; ++attempt) {
            centre = QPointF(room.left() + 18 + dice.uniform() * (room.width() - 36),
                             room.top() + 18 + dice.uniform() * (room.height() - 36));
            const bool apart = std::all_of(placed.begin(), placed.end(), [&](const QPointF& other) {
                return QLineF(centre, other).length() >= spacing;
            });
            if (apart) break;
        }
        placed.push_back(centre);
        soft_atom(painter, centre, 10 + 3 * dice.uniform(), i < excited ? warm : ground);
    }
}

QImage title_picture() {
    QImage picture(picture_width, picture_height, QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, picture_width * 0.3, picture_height);
    sky.setColorAt(0.0, QColor(253, 251, 243));
    sky.setColorAt(0.55, QColor(244, 247, 250));
    sky.setColorAt(1.0, QColor(228, 238, 250));
    painter.fillRect(picture.rect(), sky);

    const QRectF room_a(34, 48, 200, 610);
    const QRectF room_b(258, 48, 200, 610);
    Dice dice;
    fill_room(painter, dice, room_a, 46, 18);
    fill_room(painter, dice, room_b, 40, 4);

    // The walls: an outline around each room with a gap in the common wall
    // through which energy (or a gas atom) passes.
    QPen wall(QColor(190, 205, 225), 4);
    wall.setCapStyle(Qt::RoundCap);
    painter.setPen(wall);
    painter.setBrush(Qt::NoBrush);
    const double gap_top = 318;
    const double gap_bottom = 388;
    for (const QRectF& room : {room_a, room_b}) {
        const bool left = room.left() < picture_width / 2;
        const double inner = left ? room.right() : room.left();
        const double outer = left ? room.left() : room.right();
        QPainterPath path;
        path.moveTo(inner, gap_top);
        path.lineTo(inner, room.top());
        path.lineTo(outer, room.top());
        path.lineTo(outer, room.bottom());
        path.lineTo(inner, room.bottom());
        path.lineTo(inner, gap_bottom);
        painter.drawPath(path);
    }
    QPen channel(QColor(205, 215, 232), 3);
    painter.setPen(channel);
    painter.drawLine(QPointF(room_a.right(), gap_top), QPointF(room_b.left(), gap_top));
    painter.drawLine(QPointF(room_a.right(), gap_bottom), QPointF(room_b.left(), gap_bottom));
    soft_atom(painter, QPointF((room_a.right() + room_b.left()) / 2, (gap_top + gap_bottom) / 2), 11,
              QColor(240, 170, 120, 150));
    painter.end();
    return picture;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);  // finds the JPEG plugin
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s picture.jpg\n", argv[0]);
        return 2;
    }
    QImageWriter writer(QString::fromLocal8Bit(argv[1]), "jpeg");
    writer.setQuality(92);
    if (!writer.write(title_picture())) {
        std::fprintf(stderr, "%s: cannot write %s: %s\n", argv[0], argv[1], qPrintable(writer.errorString()));
        return 1;
    }
    return 0;
}
