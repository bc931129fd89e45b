#include "python/chip.h"

#include "files/chip_comparison.h"
#include "files/settings_transfer.h"
#include "link/bridge_factory.h"
#include "link/connection_sequence.h"
#include "link/register_write.h"
#include "link/stream_progress.h"
#include "model/alert_bits.h"
#include "model/number_text.h"
#include "python/python_errors.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace qmt::python {

namespace {

constexpr const char* DefaultBridge = "tarnlink";
constexpr const char* BridgeLibraryName = "/libTarnlink.so";
constexpr const char* BoardVariable = "TARNLINK_BOARD";

// The pointer or value as a byte, or std::invalid_argument with qmtctl's text.
std::int32_t CheckedByte(std::int64_t number, std::string (*badText)(std::string_view)) {
    if (number < 0 || number > link::LargestRegisterValue) {
        throw std::invalid_argument(badText(std::to_string(number)));
    }
    return static_cast<std::int32_t>(number);
}

int CheckedChannel(std::int64_t channel) {
    if (channel < 0 || channel >= link::LimitChannelCount) {
        throw std::invalid_argument("bad channel '" + std::to_string(channel) +
                                    "' (0 Local, 1 Remote1, 2 Remote2)");
    }
    return static_cast<int>(channel);
}

link::BridgeChoice Choice(const OpenRequest& request, const std::string& bridgeFolder) {
    link::BridgeChoice choice;
    std::string error;
    if (!link::ParseBridgeChoice(request.bridge.value_or(DefaultBridge), choice, error)) {
        throw std::invalid_argument(error);
    }
    choice.force = request.force;
    // The emulated board of this module's build or package; without one, the
    // library by name as qmtctl finds it.
    std::error_code missing;
    if (choice.i2cDevice.empty() && choice.libraryPath.empty() &&
        std::filesystem::exists(bridgeFolder + BridgeLibraryName, missing)) {
        choice.libraryPath = bridgeFolder + BridgeLibraryName;
    }
    if (request.board) {
        choice.boardFile = *request.board;
        if (auto problem = link::BoardFileProblem(choice.boardFile); !problem.empty()) {
            throw FileError(problem);
        }
    } else if (request.inheritedBoard) {
        ::setenv(BoardVariable, request.inheritedBoard->c_str(), 1);
    } else {
        ::unsetenv(BoardVariable);
    }
    return choice;
}

std::optional<std::int32_t> FixedAddress(const OpenRequest& request) {
    if (!request.address) {
        return std::nullopt;
    }
    std::string error;
    const auto address = link::ParseChipAddress(std::to_string(*request.address), error);
    if (!address) {
        throw std::invalid_argument(error);
    }
    return address;
}

void CheckFinite(std::optional<double> limit, const char* name) {
    if (limit && !std::isfinite(*limit)) {
        throw std::invalid_argument(std::string("bad ") + name + " limit (not a number)");
    }
}

// Why a given limit is not what the chip holds; empty when every one took.
std::string LimitRefusal(link::RegisterAccess& access, int channel, const link::ChannelLimits& held,
                         const link::ChannelLimits& wanted, const link::ChannelLimits& given) {
    struct Limit {
        link::LimitKind kind;
        const char* name;
        double link::ChannelLimits::*value;
    };
    constexpr Limit limits[] = {{link::LimitKind::Low, "low", &link::ChannelLimits::low},
                                {link::LimitKind::High, "high", &link::ChannelLimits::high},
                                {link::LimitKind::Therm, "THERM", &link::ChannelLimits::therm}};
    for (const auto& limit : limits) {
        const double stored =
            link::StoredLimit(access.state(), channel, limit.kind, wanted.*limit.value);
        if (held.*limit.value == stored || std::isnan(given.*limit.value)) {
            continue;
        }
        if (auto locked = link::LockRefusal(access); !locked.empty()) {
            return locked;
        }
        return std::string("not written as given: the chip holds ") +
               model::PlainNumberTextTrimmed(held.*limit.value) + " °C as the " + limit.name +
               " limit, not " + model::PlainNumberTextTrimmed(stored) + " °C";
    }
    return {};
}

} // namespace

Chip::Chip(std::unique_ptr<link::Bridge> bridge)
    : connection_(std::make_unique<Connection>(std::move(bridge))) {}

std::unique_ptr<Chip> Chip::Open(const OpenRequest& request, const std::string& bridgeFolder) {
    const auto address = FixedAddress(request);
    const auto choice = Choice(request, bridgeFolder);
    std::string error;
    auto bridge = link::OpenBridge(choice, error);
    if (!bridge) {
        throw LinkError(error);
    }
    std::unique_ptr<Chip> chip(new Chip(std::move(bridge)));
    chip->Run([&](Connection& connection) {
        link::StreamProgress silent(nullptr);
        // The pauses that only let a person read the splash window are left out.
        link::ConnectionSequence(connection.access, connection.clock, silent,
                                 {bridgeFolder, true, address})
            .Run();
    });
    return chip;
}

void Chip::ThrowLinkError(const link::LinkFailure& failure) {
    auto text = connection_->errors.Take();
    throw LinkError(text.empty() ? std::string(failure.what()) : text);
}

