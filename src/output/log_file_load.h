#pragma once

#include "output/log_reader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qmt::output {

// Reads a log file through a LogReader a piece at a time, so that whoever
// drives it can show progress and stop between pieces.
class LogFileLoad {
public:
    static constexpr std::size_t DefaultPieceBytes = std::size_t{1} << 20;

    // Opened without waiting: a FIFO with no writer does not block the open.
    explicit LogFileLoad(const std::string& path);
    ~LogFileLoad();
    LogFileLoad(const LogFileLoad&) = delete;
    LogFileLoad& operator=(const LogFileLoad&) = delete;

    // False when the file could not be opened or a read failed; Error says why.
    bool Ok() const { return error_.empty(); }
    const std::string& Error() const { return error_; }
    // Reads and takes in up to maxBytes more; returns whether more remains.
    bool Step(std::size_t maxBytes = DefaultPieceBytes);
    bool Done() const { return done_; }

    std::uint64_t BytesRead() const { return bytesRead_; }
    // The file's size when opened; 0 for an empty file.
    std::uint64_t TotalBytes() const { return totalBytes_; }
    // Share of the file read, 0 to 1.
    double Progress() const;

    LogReader& reader() { return reader_; }

private:
    void Fail(const std::string& what);
    // Fills the buffer but at the file's end; the bytes read, or -1.
    long Fill();

    int fd_ = -1;
    std::vector<char> buffer_;
    LogReader reader_;
    std::uint64_t bytesRead_ = 0;
    std::uint64_t totalBytes_ = 0;
    bool done_ = false;
    std::string error_;
};

} // namespace qmt::output
