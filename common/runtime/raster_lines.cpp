#include "common/runtime/raster_lines.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <utility>

// Every double operation below is meant one at a time, in this order: Qt's
// rounding decides which pixel centres count. The file is compiled without
// contracting a * b + c into one fused operation (CMakeLists.txt).

namespace rt::raster_lines {
namespace {

// The pixels written so far: whether one changed, the rows and columns reached.
class Writer {
public:
    Writer(const PixelRows& image, std::uint32_t colour) : image_(image), colour_(colour) {}

    // Columns [x0, x1) of row y, all inside the image.
    void run(int y, int x0, int x1) {
        std::uint32_t* p = image_.bits + y * image_.stride + x0;
        std::uint32_t* const end = p + (x1 - x0);
        for (; p != end; ++p) {
            changed_ |= *p != colour_;
            *p = colour_;
        }
        reach(x0, y, x1, y + 1);
    }

    // One pixel, if inside the image.
    void dot(int x, int y) {
        if (static_cast<unsigned>(x) >= static_cast<unsigned>(image_.width) ||
            static_cast<unsigned>(y) >= static_cast<unsigned>(image_.height))
            return;
        std::uint32_t& p = image_.bits[y * image_.stride + x];
        changed_ |= p != colour_;
        p = colour_;
    }

    // A box that holds pixels written by dot(): clipped to the image.
    void reach(int x0, int y0, int x1, int y1) {
        x0 = std::max(x0, 0);
        y0 = std::max(y0, 0);
        x1 = std::min(x1, image_.width);
        y1 = std::min(y1, image_.height);
        if (x0 >= x1 || y0 >= y1) return;
        if (area_.empty()) {
            area_ = {x0, y0, x1, y1};
            return;
        }
        area_ = {std::min(area_.x0, x0), std::min(area_.y0, y0), std::max(area_.x1, x1), std::max(area_.y1, y1)};
    }

    Drawn result() const { return {changed_, area_}; }
    const PixelRows& image() const { return image_; }

private:
    PixelRows image_;
    std::uint32_t colour_;
    bool changed_ = false;
    Box area_;
};

// ---- Thin lines: Qt's aliased cosmetic stroker -------------------------------

enum Caps { no_caps = 0, cap_begin = 1, cap_end = 2 };
// The stroker's directions; a mask flips one of its axis into the other.
enum Direction { top_to_bottom = 1, bottom_to_top = 2, left_to_right = 4, right_to_left = 8 };
constexpr int vertical_mask = 3, horizontal_mask = 12;
constexpr int no_pixel = INT_MIN;

struct Point {
    int x, y;
};

// The state one stroker carries from segment to segment of a path: its last
// pixel and direction, for closing gaps and not drawing a corner twice.
class CosmeticStroker {
public:
    explicit CosmeticStroker(Writer& out)
        : out_(out), xmin_(-1.0), xmax_(out.image().width + 1.0), ymin_(-1.0), ymax_(out.image().height + 1.0) {}

    // One segment; false when nothing was drawn of a segment shorter than a
    // pixel (a polygon then goes on from the segment's start).
    bool stroke(double x1, double y1, double x2, double y2, int caps);
    // The last pixel and direction of a closed polygon's closing segment.
    void take_last_of(double x1, double y1, double x2, double y2);
    void forget_last() { last_.x = no_pixel; }

private:
    bool clip(double& x1, double& y1, double& x2, double& y2);
    // Whether it drew a pixel.
    template <bool Vertical>
    bool run(int m1, int n1, int m2, int n2, int caps, Point& last);
    template <bool Vertical>
    static Point at(int major, int minor) {
        return Vertical ? Point{minor, major} : Point{major, minor};
    }

