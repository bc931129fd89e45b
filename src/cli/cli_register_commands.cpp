#include "cli/cli_register_commands.h"

#include "cli/cli_output.h"
#include "cli/cli_settings_files.h"
#include "files/register_compare.h"
#include "link/register_write.h"
#include "link/temperature_channels.h"
#include "model/reg_map.h"

#include <ostream>

namespace qmt::cli {

namespace {

constexpr std::int32_t ConfigurationReadPointer = 0x03;
constexpr std::int32_t Remote2SelectedMask = 0x08;

void PrintReading(const RegisterReading& reading, bool json, std::ostream& out) {
    out << (json ? RegisterJson(reading) : RegisterLine(reading)) << '\n';
}

} // namespace

void RunWrite(const CliOptions& options, link::RegisterAccess& access, std::ostream& out) {
    const auto pointer = options.registers.front();
    const auto write =
        link::WriteCheckedRegister(access, pointer, options.value, options.verifyWrite);
    PrintReading({pointer, write.held, {}}, options.json, out);
    if (!write.refusal.empty()) {
        throw CommandFailure(write.refusal);
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
    const auto temps = link::ReadChannelTemperatures(access);
    if (options.json) {
        out << TemperaturesJson(temps) << '\n';
        return;
    }
    for (const auto& line : TemperatureLines(temps)) {
        out << line << '\n';
    }
}

} // namespace qmt::cli
