#pragma once

#include "core/status_reader.h"
#include "files/register_dump.h"
#include "link/bridge.h"
#include "link/channel_limits.h"
#include "link/clock.h"
#include "link/device_configuration.h"
#include "link/register_access.h"
#include "link/temperature_channels.h"
#include "link/usb_stuff.h"
#include "model/general_stuff.h"
#include "python/recording_link_errors.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace qmt::python {

// What qmt.open() is given, as qmtctl's --bridge, --board, --address and --force.
struct OpenRequest {
    std::optional<std::string> bridge; // none: "tarnlink"
    std::optional<std::string> board;
    std::optional<std::int64_t> address; // none: the device search
    bool force = false;
    // TARNLINK_BOARD as the process had it when the module was loaded: an
    // open without a board goes back to it, not to an earlier open's board.
    std::optional<std::string> inheritedBoard;
};

// A register in which the chip differs from a settings file, as qmtctl diff
// --json lists it.
struct DiffRow {
    std::string name;
    std::int32_t read = 0;
    std::int32_t write = 0;
    std::optional<std::int32_t> chip;
    std::optional<std::int32_t> file;
    std::optional<std::int32_t> powerOn;
    std::vector<std::string> bits; // the names of the differing bits
};

// One connected chip for a script: the same link, connection sequence and
// register rules as qmtctl. Every call takes the chip's lock, so scripts may
// call it from several threads; a closed chip refuses with
// std::invalid_argument, a failed request throws LinkError.
class Chip {
public:
    // Opens the bridge and connects, as qmtctl does before its command; the
    // emulated bridge and its firmware come from bridgeFolder.
    static std::unique_ptr<Chip> Open(const OpenRequest& request, const std::string& bridgeFolder);

    std::int32_t Address();
    // Status Reg 1 and 2 are read through the one status reader, whose poll
    // clears their latched bits.
    std::int32_t Read(std::int64_t reg);
    // As qmtctl write: pointer and value 0 to 255 (else std::invalid_argument),
    // read back unless told not to; WriteError when the chip holds another
    // value. Returns what the chip holds.
    std::int32_t Write(std::int64_t reg, std::int64_t value, bool readBack);
    link::ChannelTemperatures Temperatures();
    // Channels as the limits window numbers them: 0 Local, 1 the shared
    // remote registers, 2 Remote 2's own.
    link::ChannelLimits Limits(std::int64_t channel);
    // Writes all three limits of the channel, the missing ones as the chip
    // holds them; returns what it holds afterwards, WriteError when a given
    // limit did not take.
    link::ChannelLimits SetLimits(std::int64_t channel, std::optional<double> low,
                                  std::optional<double> high, std::optional<double> therm);
    core::StatusPoll Status();
    link::DeviceConfiguration Configuration();
    // Writes the given settings as the configuration window's Apply does,
    // only the registers that hold them; WriteError when one did not take.
    link::DeviceConfiguration Configure(const link::ConfigurationChange& change);

    // As qmtctl dump, save, recall and diff; FileError for a file that cannot
    // be read or written (or compared, or recalled whole).
    files::RegisterDump Dump();
    int Save(const std::string& path, const std::string& comment, bool changedOnly);
    int Recall(const std::string& path);
    std::vector<DiffRow> Diff(const std::string& path);

    // Ends the link; later calls refuse. Closing twice is fine.
    void Close();
    bool Closed();

private:
    // The link as qmtctl's commands have it.
    struct Connection {
        explicit Connection(std::unique_ptr<link::Bridge> opened)
            : bridge(std::move(opened)), access(*bridge, usb, state, errors),
              statusReader(access, clock) {}
        std::unique_ptr<link::Bridge> bridge;
        link::USBStuff usb;
        GeneralStuff state;
        RecordingLinkErrorHandler errors;
        link::RegisterAccess access;
        link::SystemClock clock;
        core::StatusReader statusReader;
    };

    // Runs action(connection) under the chip's lock; a link failure leaves
    // as LinkError with what the link reported.
    template <typename Action> auto Run(Action action) {
        const std::lock_guard lock(mutex_);
        if (!connection_) {
            throw std::invalid_argument("the chip is closed");
        }
        try {
            return action(*connection_);
        } catch (const link::LinkFailure& failure) {
            ThrowLinkError(failure);
        }
    }

    explicit Chip(std::unique_ptr<link::Bridge> bridge);
    [[noreturn]] void ThrowLinkError(const link::LinkFailure& failure);

    std::mutex mutex_;
    std::unique_ptr<Connection> connection_;
};

} // namespace qmt::python
