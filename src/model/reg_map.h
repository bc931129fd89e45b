#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qmt::model {

// One chip register as the program knows it.
struct RegMapEntry {
    std::int32_t WriteAddress = 0; // 0: read-only
    std::int32_t ReadAddress = 0;
    std::string Name;        // key of the register's node in the tree
    std::string Description; // equal to Name
    std::string BitNames;    // eight names split by ':', bit 7 first
    std::int16_t DefaultValue = 0;
    bool SkipOnSave = false;
};

inline constexpr int RegMapSize = 41; // index 0 is a sentinel

// The register table, filled once at start-up and read-only afterwards.
class RegMapStuff {
public:
    std::array<RegMapEntry, RegMapSize> RegMap{};

    // Writes all 41 records, the sentinel at index 0 first.
    void FillRegMap();

    // First record (from index 1 on) whose ReadAddress equals the pointer.
    // The sentinel is never returned.
    std::optional<int> FindByReadAddress(std::int32_t readAddress) const;
    // First record whose Name equals the tree key; never the sentinel.
    std::optional<int> FindByName(std::string_view key) const;
    // Indices of the records written to a settings file, in table order.
    std::vector<int> SaveWalk() const;
};

// The eight bit names of a record, bit 7 first; empty for the sentinel.
std::vector<std::string> SplitBitNames(const RegMapEntry& entry);

} // namespace qmt::model
