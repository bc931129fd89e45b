#pragma once

#include "link/temperature_channels.h"
#include "model/reg_map.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Text and JSON forms of what qmtctl prints; one line (or one JSON document)
// per call, without the line end.
namespace qmt::cli {

struct RegisterReading {
    std::int32_t pointer = 0;
    std::int32_t value = 0;
    std::string name; // dump only
};

using Temperatures = link::ChannelTemperatures;

// The register panel's forms: "FEh 41H 65", with " name" when it has one.
std::string RegisterLine(const RegisterReading& reading);
// [{"pointer":254,"value":65}], with "name" when it has one.
std::string RegistersJson(const std::vector<RegisterReading>& readings);
// {"pointer":9,"value":255}
std::string RegisterJson(const RegisterReading& reading);

// "Local 25", "Remote1 30.25", "Remote2 28.5"; no Remote1 line without a
// reading; "Remote2 open" for an open diode.
std::vector<std::string> TemperatureLines(const Temperatures& temps);
// {"local":25,"remote1":30.25,"remote2":28.5}, "remote1" null without a reading;
// an open diode's channel is null and listed in "open": ["remote2"].
std::string TemperaturesJson(const Temperatures& temps);

// {"address":76}
std::string FoundJson(std::int32_t address);

} // namespace qmt::cli
