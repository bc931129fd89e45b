// The log reader's fuzz entry point under GCC and the sanitizers: the seed
// corpus, every cut of it, a few thousand mutations and some pathological
// files. A broken invariant traps, which fails the test. Long runs use the
// fuzz preset.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void Feed(const std::string& input) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
}

std::vector<std::string> Seeds() {
    std::vector<std::string> seeds;
    for (const auto& entry : std::filesystem::directory_iterator(QMT_LOG_CORPUS)) {
        std::ifstream file(entry.path(), std::ios::binary);
        seeds.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    return seeds;
}

// Mostly the characters the reader looks at, now and then any byte.
char RandomByte(std::mt19937& random) {
    static constexpr std::string_view Likely = "0123456789.,-+eE \t\r\n\"\xB0";
    std::uniform_int_distribution<std::size_t> pick(0, Likely.size());
    const std::size_t i = pick(random);
    if (i == Likely.size()) {
        return static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random));
    }
    return Likely[i];
}

std::string Mutate(std::string text, std::mt19937& random) {
    const int steps = std::uniform_int_distribution<int>(1, 8)(random);
    for (int step = 0; step < steps; ++step) {
        const std::size_t at = std::uniform_int_distribution<std::size_t>(0, text.size())(random);
        switch (std::uniform_int_distribution<int>(0, 4)(random)) {
        case 0:
            text.insert(at, 1, RandomByte(random));
            break;
        case 1:
            if (at < text.size()) {
                text.erase(at, 1);
            }
            break;
        case 2:
            if (at < text.size()) {
                text[at] = RandomByte(random);
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

TEST(LogFuzzReplay, SeedsMutationsAndPathologicalFilesKeepTheInvariants) {
    const std::vector<std::string> seeds = Seeds();
    ASSERT_GE(seeds.size(), 5u);
    for (const std::string& seed : seeds) {
        for (std::size_t cut = 0; cut <= seed.size(); ++cut) {
            Feed(seed.substr(0, cut));
        }
    }
    std::mt19937 random(20261215);
    for (int run = 0; run < 4000; ++run) {
        Feed(Mutate(seeds[static_cast<std::size_t>(run) % seeds.size()], random));
    }
    Feed(std::string(4096, '\0'));
    Feed(std::string(1 << 20, ','));                     // one huge line of empty fields
    Feed(std::string(1 << 16, '\r'));                    // nothing but line ends
    Feed("Time ,Local ,\n" + std::string(1 << 20, '9')); // a number without end
    std::string lines = "Time ,Remote1 ,\r\n";
    for (int i = 0; i < 20000; ++i) {
        lines += i % 2 == 0 ? "1,,\r\n" : "1e308,-1e-320,\r\n";
    }
    Feed(lines);
}

} // namespace
