#include "cli/cli_register_commands.h"

#include "cli/cli_output.h"
#include "cli/cli_settings_files.h"
#include "files/register_compare.h"
#include "link/temperature_reading.h"
#include "model/number_text.h"
#include "model/reg_map.h"
#include "model/temp_codes.h"

#include <ostream>

namespace qmt::cli {

namespace {

constexpr std::int32_t ConfigurationReadPointer = 0x03;
constexpr std::int32_t ConfigurationWritePointer = 0x09;
constexpr std::int32_t LockReadPointer = 0x24;
constexpr std::int32_t LockBit = 0x80;
constexpr std::int32_t Remote2SelectedMask = 0x08;
// What the chip reads for a remote channel whose diode is open: high byte
// FFh, low byte 0.
constexpr int OpenDiodeHighByte = 0xFF;
constexpr int OpenDiodeLowByte = 0x00;

// The read pointer behind a write pointer; none for a pointer that no
// register of the table is written at.
std::optional<std::int32_t> ReadPointerOf(const model::RegMapStuff& table, std::int32_t pointer) {
    for (int index = 1; index < model::RegMapSize; ++index) {
        const auto& entry = table.RegMap[static_cast<std::size_t>(index)];
        if (entry.WriteAddress != 0 && entry.WriteAddress == pointer) {
            return entry.ReadAddress;
        }
    }
    return std::nullopt;
}

std::string NotWrittenReason(link::RegisterAccess& access, const RegisterReading& held,
                             std::int32_t written) {
    const auto address = access.usb().DeviceAddress;
    if ((access.ReadRegister(address, LockReadPointer) & LockBit) != 0) {
        return "not written: the chip is locked (bit 7 of Configuration Reg 2)";
    }
    return "not written as given: the chip holds " + model::HexText(held.value) + "H, not " +
           model::HexText(written) + "H";
}

void PrintReading(const RegisterReading& reading, bool json, std::ostream& out) {
    out << (json ? RegisterJson(reading) : RegisterLine(reading)) << '\n';
}

bool IsOpenDiode(const GeneralStuff& state, float reading) {
    return reading == model::DecodeQuarterTemp(state, OpenDiodeHighByte, OpenDiodeLowByte);
}

} // namespace

void RunWrite(const CliOptions& options, link::RegisterAccess& access, std::ostream& out) {
    const auto address = access.usb().DeviceAddress;
    const auto pointer = options.registers.front();
    auto value = options.value;
    access.WriteRegister(address, pointer, value);
    model::RegMapStuff table;
    table.FillRegMap();
    const auto readPointer = ReadPointerOf(table, pointer);
    if (!options.verifyWrite || !readPointer) {
        PrintReading({pointer, options.value, {}}, options.json, out);
        return;
    }
    const RegisterReading held{pointer, access.ReadRegister(address, *readPointer), {}};
    PrintReading(held, options.json, out);
    if (held.value != options.value) {
        throw CommandFailure(NotWrittenReason(access, held, options.value));
    }
}

void RunDump(const CliOptions& options, link::RegisterAccess& access, std::ostream& out) {
    const auto address = access.usb().DeviceAddress;
    const bool remote2 =
        (access.ReadRegister(address, ConfigurationReadPointer) & Remote2SelectedMask) != 0;
    model::RegMapStuff table;
    table.FillRegMap();
    std::vector<RegisterReading> readings;
    for (int index = 1; index < model::RegMapSize; ++index) {
        const auto channel = files::SharedRowChannel(table, index);
        if (channel && *channel != remote2) {
            continue;
        }
        const auto& entry = table.RegMap[static_cast<std::size_t>(index)];
        readings.push_back(
            {entry.ReadAddress, access.ReadRegister(address, entry.ReadAddress), entry.Name});
    }
    if (options.json) {
        out << RegistersJson(readings) << '\n';
        return;
    }
    out << "# shared remote registers show " << (remote2 ? "Remote 2" : "Remote 1")
        << " (bit 3 of Configuration Reg 1)\n";
    for (const auto& reading : readings) {
        out << RegisterLine(reading) << '\n';
    }
}

void RunTemps(const CliOptions& options, link::RegisterAccess& access, std::ostream& out) {
    // The range and channel mode the chip is set to now, as the monitoring
    // cycle reads them. While the shared pointers show Remote 2, their reading
    // is Remote 2's and Remote 1 is not measured.
    access.UpdateRemoteSelection(ConfigurationWritePointer);
    link::ReadTemperatures(access);
    const auto& state = access.state();
    Temperatures temps{state.LocalTemp, state.Remote1Temp, state.Remote2Temp};
    if (state.Remote2Selected) {
        temps = {state.LocalTemp, std::nullopt, state.Remote1Temp};
    }
    temps.remote1Open = temps.remote1 && IsOpenDiode(state, *temps.remote1);
    temps.remote2Open = IsOpenDiode(state, temps.remote2);
    if (options.json) {
        out << TemperaturesJson(temps) << '\n';
        return;
    }
    for (const auto& line : TemperatureLines(temps)) {
        out << line << '\n';
    }
}

} // namespace qmt::cli
