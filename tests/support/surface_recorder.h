#pragma once
// Records what the surface was asked to show, in order: text prints with
// their cells, graphics texts with their pixels, and clears.

#include "common/runtime/surface.h"

#include <string>
#include <vector>

namespace test_support {

struct Printed {
    int column, row;
    std::string text;
    rt::Colour colour;
};

struct GraphicsText {
    int x, y;
    std::string text;
    rt::Colour colour;
};

class SurfaceRecorder : public rt::SurfaceObserver {
public:
    void printed(int column, int row, int, int, const std::string& text, rt::Colour colour) override {
        prints.push_back({column, row, text, colour});
    }
    void graphics_text(int x, int y, const std::string& text, rt::Colour colour) override {
        texts.push_back({x, y, text, colour});
    }
    void cleared() override { ++clears; }

    // The last text printed at a cell; null when none was.
    const Printed* at(int column, int row) const {
        for (auto p = prints.rbegin(); p != prints.rend(); ++p)
            if (p->column == column && p->row == row) return &*p;
        return nullptr;
    }
    // Every text printed at a cell, in order.
    std::vector<Printed> all_at(int column, int row) const {
        std::vector<Printed> found;
        for (const auto& p : prints)
            if (p.column == column && p.row == row) found.push_back(p);
        return found;
    }

    std::vector<Printed> prints;
    std::vector<GraphicsText> texts;
    int clears = 0;
};

}  // namespace test_support
