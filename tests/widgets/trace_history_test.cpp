#include "widgets/trace_envelope.h"
#include "widgets/trace_history.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace qmt::widgets {

namespace {

constexpr double Period = 0.05;
constexpr double Start = 36000.0;

struct Sample {
    double time;
    float value;
};

// Noisy readings with rare single-sample spikes, the samples decimation loses
// first when it is done wrong.
std::vector<Sample> RandomRun(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<float> noise(0.0f, 0.3f);
    std::uniform_int_distribution<int> spike(0, 4999);
    std::vector<Sample> samples;
    float level = 25.0f;
    for (std::size_t i = 0; i < count; ++i) {
        level += noise(random) * 0.1f;
        const int roll = spike(random);
        const float value = level + noise(random) + (roll == 0 ? 40.0f : roll == 1 ? -40.0f : 0.0f);
        samples.push_back({Start + static_cast<double>(i) * Period, value});
    }
    return samples;
}

TraceHistory Fill(const std::vector<Sample>& samples) {
    TraceHistory history;
    for (const Sample& sample : samples) {
        history.Append(sample.time, sample.value);
    }
    return history;
}

} // namespace

TEST(TraceHistory, BucketsCoverAnyRangeExactlyWithTheirTrueMinMax) {
    const std::vector<Sample> samples = RandomRun(70'001, 1);
    const TraceHistory history = Fill(samples);
    std::mt19937 random(2);
    std::uniform_int_distribution<std::size_t> index(0, samples.size());
    for (int round = 0; round < 200; ++round) {
        const auto [begin, end] = std::minmax({index(random), index(random)});
        const auto maxLevel = static_cast<std::size_t>(round % 9);
        std::size_t next = begin;
        history.VisitBuckets(begin, end, maxLevel, [&](const Bucket& bucket) {
            ASSERT_EQ(bucket.first, next);
            ASSERT_EQ(bucket.first % bucket.count, 0U);
            const auto from = samples.begin() + static_cast<std::ptrdiff_t>(bucket.first);
            const auto [low, high] = std::minmax_element(
                from, from + static_cast<std::ptrdiff_t>(bucket.count),
                [](const Sample& a, const Sample& b) { return a.value < b.value; });
            ASSERT_EQ(bucket.range.min, low->value);
            ASSERT_EQ(bucket.range.max, high->value);
            ASSERT_EQ(bucket.lastValue, samples[bucket.first + bucket.count - 1].value);
            next += bucket.count;
        });
        ASSERT_EQ(next, end);
    }
}

TEST(TraceHistory, EnvelopeLosesNoSampleAtAnyZoom) {
    const std::vector<Sample> samples = RandomRun(200'003, 3);
    const TraceHistory history = Fill(samples);
    const double end = samples.back().time;
    struct Zoom {
        double t0, t1;
        int columns;
    };
    for (const Zoom& zoom : std::vector<Zoom>{
             {Start, end, 1600},                  // the whole run, ~125 samples a column
             {Start + 1000.0, end - 3000.0, 37},  // coarse, unaligned
             {end - 60.0, end, 1600},             // one minute: fewer samples than columns
             {Start + 4321.1, Start + 4321.9, 5}, // a fraction of a second
             {end - 5000.0, end + 1000.0, 700},   // beyond the newest sample
         }) {
        SCOPED_TRACE(zoom.columns);
        std::vector<EnvelopeColumn> envelope;
        const std::size_t buckets =
            BuildEnvelope(history, zoom.t0, zoom.t1, zoom.columns, envelope);
        ASSERT_EQ(envelope.size(), static_cast<std::size_t>(zoom.columns));
        EXPECT_LE(buckets, static_cast<std::size_t>(zoom.columns) * 4 + 64);

        // Brute force: the min/max of the samples of each column.
        std::vector<float> low(envelope.size(), 1e9f);
        std::vector<float> high(envelope.size(), -1e9f);
        for (std::size_t i = 0; i < samples.size(); ++i) {
            // The stored time, which may differ from the given one by float rounding.
            const Sample sample{history.TimeAt(i), samples[i].value};
            if (sample.time < zoom.t0 || sample.time > zoom.t1) {
                continue;
            }
            const auto c =
                static_cast<std::size_t>(ColumnOf(sample.time, zoom.t0, zoom.t1, zoom.columns));
            low[c] = std::min(low[c], sample.value);
            high[c] = std::max(high[c], sample.value);
            // Each sample lies in the envelope of its column or the one
            // before, where its bucket may have started.
            const EnvelopeColumn& own = envelope[c];
            const EnvelopeColumn& before = envelope[c > 0 ? c - 1 : 0];
            const bool inOwn = own.filled && own.min <= sample.value && sample.value <= own.max;
            const bool inBefore =
                before.filled && before.min <= sample.value && sample.value <= before.max;
            ASSERT_TRUE(inOwn || inBefore) << "sample at " << sample.time;
        }
        float envelopeLow = 1e9f;
        float envelopeHigh = -1e9f;
        for (std::size_t c = 0; c < envelope.size(); ++c) {
            if (!envelope[c].filled) {
                continue;
            }
            envelopeLow = std::min(envelopeLow, envelope[c].min);
            envelopeHigh = std::max(envelopeHigh, envelope[c].max);
            // Nothing invented: a column's extremes come from its own
            // samples or those of the next column.
            const std::size_t next = std::min(c + 1, envelope.size() - 1);
            EXPECT_GE(envelope[c].min, std::min(low[c], low[next]));
            EXPECT_LE(envelope[c].max, std::max(high[c], high[next]));
        }
        // Every spike survives, exactly.
        EXPECT_EQ(envelopeLow, *std::min_element(low.begin(), low.end()));
        EXPECT_EQ(envelopeHigh, *std::max_element(high.begin(), high.end()));
    }
}

TEST(TraceHistory, TimesStayOrderedAndPreciseAcrossDays) {
    TraceHistory history;
    // Three days in, at 20 samples a second: offsets within a chunk keep
    // the millisecond.
    const double dayThree = 3 * 86400.0 + 12.0;
    for (int i = 0; i < 10'000; ++i) {
        history.Append(dayThree + i * Period, static_cast<float>(i));
    }
    EXPECT_NEAR(history.TimeAt(9'999), dayThree + 9'999 * Period, 1e-4);
    // A clock that steps back does not reorder the history.
    history.Append(dayThree, 1.0f);
    EXPECT_EQ(history.TimeAt(10'000), history.TimeAt(9'999));
    EXPECT_EQ(history.LowerBound(dayThree + 100 * Period - 1e-6), 100U);
    EXPECT_EQ(history.UpperBound(dayThree + 100 * Period + 1e-6), 101U);
    history.Clear();
    std::vector<EnvelopeColumn> envelope;
    EXPECT_EQ(BuildEnvelope(history, 0.0, 10.0, 10, envelope), 0U);
    EXPECT_EQ(BuildEnvelope(history, 10.0, 10.0, 0, envelope), 0U);
    EXPECT_TRUE(envelope.empty());
}

} // namespace qmt::widgets