    Writer& out_;
    // The clip bounds in real coordinates, beyond the image so that lines
    // leaving it keep their slope at the edge pixels.
    double xmin_, xmax_, ymin_, ymax_;
    Point last_{no_pixel, no_pixel};
    int last_direction_ = left_to_right;
    bool last_axis_aligned_ = false;
};

constexpr int to_26_6(double v) { return static_cast<int>(v * 64.); }

// 16.16 quotient, truncated towards zero; |x| <= |y| here.
inline int fixed_div(int x, int y) { return static_cast<int>(static_cast<long long>(x) * 65536 / y); }

inline int swap_caps(int caps) { return ((caps & cap_begin) << 1) | ((caps & cap_end) >> 1); }

bool CosmeticStroker::clip(double& x1, double& y1, double& x2, double& y2) {
    if (x1 < xmin_) {
        if (x2 <= xmin_) return forget_last(), true;
        y1 += (y2 - y1) / (x2 - x1) * (xmin_ - x1);
        x1 = xmin_;
    } else if (x1 > xmax_) {
        if (x2 >= xmax_) return forget_last(), true;
        y1 += (y2 - y1) / (x2 - x1) * (xmax_ - x1);
        x1 = xmax_;
    }
    if (x2 < xmin_) {
        forget_last();
        y2 += (y2 - y1) / (x2 - x1) * (xmin_ - x2);
        x2 = xmin_;
    } else if (x2 > xmax_) {
        forget_last();
        y2 += (y2 - y1) / (x2 - x1) * (xmax_ - x2);
        x2 = xmax_;
    }
    if (y1 < ymin_) {
        if (y2 <= ymin_) return forget_last(), true;
        x1 += (x2 - x1) / (y2 - y1) * (ymin_ - y1);
        y1 = ymin_;
    } else if (y1 > ymax_) {
        if (y2 >= ymax_) return forget_last(), true;
        x1 += (x2 - x1) / (y2 - y1) * (ymax_ - y1);
        y1 = ymax_;
    }
    if (y2 < ymin_) {
        forget_last();
        x2 += (x2 - x1) / (y2 - y1) * (ymin_ - y2);
        y2 = ymin_;
    } else if (y2 > ymax_) {
        forget_last();
        x2 += (x2 - x1) / (y2 - y1) * (ymax_ - y2);
        y2 = ymax_;
    }
    return false;
}

// The pixels of one segment along its major axis (y when Vertical), from
// major m1 to m2 in 26.6, minor n1 to n2.
template <bool Vertical>
bool CosmeticStroker::run(int m1, int n1, int m2, int n2, int caps, Point& last) {
    int direction = Vertical ? top_to_bottom : left_to_right;
    bool swapped = false;
    if (m1 > m2) {
        swapped = true;
        std::swap(m1, m2);
        std::swap(n1, n2);
        caps = swap_caps(caps);
        direction = Vertical ? bottom_to_top : right_to_left;
    }
    const int inc = fixed_div(n2 - n1, m2 - m1);
    int n = n1 * (1 << 10);
    // Turning back along the same axis: the start gets its cap.
    if ((last_direction_ ^ (Vertical ? vertical_mask : horizontal_mask)) == direction)
        caps |= swapped ? cap_end : cap_begin;
    if (caps & cap_begin) {
        m1 -= 32;
        n -= inc >> 1;
    }
    if (caps & cap_end) m2 += 32;

    int m = (m1 + 32) >> 6;
    int ms = (m2 + 32) >> 6;
    const int round = inc > 0 ? 32 : 0;
    const int last_major = Vertical ? last_.y : last_.x;
    if ((caps & cap_begin) && last_major == m + 1) ++m;
    if (m == ms) return false;

    n += ((m * (1 << 6)) + round - m1) * inc >> 6;
    Point first = at<Vertical>(m, n >> 16);
    last = at<Vertical>(ms - 1, (n + (ms - m - 1) * inc) >> 16);
    if (swapped) std::swap(first, last);

    const bool axis_aligned = std::abs(inc) < (1 << 14);
    if (last_.x > no_pixel) {
        if (first.x == last_.x && first.y == last_.y) {
            // The corner pixel is there already.
            if (swapped) {
                --ms;
            } else {
                ++m;
                n += inc;
            }
        } else if (last_direction_ != direction &&
                   (((axis_aligned && last_axis_aligned_) && last_.x != first.x && last_.y != first.y) ||
                    (std::abs(last_.x - first.x) > 1 || std::abs(last_.y - first.y) > 1))) {
            // A gap at the corner: one more pixel.
            if (swapped) {
                ++ms;
            } else {
                --m;
                n -= inc;
            }
        } else if (last_direction_ == direction &&
                   (std::abs(last_.x - first.x) <= 1 && std::abs(last_.y - first.y) > 1)) {
            n += inc >> 1;
            const int minor = swapped ? (n >> 16) : ((n + (ms - m - 1) * inc) >> 16);
            (Vertical ? last.x : last.y) = minor;
        }
    }
    last_direction_ = direction;
    last_axis_aligned_ = axis_aligned;

    const int m_begin = m, n_begin = n;
    do {
        if (Vertical)
            out_.dot(n >> 16, m);
        else
            out_.dot(m, n >> 16);
        n += inc;
    } while (++m < ms);
    // The minor coordinate moves monotonically: the end pixels bound the run.
    const int n_end = (n - inc) >> 16;
    const int lo = std::min(n_begin >> 16, n_end), hi = std::max(n_begin >> 16, n_end);
    if (Vertical)
        out_.reach(lo, m_begin, hi + 1, m);
    else
        out_.reach(m_begin, lo, m, hi + 1);
    return true;
}

bool CosmeticStroker::stroke(double rx1, double ry1, double rx2, double ry2, int caps) {
    bool did_draw = std::abs(rx2 - rx1) + std::abs(ry2 - ry1) >= 1.0;
    if (clip(rx1, ry1, rx2, ry2)) return true;
    const int x1 = to_26_6(rx1), y1 = to_26_6(ry1), x2 = to_26_6(rx2), y2 = to_26_6(ry2);
    const int dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
    Point last = last_;
    if (dx < dy) {
        did_draw |= run<true>(y1, x1, y2, x2, caps, last);
    } else {
        if (dx == 0) return true;
        did_draw |= run<false>(x1, y1, x2, y2, caps, last);
    }
    last_ = last;
    return did_draw;
}

void CosmeticStroker::take_last_of(double rx1, double ry1, double rx2, double ry2) {
    last_ = {no_pixel, no_pixel};
    if (clip(rx1, ry1, rx2, ry2)) return;
    int x1 = to_26_6(rx1), y1 = to_26_6(ry1), x2 = to_26_6(rx2), y2 = to_26_6(ry2);
    const int dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
    if (dx < dy) {
        bool swapped = false;
        if (y1 > y2) {
            swapped = true;
            std::swap(y1, y2);
            std::swap(x1, x2);
        }
        const int xinc = fixed_div(x2 - x1, y2 - y1);
        int x = x1 * (1 << 10);
        const int y = (y1 + 32) >> 6, ys = (y2 + 32) >> 6;
        const int round = xinc > 0 ? 32 : 0;
        if (y == ys) return;
        x += ((y * (1 << 6)) + round - y1) * xinc >> 6;
        if (swapped) {
            last_ = {x >> 16, y};
            last_direction_ = bottom_to_top;
        } else {
            last_ = {(x + (ys - y - 1) * xinc) >> 16, ys - 1};
            last_direction_ = top_to_bottom;
        }
        last_axis_aligned_ = std::abs(xinc) < (1 << 14);
    } else {
        if (dx == 0) return;
        bool swapped = false;
        if (x1 > x2) {
            swapped = true;
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        const int yinc = fixed_div(y2 - y1, x2 - x1);
        int y = y1 * (1 << 10);
        const int x = (x1 + 32) >> 6, xs = (x2 + 32) >> 6;
        const int round = yinc > 0 ? 32 : 0;
        if (x == xs) return;
        y += ((x * (1 << 6)) + round - x1) * yinc >> 6;
        if (swapped) {
            last_ = {x, y >> 16};
            last_direction_ = right_to_left;
        } else {
            last_ = {xs - 1, (y + (xs - x - 1) * yinc) >> 16};
            last_direction_ = left_to_right;
        }
        last_axis_aligned_ = std::abs(yinc) < (1 << 14);
    }
}

// The one-pixel outline: the cosmetic stroker's closed polygon through the
// four corners, no caps, the closing segment's last pixel known in advance.
void thin_box(Writer& out, double l, double t, double r, double b) {
    CosmeticStroker stroker(out);
    const double xs[4] = {l, r, r, l}, ys[4] = {t, t, b, b};
    // A polygon whose last point repeats its first closes on the one before.
    if (xs[3] == xs[0] && ys[3] == ys[0])
        stroker.take_last_of(xs[2], ys[2], xs[0], ys[0]);
    else
        stroker.take_last_of(xs[3], ys[3], xs[0], ys[0]);
    double px = xs[0], py = ys[0];
    for (int i = 1; i < 4; ++i) {
        const bool moved = stroker.stroke(px, py, xs[i], ys[i], no_caps);
        // A dropped-out segment in the middle leaves the start where it was.
        if (moved || i == 1 || i == 3) {
            px = xs[i];
            py = ys[i];
        }
    }
    stroker.stroke(px, py, xs[0], ys[0], no_caps);
}

// ---- Wide lines: Qt's rasterizer, its aliased rasterizeLine ----------------------

using Fixed = long long;  // 16.16

inline double safe_divide(double x, double y) {
    if (y == 0) return x > 0 ? 1e20 : -1e20;
    return x / y;
}

// Bounded to the 16.16 values of int coordinates.
inline Fixed safe_fixed(double x) {
    const double v = x * 65536;
    if (v > static_cast<double>(INT_MAX) * 65536) return Fixed{INT_MAX} * 65536;
    if (v < static_cast<double>(INT_MIN) * 65536) return Fixed{INT_MIN} * 65536;
    return static_cast<Fixed>(v);
}

// Sums of 16.16 values wrap as the machine's 64-bit adds do.
inline Fixed add(Fixed a, Fixed b) {
    return static_cast<Fixed>(static_cast<unsigned long long>(a) + static_cast<unsigned long long>(b));
}
inline Fixed times(Fixed a, int n) {
    return static_cast<Fixed>(static_cast<unsigned long long>(a) * static_cast<unsigned long long>(Fixed{n}));
}

inline bool same_26_6(double p1, double p2) { return static_cast<int>((p2 - p1) * 64.) == 0; }
inline double snap_26_6(double v) { return std::floor(v * 64) * (1 / 64.0); }

// (int + 0.5f) as Qt computes it: in float.
inline double plus_float(int i, float f) { return static_cast<double>(static_cast<float>(i) + f); }

struct Vec {
    double x, y;
};

// Rows y from `y` to `next` of one part of the parallelogram, between the
// left and right edges li and ri (16.16, stepped by ls and rs per row).
void scan_part(Writer& out, int& y, int next, Fixed& li, Fixed& ri, Fixed ls, Fixed rs) {
    const PixelRows& image = out.image();
    const int ny = std::min(next + 1, 0);
    if (y < ny) {
        li = add(li, times(ls, ny - y));
        ri = add(ri, times(rs, ny - y));
        y = ny;
    }
    if (next > image.height - 1) next = image.height - 1;
    for (; y <= next; ++y) {
        const int x1 = static_cast<int>(std::max<Fixed>(li >> 16, 0));
        const int x2 = static_cast<int>(std::min<Fixed>(ri >> 16, image.width - 1));
        if (x2 >= x1) out.run(y, x1, x2 + 1);
        li = add(li, ls);
        ri = add(ri, rs);
    }
}

// Clips a to b to [xmin, xmax] x [ymin, ymax], one axis after the other,
// each end moved along the slope; false when nothing is left.
bool clip_segment(Vec& a, Vec& b, double xmin, double xmax, double ymin, double ymax) {
    double &x1 = a.x, &y1 = a.y, &x2 = b.x, &y2 = b.y;
    if (x1 < xmin) {
        if (x2 <= xmin) return false;
        y1 += (y2 - y1) / (x2 - x1) * (xmin - x1);
        x1 = xmin;
    } else if (x1 > xmax) {
        if (x2 >= xmax) return false;
        y1 += (y2 - y1) / (x2 - x1) * (xmax - x1);
        x1 = xmax;
    }
    if (x2 < xmin) {
        y2 += (y2 - y1) / (x2 - x1) * (xmin - x2);
        x2 = xmin;
    } else if (x2 > xmax) {
        y2 += (y2 - y1) / (x2 - x1) * (xmax - x2);
        x2 = xmax;
    }
    if (y1 < ymin) {
        if (y2 <= ymin) return false;
        x1 += (x2 - x1) / (y2 - y1) * (ymin - y1);
        y1 = ymin;
    } else if (y1 > ymax) {
        if (y2 >= ymax) return false;
        x1 += (x2 - x1) / (y2 - y1) * (ymax - y1);
        y1 = ymax;
    }
    if (y2 < ymin) {
        x2 += (x2 - x1) / (y2 - y1) * (ymin - y2);
        y2 = ymin;
    } else if (y2 > ymax) {
        x2 += (x2 - x1) / (y2 - y1) * (ymax - y2);
        y2 = ymax;
    }
    return true;
}

void rasterize_line(Writer& out, Vec a, Vec b, double width) {
    const PixelRows& image = out.image();
    const int W = image.width, H = image.height;
    Vec pa = a, pb = b;

    // The clip: the image grown by the line's half width across each axis.
    const double offs_x = std::abs(b.y - a.y) * width * 0.5;
    const double offs_y = std::abs(b.x - a.x) * width * 0.5;
    const double clip_x = 0 - offs_x, clip_y = 0 - offs_y;
    const double clip_w = (W + offs_x) - clip_x, clip_h = (H + offs_y) - clip_y;
    if (!clip_segment(pa, pb, clip_x, clip_x + clip_w, clip_y, clip_y + clip_h)) return;
    {
        // The width is relative to the length: keep it for the clipped part.
        const double d0x = a.x - b.x, d0y = a.y - b.y;
        const double w0 = d0x * d0x + d0y * d0y;
        const double dx = pa.x - pb.x, dy = pa.y - pb.y;
        const double w = dx * dx + dy * dy;
        if (w == 0) return;
        width *= std::sqrt(w0 / w);
    }

    if (same_26_6(pa.y, pb.y)) {
        // Horizontal: turned into the vertical case across it.
        const double x = (pa.x + pb.x) * 0.5;
        const double dx = std::abs(pb.x - pa.x) * 0.5;
        const double y = pa.y;
        const double dy = width * dx;
        pa = {x, y - dy};
        pb = {x, y + dy};
        width = 1 / width;
    }

    if (same_26_6(pa.x, pb.x)) {
        if (pa.y > pb.y) std::swap(pa, pb);
        const double dy = pb.y - pa.y;
        const double half_width = 0.5 * width * dy;
        double left = pa.x - half_width;
        double right = pa.x + half_width;
        left = std::max(0.0, std::min(left, static_cast<double>(W)));
        right = std::max(0.0, std::min(right, static_cast<double>(W)));
        pa.y = std::max(0.0, std::min(pa.y, static_cast<double>(H)));
        pb.y = std::max(0.0, std::min(pb.y, static_cast<double>(H)));
        if (same_26_6(left, right) || same_26_6(pa.y, pb.y)) return;
        // Pixel centres in (left, right] x (top, bottom].
        const int top = static_cast<int>(pa.y + 0.5);
        const int bottom = pb.y < 0.5 ? -1 : static_cast<int>(pb.y - 0.5);
        const int x0 = static_cast<int>(left + 0.5);
        const int x1 = right < 0.5 ? -1 : static_cast<int>(right - 0.5);
        if (x1 < x0) return;
        for (int y = top; y <= bottom; ++y) out.run(y, x0, x1 + 1);
        return;
    }

    if (pa.y > pb.y) std::swap(pa, pb);
    const double half = 0.5 * width;
    const Vec delta{(pb.x - pa.x) * half, (pb.y - pa.y) * half};
    const Vec perp{delta.y, -delta.x};
    Vec top, left, right, bottom;
    if (pa.x < pb.x) {
        top = {pa.x + perp.x, pa.y + perp.y};
        left = {pa.x - perp.x, pa.y - perp.y};
        right = {pb.x + perp.x, pb.y + perp.y};
        bottom = {pb.x - perp.x, pb.y - perp.y};
    } else {
        top = {pa.x - perp.x, pa.y - perp.y};
        left = {pb.x - perp.x, pb.y - perp.y};
        right = {pa.x + perp.x, pa.y + perp.y};
        bottom = {pb.x + perp.x, pb.y + perp.y};
    }
    for (Vec* p : {&top, &bottom, &left, &right}) *p = {snap_26_6(p->x), snap_26_6(p->y)};

    const double top_left_slope = safe_divide(left.x - top.x, left.y - top.y);
    const double top_right_slope = safe_divide(right.x - top.x, right.y - top.y);
    const double bottom_left_slope = safe_divide(bottom.x - left.x, bottom.y - left.y);
    const double bottom_right_slope = safe_divide(bottom.x - right.x, bottom.y - right.y);
    const Fixed top_left_step = safe_fixed(top_left_slope), top_right_step = safe_fixed(top_right_slope);
    const Fixed bottom_left_step = safe_fixed(bottom_left_slope), bottom_right_step = safe_fixed(bottom_right_slope);

    // The last row of each part: centres up to the corner's y.
    const int row_top = static_cast<int>(top.y + 0.5);
    int row_left = left.y < 0.5 ? -1 : static_cast<int>(left.y - 0.5);
    int row_right = right.y < 0.5 ? -1 : static_cast<int>(right.y - 0.5);
    int row_bottom = bottom.y < 0.5 ? -1 : static_cast<int>(bottom.y - 0.5);
    int row_middle = std::min(row_left, row_right);

    // The edges at the first row centre of their parts, half a pixel in.
    Fixed left_a = safe_fixed(top.x + 0.5 + (plus_float(row_top, 0.5f) - top.y) * top_left_slope);
    Fixed left_b = safe_fixed(left.x + 0.5 + (plus_float(row_left, 1.5f) - left.y) * bottom_left_slope);
    Fixed right_a = safe_fixed(top.x - 0.5 + (plus_float(row_top, 0.5f) - top.y) * top_right_slope);
    Fixed right_b = safe_fixed(right.x - 0.5 + (plus_float(row_right, 1.5f) - right.y) * bottom_right_slope);

    int y = row_top;
    scan_part(out, y, row_middle, left_a, right_a, top_left_step, top_right_step);
    scan_part(out, y, row_right, left_b, right_a, bottom_left_step, top_right_step);
    scan_part(out, y, row_left, left_a, right_b, top_left_step, bottom_right_step);
    scan_part(out, y, row_bottom, left_b, right_b, bottom_left_step, bottom_right_step);
}

// ---- Wide box outlines: the stroker's outline, scan converted -----------------

// The columns (or rows) whose centres lie in (a, b], a and b in half pixels.
struct Span {
    int first, last;  // inclusive; empty when first > last
};
inline Span centres_in(long long a2, long long b2) {
    // centre c = i + 0.5 > a  <=>  2i + 1 > a2  <=>  i >= floor((a2 + 1) / 2)
    // centre <= b             <=>  2i + 1 <= b2 <=>  i <= floor((b2 - 1) / 2)
    const auto floor_half = [](long long v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); };
    const long long first = floor_half(a2 + 1), last = floor_half(b2 - 1);
    const auto bound = [](long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN / 2, INT_MAX / 2)); };
    return {bound(first), bound(last)};
}

