#include "cli/cli_register_commands.h"

#include "cli/cli_output.h"
#include "cli/cli_settings_files.h"
#include "files/register_dump.h"
#include "link/register_write.h"
#include "link/temperature_channels.h"

#include <ostream>

namespace qmt::cli {

namespace {

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
    const auto dump = files::DumpRegisters(access);
    std::vector<RegisterReading> readings;
    for (const auto& row : dump.rows) {
        readings.push_back({row.pointer, row.value, row.name});
    }
    if (options.json) {
        out << RegistersJson(readings) << '\n';
        return;
    }
    out << "# shared remote registers show " << (dump.remote2 ? "Remote 2" : "Remote 1")
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
