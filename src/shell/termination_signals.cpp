#include "shell/termination_signals.h"

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace qmt::shell {

namespace {

// A signal handler receives no context, so the write end of the socket pair
// is the one thing it finds here; set while a TerminationSignals lives.
std::atomic<int> signalWriteEnd{-1};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void WriteSignalNumber(int signalNumber) {
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    const int fd = signalWriteEnd.load(std::memory_order_relaxed);
    if (fd >= 0) {
        // Nothing to do if the pair is full: a close is already pending.
        [[maybe_unused]] const auto written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

void Install(int signalNumber, struct sigaction& previous) {
    struct sigaction action {};
    action.sa_handler = WriteSignalNumber;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signalNumber, &action, &previous);
}

} // namespace

TerminationSignals::TerminationSignals(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, sockets_.data()) !=
        0) {
        throw std::runtime_error("no socket pair for the termination signals");
    }
    signalWriteEnd.store(sockets_[0]);
    notifier_ = new QSocketNotifier(sockets_[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::ReadSignals);
    for (std::size_t i = 0; i < Signals.size(); ++i) {
        Install(Signals[i], previous_[i]);
    }
}

TerminationSignals::~TerminationSignals() {
    for (std::size_t i = 0; i < Signals.size(); ++i) {
        sigaction(Signals[i], &previous_[i], nullptr);
    }
    signalWriteEnd.store(-1);
    delete notifier_;
    ::close(sockets_[0]);
    ::close(sockets_[1]);
}

void TerminationSignals::ReadSignals() {
    unsigned char byte = 0;
    while (::read(sockets_[1], &byte, 1) == 1) {
        handler_(byte);
    }
}

} // namespace qmt::shell
