#pragma once

#include "model/reg_map.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The register tree without the tree control: which nodes it has, in which
// order, and what a click on a node makes current.
namespace qmt::views {

// The three levels differ in colour only.
enum class NodeLevel { Root, Group, Register };

struct Rgb {
    int red, green, blue;
};
// Roots green, groups red, registers blue.
Rgb LevelColour(NodeLevel level);

struct TreeNode {
    std::string parentKey; // empty for a root
    std::string key;       // a register node's key is its record's Name
    std::string text;
    NodeLevel level;
};

// The 46 nodes in the order they are added, each after its parent. Only the
// Remote 1 records of the shared remote pointers appear.
std::vector<TreeNode> RegisterTreeNodes(const model::RegMapStuff& regMap);

// The record a click shows: only a node three levels deep (a register) shows
// one, found by the node's key; roots and groups show nothing.
std::optional<int> RegisterOfNodeClick(const model::RegMapStuff& regMap, int depth,
                                       std::string_view key);

} // namespace qmt::views
