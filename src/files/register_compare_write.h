#pragma once

#include "files/register_compare.h"
#include "link/register_access.h"

#include <cstddef>
#include <string>
#include <vector>

// "Write file value to chip" on the chip: planned against the remote channel
// the chip shows at that moment, and every write read back.
namespace qmt::files {

// PlanFileWrites with Configuration Reg 1 read from the chip now: another
// window may have switched the remote channel since the rows were read.
WritePlan PlanChipWrites(const model::RegMapStuff& table, const std::vector<CompareRow>& rows,
                         const std::vector<std::size_t>& selected, link::RegisterAccess& access);

// How many of the planned writes the chip holds when read back right after
// each write, and why the others did not take.
struct WriteOutcome {
    std::size_t planned = 0;
    std::size_t taken = 0;
    std::size_t locked = 0;   // ignored while bit 7 of Configuration Reg 2 was set
    std::size_t notTaken = 0; // read back different for another reason
};

// Writes the plan in its order, each value read back at its row's read
// pointer before the next write (the channel of a shared remote pointer is
// still the one the plan wrote it for).
WriteOutcome WritePlanned(const WritePlan& plan, const std::vector<CompareRow>& rows,
                          link::RegisterAccess& access);

// The status-bar line: "Wrote 3 registers from a.sav" when every write took,
// "2 of 3 registers written from a.sav; 1 is locked" when not, then the
// reasons of the rows not written.
std::string WriteReport(const WriteOutcome& outcome, const std::vector<std::string>& refusals,
                        const std::string& fileName);

} // namespace qmt::files
