#include "views/limits/alert_check_runner.h"

#include "core/application.h"

namespace qmt::views {

namespace {

constexpr int TickMs = 10;
constexpr double MsPerSecond = 1000.0;

// The program's one status reader as the check's source of the status.
class ReaderSource final : public link::StatusSource {
public:
    explicit ReaderSource(core::StatusReader& reader) : reader_(reader) {}
    std::optional<link::StatusBytes> ReadStatus() override {
        const core::StatusPoll& poll = reader_.ReadNow();
        if (!poll.status1 || !poll.status2) {
            return std::nullopt;
        }
        return link::StatusBytes{*poll.status1, *poll.status2};
    }

private:
    core::StatusReader& reader_;
};

} // namespace

AlertCheckRunner::AlertCheckRunner(core::Application& app, QObject* parent)
    : QObject(parent), app_(app), source_(std::make_unique<ReaderSource>(app.statusReader())) {
    timer_.setInterval(TickMs);
    connect(&timer_, &QTimer::timeout, this, &AlertCheckRunner::Tick);
}

AlertCheckRunner::~AlertCheckRunner() {
    // Whoever listened may be going away too.
    blockSignals(true);
    Cancel();
}

const model::CheckReport* AlertCheckRunner::Report() const {
    return check_ ? &check_->Report() : nullptr;
}

void AlertCheckRunner::Start() {
    if (running_) {
        return;
    }
    keeper_ = std::make_unique<files::SettingsKeeper>(app_.regMap(), app_.access());
    check_ = std::make_unique<link::AlertCheck>(app_.access(), *source_, *keeper_);
    running_ = true;
    cancelAsked_ = false;
    app_.state().AlertCheckRunning = true;
    timer_.start();
    Step();
}

void AlertCheckRunner::Cancel() {
    if (!running_) {
        return;
    }
    if (stepping_) {
        cancelAsked_ = true; // a link failure's unload, inside a step
        return;
    }
    check_->Cancel();
    End();
}

void AlertCheckRunner::Tick() {
    if (!running_ || stepping_) {
        return;
    }
    const double now = app_.clock().SecondsSinceMidnight();
    const bool wrapped = lastNow_ && now < *lastNow_;
    lastNow_ = now;
    if (wrapped || !dueAt_ || now >= *dueAt_) {
        Step();
    }
}

void AlertCheckRunner::Step() {
    stepping_ = true;
    const auto wait = check_->Next();
    stepping_ = false;
    if (cancelAsked_) {
        check_->Cancel();
    }
    emit progressed(static_cast<int>(check_->StepsDone()));
    if (!wait || check_->Finished()) {
        End();
        return;
    }
    const double now = app_.clock().SecondsSinceMidnight();
    lastNow_ = now;
    dueAt_ = now + *wait / MsPerSecond;
}

void AlertCheckRunner::End() {
    timer_.stop();
    running_ = false;
    dueAt_.reset();
    lastNow_.reset();
    app_.state().AlertCheckRunning = false;
    emit finished();
}

} // namespace qmt::views
