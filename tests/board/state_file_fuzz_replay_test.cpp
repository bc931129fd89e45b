// The state file's fuzz entry point under GCC and the sanitizers: the seed
// corpus, every cut of it and a few thousand mutations. A broken invariant
// traps, which fails the test. Long runs use the fuzz preset.
#include "support/fuzz_replay.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

namespace qmt::test {
namespace {

TEST(StateFileFuzzReplay, SeedsAndMutationsKeepTheInvariants) {
    const std::vector<std::string> seeds = CorpusSeeds(qmt::test::paths::Corpus("state_file_fuzz"));
    ASSERT_GE(seeds.size(), 5u);
    FuzzMutator mutator("reg.0x=123456789ABCDEF #\t\r\n", 20261207);
    FeedSeedsCutsAndMutations(seeds, mutator, 2000);
    FeedFuzzTarget(std::string(70 * 1024, 'r')); // larger than a state file may be
}

} // namespace
} // namespace qmt::test
