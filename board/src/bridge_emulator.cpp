#include "bridge_emulator.h"

#include "file_text.h"
#include "intel_hex.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace tarnlink {

namespace {

constexpr std::int32_t ConnectValue = 48;
constexpr std::int32_t ConnectIndex = 51;
// A board description is a few lines; anything this large is the wrong file.
constexpr std::size_t MaxBoardFileSize = 1024 * 1024;

Emulator::MillisClock SteadyClockFromNow() {
    const auto start = std::chrono::steady_clock::now();
    return [start] {
        const auto elapsed = std::chrono::steady_clock::now() - start;
        return static_cast<std::uint64_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
    };
}

} // namespace

BridgeEmulator::BridgeEmulator(Emulator::MillisClock clock)
    : clock_(clock ? std::move(clock) : SteadyClockFromNow()) {
    chipIndex_.fill(-1);
}

bool BridgeEmulator::LoadBoardText(std::string_view text, std::string& error) {
    BoardConfig board;
    if (!ParseBoardText(text, board, error)) {
        return false;
    }
    givenBoard_ = std::move(board);
    return true;
}

std::int16_t BridgeEmulator::LoadFirmWare(const char* path) {
    const std::uint64_t nowMs = clock_();
    const std::int16_t status = Load(path);
    if (trace_.IsOpen()) {
        char line[64];
        const int length = std::snprintf(line, sizeof line, "fw %d %llu\n", status,
                                         static_cast<unsigned long long>(nowMs));
        trace_.WriteLine(std::string_view(line, static_cast<std::size_t>(length)));
    }
    return status;
}

std::int16_t BridgeEmulator::Fail(std::int16_t status, std::string reason) {
    lastError_ = std::move(reason);
    std::fprintf(stderr, "Tarnlink: %s\n", lastError_.c_str());
    return status;
}

std::int16_t BridgeEmulator::Load(const char* path) {
    // Re-enumeration drops whatever the bridge was doing; only a full,
    // successful download brings it back.
    firmwareLoaded_ = false;
    connected_ = false;
    chips_.clear();
    chipIndex_.fill(-1);
    state_.reset();

    const HexCheck hex = CheckIntelHexFile(path);
    if (!hex.ok) {
        return Fail(hex.readable ? FirmwareMalformed : FirmwareUnreadable,
                    "firmware rejected: " + hex.reason);
    }
    BoardConfig board;
    if (!TakeBoard(board) || !TakeState(board)) {
        return FirmwareBadBoard;
    }
    if (!board.firmwareOk) {
        return Fail(FirmwareRefused, "the board refuses the firmware (firmware = fail)");
    }
    PowerOn(board, clock_());
    lastError_.clear();
    return FirmwareOk;
}

bool BridgeEmulator::TakeBoard(BoardConfig& board) {
    if (givenBoard_) {
        board = *givenBoard_;
        return true;
    }
    const char* boardFile = std::getenv("TARNLINK_BOARD");
    if (boardFile == nullptr || *boardFile == '\0') {
        return true; // the default board
    }
    std::string text;
    switch (ReadFileText(boardFile, MaxBoardFileSize, text)) {
    case FileTextResult::Unreadable:
        Fail(FirmwareBadBoard, std::string("board file ") + boardFile + ": cannot read it");
        return false;
    case FileTextResult::TooLarge:
        Fail(FirmwareBadBoard, std::string("board file ") + boardFile + ": too large");
        return false;
    case FileTextResult::Ok:
        break;
    }
    std::string error;
    if (!ParseBoardText(text, board, error)) {
        Fail(FirmwareBadBoard, std::string("board file ") + boardFile + ": " + error);
        return false;
    }
    // A relative state file lives beside the board file that names it.
    const std::string_view folder(boardFile);
    const auto slash = folder.rfind('/');
    if (!board.stateFile.empty() && board.stateFile.front() != '/' &&
        slash != std::string_view::npos) {
        board.stateFile.insert(0, folder.substr(0, slash + 1));
    }
    return true;
}

bool BridgeEmulator::TakeState(BoardConfig& board) {
    if (board.stateFile.empty()) {
        return true;
    }
    ChipStateFile state(board.stateFile);
    RegisterValues stored;
    std::string error;
    if (!state.Load(stored, error)) {
        Fail(FirmwareBadBoard, "state file " + state.path() + ": " + error);
        return false;
    }
    // Stored settings come after the board's reg. lines, so they win.
    board.registerValues.insert(board.registerValues.end(), stored.begin(), stored.end());
    if (!state.Writable()) {
        // A board kept read-only still starts; its chips forget at power-off.
        std::fprintf(stderr, "Tarnlink: state file %s is read-only; changes are not kept\n",
                     state.path().c_str());
        return true;
    }
    state_ = std::move(state);
    return true;
}

