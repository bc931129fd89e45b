#pragma once

#include "files/register_compare.h"
#include "link/alert_check.h"
#include "model/reg_map.h"

#include <string>
#include <vector>

namespace qmt::files {

// Keeps the rows of the save walk across a run that writes the chip (the
// alert check) and puts back those that changed, in the order a settings
// file is written back: Remote 1's rows of the shared pointers with bit 3 of
// Configuration Reg 1 cleared, Configuration Reg 1 as it was, Configuration
// Reg 2 last. Remote 1's rows are read with bit 3 cleared for the moment when
// the chip shows Remote 2 (Remote 2's rows there are its own registers,
// which have rows of their own).
class SettingsKeeper final : public link::RegisterKeeper {
public:
    SettingsKeeper(const model::RegMapStuff& table, link::RegisterAccess& access)
        : table_(table), access_(access) {}

    void Keep() override;
    std::vector<std::string> Restore() override;

private:
    std::vector<CompareRow> ReadRows();
    std::vector<std::size_t> Changed(const std::vector<CompareRow>& now) const;
    void WriteBack(const std::vector<CompareRow>& now, const std::vector<std::size_t>& changed);

    const model::RegMapStuff& table_;
    link::RegisterAccess& access_;
    std::vector<CompareRow> kept_;
};

} // namespace qmt::files
