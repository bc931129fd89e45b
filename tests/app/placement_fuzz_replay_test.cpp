// The placement file's fuzz entry point under GCC and the sanitizers: the
// seed corpus, every cut of it and mutations. A broken invariant traps,
// which fails the test. Long runs use the fuzz preset.
#include "support/fuzz_replay.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

namespace qmt::test {
namespace {

TEST(PlacementFuzzReplay, SeedsAndMutationsKeepTheInvariants) {
    const std::vector<std::string> seeds = CorpusSeeds(qmt::test::paths::Corpus("placement_fuzz"));
    ASSERT_GE(seeds.size(), 5u);
    FuzzMutator mutator("[]=MainLeftTopWidthHeightSettings0123456789.-e \t\r\n\\", 20261207);
    FeedSeedsCutsAndMutations(seeds, mutator, 1500);
}

} // namespace
} // namespace qmt::test
