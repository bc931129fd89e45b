#pragma once

#include "link/register_access.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qmt::files {

struct DumpRow {
    std::int32_t pointer = 0; // the read pointer
    std::int32_t value = 0;
    std::string name;
};

struct RegisterDump {
    bool remote2 = false; // the shared remote pointers showed Remote 2
    std::vector<DumpRow> rows;
};

// Every register of the table in table order; of the shared remote pointers
// only the rows of the channel that Configuration Reg 1 selects, read first.
RegisterDump DumpRegisters(link::RegisterAccess& access);

} // namespace qmt::files
