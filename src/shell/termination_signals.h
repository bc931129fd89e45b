#pragma once

#include <QObject>
#include <array>
#include <csignal>
#include <functional>

class QSocketNotifier;

namespace qmt::shell {

// Turns SIGINT, SIGTERM and SIGHUP (the terminal or session gone) into a call from the event loop,
// so that the program closes its windows in order (the main window stores its placement) instead of
// dying in the middle of whatever it was doing. The handlers write the signal's number into a
// socket pair that a notifier watches. One instance at a time; the previous handlers come back when
// it goes.
class TerminationSignals final : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<void(int signalNumber)>;

    explicit TerminationSignals(Handler handler, QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    void ReadSignals();

    Handler handler_;
    std::array<int, 2> sockets_{-1, -1};
    QSocketNotifier* notifier_ = nullptr;
    static constexpr std::array<int, 3> Signals{SIGINT, SIGTERM, SIGHUP};
    std::array<struct sigaction, Signals.size()> previous_{};
};

} // namespace qmt::shell
