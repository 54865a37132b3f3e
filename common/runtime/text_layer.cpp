#include "common/runtime/text_layer.h"

#include <algorithm>
#include <limits>

namespace rt {
namespace {

bool inside(const QRect& inner, const QRect& outer) {
    return inner.left() >= outer.left() && inner.top() >= outer.top() &&
           inner.left() + inner.width() <= outer.left() + outer.width() &&
           inner.top() + inner.height() <= outer.top() + outer.height();
}

constexpr int no_ink_left = std::numeric_limits<int>::max();
constexpr int no_ink_right = std::numeric_limits<int>::min();

}  // namespace

Tiles::Tiles(int width, int height) : width_(width), height_(height) {
    while ((8 << shift_) < std::max(width_, height_)) ++shift_;
}

const InkBox& TextLayer::ink_of(const QFont& font, int font_key, char32_t ch) {
    if (ch >= ink_boxes_.size()) return glyphs_.mask(font, font_key, ch).ink;
    if (font_key != ink_font_) {
        ink_font_ = font_key;
        ink_known_.fill(false);
    }
    if (!ink_known_[ch]) {
        ink_boxes_[ch] = glyphs_.mask(font, font_key, ch).ink;
        ink_known_[ch] = true;
    }
    return ink_boxes_[ch];
}

QRect TextLayer::ink_effect(const TextPrint& print) {
    int left = print.area.left(), right = print.area.left() + print.area.width();
    int top = print.area.top(), bottom = print.area.top() + print.area.height();
    const bool known_font = print.font_key == ink_font_;
    for (std::size_t i = 0; i < print.text.size(); ++i) {
        const char32_t ch = print.text[i];
        if (ch == U' ') continue;
        const InkBox& ink = known_font && ch < ink_boxes_.size() && ink_known_[ch]
                                ? ink_boxes_[ch]
                                : ink_of(print.font, print.font_key, ch);
        if (ink.empty()) continue;
        left = std::min(left, print.glyph_x[i] + ink.left);
        right = std::max(right, print.glyph_x[i] + ink.right);
        top = std::min(top, print.baseline + ink.top);
        bottom = std::max(bottom, print.baseline + ink.bottom);
    }
    return QRect(left, top, right - left, bottom - top);
}

QRect TextLayer::add(const TextPrint& print) {
    const QRect effect = ink_effect(print);
    const auto same_place = [&print](const auto& t) {
        return t.area.topLeft() == print.area.topLeft() && t.ink == print.ink && t.paper == print.paper &&
               t.font_key == print.font_key;
    };
    const auto same_text = [&print](const auto& t) {
        return t.area.width() == print.area.width() && t.text == print.text;
    };
    int latest_here = -1, last_meeting = -1;
    for (int i = 0; i < static_cast<int>(jobs_.size()); ++i) {
        if (same_place(jobs_[i])) latest_here = i;
        if (overlap(jobs_[i].effect, effect)) last_meeting = i;
    }
    // The same text stands or waits there, and nothing waiting comes over it.
    if (last_meeting >= 0 && last_meeting == latest_here && same_text(jobs_[latest_here])) return QRect();
    if (last_meeting < 0) {
        const Record* shown = nullptr;
        for (const Record& record : records_)
            if (same_place(record)) shown = &record;
        if (shown != nullptr && shown->damage.isEmpty() && same_text(*shown)) return QRect();
    }

    // A text waiting in the same place that this one paints over completely
    // need not be drawn: the texts between them only paint, never blend.
    Job job;
    if (!spare_jobs_.empty()) {
        job = std::move(spare_jobs_.back());
        spare_jobs_.pop_back();
    }
    if (latest_here >= 0 && inside(jobs_[latest_here].effect, print.area)) {
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
    job.font = print.font;
    job.font_key = print.font_key;
    jobs_.push_back(std::move(job));
    job_tiles_ |= tiles_.of(effect);
    return effect;
}

void TextLayer::draw_jobs_under(const QRect& area, QImage& image) {
    // The jobs `area` meets, and, going back, every earlier job that meets
    // one of those: drawn in print order. Jobs that meet none of them keep
    // waiting; the drawn ones lie apart from them, so the order between the
    // two does not matter.
    drawn_.assign(jobs_.size(), 0);
    meeting_.clear();
    std::size_t count = 0;
    for (std::size_t i = jobs_.size(); i-- > 0;) {
        const QRect& effect = jobs_[i].effect;
        bool meets = overlap(effect, area);
        for (std::size_t k = 0; !meets && k < meeting_.size(); ++k) meets = overlap(effect, meeting_[k]);
        if (!meets) continue;
        drawn_[i] = 1;
        meeting_.push_back(effect);
        ++count;
    }
    if (count > 0) {
        const pixels::Target target(image);
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

void TextLayer::draw_all(QImage& image) {
    if (jobs_.empty()) return;
    const pixels::Target target(image);
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
    records_.clear();
    record_tiles_ = 0;
}

template <typename Match>
std::size_t TextLayer::drop_records_where(Match match) {
    // In any order: the last record takes the place of a removed one.
    std::size_t dropped = 0;
    for (std::size_t i = 0; i < records_.size();) {
        if (!match(records_[i])) {
            ++i;
            continue;
        }
        if (i + 1 != records_.size()) std::swap(records_[i], records_.back());
        records_.pop_back();
        ++dropped;
    }
    return dropped;
}

void TextLayer::recount_record_tiles() {
    record_tiles_ = 0;
    for (const Record& record : records_) add_record_tiles(record.area);
}

void TextLayer::forget_records_under(const QRect& area) {
    for (Record& record : records_)
        if (overlap(record.area, area)) record.damage = record.damage.isEmpty() ? area : record.damage.united(area);
}

TextLayer::Record* TextLayer::record_at(const Job& job) {
    for (Record& record : records_)
        if (record.area.topLeft() == job.area.topLeft() && record.ink == job.ink && record.paper == job.paper &&
            record.font_key == job.font_key)
            return &record;
    return nullptr;
}

void TextLayer::draw(const Job& job, const pixels::Target& image) {
    const std::u32string& chars = job.text;
    const std::vector<int>& glyph_x = job.glyph_x;
    const std::size_t n = chars.size();
    const QRgb ink = to_rgb(job.ink), paper = to_rgb(job.paper);

    // Over the same text in the same place, colours and font, with nothing
    // drawn over it since, only from the first glyph that changed.
    Span span{0, 0, n, n};
    Record* earlier = record_at(job);
    if (earlier != nullptr) {
        std::size_t same = 0;
        while (same < n && same < earlier->text.size() && chars[same] == earlier->text[same]) ++same;
        if (same == n && earlier->area.width() == job.area.width()) {
            if (earlier->damage.isEmpty()) return;
            if (!rewrites_in_full_) {
                repair(*earlier, job, image);
                return;
            }
        }
        // A damaged text is drawn afresh.
        if (!rewrites_in_full_ && earlier->damage.isEmpty()) span = rewrite_span(*earlier, job, same);
    }

    pixels::paint(image,
                  QRect(glyph_x[span.fill_from], job.area.top(), glyph_x[span.fill_to] - glyph_x[span.fill_from],
                        job.area.height()),
                  paper);

    // The record keeps its storage: a line rewritten at every step allocates
    // nothing. Ink columns come from the earlier record where glyphs stay.
    Record record;
    if (earlier != nullptr) std::swap(record, *earlier);
    ink_left_.resize(n);
    ink_right_.resize(n);
    std::copy_n(record.ink_left.begin(), span.draw_from, ink_left_.begin());
    std::copy_n(record.ink_right.begin(), span.draw_from, ink_right_.begin());
    for (std::size_t i = span.draw_from; i < span.draw_to; ++i) {
        ink_left_[i] = no_ink_left;
        ink_right_[i] = no_ink_right;
        if (chars[i] == U' ') continue;
        const PaintedGlyph& glyph = glyphs_.painted(job.font, job.font_key, chars[i], ink, paper);
        copy_glyph(image, glyph, glyph_x[i], job.baseline);
        if (glyph.ink_from < glyph.ink_to) {
            ink_left_[i] = glyph_x[i] + glyph.ink_from;
            ink_right_[i] = glyph_x[i] + glyph.ink_to;
        }
    }
    // The kept tail stands where it was, at the end of the earlier text.
    for (std::size_t i = span.draw_to, k = record.text.size() - (n - i); i < n; ++i, ++k) {
        ink_left_[i] = record.ink_left[k];
        ink_right_[i] = record.ink_right[k];
    }
    std::swap(record.ink_left, ink_left_);
    std::swap(record.ink_right, ink_right_);
    record.area = job.area;
    record.text.assign(chars);
    record.glyph_x.assign(glyph_x.begin(), glyph_x.end());
    record.ink = job.ink;
    record.paper = job.paper;
    record.font_key = job.font_key;

    // The texts this one was drawn over are damaged where it may have gone;
    // texts never are empty: an empty record is the place this one came from.
    const bool replaced = earlier != nullptr;
    forget_records_under(job.effect);
    if (replaced) drop_records_where([](const Record& r) { return r.text.empty(); });
    const bool full = records_.size() >= max_records;
    if (full) records_.erase(records_.begin());  // any one will do: records only spare redrawing
    if (!job.area.isEmpty()) records_.push_back(std::move(record));
    if (full)
        recount_record_tiles();
    else
        add_record_tiles(job.area);
}

// The same text printed again over its damaged record: the background
// repainted where the damage lies in its area, then the glyphs with ink in
// the damage, and every later glyph whose ink columns may meet one of those
// (so that each pixel still takes the last glyph's ink). Elsewhere the text
// stands as drawn, and a glyph drawn again there writes what is there.
void TextLayer::repair(Record& record, const Job& job, const pixels::Target& image) {
    const QRect damage = record.damage;
    const QRgb ink = to_rgb(job.ink), paper = to_rgb(job.paper);
    QRect changed = damage.intersected(job.area);
    pixels::paint(image, changed, paper);
    int drawn_right = no_ink_right;  // rightmost ink column of the glyphs drawn again
    for (std::size_t i = 0; i < job.text.size(); ++i) {
        if (job.text[i] == U' ') continue;
        const InkBox& box = ink_of(job.font, job.font_key, job.text[i]);
        if (box.empty()) continue;
        const QRect glyph_ink(job.glyph_x[i] + box.left, job.baseline + box.top, box.right - box.left,
                              box.bottom - box.top);
        if (!overlap(glyph_ink, damage) && record.ink_left[i] >= drawn_right) continue;
        copy_glyph(image, glyphs_.painted(job.font, job.font_key, job.text[i], ink, paper), job.glyph_x[i],
                   job.baseline);
        drawn_right = std::max(drawn_right, record.ink_right[i]);
        changed = changed.isEmpty() ? glyph_ink : changed.united(glyph_ink);
    }
    // Texts around are damaged where this drew; this one stands whole again.
    if (!changed.isEmpty()) forget_records_under(changed);
    record.damage = QRect();
}

// The image shows `earlier` (its background over [glyph_x[0], end), then its
// glyphs in order); the new text shares its first `first_change` characters
// and their places. Drawing the new text afresh repaints the background from
// its first glyph and all glyphs. It is enough to repaint the background from
// glyph j and the glyphs from j' when
//   - no glyph of the earlier text from j on has ink left of glyph_x[j]
//     (what stays unpainted must be what a fresh drawing leaves there), and
//   - no glyph before j' has ink right of glyph_x[j] (the repainted
//     background would wipe it).
// j is the last such place up to the first change; j' the first glyph that
// reaches across it. Likewise at the end: a tail both texts share in the same
// places (the blanks after a value) stays as it is when its glyphs have no
// ink before it, no glyph before it of either text has ink in it, and the new
// glyphs drawn before it meet none of its ink. Ink columns are the glyphs'
// own, so this holds for any font, kerning or overhang; with j = 0 and no
// tail it is the fresh drawing.
TextLayer::Span TextLayer::rewrite_span(const Record& earlier, const Job& job, std::size_t first_change) {
    const std::u32string& chars = job.text;
    const std::vector<int>& glyph_x = job.glyph_x;
    const std::size_t n = chars.size(), m = earlier.text.size();
    // Glyphs before the first change are the earlier text's own, in the same places.
    int earlier_ink_left = no_ink_left;
    for (std::size_t i = first_change; i < m; ++i) earlier_ink_left = std::min(earlier_ink_left, earlier.ink_left[i]);
    std::size_t fill_from = first_change;
    while (fill_from > 0 && earlier_ink_left < glyph_x[fill_from]) {
        --fill_from;
        earlier_ink_left = std::min(earlier_ink_left, earlier.ink_left[fill_from]);
    }
    std::size_t draw_from = fill_from;
    for (std::size_t i = 0; i < fill_from; ++i)
        if (earlier.ink_right[i] > glyph_x[fill_from]) {
            draw_from = i;
            break;
        }

    // The tail both texts share, glyph for glyph in the same places.
    std::size_t tail = 0;
    if (glyph_x[n] == earlier.glyph_x[m]) {
        const std::size_t most = std::min(n, m) - first_change;
        while (tail < most && chars[n - 1 - tail] == earlier.text[m - 1 - tail] &&
               glyph_x[n - 1 - tail] == earlier.glyph_x[m - 1 - tail])
            ++tail;
    }
    if (tail > 0) {
        const int edge = glyph_x[n - tail];
        int tail_ink_left = no_ink_left;
        for (std::size_t i = m - tail; i < m; ++i) tail_ink_left = std::min(tail_ink_left, earlier.ink_left[i]);
        bool keeps = tail_ink_left >= edge;
        for (std::size_t i = 0; keeps && i < m - tail; ++i) keeps = earlier.ink_right[i] <= edge;
        for (std::size_t i = first_change; keeps && i < n - tail; ++i) {
            if (chars[i] == U' ') continue;
            const InkBox& ink = ink_of(job.font, job.font_key, chars[i]);
            keeps = ink.empty() || glyph_x[i] + ink.right <= tail_ink_left;
        }
        if (!keeps) tail = 0;
    }
    return {fill_from, draw_from, n - tail, n - tail};
}

}  // namespace rt
