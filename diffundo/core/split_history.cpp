#include "diffundo/core/split_history.h"

#include "diffundo/core/history_scale.h"

#include <algorithm>

namespace diffundo {

void SplitHistory::start(int atoms, int count, std::int64_t first_step) {
    atoms_ = atoms;
    first_step_ = first_step;
    used_ = 0;
    width_ = 1;
    in_last_ = 0;
    samples_ = 0;
    inside_band_ = 0;
    add(count);
    // The start is no step: only the steps' counts make the band's share.
    inside_band_ = 0;
}

void SplitHistory::add(int count) {
    const auto value = static_cast<std::int16_t>(count);
    if (used_ == 0 || in_last_ == width_) {
        if (used_ == capacity) merge_pairs();
        buckets_[static_cast<std::size_t>(used_++)] = {value, value};
        in_last_ = 1;
    } else {
        Bucket& bucket = buckets_[static_cast<std::size_t>(used_ - 1)];
        bucket.low = std::min(bucket.low, value);
        bucket.high = std::max(bucket.high, value);
        ++in_last_;
    }
    ++samples_;
    last_ = count;
    if (inside_band(atoms_, count)) ++inside_band_;
}

void SplitHistory::merge_pairs() {
    // Called only with every bucket full: the merged ones are full too.
    for (int i = 0; i < capacity / 2; ++i) {
        const Bucket& a = buckets_[static_cast<std::size_t>(2 * i)];
        const Bucket& b = buckets_[static_cast<std::size_t>(2 * i + 1)];
        buckets_[static_cast<std::size_t>(i)] = {std::min(a.low, b.low), std::max(a.high, b.high)};
    }
    used_ = capacity / 2;
    width_ *= 2;
    in_last_ = width_;
}

std::optional<SplitHistory::Range> SplitHistory::range(std::int64_t from, std::int64_t to) const {
    if (from < 0 || to < from || from >= samples_) return std::nullopt;
    const std::int64_t last_bucket = std::min<std::int64_t>(std::min(to, samples_ - 1) / width_, used_ - 1);
    Range r{buckets_[static_cast<std::size_t>(from / width_)].low,
            buckets_[static_cast<std::size_t>(from / width_)].high};
    for (std::int64_t b = from / width_ + 1; b <= last_bucket; ++b) {
        r.low = std::min<int>(r.low, buckets_[static_cast<std::size_t>(b)].low);
        r.high = std::max<int>(r.high, buckets_[static_cast<std::size_t>(b)].high);
    }
    return r;
}

}  // namespace diffundo
