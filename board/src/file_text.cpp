#include "file_text.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tarnlink {

namespace {

// Closes the descriptor when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

FileTextResult ReadFileText(const char* path, std::size_t maxBytes, std::string& text) {
    text.clear();
    // Opened without waiting: a FIFO that no one writes to would block the
    // open for good. Then reads wait again, so that a pipe that is being
    // written (a shell's <(...)) is read to its end; one without a writer
    // ends at once, empty.
    const Descriptor file(::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) {
        return FileTextResult::Unreadable;
    }
    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags < 0 || ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) < 0) {
        return FileTextResult::Unreadable;
    }
    std::array<char, 16 * 1024> chunk{};
    for (;;) {
        const auto count = ::read(file.get(), chunk.data(), chunk.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            // A folder fails here (EISDIR), not when it is opened.
            return FileTextResult::Unreadable;
        }
        if (count == 0) {
            return FileTextResult::Ok;
        }
        text.append(chunk.data(), static_cast<std::size_t>(count));
        if (text.size() > maxBytes) {
            return FileTextResult::TooLarge;
        }
    }
}

} // namespace tarnlink
