// The recall parser's fuzz entry point under GCC and the sanitizers: the seed
// corpus, every cut of it, a few thousand mutations and some pathological
// files. A broken invariant traps, which fails the test. Long runs use the
// fuzz preset.
#include "support/fuzz_replay.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

namespace qmt::test {
namespace {

TEST(RecallFuzzReplay, SeedsMutationsAndPathologicalFilesKeepTheInvariants) {
    const std::vector<std::string> seeds =
        CorpusSeeds(qmt::test::paths::Corpus("settings_recall_fuzz"));
    ASSERT_GE(seeds.size(), 5u);
    FuzzMutator mutator("{}xX0123456789abcdefABCDEFgG \t\r\n/", 20261206);
    FeedSeedsCutsAndMutations(seeds, mutator, 4000);
    FeedFuzzTarget(std::string(4096, '\0'));
    FeedFuzzTarget("{" + std::string(1 << 20, 'x'));         // one huge line of x
    FeedFuzzTarget("{\n" + std::string(1 << 20, '0') + "}"); // no x, no line end
    std::string lines = "{\n";
    for (int i = 0; i < 20000; ++i) {
        lines += "0x24\t0x80\n";
    }
    FeedFuzzTarget(lines); // no "}"
}

} // namespace
} // namespace qmt::test
