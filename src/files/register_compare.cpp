#include "files/register_compare.h"

#include "model/number_text.h"

#include <algorithm>

namespace qmt::files {

namespace {

constexpr std::int32_t ConfigurationWritePointer = 0x09;
constexpr std::int32_t Remote2SelectedMask = 0x08;
constexpr std::int32_t LockingWritePointer = 0x24;
constexpr int BitCount = 8;

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A file line no row of the walk takes: a row of the first register
// written at its address, with that register's chip value, if any (the walk
// holds every register that has a write pointer).
CompareRow ExtraRow(const std::vector<CompareRow>& rows, const FileLine& line) {
    CompareRow row;
    row.name = "Unknown";
    row.readAddress = line.address;
    row.writeAddress = line.address;
    for (const CompareRow& other : rows) {
        if (other.writeAddress == line.address && line.address != 0) {
            row = other;
            row.powerOn.reset();
            break;
        }
    }
    row.file = line.value;
    return row;
}

// The table numbers the bits of temperature bytes after the temperature word.
bool IsNumber(const std::string& name) {
    return !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
}

std::string ChannelName(bool remote2) {
    return remote2 ? "Remote 2" : "Remote 1";
}

} // namespace

FileValues ReadFileValues(std::string_view text) {
    const SettingsBlock block = ReadSettingsBlock(text);
    FileValues values{block.end, {}, block.line, block.longNumber};
    for (const BlockLine& line : block.lines) {
        values.lines.push_back({line.address, line.value});
    }
    return values;
}

std::vector<CompareRow> BuildCompareRows(const model::RegMapStuff& table,
                                         const std::vector<SavedRegister>& chip,
                                         const FileValues* file) {
    const std::vector<int> walk = table.SaveWalk();
    std::vector<bool> taken(file != nullptr ? file->lines.size() : 0, false);
    std::vector<CompareRow> rows;
    for (std::size_t i = 0; i < walk.size(); ++i) {
        const auto& entry = table.RegMap[static_cast<std::size_t>(walk[i])];
        CompareRow row{walk[i],      entry.Name,   entry.ReadAddress, entry.WriteAddress,
                       std::nullopt, std::nullopt, entry.DefaultValue};
        if (i < chip.size()) {
            row.chip = chip[i].value;
        }
        const auto channel = SharedRowChannel(table, walk[i]);
        row.otherChannel = channel && row.chip && *channel != Remote2Shown(rows);
        for (std::size_t line = 0; line < taken.size(); ++line) {
            if (!taken[line] && file->lines[line].address == entry.WriteAddress) {
                taken[line] = true;
                row.file = file->lines[line].value;
                break;
            }
        }
        rows.push_back(std::move(row));
    }
    for (std::size_t line = 0; line < taken.size(); ++line) {
        if (!taken[line]) {
            rows.push_back(ExtraRow(rows, file->lines[line]));
        }
    }
    return rows;
}

std::optional<std::int32_t> ReferenceValue(const CompareRow& row, Reference reference) {
    return reference == Reference::File ? row.file : row.powerOn;
}

bool Differs(const CompareRow& row, Reference reference) {
    const auto expected = ReferenceValue(row, reference);
    return expected && !NotInTable(row) && !row.otherChannel &&
           (!row.chip || *row.chip != *expected);
}

bool NotInTable(const CompareRow& row) {
    return row.index == 0;
}

std::vector<std::string> DifferingBits(const model::RegMapStuff& table, const CompareRow& row,
                                       Reference reference) {
    const auto expected = ReferenceValue(row, reference);
    if (!expected || !row.chip || !Differs(row, reference)) {
        return {};
    }
    const std::vector<std::string> names =
        model::SplitBitNames(table.RegMap.at(static_cast<std::size_t>(row.index)));
    std::vector<std::string> bits;
    const std::int32_t changed = *row.chip ^ *expected;
    for (int bit = BitCount - 1; bit >= 0; --bit) {
        if ((changed & (1 << bit)) == 0) {
            continue;
        }
        const auto k = static_cast<std::size_t>(BitCount - 1 - bit);
        const std::string name = k < names.size() ? Trimmed(names[k]) : std::string{};
        if (IsNumber(name)) {
            bits.push_back(std::to_string(bit));
        } else if (name.empty() || name == "Res" || name == "-") {
            // Several bits share these names; their number tells them apart.
            bits.push_back("bit " + std::to_string(bit));
        } else {
            bits.push_back(name);
        }
    }
    return bits;
}

std::string BitList(const std::vector<std::string>& bits) {
    std::string list;
    for (const auto& bit : bits) {
        list += list.empty() ? "" : ", ";
        list += bit;
    }
    return list;
}

std::string PointerText(const CompareRow& row) {
    const std::string read = model::HexText(row.readAddress) + "h";
    if (row.writeAddress == 0) {
        return read + "/-";
    }
    if (row.writeAddress == row.readAddress) {
        return read;
    }
    return read + "/" + model::HexText(row.writeAddress) + "h";
}

std::optional<bool> SharedRowChannel(const model::RegMapStuff& table, int index) {
    if (index <= 0 || index >= model::RegMapSize) {
        return std::nullopt;
    }
    const auto readAddress = table.RegMap[static_cast<std::size_t>(index)].ReadAddress;
    int before = 0;
    int after = 0;
    for (int other = 1; other < model::RegMapSize; ++other) {
        if (other != index &&
            table.RegMap[static_cast<std::size_t>(other)].ReadAddress == readAddress) {
            ++(other < index ? before : after);
        }
    }
    if (before + after == 0) {
        return std::nullopt;
    }
    return before > 0;
}

bool Remote2Shown(const std::vector<CompareRow>& rows) {
    for (const auto& row : rows) {
        if (row.index > 0 && row.writeAddress == ConfigurationWritePointer && row.chip) {
            return (*row.chip & Remote2SelectedMask) != 0;
        }
    }
    return false;
}

WritePlan PlanFileWrites(const model::RegMapStuff& table, const std::vector<CompareRow>& rows,
                         const std::vector<std::size_t>& selected, std::int32_t configuration) {
    std::vector<std::size_t> order = selected;
    std::sort(order.begin(), order.end());
    order.erase(std::unique(order.begin(), order.end()), order.end());

    bool remote2 = (configuration & Remote2SelectedMask) != 0;
    WritePlan plan;
    for (const std::size_t i : order) {
        if (i >= rows.size()) {
            continue;
        }
        const CompareRow& row = rows[i];
        if (!row.file) {
            plan.refusals.push_back(row.name + ": not in the file");
            continue;
        }
        if (NotInTable(row)) {
            plan.refusals.push_back(PointerText(row) + ": not in the register table");
            continue;
        }
        if (row.writeAddress == 0) {
            plan.refusals.push_back(row.name + ": read-only");
            continue;
        }
        const auto channel = SharedRowChannel(table, row.index);
        if (channel && *channel != remote2) {
            plan.refusals.push_back(row.name + ": the remote registers show " +
                                    ChannelName(remote2) + " now");
            continue;
        }
        plan.writes.push_back({i, row.writeAddress, *row.file});
        if (row.writeAddress == ConfigurationWritePointer) {
            remote2 = (*row.file & Remote2SelectedMask) != 0;
        }
    }
    std::stable_partition(plan.writes.begin(), plan.writes.end(), [](const FileWrite& write) {
        return write.address != LockingWritePointer;
    });
    return plan;
}

} // namespace qmt::files