void fill_box(Writer& out, Span xs, Span ys) {
    const PixelRows& image = out.image();
    const int x0 = std::max(xs.first, 0), x1 = std::min(xs.last + 1, image.width);
    const int y0 = std::max(ys.first, 0), y1 = std::min(ys.last + 1, image.height);
    if (x0 >= x1) return;
    for (int y = y0; y < y1; ++y) out.run(y, x0, x1);
}

void wide_box(Writer& out, int l, int t, int r, int b, int width) {
    // Edges in half pixels: the box grown and shrunk by width / 2.
    const long long h = width;  // width / 2 in half pixels
    // A box without width or height is a line stroked there and back: where
    // it turns back, the miter join meets no other edge and stops at the
    // miter limit, 2 widths beyond the end.
    const long long spike = 4LL * width;  // 2 widths in half pixels
    if (l == r && t == b) return;         // no stroke at all
    if (l == r) {
        fill_box(out, centres_in(2LL * l - h, 2LL * l + h), centres_in(2LL * t - spike, 2LL * b + spike));
        return;
    }
    if (t == b) {
        fill_box(out, centres_in(2LL * l - spike, 2LL * r + spike), centres_in(2LL * t - h, 2LL * t + h));
        return;
    }
    const Span outer_x = centres_in(2LL * l - h, 2LL * r + h), outer_y = centres_in(2LL * t - h, 2LL * b + h);
    const Span inner_x = centres_in(2LL * l + h, 2LL * r - h), inner_y = centres_in(2LL * t + h, 2LL * b - h);
    if (inner_x.first > inner_x.last || inner_y.first > inner_y.last) {
        fill_box(out, outer_x, outer_y);
        return;
    }
    // Top and bottom bands across, the sides between them.
    fill_box(out, outer_x, {outer_y.first, inner_y.first - 1});
    fill_box(out, outer_x, {inner_y.last + 1, outer_y.last});
    fill_box(out, {outer_x.first, inner_x.first - 1}, inner_y);
    fill_box(out, {inner_x.last + 1, outer_x.last}, inner_y);
}

}  // namespace

