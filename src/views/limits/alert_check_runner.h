#pragma once

#include "files/register_keeper.h"
#include "link/alert_check.h"

#include <QObject>
#include <QTimer>
#include <memory>
#include <optional>

namespace qmt::core {
class Application;
}

namespace qmt::views {

// Runs the alert check in the program without blocking it: a 10 ms timer
// asks Tick() whether the chip has had the time the last step asked for, so
// the windows stay live while it waits. The status goes through the
// program's one status reader, so the lamps and the graph's events see the
// check's bits (marked as its own while it runs); every limit write reaches
// the gauges through the program's limit-write notice.
class AlertCheckRunner : public QObject {
    Q_OBJECT

public:
    explicit AlertCheckRunner(core::Application& app, QObject* parent = nullptr);
    // A running check is cancelled: the registers go back first.
    ~AlertCheckRunner() override;

    void Start();
    void Cancel();
    // Runs the next step once its wait is over.
    void Tick();
    bool Running() const { return running_; }
    // The latest check's report; null before the first start.
    const model::CheckReport* Report() const;

signals:
    void progressed(int stepsDone);
    void finished();

private:
    void Step();
    void End();

    core::Application& app_;
    std::unique_ptr<link::StatusSource> source_;
    std::unique_ptr<files::SettingsKeeper> keeper_;
    std::unique_ptr<link::AlertCheck> check_;
    std::optional<double> dueAt_;   // seconds since midnight
    std::optional<double> lastNow_; // to notice the clock passing midnight
    QTimer timer_;
    bool running_ = false;
    bool stepping_ = false;
    bool cancelAsked_ = false;
};

} // namespace qmt::views
