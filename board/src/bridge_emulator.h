#pragma once

#include "board_config.h"
#include "chip.h"
#include "chip_state.h"
#include "tarnlink_emulator.h"
#include "trace_log.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnlink {

// The bridge: firmware download, connecting, routing register requests to the
// chips by address, the board's failure modes, and the request trace.
class BridgeEmulator {
public:
    explicit BridgeEmulator(Emulator::MillisClock clock);

    bool LoadBoardText(std::string_view text, std::string& error);
    std::int16_t LoadFirmWare(const char* path);
    std::int16_t VendorIORequest(std::uint16_t request, std::int32_t value, std::int32_t index,
                                 std::int16_t arg4, std::int16_t arg5, std::uint8_t* buffer);
    bool SetTracePath(const std::string& path) { return trace_.Open(path); }
    const std::string& LastError() const { return lastError_; }

private:
    std::int16_t Load(const char* path);
    bool TakeBoard(BoardConfig& board);
    bool TakeState(BoardConfig& board);
    void WriteChip(Chip& chip, std::uint8_t pointer, std::uint8_t value, std::uint64_t nowMs);
    std::int16_t Fail(std::int16_t status, std::string reason);
    void PowerOn(const BoardConfig& board, std::uint64_t nowMs);
    std::int16_t Serve(std::uint16_t request, std::int32_t value, std::int32_t index,
                       std::int16_t arg4, std::int16_t arg5, std::uint8_t* buffer,
                       std::uint64_t nowMs);
    std::int16_t Connect(std::int32_t value, std::int32_t index, std::int16_t arg4,
                         std::int16_t arg5);
    std::int16_t Transfer(bool write, std::int32_t address, std::int32_t index,
                          std::uint8_t* buffer, std::uint64_t nowMs);
    Chip* ChipAt(std::int32_t address);

    Emulator::MillisClock clock_;
    std::optional<BoardConfig> givenBoard_; // from LoadBoardText; wins over TARNLINK_BOARD
    std::optional<ChipStateFile> state_;    // the board's `state` file, if it names one
    std::vector<Chip> chips_;
    std::array<std::int8_t, 128> chipIndex_{}; // by 7-bit address; -1: nobody answers
    bool firmwareLoaded_ = false;
    bool connected_ = false;
    std::uint32_t connectAttempt_ = 1;
    std::uint32_t connectRequests_ = 0;
    std::uint64_t failAfter_ = 0;
    std::uint64_t registerRequests_ = 0;
    bool unplugged_ = false;
    TraceLog trace_;
    std::string lastError_;
};

} // namespace tarnlink