// Borges' corrected hypot ("An Improved Algorithm for hypot(a, b)", 2019)
// in plain operations, which is what glibc 2.36's hypot computes: it is not
// always the correctly rounded sqrt(dx^2 + dy^2) (0.6 % of the integer
// pairs up to 1500 differ by an ulp, enough to move an edge pixel), and
// another C library (Emscripten's) rounds differently again.
double line_length(double dx, double dy) {
    double ax = std::fabs(dx), ay = std::fabs(dy);
    if (ax < ay) std::swap(ax, ay);
    if (ay <= ax * 0x1p-54) return ax + ay;
    double h = std::sqrt(ax * ax + ay * ay);
    double t1, t2;
    if (h <= 2.0 * ay) {
        const double delta = h - ay;
        t1 = ax * (2.0 * delta - ax);
        t2 = (delta - 2.0 * (ax - ay)) * delta;
    } else {
        const double delta = h - ax;
        t1 = 2.0 * delta * (ax - 2.0 * ay);
        t2 = (4.0 * delta - ay) * ay + delta * delta;
    }
    return h - (t1 + t2) / (2.0 * h);
}

Drawn thin_line(const PixelRows& image, int x1, int y1, int x2, int y2, std::uint32_t colour) {
    Writer out(image, colour);
    if (image.width <= 0 || image.height <= 0) return {};
    if (x1 == x2 && y1 == y2) {
        out.dot(x1, y1);
        out.reach(x1, y1, x1 + 1, y1 + 1);
        return out.result();
    }
    CosmeticStroker stroker(out);
    stroker.stroke(x1, y1, x2, y2, cap_begin | cap_end);
    return out.result();
}

