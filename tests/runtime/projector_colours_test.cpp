// The projector and the print colours: contrast of every colour the
// programs draw with, the roles of the colours, the re-colouring of a picture
// already drawn, and that drawing after the switch is exact.
#include "common/runtime/pixel_recolour.h"
#include "common/runtime/projector_palette.h"
#include "common/runtime/projector_picture.h"
#include "common/runtime/surface.h"
#include "diffundo/diffundo.h"
#include "fake_runtime.h"
#include "kalorix/kalorix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace {

using test_support::FakeRuntime;

struct Rgb {
    int r, g, b;
};
Rgb rgb_of(rt::Colour c) { return {int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)}; }

// Every colour in a program's colour table, and its background.
struct ColourTable {
    const char* program;
    rt::Colour background;
    std::vector<rt::Colour> drawn;
};

std::vector<ColourTable> colour_tables() {
    FakeRuntime runtime;
    kalorix::Kalorix k(runtime);
    k.reset_colours();
    const auto c = [](double value) { return static_cast<rt::Colour>(value); };
    diffundo::Diffundo d(runtime);
    d.set_start_values();
    // kalorix's marker is drawn in pink straight from the shared colours.
    return {{"kalorix",
             c(k.background_colour),
             {c(k.colour_white), c(k.colour_total), c(k.colour_A), c(k.colour_red), c(k.colour_B), c(k.saved_white),
              c(k.saved_yellow), c(k.saved_red), c(k.saved_blue), c(k.saved_black), rt::colours::pink}},
            {"diffundo", d.background_colour, {d.colour_white, d.colour_black, d.colour_red}}};
}

TEST(ProjectorColours, EveryColourOfTheProgramsStandsOutAtLeastFourAndAHalfToOne) {
    for (const ColourTable& table : colour_tables()) {
        const rt::Colour background = rt::projector_colour(table.background);
        EXPECT_NE(background, table.background) << table.program << ": the background is mapped";
        for (rt::Colour colour : table.drawn) {
            const bool in_palette =
                std::any_of(rt::palettes().begin(), rt::palettes().end(),
                            [colour](const rt::PaletteEntry& entry) { return entry.normal == colour; });
            EXPECT_TRUE(in_palette) << table.program << ": " << std::hex << colour << " has no projector colour";
            EXPECT_GE(rt::contrast_ratio(rt::projector_colour(colour), background), 4.5)
                << table.program << ": " << std::hex << colour;
        }
    }
}

TEST(ProjectorColours, ContrastFollowsWcag) {
    EXPECT_NEAR(rt::contrast_ratio(0xFFFFFF, 0x000000), 21.0, 1e-9);
    EXPECT_NEAR(rt::contrast_ratio(0x000000, 0xFFFFFF), 21.0, 1e-9);
    // The washed-out pairs on the light-blue background.
    EXPECT_NEAR(rt::contrast_ratio(rt::colours::white, rt::colours::background), 2.63, 0.01);
    EXPECT_NEAR(rt::contrast_ratio(rt::colours::red, rt::colours::background), 1.52, 0.01);
}

TEST(ProjectorColours, RolesStayRecognisable) {
    const auto is = [](rt::Colour normal) { return rgb_of(rt::projector_colour(normal)); };
    struct Row {
        const char* role;
        rt::Colour normal;
        bool (*holds)(Rgb);
    };
    const Row rows[] = {
        {"room A yellow", rt::colours::yellow, [](Rgb c) { return c.r >= 200 && c.g >= 180 && c.b <= 80; }},
        {"room B blue", rt::colours::blue, [](Rgb c) { return c.b >= 200 && c.b > c.g + 40 && c.b > c.r + 80; }},
        {"red red", rt::colours::red, [](Rgb c) { return c.r >= 200 && c.g <= 100 && c.b <= 100; }},
        {"pink between red and blue", rt::colours::pink, [](Rgb c) { return c.r >= 200 && c.b >= c.g + 60; }},
        {"white white", rt::colours::white, [](Rgb c) { return c.r == 255 && c.g == 255 && c.b == 255; }},
    };
    for (const Row& row : rows) EXPECT_TRUE(row.holds(is(row.normal))) << row.role;

    std::set<rt::Colour> shown;
    for (const rt::PaletteEntry& entry : rt::palettes()) {
        EXPECT_TRUE(shown.insert(entry.projector).second) << std::hex << entry.projector << " twice";
        EXPECT_EQ(rt::normal_colour(entry.projector), entry.normal);
    }
}

// --- re-colouring pixels ------------------------------------------------------

std::uint32_t pixel(Rgb c) { return 0xFF000000u | unsigned(c.r) << 16 | unsigned(c.g) << 8 | unsigned(c.b); }
Rgb rgb_of_pixel(std::uint32_t p) { return {int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF)}; }
Rgb mix(Rgb a, Rgb b, double t) {
    return {int(std::lround(a.r + t * (b.r - a.r))), int(std::lround(a.g + t * (b.g - a.g))),
            int(std::lround(a.b + t * (b.b - a.b)))};
}
int distance(Rgb a, Rgb b) { return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)}); }

