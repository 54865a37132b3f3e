#pragma once
// The course of a run for the time plot: the atoms in box 2 after every
// step, kept in a fixed number of buckets whatever the run's length. A
// bucket holds the lowest and highest count of the steps it covers; when all
// are in use, neighbours merge in pairs and each covers twice as many steps.
// So the record is exact step by step for the first `capacity` steps, and
// later exact to the lowest and highest value of a bucket, which is what a
// plot column of several steps shows anyway. Plain C++: recorded and checked
// without a screen.

#include <array>
#include <cstdint>
#include <optional>

namespace diffundo {

class SplitHistory {
public:
    // Buckets: more than a plot has pixel columns, so a column covers at
    // least one bucket once the run fills 40 % of its time axis.
    static constexpr int capacity = 2048;

    struct Range {
        int low = 0;
        int high = 0;
    };

    // A record of a gas of `atoms` atoms that begins with `count` atoms in
    // box 2 at step `first_step` of its run.
    void start(int atoms, int count, std::int64_t first_step);
    // The count after one more step.
    void add(int count);

    int atoms() const { return atoms_; }
    std::int64_t first_step() const { return first_step_; }
    // Steps recorded since the start.
    std::int64_t steps() const { return samples_ - 1; }
    // Of these, the steps after which the count lay in the band N/2 +- sqrt(N)/2.
    std::int64_t steps_inside_band() const { return inside_band_; }
    // The count after the last step (the start's count before any).
    int last() const { return last_; }

    // The lowest and highest count held during the steps `from` to `to`
    // (counted from the start, both included; 0 is the count at the start),
    // to the resolution of a bucket; nothing before the start or beyond the
    // last step.
    std::optional<Range> range(std::int64_t from, std::int64_t to) const;

    std::int64_t bucket_width() const { return width_; }
    int buckets_used() const { return used_; }

private:
    struct Bucket {
        std::int16_t low;
        std::int16_t high;
    };
    void merge_pairs();

    std::array<Bucket, capacity> buckets_{};
    int used_ = 0;              // buckets begun, the last one possibly not full
    std::int64_t width_ = 1;    // samples per bucket
    std::int64_t in_last_ = 0;  // samples in the last bucket
    std::int64_t samples_ = 0;  // the start's count and one per step
    std::int64_t inside_band_ = 0;
    std::int64_t first_step_ = 0;
    int atoms_ = 0;
    int last_ = 0;
};

}  // namespace diffundo