Drawn wide_line(const PixelRows& image, int x1, int y1, int x2, int y2, int width, std::uint32_t colour) {
    Writer out(image, colour);
    // Flat caps: a line without length has no pixels.
    if (image.width <= 0 || image.height <= 0 || (x1 == x2 && y1 == y2) || width <= 0) return {};
    const Vec a{static_cast<double>(x1), static_cast<double>(y1)}, b{static_cast<double>(x2), static_cast<double>(y2)};
    const double relative = static_cast<double>(width) / line_length(b.x - a.x, b.y - a.y);
    if (!(relative > 0.0)) return {};
    rasterize_line(out, a, b, relative);
    return out.result();
}

Drawn line(const PixelRows& image, int x1, int y1, int x2, int y2, int width, std::uint32_t colour) {
    return width <= 1 ? thin_line(image, x1, y1, x2, y2, colour) : wide_line(image, x1, y1, x2, y2, width, colour);
}

Drawn box_outline(const PixelRows& image, int left, int top, int right, int bottom, int width, std::uint32_t colour) {
    Writer out(image, colour);
    if (image.width <= 0 || image.height <= 0) return {};
    if (width <= 1) {
        thin_box(out, left, top, right, bottom);
    } else {
        wide_box(out, left, top, right, bottom, width);
    }
    return out.result();
}

}  // namespace rt::raster_lines
