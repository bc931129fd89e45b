#include "widgets/trace_history.h"

#include <algorithm>

namespace qmt::widgets {

namespace {

constexpr std::size_t ChunkMask = TraceHistory::ChunkSize - 1;
constexpr std::size_t Factor = std::size_t{1} << TraceHistory::LevelFactorBits;

MinMax Merge(MinMax a, MinMax b) {
    return {std::min(a.min, b.min), std::max(a.max, b.max)};
}

} // namespace

void TraceHistory::Append(double time, float value) {
    if (size_ > 0) {
        time = std::max(time, lastTime_);
    }
    const std::size_t slot = size_ & ChunkMask;
    if (slot == 0) {
        chunks_.push_back(std::make_unique<Chunk>());
        chunks_.back()->baseTime = time;
    }
    Chunk& chunk = *chunks_.back();
    chunk.offset[slot] = static_cast<float>(time - chunk.baseTime);
    chunk.value[slot] = value;
    lastTime_ = time;
    ++size_;
    CompleteBuckets();
}

void TraceHistory::CompleteBuckets() {
    // A bucket of level l completes when the count reaches a multiple of 4^l;
    // it is merged from the four buckets (or samples) below it.
    std::size_t level = 1;
    while (size_ % BucketSize(level) == 0) {
        if (levels_.size() < level) {
            levels_.emplace_back();
        }
        const std::size_t first = size_ - BucketSize(level);
        const std::size_t childSize = BucketSize(level - 1);
        MinMax merged = RangeAt(level - 1, first / childSize);
        for (std::size_t child = 1; child < Factor; ++child) {
            merged = Merge(merged, RangeAt(level - 1, first / childSize + child));
        }
        levels_[level - 1].push_back(merged);
        if (level >= EdgeLevel) {
            if (edges_.size() <= level - EdgeLevel) {
                edges_.emplace_back();
            }
            edges_[level - EdgeLevel].push_back(
                {TimeAt(first), ValueAt(first), ValueAt(size_ - 1)});
        }
        ++level;
    }
}

void TraceHistory::Clear() {
    chunks_.clear();
    levels_.clear();
    edges_.clear();
    size_ = 0;
    lastTime_ = 0.0;
}

double TraceHistory::TimeAt(std::size_t index) const {
    const Chunk& chunk = *chunks_[index >> ChunkBits];
    return chunk.baseTime + static_cast<double>(chunk.offset[index & ChunkMask]);
}

float TraceHistory::ValueAt(std::size_t index) const {
    return chunks_[index >> ChunkBits]->value[index & ChunkMask];
}

std::size_t TraceHistory::LowerBound(double t) const {
    // Binary search over indices; TimeAt is O(1), so this is O(log n).
    std::size_t low = 0;
    std::size_t high = size_;
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        if (TimeAt(mid) < t) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return low;
}

std::size_t TraceHistory::UpperBound(double t) const {
    std::size_t low = 0;
    std::size_t high = size_;
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        if (TimeAt(mid) <= t) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return low;
}

std::size_t TraceHistory::LargestBucketAt(std::size_t index, std::size_t end,
                                          std::size_t maxLevel) const {
    const std::size_t top = std::min(maxLevel, levels_.size());
    std::size_t level = 0;
    while (level < top) {
        const std::size_t next = BucketSize(level + 1);
        if (index % next != 0 || index + next > end || index + next > size_) {
            break;
        }
        ++level;
    }
    return level;
}

MinMax TraceHistory::RangeAt(std::size_t level, std::size_t bucket) const {
    if (level == 0) {
        const float value = ValueAt(bucket);
        return {value, value};
    }
    return levels_[level - 1][bucket];
}

Bucket TraceHistory::BucketOf(std::size_t level, std::size_t first) const {
    const std::size_t count = BucketSize(level);
    const std::size_t bucket = first >> (2 * level);
    const MinMax range = RangeAt(level, bucket);
    if (level >= EdgeLevel) {
        const Edges& edges = edges_[level - EdgeLevel][bucket];
        return {first, count, range, edges.time, edges.first, edges.last};
    }
    return {first, count, range, TimeAt(first), ValueAt(first), ValueAt(first + count - 1)};
}

std::size_t TraceHistory::MemoryBytes() const {
    std::size_t bytes = chunks_.size() * sizeof(Chunk);
    for (const std::deque<MinMax>& level : levels_) {
        bytes += level.size() * sizeof(MinMax);
    }
    for (const std::deque<Edges>& level : edges_) {
        bytes += level.size() * sizeof(Edges);
    }
    return bytes;
}

} // namespace qmt::widgets
