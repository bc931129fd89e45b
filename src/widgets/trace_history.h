#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <memory>
#include <vector>

namespace qmt::widgets {

// Smallest and largest value of a run of samples.
struct MinMax {
    float min = 0.0f;
    float max = 0.0f;
};

// One aligned run of samples as a reader sees it.
struct Bucket {
    std::size_t first = 0; // index of its first sample
    std::size_t count = 0;
    MinMax range;
    double time = 0.0; // of its first sample
    float firstValue = 0.0f;
    float lastValue = 0.0f;
};

// One trace's whole history: (time, value) samples in fixed-size chunks, so
// that appending never moves what is stored, plus a min/max pyramid over
// them. Level l of the pyramid holds one MinMax per aligned run of 4^l
// samples and is filled as the run completes, so a reader can cover any
// index range with O(range / 4^l + l) buckets and miss no sample.
//
// Times are seconds on any monotonic scale; a time earlier than the last one
// is stored as the last one, so times never decrease. Values are kept in
// single precision.
class TraceHistory {
public:
    static constexpr std::size_t LevelFactorBits = 2; // each level 4x coarser
    static constexpr std::size_t ChunkBits = 12;
    static constexpr std::size_t ChunkSize = std::size_t{1} << ChunkBits;

    void Append(double time, float value);
    void Clear();

    std::size_t Size() const { return size_; }
    bool Empty() const { return size_ == 0; }
    double TimeAt(std::size_t index) const;
    float ValueAt(std::size_t index) const;
    // First index whose time is not below t (Size() when there is none).
    std::size_t LowerBound(double t) const;
    // First index whose time is above t.
    std::size_t UpperBound(double t) const;

    // Number of pyramid levels above the samples themselves.
    std::size_t Levels() const { return levels_.size(); }
    static std::size_t BucketSize(std::size_t level) { return std::size_t{1} << (2 * level); }

    // Calls visit(bucket) for consecutive buckets that together cover
    // [begin, end) exactly, in order, none larger than 4^maxLevel samples.
    // Each bucket is aligned to its size.
    template <typename Visit>
    void VisitBuckets(std::size_t begin, std::size_t end, std::size_t maxLevel,
                      Visit&& visit) const {
        std::size_t index = begin;
        while (index < end) {
            const std::size_t level = LargestBucketAt(index, end, maxLevel);
            const Bucket bucket = BucketOf(level, index);
            visit(bucket);
            index += bucket.count;
        }
    }

    // Bytes held by the samples and the pyramid (not counting spare capacity
    // of the small bookkeeping vectors).
    std::size_t MemoryBytes() const;

private:
    struct Chunk {
        double baseTime = 0.0;                 // time of the chunk's first sample
        std::array<float, ChunkSize> offset{}; // seconds after baseTime
        std::array<float, ChunkSize> value{};
    };

    // Time and end values of the buckets of the coarse levels, so that a
    // zoomed-out reader touches no samples: reading them from the samples
    // would cost a cache miss per bucket there.
    struct Edges {
        double time = 0.0;
        float first = 0.0f;
        float last = 0.0f;
    };
    static constexpr std::size_t EdgeLevel = 3;

    std::size_t LargestBucketAt(std::size_t index, std::size_t end, std::size_t maxLevel) const;
    MinMax RangeAt(std::size_t level, std::size_t bucket) const;
    Bucket BucketOf(std::size_t level, std::size_t first) const;
    void CompleteBuckets();

    std::vector<std::unique_ptr<Chunk>> chunks_;
    // levels_[l - 1] is pyramid level l; a deque grows without moving entries.
    std::vector<std::deque<MinMax>> levels_;
    // edges_[l - EdgeLevel] belongs to pyramid level l.
    std::vector<std::deque<Edges>> edges_;
    std::size_t size_ = 0;
    double lastTime_ = 0.0;
};

} // namespace qmt::widgets