std::vector<rt::Colour> normals() {
    std::vector<rt::Colour> list;
    for (const auto& entry : rt::palettes()) list.push_back(entry.normal);
    return list;
}
std::vector<rt::Colour> projectors() {
    std::vector<rt::Colour> list;
    for (const auto& entry : rt::palettes()) list.push_back(entry.projector);
    return list;
}

TEST(PixelRecolour, BlendsOfTwoPaletteColoursBecomeTheSameBlendOfTheNewOnes) {
    rt::PixelRecolour to_projector(normals(), projectors(), rt::PhotoChange::darken);
    rt::PixelRecolour back(projectors(), normals(), rt::PhotoChange::lighten);
    struct Row {
        rt::Colour a, b;
        double t;
    };
    const Row rows[] = {
        {rt::colours::white, rt::colours::background, 0.0},  {rt::colours::white, rt::colours::background, 0.3},
        {rt::colours::yellow, rt::colours::background, 0.5}, {rt::colours::black, rt::colours::white, 0.8},
        {rt::colours::pink, rt::colours::background, 1.0},   {rt::colours::blue, rt::colours::red, 0.25},
    };
    for (const Row& row : rows) {
        const Rgb drawn = mix(rgb_of(row.a), rgb_of(row.b), row.t);
        const Rgb expected = mix(rgb_of(rt::projector_colour(row.a)), rgb_of(rt::projector_colour(row.b)), row.t);
        const std::uint32_t mapped = to_projector.drawn(pixel(drawn));
        EXPECT_LE(distance(rgb_of_pixel(mapped), expected), 2) << std::hex << row.a << "-" << row.b << " " << row.t;
        EXPECT_LE(distance(rgb_of_pixel(back.drawn(mapped)), drawn), 1) << "and back";
    }
    // A pixel far from every segment is left as it is.
    EXPECT_EQ(to_projector.drawn(pixel({200, 40, 90})), pixel({200, 40, 90}));
}

TEST(PixelRecolour, PhotosTurnDarkAndBack) {
    rt::PixelRecolour to_projector(normals(), projectors(), rt::PhotoChange::darken);
    rt::PixelRecolour back(projectors(), normals(), rt::PhotoChange::lighten);
    for (const Rgb pale : {Rgb{240, 245, 250}, Rgb{150, 185, 225}, Rgb{240, 170, 120}}) {
        const std::uint32_t dark = to_projector.picture(pixel(pale));
        EXPECT_GT(rt::contrast_ratio(0xFFAA5A, dark), 4.5) << "sky-blue text stands out on it";
        // The darkened photo has half the steps of lightness: back within a few.
        EXPECT_LE(distance(rgb_of_pixel(back.picture(dark)), pale), 3);
    }
    // Text drawn over a photo is a palette colour: it goes with the palette.
    EXPECT_EQ(to_projector.picture(pixel(rgb_of(rt::colours::blue))),
              pixel(rgb_of(rt::projector_colour(rt::colours::blue))));
}

// --- the runtime between program and surface ---------------------------------------

rt::Colour as_asked(rt::Colour c) { return c; }

// Lines, boxes, texts in both fonts, opaque and transparent, in the
// programs' colours, each turned into `paint` of it.
void draw_scene(rt::Runtime& runtime, rt::Colour (*paint)(rt::Colour) = as_asked) {
    runtime.set_background_colour(paint(rt::colours::background));
    runtime.clear_screen();
    runtime.set_colour(paint(rt::colours::white));
    runtime.set_second_colour(paint(rt::colours::background));
    runtime.rectangle(10, 10, 300, 200);
    runtime.set_colour(paint(rt::colours::yellow));
    runtime.line(20, 20, 280, 190);
    runtime.set_colour(paint(rt::colours::pink));
    runtime.filled_box(40, 150, 60, 170);
    runtime.set_font(rt::FontFamily::serif, 16);
    runtime.set_colour(paint(rt::colours::blue));
    runtime.locate(2, 10);
    runtime.print("Temperatur_B = 176,7");
    runtime.set_text_transparent(true);
    runtime.set_colour(paint(rt::colours::red));
    runtime.graphics_text(30, 60, "???");
    runtime.set_text_transparent(false);
    runtime.set_font(rt::FontFamily::mono, 14);
    runtime.set_colour(paint(rt::colours::black));
    runtime.locate(3, 20);
    runtime.print("..*.*..* 40 60");
}

