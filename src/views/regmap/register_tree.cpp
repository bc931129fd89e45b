#include "views/regmap/register_tree.h"

namespace qmt::views {

namespace {

constexpr int RegisterDepth = 3;

// One line of the tree: a record index for a register node (its key and,
// unless a text is given, its text are the record's Name), 0 for a group.
struct NodeRow {
    const char* parentKey;
    const char* key;
    const char* text;
    int record;
};

constexpr NodeRow Rows[] = {
    {"", "General", "General", 0},
    {"General", "Configuration", "Configuration", 0},
    {"Configuration", nullptr, nullptr, 5},
    {"Configuration", nullptr, nullptr, 29},
    {"Configuration", nullptr, nullptr, 6},
    {"Configuration", nullptr, nullptr, 26},
    {"General", "Status", "Status", 0},
    {"Status", nullptr, nullptr, 4},
    {"Status", nullptr, nullptr, 28},
    {"Status", nullptr, nullptr, 27},
    {"General", "ID/Revision", "ID/Revision", 0},
    {"ID/Revision", nullptr, nullptr, 39},
    {"ID/Revision", nullptr, nullptr, 40},
    {"", "Local", "Local Registers", 0},
    {"Local", "LocalTemp", "Temperature", 0},
    {"LocalTemp", nullptr, "Value", 1},
    {"Local", "LocalLimits", "Limits", 0},
    {"LocalLimits", nullptr, "High Limit", 7},
    {"LocalLimits", nullptr, "Low Limit", 8},
    {"LocalLimits", nullptr, "THERM Limit", 25},
    {"", "Remote1", "Remote1 Registers", 0},
    {"Remote1", "Remote1Temp", "Temperature", 0},
    {"Remote1Temp", nullptr, "Value(High Byte)", 2},
    {"Remote1Temp", nullptr, "Value(Low Byte)", 13},
    {"Remote1", "Remote1Limits", "Limits", 0},
    {"Remote1Limits", nullptr, "High Limit(High Byte)", 9},
    {"Remote1Limits", nullptr, "High Limit(Low Byte)", 19},
    {"Remote1Limits", nullptr, "Low Limit(High Byte)", 11},
    {"Remote1Limits", nullptr, "Low Limit(Low Byte)", 21},
    {"Remote1Limits", nullptr, "THERM Limit", 23},
    {"Remote1", "Remote1Offset", "Offset", 0},
    {"Remote1Offset", nullptr, "Offset(High Byte)", 15},
    {"Remote1Offset", nullptr, "Offset(Low Byte)", 17},
    {"", "Remote2", "Remote2 Registers", 0},
    {"Remote2", "Remote2Temp", "Temperature", 0},
    {"Remote2Temp", nullptr, "Value(High Byte)", 30},
    {"Remote2Temp", nullptr, "Value(Low Byte)", 33},
    {"Remote2", "Remote2Limits", "Limits", 0},
    {"Remote2Limits", nullptr, "High Limit(High Byte)", 31},
    {"Remote2Limits", nullptr, "High Limit(Low Byte)", 36},
    {"Remote2Limits", nullptr, "Low Limit(High Byte)", 32},
    {"Remote2Limits", nullptr, "Low Limit(Low Byte)", 37},
    {"Remote2Limits", nullptr, "THERM Limit", 38},
    {"Remote2", "Remote2Offset", "Offset", 0},
    {"Remote2Offset", nullptr, "Offset(High Byte)", 34},
    {"Remote2Offset", nullptr, "Offset(Low Byte)", 35},
};

} // namespace

Rgb LevelColour(NodeLevel level) {
    switch (level) {
    case NodeLevel::Root:
        return {0, 128, 0};
    case NodeLevel::Group:
        return {192, 0, 0};
    case NodeLevel::Register:
        break;
    }
    return {0, 0, 192};
}

std::vector<TreeNode> RegisterTreeNodes(const model::RegMapStuff& regMap) {
    std::vector<TreeNode> nodes;
    nodes.reserve(std::size(Rows));
    for (const NodeRow& row : Rows) {
        if (row.record == 0) {
            const NodeLevel level = *row.parentKey == '\0' ? NodeLevel::Root : NodeLevel::Group;
            nodes.push_back({row.parentKey, row.key, row.text, level});
            continue;
        }
        const std::string& name = regMap.RegMap.at(static_cast<std::size_t>(row.record)).Name;
        nodes.push_back(
            {row.parentKey, name, row.text != nullptr ? row.text : name, NodeLevel::Register});
    }
    return nodes;
}

std::optional<int> RegisterOfNodeClick(const model::RegMapStuff& regMap, int depth,
                                       std::string_view key) {
    if (depth < RegisterDepth) {
        return std::nullopt;
    }
    return regMap.FindByName(key);
}

} // namespace qmt::views
