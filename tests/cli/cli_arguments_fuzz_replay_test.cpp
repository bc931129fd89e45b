// The command-line parser's fuzz entry point under GCC and the sanitizers:
// the seed corpus, every cut of it and a few thousand mutations. A broken
// invariant traps, which fails the test. Long runs use the fuzz preset.
#include "support/fuzz_replay.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

namespace qmt::test {
namespace {

TEST(CliArgumentsFuzzReplay, SeedsAndMutationsKeepTheInvariants) {
    const std::vector<std::string> seeds =
        CorpusSeeds(qmt::test::paths::Corpus("cli_arguments_fuzz"));
    ASSERT_GE(seeds.size(), 5u);
    FuzzMutator mutator(std::string_view("-=x0123456789ABh,:\0", 19), 20261207);
    FeedSeedsCutsAndMutations(seeds, mutator, 3000);
}

} // namespace
} // namespace qmt::test