std::int32_t Chip::Address() {
    return Run([](Connection& connection) { return connection.usb.DeviceAddress; });
}

std::int32_t Chip::Read(std::int64_t reg) {
    const auto pointer = CheckedByte(reg, link::BadRegisterText);
    return Run([pointer](Connection& connection) -> std::int32_t {
        if (pointer != model::StatusRegister1 && pointer != model::StatusRegister2) {
            return connection.access.ReadRegister(connection.usb.DeviceAddress, pointer);
        }
        const auto& poll = connection.statusReader.ReadNow();
        const auto status = pointer == model::StatusRegister1 ? poll.status1 : poll.status2;
        if (!status) {
            throw LinkError("not read: the status poll failed");
        }
        return *status;
    });
}

std::int32_t Chip::Write(std::int64_t reg, std::int64_t value, bool readBack) {
    const auto pointer = CheckedByte(reg, link::BadRegisterText);
    const auto byte = CheckedByte(value, link::BadValueText);
    return Run([&](Connection& connection) {
        const auto write = link::WriteCheckedRegister(connection.access, pointer, byte, readBack);
        if (!write.refusal.empty()) {
            throw WriteError(write.refusal);
        }
        return write.held;
    });
}

link::ChannelTemperatures Chip::Temperatures() {
    return Run(
        [](Connection& connection) { return link::ReadChannelTemperatures(connection.access); });
}

link::ChannelLimits Chip::Limits(std::int64_t channel) {
    const int checked = CheckedChannel(channel);
    return Run([checked](Connection& connection) {
        return link::ReadChannelLimits(connection.access, checked);
    });
}

link::ChannelLimits Chip::SetLimits(std::int64_t channel, std::optional<double> low,
                                    std::optional<double> high, std::optional<double> therm) {
    const int checked = CheckedChannel(channel);
    CheckFinite(low, "low");
    CheckFinite(high, "high");
    CheckFinite(therm, "THERM");
    return Run([&](Connection& connection) {
        auto& access = connection.access;
        // Written whole: the limits not given go back as the chip holds them.
        link::ChannelLimits wanted{low.value_or(0.0), high.value_or(0.0), therm.value_or(0.0)};
        if (!low || !high || !therm) {
            const auto current = link::ReadChannelLimits(access, checked);
            wanted = {low.value_or(current.low), high.value_or(current.high),
                      therm.value_or(current.therm)};
        }
        link::WriteChannelLimits(access, checked, wanted);
        const auto held = link::ReadChannelLimits(access, checked);
        const link::ChannelLimits given{low.value_or(NAN), high.value_or(NAN), therm.value_or(NAN)};
        if (auto refusal = LimitRefusal(access, checked, held, wanted, given); !refusal.empty()) {
            throw WriteError(refusal);
        }
        return held;
    });
}

core::StatusPoll Chip::Status() {
    return Run([](Connection& connection) { return connection.statusReader.ReadNow(); });
}

link::DeviceConfiguration Chip::Configuration() {
    return Run([](Connection& connection) { return link::ReadConfiguration(connection.access); });
}

link::DeviceConfiguration Chip::Configure(const link::ConfigurationChange& change) {
    return Run([&](Connection& connection) {
        if (auto refusal = link::ApplyConfiguration(connection.access, change); !refusal.empty()) {
            throw WriteError(refusal);
        }
        return link::ReadConfiguration(connection.access);
    });
}

files::RegisterDump Chip::Dump() {
    return Run([](Connection& connection) { return files::DumpRegisters(connection.access); });
}

int Chip::Save(const std::string& path, const std::string& comment, bool changedOnly) {
    return Run([&](Connection& connection) {
        const auto saved = files::SaveChipSettings(connection.access, path, comment, changedOnly);
        if (!saved.failure.empty()) {
            throw FileError(saved.failure);
        }
        return saved.registers;
    });
}

int Chip::Recall(const std::string& path) {
    return Run([&](Connection& connection) {
        const auto recalled = files::RecallChipSettings(connection.access, path);
        if (!recalled.failure.empty()) {
            throw FileError(recalled.failure);
        }
        return recalled.registers;
    });
}

std::vector<DiffRow> Chip::Diff(const std::string& path) {
    return Run([&](Connection& connection) {
        files::ChipComparison comparison;
        std::string reason;
        if (!files::CompareChipWithFile(path, &connection.access, comparison, reason)) {
            throw FileError(reason);
        }
        if (auto unwritten = files::UnwrittenFileReason(path, comparison.file, "not compared");
            !unwritten.empty()) {
            throw FileError(unwritten);
        }
        std::vector<DiffRow> rows;
        for (const auto& row : comparison.rows) {
            if (files::NotInTable(row) || !files::Differs(row, files::Reference::File)) {
                continue;
            }
            rows.push_back({row.name, row.readAddress, row.writeAddress, row.chip, row.file,
                            row.powerOn,
                            files::DifferingBits(comparison.table, row, files::Reference::File)});
        }
        return rows;
    });
}

void Chip::Close() {
    const std::lock_guard lock(mutex_);
    connection_.reset();
}

bool Chip::Closed() {
    const std::lock_guard lock(mutex_);
    return !connection_;
}

} // namespace qmt::python
