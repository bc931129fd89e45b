#pragma once

#include "link/clock.h"
#include "link/register_access.h"

#include <cstdint>
#include <optional>
#include <string>

namespace qmt::link {

// Where the connection sequence shows its progress: the splash window in the
// program, standard error in the command-line tool.
class ConnectionProgress {
public:
    virtual ~ConnectionProgress() = default;
    // Bar width 0, stage text and bar made visible.
    virtual void ShowProgressControls() = 0;
    // Shown and repainted at once.
    virtual void ShowStage(const std::string& text) = 0;
    // Design width of the bar in twips; one step is a hundredth of it.
    virtual int BarDesignWidth() const = 0;
    // Width of the full bar in twips (the length of the decorative line).
    virtual int BarFullWidth() const = 0;
    virtual void SetBarWidth(double twips) = 0;
    // "Firmware download succesful" for the main window's status bar.
    virtual void ShowStatus(const std::string& text) = 0;
    // Lets the event loop handle what is pending, once.
    virtual void ProcessPendingEvents() = 0;
};

struct ConnectionOptions {
    // Folder holding the firmware file (the executable's folder).
    std::string firmwareFolder;
    // Skip the 1000 ms and 2000 ms pauses that only let a person read the splash.
    bool skipReadingPauses = false;
    // Use this address instead of searching, if the chip answers there.
    std::optional<std::int32_t> fixedAddress;
};

// "Found an QMT6171/2/3 at 4Ch": the last stage text, naming the chip's address.
std::string FoundChipText(std::int32_t address);

// Firmware download, enumeration wait, connect attempts and device search; a
// bridge without firmware has no enumeration wait and no pause after a
// connect attempt. On success USBStuff::DeviceAddress holds the chip's address; every failure
// goes to the link-error handler.
class ConnectionSequence {
public:
    static constexpr int ConnectAttempts = 20;
    static constexpr int FirstSearchAddress = 24;
    static constexpr int LastSearchAddress = 78;
    static constexpr std::size_t MaxFirmwarePathLength = 512;

    ConnectionSequence(RegisterAccess& access, Clock& clock, ConnectionProgress& progress,
                       ConnectionOptions options);

    void Run();
    // Sets FirmwarePath, copies it into the buffer and loads it; a path longer
    // than the buffer holds gives -1 without calling the bridge.
    std::int16_t DownloadFirmware();
    // Copies text into FirmwarePathBuffer with a closing 0; false if too long.
    bool StringToBytes(const std::string& text);

private:
    // The bar from the firmware's 33 steps to 50 in half steps, 50 ms each.
    void WaitForEnumeration(int step);
    void Connect(bool pauseAfterAttempts);
    void SearchDevice();
    void AcceptGivenAddress(std::int32_t address);
    RegisterAccess& access_;
    Clock& clock_;
    ConnectionProgress& progress_;
    ConnectionOptions options_;
};

} // namespace qmt::link
