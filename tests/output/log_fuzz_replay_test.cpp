// The log reader's fuzz entry point under GCC and the sanitizers: the seed
// corpus, every cut of it, a few thousand mutations and some pathological
// files. A broken invariant traps, which fails the test. Long runs use the
// fuzz preset.
#include "support/fuzz_replay.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

namespace qmt::test {
namespace {

TEST(LogFuzzReplay, SeedsMutationsAndPathologicalFilesKeepTheInvariants) {
    const std::vector<std::string> seeds = CorpusSeeds(qmt::test::paths::Corpus("log_reader_fuzz"));
    ASSERT_GE(seeds.size(), 5u);
    FuzzMutator mutator("0123456789.,-+eE \t\r\n\"\xB0", 20261215);
    FeedSeedsCutsAndMutations(seeds, mutator, 4000);
    FeedFuzzTarget(std::string(4096, '\0'));
    FeedFuzzTarget(std::string(1 << 20, ','));                     // one huge line of empty fields
    FeedFuzzTarget(std::string(1 << 16, '\r'));                    // nothing but line ends
    FeedFuzzTarget("Time ,Local ,\n" + std::string(1 << 20, '9')); // a number without end
    std::string lines = "Time ,Remote1 ,\r\n";
    for (int i = 0; i < 20000; ++i) {
        lines += i % 2 == 0 ? "1,,\r\n" : "1e308,-1e-320,\r\n";
    }
    FeedFuzzTarget(lines);
}

} // namespace
} // namespace qmt::test
