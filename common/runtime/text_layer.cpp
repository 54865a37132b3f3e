#include "common/runtime/text_layer.h"

#include <algorithm>
#include <array>
#include <cstring>

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

const TextLayer::FaceReach& TextLayer::reach_of(const FontFace& face, int font_key) {
    if (font_key == reach_font_) return reach_;
    reach_font_ = font_key;
    reach_ = FaceReach{};
    bool any = false;
    for (const Glyph& g : face.glyphs()) {
        if (g.advance < 0) reach_.forwards = false;
        if (g.width <= 0 || g.height <= 0) continue;
        const FaceReach box{g.left, g.left + g.width, g.top, g.top + g.height, true};
        reach_.left = any ? std::min(reach_.left, box.left) : box.left;
        reach_.right = any ? std::max(reach_.right, box.right) : box.right;
        reach_.top = any ? std::min(reach_.top, box.top) : box.top;
        reach_.bottom = any ? std::max(reach_.bottom, box.bottom) : box.bottom;
        any = true;
    }
    return reach_;
}

Rect TextLayer::ink_effect(const TextPrint& print) {
    const int area_left = print.area.left(), area_right = print.area.left() + print.area.width();
    int left = area_left, right = area_right;
    int top = print.area.top(), bottom = print.area.top() + print.area.height();
    const bool known_font = print.font_key == ink_font_;
    const auto take = [&](std::size_t i) {
        const char32_t ch = print.text[i];
        if (ch == U' ') return;
        const InkBox& ink = known_font && ch < ink_boxes_.size() && ink_known_[ch]
                                ? ink_boxes_[ch]
                                : ink_of(print.face, print.font_key, ch);
        if (ink.empty()) return;
        left = std::min(left, print.glyph_x[i] + ink.left);
        right = std::max(right, print.glyph_x[i] + ink.right);
        top = std::min(top, print.baseline + ink.top);
        bottom = std::max(bottom, print.baseline + ink.bottom);
    };
    const std::size_t count = print.text.size();
    // Where no glyph of the face reaches above or below the cell, only the
    // glyphs near the ends can reach beyond it: the pen moves forwards, so
    // they are a few at the start and a few at the end.
    const FaceReach& reach = reach_of(print.face, print.font_key);
    if (!reach.forwards || print.baseline + reach.top < top || print.baseline + reach.bottom > bottom) {
        for (std::size_t i = 0; i < count; ++i) take(i);
    } else {
        std::size_t from = 0;
        for (; from < count && print.glyph_x[from] + reach.left < area_left; ++from) take(from);
        for (std::size_t i = count; i > from && print.glyph_x[i - 1] + reach.right > area_right; --i) take(i - 1);
    }
    return Rect{left, top, right - left, bottom - top};
}

