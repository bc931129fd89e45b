#include "link/connection_sequence.h"

#include "model/number_text.h"

#include <algorithm>
#include <string>
#include <utility>

namespace qmt::link {

namespace {

constexpr const char* FirmwareFileName = "/HLX3300FW.Hex";
constexpr std::uint16_t ConnectRequest = 221;
constexpr std::int32_t ConnectValue = 48;
constexpr std::int32_t ConnectIndex = 51;
constexpr std::int32_t ManufacturerIdPointer = 254;
constexpr std::int16_t ManufacturerId = 65;

constexpr int FirmwareLoadedSteps = 33;
constexpr int EnumeratedSteps = 50;
constexpr int SearchingSteps = 76;
constexpr float EnumerationTickMs = 50.0f;
constexpr float ConnectPauseMs = 200.0f;
constexpr float SearchReadingPauseMs = 1000.0f;
constexpr float FoundReadingPauseMs = 2000.0f;
constexpr const char* NoFirmwareStage =
    "No bridge firmware to download, no enumeration to wait for";

} // namespace

std::string FoundChipText(std::int32_t address) {
    return "Found an QMT6171/2/3 at " + model::HexText(address) + "h";
}

ConnectionSequence::ConnectionSequence(RegisterAccess& access, Clock& clock,
                                       ConnectionProgress& progress, ConnectionOptions options)
    : access_(access), clock_(clock), progress_(progress), options_(std::move(options)) {}

void ConnectionSequence::Run() {
    const int step = progress_.BarDesignWidth() / 100;
    progress_.SetBarWidth(0.0);
    progress_.ShowProgressControls();
    // Only a bridge that takes firmware re-enumerates after it and needs its
    // connect pause; any other starts its search at once.
    const bool hasFirmware = access_.bridge().HasFirmware();
    progress_.ShowStage(hasFirmware ? "Downloading Firmware..." : NoFirmwareStage);

    if (DownloadFirmware() < 0) {
        // The bridge names its own failures; this one never reaches it.
        const std::string& path = access_.usb().FirmwarePath;
        access_.ReportLinkError(LinkError::FirmwareDownload,
                                path.size() > MaxFirmwarePathLength
                                    ? "the firmware path is longer than " +
                                          std::to_string(MaxFirmwarePathLength) +
                                          " characters: " + path
                                    : std::string());
    }
    if (hasFirmware) {
        progress_.ShowStatus("Firmware download succesful");
        WaitForEnumeration(step);
    } else {
        progress_.SetBarWidth(EnumeratedSteps * step);
    }

    progress_.ShowStage("Connecting...");
    Connect(hasFirmware);

    progress_.SetBarWidth(SearchingSteps * step);
    progress_.ShowStage("Searching for QMT6171/2/3 on USB...");
    if (!options_.skipReadingPauses) {
        Pause(clock_, SearchReadingPauseMs);
    }
    if (options_.fixedAddress) {
        AcceptGivenAddress(*options_.fixedAddress);
    } else {
        SearchDevice();
    }

    progress_.SetBarWidth(progress_.BarFullWidth());
    progress_.ShowStage(FoundChipText(access_.usb().DeviceAddress));
    if (!options_.skipReadingPauses) {
        Pause(clock_, FoundReadingPauseMs);
    }
}

void ConnectionSequence::WaitForEnumeration(int step) {
    double bar = FirmwareLoadedSteps * step;
    progress_.SetBarWidth(bar);
    // The bridge re-enumerates on USB meanwhile; it takes no request before.
    progress_.ShowStage("Enumerating...");
    do {
        bar += step / 2.0;
        progress_.SetBarWidth(bar);
        Pause(clock_, EnumerationTickMs);
    } while (bar < EnumeratedSteps * step);
}

void ConnectionSequence::Connect(bool pauseAfterAttempts) {
    for (int attempt = 1; attempt <= ConnectAttempts; ++attempt) {
        std::uint8_t buffer = 0;
        const auto status = access_.bridge().VendorIORequest(ConnectRequest, ConnectValue,
                                                             ConnectIndex, 0, 0, &buffer);
        if (pauseAfterAttempts) {
            Pause(clock_, ConnectPauseMs);
        }
        progress_.ProcessPendingEvents();
        if (status == 0) {
            return;
        }
    }
    access_.ReportFailedRequest(LinkError::InitialConnection);
}

void ConnectionSequence::SearchDevice() {
    for (std::int32_t address = FirstSearchAddress; address <= LastSearchAddress; ++address) {
        if (!access_.bridge().SearchMayProbe(address)) {
            continue;
        }
        if (access_.ProbeRegister(address, ManufacturerIdPointer) == ManufacturerId) {
            access_.usb().DeviceAddress = address;
            return;
        }
    }
    access_.ReportLinkError(LinkError::InitialConnection);
}

void ConnectionSequence::AcceptGivenAddress(std::int32_t address) {
    // Whatever answers there (or the bus's idle 0xFF) is no chip of ours
    // unless it identifies itself as the search requires.
    if (access_.ProbeRegister(address, ManufacturerIdPointer) != ManufacturerId) {
        access_.ReportLinkError(LinkError::InitialConnection,
                                "no QMT6171/2/3 answers at " + model::HexText(address) + "h");
    }
    access_.usb().DeviceAddress = address;
}

std::int16_t ConnectionSequence::DownloadFirmware() {
    auto& usb = access_.usb();
    usb.FirmwarePath = options_.firmwareFolder + FirmwareFileName;
    if (!StringToBytes(usb.FirmwarePath)) {
        return -1;
    }
    return access_.bridge().LoadFirmWare(
        reinterpret_cast<const char*>(usb.FirmwarePathBuffer.data()));
}

bool ConnectionSequence::StringToBytes(const std::string& text) {
    auto& buffer = access_.usb().FirmwarePathBuffer;
    if (text.size() > MaxFirmwarePathLength) {
        return false;
    }
    const auto end = std::transform(text.begin(), text.end(), buffer.begin(),
                                    [](char c) { return static_cast<std::uint8_t>(c); });
    *end = 0;
    return true;
}

} // namespace qmt::link
