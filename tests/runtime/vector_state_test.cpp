// Qt's drawing code may leave the upper halves of the vector registers in
// use, which slows every later legacy SSE instruction down (the entropy
// sums). Every surface operation must hand control back with them clean.
#include "common/runtime/vector_state.h"
#include "common/runtime/surface.h"

#include <QImage>

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace {

TEST(VectorState, SurfaceOperationsLeaveTheUpperHalvesClean) {
    if (!rt::upper_vector_state_known()) GTEST_SKIP() << "the CPU does not report the state";
    QImage dirt(512, 512, QImage::Format_RGB32);
    const auto make_dirty = [&dirt] { dirt.fill(Qt::red); };
    make_dirty();
    if (!rt::upper_vector_state_dirty()) GTEST_SKIP() << "Qt leaves no dirty state on this CPU";

    rt::Surface surface(1024, 768);
    const rt::Image picture(300, 200, 0xFF336699u);
    const std::vector<std::pair<const char*, std::function<void()>>> operations = {
        {"clear", [&] { surface.clear(); }},
        {"serif text", [&] { surface.set_font(rt::FontFamily::serif, 16), surface.print("Versuch Nr. 1"); }},
        {"monospace cells", [&] { surface.set_font(rt::FontFamily::mono, 14), surface.print("..*.. 100 42"); }},
        {"reading the cells", [&] { surface.image(); }},
        {"thick line", [&] { surface.set_line_width(5), surface.line(100, 100, 100, 10); }},
        {"thin line", [&] { surface.set_line_width(1), surface.line(10, 580, 1010, 580); }},
        {"outline", [&] { surface.rectangle(478, 15, 519, 56); }},
        {"box", [&] { surface.filled_box(5, 5, 50, 50); }},
        {"graphics text", [&] { surface.graphics_text(300, 300, "???"); }},
        {"picture", [&] { surface.draw_image(picture, 0, 0, 100, 80); }},
    };
    for (const auto& [name, operation] : operations) {
        rt::clear_upper_vector_state();
        operation();
        const bool dirty = rt::upper_vector_state_dirty();
        EXPECT_FALSE(dirty) << name;
    }
}

}  // namespace
