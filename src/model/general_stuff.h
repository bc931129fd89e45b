#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace qmt {

// Program-wide flags, settings and readings. One instance is owned by the
// application object and handed around by reference; tests build their own.
struct GeneralStuff {
    // Copy of Configuration Reg 1 bits 2 and 3, refreshed after writes at 0x09.
    bool ExtendedRange = false;
    bool Remote2Selected = false;

    // Current readings in degrees Celsius.
    float LocalTemp = 0.0f;
    float Remote1Temp = 0.0f;
    float Remote2Temp = 0.0f;

    // Monitoring cycle settings.
    bool ContinuousReading = true;
    std::int32_t ReadingInterval = 100;
    std::int16_t GraphingInterval = 50;
    std::int32_t LoggingInterval = 100;

    // Window flags switching their periodic activity on.
    bool RegMapOpen = false;
    bool LimitsOpen = false;
    bool GraphOpen = false;
    // While the alert check runs, the status changes are its own doing.
    bool AlertCheckRunning = false;

    // Data logging.
    bool LoggingOn = false;
    // 64-bit: at a 10 ms interval a 32-bit count runs out after 248 days.
    std::int64_t LogLineCount = 0;
    std::array<bool, 3> LogChannel{true, true, true};
    std::string LogFilePath;
    std::int32_t LogFileNumber = 0;
};

} // namespace qmt