void BridgeEmulator::WriteChip(Chip& chip, std::uint8_t pointer, std::uint8_t value,
                               std::uint64_t nowMs) {
    if (!state_) {
        chip.Write(pointer, value, nowMs);
        return;
    }
    const std::array<std::uint8_t, 256> before = chip.Registers();
    const auto written = chip.Write(pointer, value, nowMs);
    const RegisterValues changed = WrittenSettings(before, chip.Registers(), written);
    std::string error;
    if (!changed.empty() && !state_->Store(changed, error)) {
        // The bus has no way to report it; the write itself stands.
        std::fprintf(stderr, "Tarnlink: state file %s: %s\n", state_->path().c_str(),
                     error.c_str());
    }
}

void BridgeEmulator::PowerOn(const BoardConfig& board, std::uint64_t nowMs) {
    chips_.reserve(board.addresses.size());
    for (const std::uint8_t address : board.addresses) {
        chipIndex_[address] = static_cast<std::int8_t>(chips_.size());
        chips_.emplace_back(board, nowMs);
    }
    connectAttempt_ = board.connectAttempt;
    connectRequests_ = 0;
    failAfter_ = board.failAfter;
    registerRequests_ = 0;
    unplugged_ = false;
    firmwareLoaded_ = true;
}

std::int16_t BridgeEmulator::VendorIORequest(std::uint16_t request, std::int32_t value,
                                             std::int32_t index, std::int16_t arg4,
                                             std::int16_t arg5, std::uint8_t* buffer) {
    const std::uint64_t nowMs = clock_();
    const std::int16_t status = Serve(request, value, index, arg4, arg5, buffer, nowMs);
    if (trace_.IsOpen()) {
        char line[128];
        const int length = std::snprintf(line, sizeof line, "%u %d %d %d %d %d %u %llu\n",
                                         static_cast<unsigned>(request), value, index, arg4, arg5,
                                         status, buffer != nullptr ? buffer[0] : 0U,
                                         static_cast<unsigned long long>(nowMs));
        trace_.WriteLine(std::string_view(line, static_cast<std::size_t>(length)));
    }
    return status;
}

std::int16_t BridgeEmulator::Serve(std::uint16_t request, std::int32_t value, std::int32_t index,
                                   std::int16_t arg4, std::int16_t arg5, std::uint8_t* buffer,
                                   std::uint64_t nowMs) {
    if (unplugged_) {
        return StatusUnplugged;
    }
    if (buffer == nullptr) {
        return StatusNoBuffer;
    }
    const bool registerRequest = request == RequestRegister || request == RequestStatusPoll;
    if (!registerRequest && request != RequestConnect) {
        return StatusUnknownRequest;
    }
    if (!firmwareLoaded_) {
        return StatusNotConnected;
    }
    if (request == RequestConnect) {
        return Connect(value, index, arg4, arg5);
    }
    if (!connected_) {
        return StatusNotConnected;
    }
    if (failAfter_ != 0 && ++registerRequests_ > failAfter_) {
        unplugged_ = true;
        return StatusUnplugged;
    }
    const bool read = arg4 == 1 && arg5 == 1;
    const bool write = request == RequestRegister && arg4 == 0 && arg5 == 0;
    if (!read && !write) {
        return StatusBadArguments;
    }
    return Transfer(write, value, index, buffer, nowMs);
}

std::int16_t BridgeEmulator::Connect(std::int32_t value, std::int32_t index, std::int16_t arg4,
                                     std::int16_t arg5) {
    if (value != ConnectValue || index != ConnectIndex || arg4 != 0 || arg5 != 0) {
        return StatusBadArguments;
    }
    if (!connected_) {
        ++connectRequests_;
        connected_ = connectAttempt_ != 0 && connectRequests_ >= connectAttempt_;
    }
    return connected_ ? StatusOk : StatusNotConnected;
}

Chip* BridgeEmulator::ChipAt(std::int32_t address) {
    if (address < 0 || address >= static_cast<std::int32_t>(chipIndex_.size())) {
        return nullptr;
    }
    const std::int8_t found = chipIndex_[static_cast<std::size_t>(address)];
    return found < 0 ? nullptr : &chips_[static_cast<std::size_t>(found)];
}

std::int16_t BridgeEmulator::Transfer(bool write, std::int32_t address, std::int32_t index,
                                      std::uint8_t* buffer, std::uint64_t nowMs) {
    // The index travels as the 16-bit field of a USB set-up packet: the low byte
    // is the pointer, the high byte the value written.
    const auto field = static_cast<std::uint16_t>(index);
    const auto pointer = static_cast<std::uint8_t>(field & 0xFF);
    Chip* chip = ChipAt(address);
    if (write) {
        if (chip != nullptr) {
            WriteChip(*chip, pointer, static_cast<std::uint8_t>(field >> 8), nowMs);
        }
        return StatusOk;
    }
    // Nobody drives the bus: the pull-ups read as all ones.
    buffer[0] = chip != nullptr ? chip->Read(pointer, nowMs) : std::uint8_t{0xFF};
    return StatusOk;
}

} // namespace tarnlink
