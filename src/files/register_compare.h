#pragma once

#include "files/settings_file_format.h"
#include "files/settings_reader.h"
#include "model/reg_map.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The chip, a settings file and the power-on values side by side, one row per
// row of the save walk. Shared by the Compare Registers window and qmtctl.
namespace qmt::files {

// One register line of a settings file as the recall reads it.
struct FileLine {
    std::int32_t address = 0;
    std::int32_t value = 0;
};

// The register lines of a file, in file order, and where its reading ended.
// A file that ends inside its block, or has a bad line, keeps the lines
// before; `line` and `longNumber` say where it went wrong, as SettingsBlock's.
struct FileValues {
    RecallEnd end = RecallEnd::NoBlock;
    std::vector<FileLine> lines;
    int line = 0;
    std::string longNumber;
};
FileValues ReadFileValues(std::string_view text);

struct CompareRow {
    int index = 0; // into the register table; 0 for a file line of no register in it
    std::string name;
    std::int32_t readAddress = 0;
    std::int32_t writeAddress = 0;
    std::optional<std::int32_t> chip;    // none for a line of no register in the table
    std::optional<std::int32_t> file;    // none when the file has no line for it
    std::optional<std::int32_t> powerOn; // the table's default; none for a file's extra line
    // A row of a shared remote pointer whose channel the chip did not show:
    // its chip value is the other channel's, so it is not compared.
    bool otherChannel = false;
};

// What the chip is held against.
enum class Reference { File, PowerOn };

// One row per row of the save walk, with the chip's values as
// ReadSavedRegisters read them (all rows, same order). The n-th file line of
// a write address goes to the n-th row with that write address, so both rows
// of a shared remote pointer get their own line. File lines that no row takes
// (hand-written extras) follow as rows of their own: the recall writes them
// too. An extra line of a register in the table is held against that
// register's chip value. Without a file every row's file value is empty.
std::vector<CompareRow> BuildCompareRows(const model::RegMapStuff& table,
                                         const std::vector<SavedRegister>& chip,
                                         const FileValues* file);

std::optional<std::int32_t> ReferenceValue(const CompareRow& row, Reference reference);
// True when the reference has a value and the chip does not hold it. A line
// of no register in the table, and a row of the channel the chip did not
// show, are never compared.
bool Differs(const CompareRow& row, Reference reference);
// A file line whose pointer no register of the table is written at.
bool NotInTable(const CompareRow& row);
// The bits in which the chip and the reference differ, bit 7 first: by the
// register table's bit name, the register's own bit number where the table
// numbers the bits of a temperature word ("10:9:...:3"), and "bit N" for
// reserved and empty bits.
std::vector<std::string> DifferingBits(const model::RegMapStuff& table, const CompareRow& row,
                                       Reference reference);
// "Rm1/2, TmpR"
std::string BitList(const std::vector<std::string>& bits);

// "3h/9h" for a register read and written at different pointers, "11h" for
// one pointer, "FFh/-" for a register without a write pointer.
std::string PointerText(const CompareRow& row);

// Remote channel of a row of a shared remote pointer: false for the Remote 1
// record (the first with that read pointer), true for the Remote 2 record;
// none for a register of its own.
std::optional<bool> SharedRowChannel(const model::RegMapStuff& table, int index);

// Whether the shared remote pointers showed Remote 2 when the rows were read:
// bit 3 of Configuration Reg 1 as the chip held it.
bool Remote2Shown(const std::vector<CompareRow>& rows);

// The writes of "Write file value to chip" for the selected rows (indices into
// `rows`), in row order but Configuration Reg 2 last (its bit 7 would lock the
// limits written after it), and one reason for every selected row not
// written. A row of a shared remote pointer is written only while the remote
// pointers show its channel: the selection follows `configuration`, the value
// of Configuration Reg 1 read right before, and the planned writes at 0x09.
struct FileWrite {
    std::size_t row = 0;
    std::int32_t address = 0;
    std::int32_t value = 0;
};
struct WritePlan {
    std::vector<FileWrite> writes;
    std::vector<std::string> refusals;
};
WritePlan PlanFileWrites(const model::RegMapStuff& table, const std::vector<CompareRow>& rows,
                         const std::vector<std::size_t>& selected, std::int32_t configuration);

} // namespace qmt::files