Rect TextLayer::add(const TextPrint& print) {
    // Compared as bytes: char_traits<char32_t> compares one character a step.
    const auto same_text = [&print](const auto& t) {
        return t.area.width() == print.area.width() && t.text.size() == print.text.size() &&
               std::memcmp(t.text.data(), print.text.data(), print.text.size() * sizeof(char32_t)) == 0;
    };
    // The same characters drawn in the same place have the same ink.
    const Job* standing = nullptr;
    if ((shown_tiles_ & tiles_.of(print.area)) != 0) {
        const int at = shown_in_place(print);
        if (at >= 0 && same_text(shown_[at])) standing = &shown_[at];
    }
    const Rect effect = standing ? standing->effect : ink_effect(print);
    int latest_here = -1, last_meeting = -1;
    for (int i = 0; i < static_cast<int>(jobs_.size()); ++i) {
        if (jobs_[i].same_place(print)) latest_here = i;
        if (jobs_[i].effect.overlaps(effect)) last_meeting = i;
    }
    // The same text stands or waits there, and nothing waiting comes over it.
    if (last_meeting >= 0 && last_meeting == latest_here && same_text(jobs_[latest_here])) return Rect{};
    if (last_meeting < 0 && standing && standing->damage.empty()) return Rect{};

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
                draw_and_remember(i, target, false);
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

bool TextLayer::restores_only_inside(std::size_t i, const Rect& area) const {
    const Job& job = jobs_[i];
    const int at = shown_at(job);
    if (at < 0) return false;
    const Job& shown = shown_[at];
    // Drawn over its undamaged copy, the same text changes no pixel outside
    // the copy's damage (difference() finds nothing).
    if (shown.text != job.text || shown.glyph_x != job.glyph_x || shown.area != job.area) return false;
    if (!shown.damage.empty() && !shown.damage.inside(area)) return false;
    // Another waiting text over it would be drawn in order with it.
    for (std::size_t k = 0; k < jobs_.size(); ++k)
        if (k != i && jobs_[k].effect.overlaps(job.effect)) return false;
    return true;
}

void TextLayer::drop_jobs_covered(const Rect& area) {
    bool dropped = false;
    for (std::size_t i = 0; i < jobs_.size();) {
        if (!jobs_[i].effect.overlaps(area) || !restores_only_inside(i, area)) {
            ++i;
            continue;
        }
        spare_jobs_.push_back(std::move(jobs_[i]));
        jobs_.erase(jobs_.begin() + static_cast<std::ptrdiff_t>(i));
        dropped = true;
    }
    if (!dropped) return;
    job_tiles_ = 0;
    for (const Job& job : jobs_) job_tiles_ |= tiles_.of(job.effect);
}

void TextLayer::draw_all(const PixelRows& target) {
    if (jobs_.empty()) return;
    for (std::size_t i = 0; i < jobs_.size(); ++i) draw_and_remember(i, target, true);
    jobs_.clear();
    job_tiles_ = 0;
}

void TextLayer::forget_all() {
    for (Job& job : jobs_) spare_jobs_.push_back(std::move(job));
    jobs_.clear();
    job_tiles_ = 0;
    forget_shown();
}

void TextLayer::forget_shown() {
    for (Job& job : shown_) spare_jobs_.push_back(std::move(job));
    shown_.clear();
    shown_effects_.clear();
    shown_tiles_ = 0;
    shown_bounds_ = Rect{};
}

void TextLayer::damage(const Rect& area, int& spared) {
    if ((shown_tiles_ & tiles_.of(area)) == 0) return;
    // A text the area misses keeps its record as it is: most drawing meets
    // one text or none, and only a hit can leave a text damaged all over.
    const std::size_t count = shown_effects_.size();
    std::size_t first = 0;
    // The four comparisons without branches; an empty effect it takes for
    // met is looked at again below.
    const int left = area.x, top = area.y, right = area.x + area.w, bottom = area.y + area.h;
    const auto meets = [&](const Rect& e) {
        return (static_cast<int>(left < e.x + e.w) & static_cast<int>(e.x < right) & static_cast<int>(top < e.y + e.h) &
                static_cast<int>(e.y < bottom)) != 0;
    };
    while (first < count && (static_cast<int>(first) == spared || !meets(shown_effects_[first]))) ++first;
    if (first == count) return;
    std::size_t kept = first;
    int spared_now = spared;
    for (std::size_t i = first; i < count; ++i) {
        Job& shown = shown_[i];
        if (static_cast<int>(i) == spared) {
            spared_now = static_cast<int>(kept);
        } else if (area.overlaps(shown.effect)) {
            const Rect hit = area.intersected(shown.effect);
            shown.damage = shown.damage.empty() ? hit : shown.damage.united(hit);
            // Damaged all over, it would be drawn whole anyway.
            if (shown.effect.inside(shown.damage)) {
                spare_jobs_.push_back(std::move(shown));
                continue;
            }
        }
        if (kept != i) {
            shown_[kept] = std::move(shown);
            shown_effects_[kept] = shown_effects_[i];
        }
        ++kept;
    }
    shown_.resize(kept);
    shown_effects_.resize(kept);
    spared = spared_now;
}

int TextLayer::shown_at(const Job& job) const {
    if ((shown_tiles_ & tiles_.of(job.effect)) == 0) return -1;
    return shown_in_place(job);
}

Rect TextLayer::difference(const Job& before, const Job& next) {
    // One face from the same start: equal characters lie at equal pixels
    // up to the first difference, and from the end back when both end at
    // the same pixel.
    const std::u32string& a = before.text;
    const std::u32string& b = next.text;
    std::size_t first = 0;
    while (first < a.size() && first < b.size() && a[first] == b[first]) ++first;
    std::size_t end_a = a.size(), end_b = b.size();
    if (before.glyph_x.back() == next.glyph_x.back())
        while (end_a > first && end_b > first && a[end_a - 1] == b[end_b - 1]) {
            --end_a;
            --end_b;
        }
    // Both paint the same background: pixels differ only where the ink of
    // a differing glyph lies, and where the new text's background reaches
    // beyond the old one's.
    Rect changed;
    const auto take_ink = [&](const Job& job, std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            if (job.text[i] == U' ') continue;
            const InkBox& ink = ink_of(*job.face, job.font_key, job.text[i]);
            if (ink.empty()) continue;
            const Rect box{job.glyph_x[i] + ink.left, job.baseline + ink.top, ink.right - ink.left,
                           ink.bottom - ink.top};
            changed = changed.empty() ? box : changed.united(box);
        }
    };
    take_ink(before, first, end_a);
    take_ink(next, first, end_b);
    const int before_end = before.area.x + before.area.w, next_end = next.area.x + next.area.w;
    if (before_end < next_end) {
        const Rect longer{before_end, next.area.y, next_end - before_end, next.area.h};
        changed = changed.empty() ? longer : changed.united(longer);
    }
    return changed;
}

