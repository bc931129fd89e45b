#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarnlink {

// (read pointer, value) pairs of the registers that hold settings.
using RegisterValues = std::vector<std::pair<std::uint8_t, std::uint8_t>>;

// The settings registers a board keeps between runs, as a real board that
// stays powered does. The file holds `reg.0xNN = 0xVV` lines, the board
// file's syntax; other programs' writes since power-on are merged, never
// overwritten. A lock file beside it (`<file>.lock`) serialises processes,
// and every store replaces the file by rename, so it is never half-written.
// Neither the lock file nor the new file (`<file>.new`) is opened through a
// symbolic link, and the new file is always one this store created. A file
// this process may not replace is still read, so that a board kept read-only
// starts from it.
class ChipStateFile {
public:
    explicit ChipStateFile(std::string path) : path_(std::move(path)) {}

    // The stored values (none while the file does not exist). False with a
    // one-line reason for an unreadable file or a line that is no register.
    bool Load(RegisterValues& values, std::string& error) const;
    // False when the file, its lock file or its folder is read-only to this
    // process (permissions, an immutable file, a read-only mount): stores
    // would fail.
    bool Writable() const;
    // Sets the given registers in the file, keeping the others it holds.
    bool Store(const RegisterValues& changed, std::string& error) const;

    const std::string& path() const { return path_; }

private:
    bool LoadUnlocked(RegisterValues& values, std::string& error) const;

    std::string path_;
};

// The settings registers (not the measured ones) whose values differ, and
// the one a write went to even when it kept its value here: another process
// may have stored a different value meanwhile, and this write must win.
RegisterValues WrittenSettings(const std::array<std::uint8_t, 256>& before,
                               const std::array<std::uint8_t, 256>& after,
                               std::optional<std::uint8_t> written);

} // namespace tarnlink
