#pragma once

#include "files/register_compare.h"
#include "link/register_access.h"

#include <string>
#include <vector>

// The chip against a settings file, for qmtctl's diff and export and the
// Python module's diff.
namespace qmt::files {

struct ChipComparison {
    model::RegMapStuff table;
    FileValues file;
    std::vector<CompareRow> rows;
};

// Reads the file (if a path is given) as the recall would and the chip (if
// any) as a save would. False with the one-line reason for a file that
// cannot be read or has no register block.
bool CompareChipWithFile(const std::string& path, link::RegisterAccess* access,
                         ChipComparison& comparison, std::string& reason);

// Empty for a file whose block a recall would write; else why not, followed
// by ": " and the outcome ("not compared").
std::string UnwrittenFileReason(const std::string& path, const FileValues& file,
                                const std::string& outcome);

} // namespace qmt::files