void TextLayer::draw_and_remember(std::size_t i, const PixelRows& image, bool all_later) {
    Job& job = jobs_[i];
    const Rect on_image{0, 0, image.width, image.height};
    if (!remembering_) {
        draw(job, image, on_image);
        spare_jobs_.push_back(std::move(job));
        return;
    }
    // What differs from the text standing there, and what other drawing
    // damaged of it: two parts, one when they meet.
    std::array<Rect, 2> parts = {job.effect, Rect{}};
    int before = shown_at(job);
    if (before >= 0) {
        const Job& shown = shown_[before];
        parts = {difference(shown, job), shown.damage};
        if (parts[0].overlaps(parts[1])) parts = {parts[0].united(parts[1]), Rect{}};
    }
    // A part that a text drawn next paints over shows that text whatever
    // this one draws: it is left, and this text's record keeps it as damage.
    // (Two table entries whose backgrounds meet would otherwise redraw the
    // shared stripe for each other at every reprint.)
    Rect left_out;
    for (Rect part : parts) {
        part = part.intersected(job.effect).intersected(on_image);
        if (part.empty()) continue;
        if (painted_later(i, part, all_later)) {
            left_out = left_out.empty() ? part : left_out.united(part);
            continue;
        }
        draw(job, image, part);
        // The text's own record is replaced below: only the others are damaged.
        if (part.overlaps(shown_bounds_)) damage(part, before);
    }
    job.damage = left_out;
    if (before >= 0) {
        std::swap(shown_[before], job);
        shown_effects_[before] = shown_[before].effect;
        spare_jobs_.push_back(std::move(job));
        remembered(shown_[before].effect);
        return;
    }
    if (shown_.size() >= max_shown) {
        spare_jobs_.push_back(std::move(shown_.front()));
        shown_.erase(shown_.begin());
        shown_effects_.erase(shown_effects_.begin());
    }
    shown_.push_back(std::move(job));
    shown_effects_.push_back(shown_.back().effect);
    remembered(shown_.back().effect);
}

void TextLayer::draw(const Job& job, const PixelRows& image, const Rect& clip) {
    const Rgb ink = to_rgb(job.ink), paper = to_rgb(job.paper);
    pixels::paint(image, job.area.intersected(clip), paper);
    const bool whole = job.effect.inside(clip);
    for (std::size_t i = 0; i < job.text.size(); ++i) {
        if (job.text[i] == U' ') continue;
        // A glyph whose ink lies beside the clip has nothing to copy.
        if (!whole) {
            const char32_t ch = job.text[i];
            const InkBox& box = job.font_key == ink_font_ && ch < ink_boxes_.size() && ink_known_[ch]
                                    ? ink_boxes_[ch]
                                    : ink_of(*job.face, job.font_key, ch);
            if (box.empty() || job.glyph_x[i] + box.right <= clip.x || job.glyph_x[i] + box.left >= clip.x + clip.w)
                continue;
        }
        copy_glyph(image, glyphs_.painted(*job.face, job.font_key, job.text[i], ink, paper), job.glyph_x[i],
                   job.baseline, clip);
    }
}

}  // namespace rt
