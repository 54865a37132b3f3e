#include "common/runtime/text_layer.h"

#include <algorithm>

namespace rt {

Tiles::Tiles(int width, int height) : width_(width), height_(height) {
    while ((8 << shift_) < std::max(width_, height_)) ++shift_;
}

const InkBox& TextLayer::ink_of(const FontFace& face, int font_key, char32_t ch) {
    if (ch >= ink_boxes_.size()) return glyphs_.mask(face, font_key, ch).ink;
    if (font_key != ink_font_) {
        ink_font_ = font_key;
        ink_known_.fill(false);
    }
    if (!ink_known_[ch]) {
        ink_boxes_[ch] = glyphs_.mask(face, font_key, ch).ink;
        ink_known_[ch] = true;
    }
    return ink_boxes_[ch];
}

Rect TextLayer::ink_effect(const TextPrint& print) {
    int left = print.area.left(), right = print.area.left() + print.area.width();
    int top = print.area.top(), bottom = print.area.top() + print.area.height();
    const bool known_font = print.font_key == ink_font_;
    for (std::size_t i = 0; i < print.text.size(); ++i) {
        const char32_t ch = print.text[i];
        if (ch == U' ') continue;
        const InkBox& ink = known_font && ch < ink_boxes_.size() && ink_known_[ch]
                                ? ink_boxes_[ch]
                                : ink_of(print.face, print.font_key, ch);
        if (ink.empty()) continue;
        left = std::min(left, print.glyph_x[i] + ink.left);
        right = std::max(right, print.glyph_x[i] + ink.right);
        top = std::min(top, print.baseline + ink.top);
        bottom = std::max(bottom, print.baseline + ink.bottom);
    }
    return Rect{left, top, right - left, bottom - top};
}

Rect TextLayer::add(const TextPrint& print) {
    const Rect effect = ink_effect(print);
    const auto same_place = [&print](const auto& t) {
        return t.area.x == print.area.x && t.area.y == print.area.y && t.ink == print.ink && t.paper == print.paper &&
               t.font_key == print.font_key;
    };
    const auto same_text = [&print](const auto& t) {
        return t.area.width() == print.area.width() && t.text == print.text;
    };
    int latest_here = -1, last_meeting = -1;
    for (int i = 0; i < static_cast<int>(jobs_.size()); ++i) {
        if (same_place(jobs_[i])) latest_here = i;
        if (jobs_[i].effect.overlaps(effect)) last_meeting = i;
    }
    // The same text stands or waits there, and nothing waiting comes over it.
    if (last_meeting >= 0 && last_meeting == latest_here && same_text(jobs_[latest_here])) return Rect{};

    // A text waiting in the same place that this one paints over completely
    // need not be drawn: the texts between them only paint, never blend.
    Job job;
    if (!spare_jobs_.empty()) {
        job = std::move(spare_jobs_.back());
        spare_jobs_.pop_back();
    }
    if (latest_here >= 0 && jobs_[latest_here].effect.inside(print.area)) {
        std::swap(job, jobs_[latest_here]);
        jobs_.erase(jobs_.begin() + latest_here);
    }
    job.area = print.area;
    job.effect = effect;
    job.baseline = print.baseline;
    job.text.assign(print.text);
    job.glyph_x.assign(print.glyph_x.begin(), print.glyph_x.end());
    job.ink = print.ink;
    job.paper = print.paper;
    job.face = &print.face;
    job.font_key = print.font_key;
    jobs_.push_back(std::move(job));
    job_tiles_ |= tiles_.of(effect);
    return effect;
}

void TextLayer::draw_jobs_under(const Rect& area, const PixelRows& target) {
    // The jobs `area` meets, and, going back, every earlier job that meets
    // one of those: drawn in print order. Jobs that meet none of them keep
    // waiting; the drawn ones lie apart from them, so the order between the
    // two does not matter.
    drawn_.assign(jobs_.size(), 0);
    meeting_.clear();
    std::size_t count = 0;
    for (std::size_t i = jobs_.size(); i-- > 0;) {
        const Rect& effect = jobs_[i].effect;
        bool meets = effect.overlaps(area);
        for (std::size_t k = 0; !meets && k < meeting_.size(); ++k) meets = effect.overlaps(meeting_[k]);
        if (!meets) continue;
        drawn_[i] = 1;
        meeting_.push_back(effect);
        ++count;
    }
    if (count > 0) {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < jobs_.size(); ++i) {
            if (drawn_[i]) {
                draw(jobs_[i], target);
                spare_jobs_.push_back(std::move(jobs_[i]));
            } else {
                if (kept != i) jobs_[kept] = std::move(jobs_[i]);
                ++kept;
            }
        }
        jobs_.resize(kept);
    }
    job_tiles_ = 0;
    for (const Job& job : jobs_) job_tiles_ |= tiles_.of(job.effect);
}

void TextLayer::draw_all(const PixelRows& target) {
    if (jobs_.empty()) return;
    for (Job& job : jobs_) {
        draw(job, target);
        spare_jobs_.push_back(std::move(job));
    }
    jobs_.clear();
    job_tiles_ = 0;
}

void TextLayer::forget_all() {
    for (Job& job : jobs_) spare_jobs_.push_back(std::move(job));
    jobs_.clear();
    job_tiles_ = 0;
}

void TextLayer::draw(const Job& job, const PixelRows& image) {
    const Rgb ink = to_rgb(job.ink), paper = to_rgb(job.paper);
    pixels::paint(image, job.area, paper);
    for (std::size_t i = 0; i < job.text.size(); ++i)
        if (job.text[i] != U' ')
            copy_glyph(image, glyphs_.painted(*job.face, job.font_key, job.text[i], ink, paper), job.glyph_x[i],
                       job.baseline);
}

}  // namespace rt
