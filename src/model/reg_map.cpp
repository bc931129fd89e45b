#include "model/reg_map.h"

namespace qmt::model {

namespace {

struct RegisterRow {
    std::int32_t readAddress;
    std::int32_t writeAddress;
    const char* name;
    const char* bitNames;
    std::int16_t defaultValue;
    bool skipOnSave;
};

// Shared remote pointers appear twice: the Remote 1 record first, so lookups by
// address resolve to it, then the Remote 2 record that the same pointer reaches
// while Configuration Reg 1 bit 3 is set. The names are the tree keys and the
// comments of settings files, so they keep their historic spelling.
constexpr const char* kWholeBits = "7:6:5:4:3:2:1:0";
constexpr const char* kHighBits = "10:9:8:7:6:5:4:3";
constexpr const char* kLowBits = "2:1:0:-:-:-:-:-";

constexpr std::array<RegisterRow, RegMapSize - 1> kRegisters{{
    {0x00, 0, "Local Temp Value", kWholeBits, 0x00, true},
    {0x01, 0, "Remote 1 Temp High Byte (bit 3 Config Reg =0)", kHighBits, 0x00, true},
    {0x01, 0, "Remote 2 Temp High Byte (bit 3 Config Reg=1)", kHighBits, 0x00, true},
    {0x02, 0, "Status Reg 1", "Bsy:LHgh:LLow:R1Hgh:R1Lw:D1ON:R1TM1:LTM1", 0x00, true},
    {0x03, 0x09, "Configuration Reg 1", "Msk:Mn/Sty: AL/TH:Res:Rm1/2:TmpR:MkR1:MkR2", 0x00, false},
    {0x04, 0x0A, "Conversion Rate", "Avg:Res:ChSel:ChSel:ConR:ConR:ConR:ConR", 0x08, false},
    {0x05, 0x0B, "Local Temp High Limit", kWholeBits, 0x55, false},
    {0x06, 0x0C, "Local Temp Low Limit", kWholeBits, 0x00, false},
    {0x07, 0x0D, "Remote 1 High Limit,High Byte (bit 3 Config Reg =0)", kHighBits, 0x55, false},
    {0x07, 0x0D, "Remote 2 High Limit,High Byte (bit 3 Config Reg =1)", kHighBits, 0x55, false},
    {0x08, 0x0E, "Remote 1 Low Limit,High Byte (bit 3 Config Reg =0)", kHighBits, 0x00, false},
    {0x08, 0x0E, "Remote 2 Low Limit,High Byte (bit 3 Config Reg =1)", kHighBits, 0x00, false},
    {0x10, 0, "Remote 1 Temp Low Byte (bit 3 Config Reg =0)", kLowBits, 0x00, true},
    {0x10, 0, "Remote 2 Temp Low Byte (bit 3 Config Reg =1)", kLowBits, 0x00, true},
    {0x11, 0x11, "Remote 1 Offset High Byte (bit 3 Config Reg =0)", kHighBits, 0x00, false},
    {0x11, 0x11, "Remote 2 Offset High Byte (bit 3 Config Reg =1)", kHighBits, 0x00, false},
    {0x12, 0x12, "Remote 1 Offset Low Byte (bit 3 Config Reg =0)", kLowBits, 0x00, false},
    {0x12, 0x12, "Remote 2 Offset Low Byte (bit 3 Config Reg =1)", kLowBits, 0x00, false},
    {0x13, 0x13, "Remote 1 High Limit,Low Byte (bit 3 Config Reg =0)", kLowBits, 0x00, false},
    {0x13, 0x13, "Remote 2 High Limit,Low Byte (bit 3 Config Reg =1)", kLowBits, 0x00, false},
    {0x14, 0x14, "Remote 1 Low Limit,Low Byte (bit 3 Config Reg =0)", kLowBits, 0x00, false},
    {0x14, 0x14, "Remote 2 Low Limit,Low Byte (bit 3 Config Reg =1)", kLowBits, 0x00, false},
    {0x19, 0x19, "Remote 1 Therm Limit (bit 3 Config Reg =0)", kWholeBits, 0x55, false},
    {0x19, 0x19, "Remote 2 Therm Limit (bit 3 Config Reg =1)", kWholeBits, 0x55, false},
    {0x20, 0x20, "Local Therm Limit", kWholeBits, 0x55, false},
    {0x21, 0x21, "Therm Hysteresis", kWholeBits, 0x0A, false},
    {0x22, 0x22, "Consecutive Alert", kWholeBits, 0x01, false},
    {0x23, 0, "Status Reg 2", "Res:Res:Res:R2Hg:R2LW:D2ON:R2TM1:ALRT", 0x00, true},
    {0x24, 0x24, "Configuration Reg 2", "LckB:Res:Res:Res:Res:Res:Res:Res", 0x00, false},
    {0x30, 0, "Remote 2 Temp High Byte", kHighBits, 0x00, true},
    {0x31, 0x31, "Remote 2 High Limit,High Byte", kHighBits, 0x55, false},
    {0x32, 0x32, "Remote 2 Low Limit,High Byte", kHighBits, 0x00, false},
    {0x33, 0, "Remote 2 Temp Low Byte", kLowBits, 0x00, true},
    {0x34, 0x34, "Remote 2 Temp Offset High Byte", kHighBits, 0x00, false},
    {0x35, 0x35, "Remote 2 Temp Offset Low Byte", kLowBits, 0x00, false},
    {0x36, 0x36, "Remote 2 High Limit,Low Byte", kLowBits, 0x00, false},
    {0x37, 0x37, "Remote 2 Low Limit,Low Byte", kLowBits, 0x00, false},
    {0x39, 0x39, "Remote 2 Therm Limit", kWholeBits, 0x55, false},
    {0xFE, 0, "Manufacturer ID", kWholeBits, 0x41, true},
    {0xFF, 0, "Die Revision Code", kWholeBits, 0x52, false},
}};

// Outside the byte range of register pointers, so no address lookup can hit it.
constexpr std::int32_t kSentinelAddress = 1000;

} // namespace

void RegMapStuff::FillRegMap() {
    RegMap[0] = RegMapEntry{kSentinelAddress, kSentinelAddress, {}, {}, {}, 0, true};
    for (std::size_t i = 0; i < kRegisters.size(); ++i) {
        const RegisterRow& row = kRegisters[i];
        RegMapEntry& entry = RegMap[i + 1];
        entry.WriteAddress = row.writeAddress;
        entry.ReadAddress = row.readAddress;
        entry.Name = row.name;
        entry.Description = entry.Name;
        entry.BitNames = row.bitNames;
        entry.DefaultValue = row.defaultValue;
        entry.SkipOnSave = row.skipOnSave;
    }
}

std::optional<int> RegMapStuff::FindByReadAddress(std::int32_t readAddress) const {
    for (int i = 1; i < RegMapSize; ++i) {
        if (RegMap[static_cast<std::size_t>(i)].ReadAddress == readAddress) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<int> RegMapStuff::FindByName(std::string_view key) const {
    for (int i = 1; i < RegMapSize; ++i) {
        if (RegMap[static_cast<std::size_t>(i)].Name == key) {
            return i;
        }
    }
    return std::nullopt;
}

std::vector<int> RegMapStuff::SaveWalk() const {
    std::vector<int> indices;
    for (int i = 0; i < RegMapSize; ++i) {
        if (!RegMap[static_cast<std::size_t>(i)].SkipOnSave) {
            indices.push_back(i);
        }
    }
    return indices;
}

std::vector<std::string> SplitBitNames(const RegMapEntry& entry) {
    std::vector<std::string> names;
    if (entry.BitNames.empty()) {
        return names;
    }
    std::string_view rest = entry.BitNames;
    for (;;) {
        const std::size_t colon = rest.find(':');
        names.emplace_back(rest.substr(0, colon));
        if (colon == std::string_view::npos) {
            return names;
        }
        rest.remove_prefix(colon + 1);
    }
}

} // namespace qmt::model