TEST(ProjectorColoursInTheRuntime, NewDrawingIsExactAndTheOldPictureIsRecolouredAlike) {
    FakeRuntime switched_first, switched_after;
    switched_first.set_projector_colours(true);
    draw_scene(switched_first);
    draw_scene(switched_after);
    const rt::Image before = switched_after.surface().image().copy();
    switched_after.set_projector_colours(true);

    const rt::ImageView exact = switched_first.surface().image();
    const rt::ImageView recoloured = switched_after.surface().image();
    const rt::Rgb navy = rt::to_rgb(rt::projector_colour(rt::colours::background));
    EXPECT_EQ(exact.pixel(500, 500), navy);
    EXPECT_EQ(exact.pixel(50, 160), rt::to_rgb(rt::projector_colour(rt::colours::pink)));
    int worst = 0;
    for (int y = 0; y < exact.height(); ++y)
        for (int x = 0; x < exact.width(); ++x)
            worst = std::max(worst, distance(rgb_of_pixel(exact.pixel(x, y)), rgb_of_pixel(recoloured.pixel(x, y))));
    // The old blend's rounding, stretched where the new segment is longer.
    EXPECT_LE(worst, 3) << "anti-aliased text re-coloured like text drawn afresh";

    // The program's colours stay set: what it draws next is in the projector palette.
    switched_after.line(400, 400, 500, 400);
    EXPECT_EQ(switched_after.surface().image().pixel(450, 400), rt::to_rgb(rt::projector_colour(rt::colours::black)));

    switched_after.set_projector_colours(false);
    const rt::ImageView switched_back = switched_after.surface().image();
    int back = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < 400; ++x)
            back = std::max(back, distance(rgb_of_pixel(before.pixel(x, y)), rgb_of_pixel(switched_back.pixel(x, y))));
    EXPECT_LE(back, 1) << "switched off, the normal colours come back";
}

}  // namespace

// --- print colours ---------------------------------------------------------------------

TEST(PrintColours, EveryColourOfTheProgramsReadsOnWhitePaper) {
    for (const ColourTable& table : colour_tables()) {
        const rt::Colour paper = rt::print_colour(table.background);
        EXPECT_EQ(rt::relative_luminance(paper), 1.0) << table.program << ": the paper is white";
        for (rt::Colour colour : table.drawn) {
            EXPECT_TRUE(std::any_of(rt::palettes().begin(), rt::palettes().end(),
                                    [colour](const rt::PaletteEntry& entry) { return entry.normal == colour; }))
                << table.program << ": " << std::hex << colour << " has no print colour";
            EXPECT_GE(rt::contrast_ratio(rt::print_colour(colour), paper), 4.5)
                << table.program << ": " << std::hex << colour;
        }
    }
    // diffundo draws its black curve over its white bars.
    EXPECT_GE(rt::contrast_ratio(rt::print_colour(rt::colours::black), rt::print_colour(rt::colours::white)), 4.5);
    std::set<rt::Colour> printed;
    for (const rt::PaletteEntry& entry : rt::palettes())
        EXPECT_TRUE(printed.insert(entry.print).second) << std::hex << entry.print << " stands for two colours";
}

TEST(PrintColours, ACopyIsRecolouredAsIfDrawnInThemAndTheScreenStays) {
    FakeRuntime in_print, on_screen, on_projector;
    draw_scene(in_print, rt::print_colour);
    draw_scene(on_screen);
    on_projector.set_projector_colours(true);
    draw_scene(on_projector);
    const rt::Image screen_before = on_screen.surface().image().copy();

    const rt::ImageView exact = in_print.surface().image();
    EXPECT_EQ(exact.pixel(500, 500), 0xFFFFFFFFu) << "the scene's paper is white";
    struct Row {
        const char* shown;
        const rt::Surface& surface;
        rt::Palette palette;
    };
    const Row rows[] = {{"normal", on_screen.surface(), rt::Palette::normal},
                        {"projector", on_projector.surface(), rt::Palette::projector}};
    for (const Row& row : rows) {
        const rt::Image copy = rt::in_print_colours(row.surface, row.palette);
        int worst = 0;
        for (int y = 0; y < exact.height(); ++y)
            for (int x = 0; x < exact.width(); ++x)
                worst = std::max(worst, distance(rgb_of_pixel(exact.pixel(x, y)), rgb_of_pixel(copy.pixel(x, y))));
        EXPECT_LE(worst, 3) << row.shown << ": anti-aliased text re-coloured like text drawn in print colours";

        rt::PixelRecolour change = rt::palette_change(row.palette, rt::Palette::print);
        for (const rt::PaletteEntry& entry : rt::palettes())
            EXPECT_EQ(change.drawn(rt::to_rgb(entry.in(row.palette))), rt::to_rgb(entry.print))
                << row.shown << ": " << std::hex << entry.normal;
    }
    EXPECT_TRUE(on_screen.surface().image() == screen_before.view()) << "the screen keeps its pixels";
}

TEST(PrintColours, PhotosArePrintedAsTheyAre) {
    rt::PixelRecolour from_screen = rt::palette_change(rt::Palette::normal, rt::Palette::print);
    rt::PixelRecolour from_projector = rt::palette_change(rt::Palette::projector, rt::Palette::print);
    for (const Rgb pale : {Rgb{240, 245, 250}, Rgb{150, 185, 225}, Rgb{240, 170, 120}}) {
        EXPECT_EQ(from_screen.picture(pixel(pale)), pixel(pale));
        EXPECT_LE(distance(rgb_of_pixel(from_projector.picture(rt::darkened(pixel(pale)))), pale), 3)
            << "the projector's dark photo comes back pale";
    }
}
