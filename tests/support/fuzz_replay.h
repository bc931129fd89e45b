#pragma once

// Runs a libFuzzer entry point under GCC and the sanitizers, without
// libFuzzer: its seed corpus, every cut of each seed and seeded mutations.
// The test binary links the fuzz target's source, which defines the entry.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace qmt::test {

inline void FeedFuzzTarget(const std::string& input) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
}

inline std::vector<std::string> CorpusSeeds(const std::filesystem::path& folder) {
    std::vector<std::string> seeds;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::ifstream file(entry.path(), std::ios::binary);
        std::ostringstream contents;
        contents << file.rdbuf();
        seeds.push_back(contents.str());
    }
    return seeds;
}

// Mutations that reach the parser's corners: mostly the characters it looks
// at (likely), now and then any byte; inserts, deletes, changes, cuts and
// repeated pieces.
class FuzzMutator {
public:
    FuzzMutator(std::string_view likely, std::uint32_t seed) : likely_(likely), random_(seed) {}

    std::string Mutate(std::string text) {
        const int steps = Between(1, 8);
        for (int step = 0; step < steps; ++step) {
            const auto at = static_cast<std::size_t>(Between(0, static_cast<int>(text.size())));
            switch (Between(0, 4)) {
            case 0:
                text.insert(at, 1, Byte());
                break;
            case 1:
                if (at < text.size()) {
                    text.erase(at, 1);
                }
                break;
            case 2:
                if (at < text.size()) {
                    text[at] = Byte();
                }
                break;
            case 3:
                text.resize(at); // cut short
                break;
            default:
                text.insert(at, text.substr(at, 40)); // a repeated piece
                break;
            }
        }
        return text;
    }

private:
    int Between(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random_);
    }
    char Byte() {
        const auto i = static_cast<std::size_t>(Between(0, static_cast<int>(likely_.size())));
        return i == likely_.size() ? static_cast<char>(Between(0, 255)) : likely_[i];
    }

    std::string_view likely_;
    std::mt19937 random_;
};

// Each seed whole and cut at every length, then mutations of the seeds.
inline void FeedSeedsCutsAndMutations(const std::vector<std::string>& seeds, FuzzMutator& mutator,
                                      int mutations) {
    for (const std::string& seed : seeds) {
        for (std::size_t cut = 0; cut <= seed.size(); ++cut) {
            FeedFuzzTarget(seed.substr(0, cut));
        }
    }
    for (int run = 0; run < mutations && !seeds.empty(); ++run) {
        FeedFuzzTarget(mutator.Mutate(seeds[static_cast<std::size_t>(run) % seeds.size()]));
    }
}

} // namespace qmt::test
