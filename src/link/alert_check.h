#pragma once

#include "link/channel_limits.h"
#include "link/register_access.h"
#include "model/alert_check_report.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qmt::link {

struct StatusBytes {
    std::uint8_t status1 = 0;
    std::uint8_t status2 = 0;
};

// The status registers as their one reader reads them: reading one clears
// its latched bits, so the check never polls them itself.
class StatusSource {
public:
    virtual ~StatusSource() = default;
    // Both registers; nothing when a poll failed.
    virtual std::optional<StatusBytes> ReadStatus() = 0;
};

// The status read by polling both registers, for a program that has no other
// reader of them (qmtctl).
class PolledStatus final : public StatusSource {
public:
    explicit PolledStatus(RegisterAccess& access) : access_(access) {}
    std::optional<StatusBytes> ReadStatus() override;

private:
    RegisterAccess& access_;
};

// Keeps the chip's writable registers across the check.
class RegisterKeeper {
public:
    virtual ~RegisterKeeper() = default;
    // Reads every writable register; runs before the check's first write.
    virtual void Keep() = 0;
    // Writes back what changed since Keep, in the safe order, reads them all
    // again and gives one line per register that is not as kept. Never
    // throws: a lost link names what could not be put back.
    virtual std::vector<std::string> Restore() = 0;
};

// The alert check as a step machine that never blocks: each Next() does the
// bus work of one step (judging the one before from the status) and says how
// long the chip needs before the next call, so a caller can wait on a timer
// or a pause. After the last step, a failed step, a lost link or Cancel(),
// the registers are put back and the report is complete.
//
// For each channel (Local, Remote 1 through the shared pointers with bit 3
// of Configuration Reg 1 cleared around each access, Remote 2 through its
// own registers) and each of high, low and THERM: the limit is set 2 degrees
// past the reading, the condition's bit (and ALRT where the chip raises it)
// must show; the limit is set back, the bits must follow the limit as it was.
// Then the high limit once more with the channel's mask bit set: the bit
// without ALRT. A locked chip is judged read-only from the status it shows.
class AlertCheck {
public:
    AlertCheck(RegisterAccess& access, StatusSource& status, RegisterKeeper& keeper);

    // Milliseconds to wait before the next call; nothing once the check has ended.
    std::optional<int> Next();
    // Ends the check now, putting the registers back; the steps not run are
    // not checked.
    void Cancel();

    bool Finished() const { return finished_; }
    std::size_t StepsDone() const { return report_.steps.size(); }
    static std::size_t StepCount();
    const model::CheckReport& Report() const { return report_; }

private:
    struct Pending {
        model::CheckStep step;
        model::Expectation expected;
        std::string context;
    };
    struct ChannelState {
        std::optional<std::string> skipped;
        std::array<int, 3> limits{}; // high, low, THERM as the chip held them, quarters
        bool tripped = false;
    };

    bool Start();
    std::optional<int> Act(const model::CheckStep& step);
    void BeginChannel(int channel);
    void Judge();
    void ReadOnly();
    void Finish();
    void StopRemaining(const std::string& reason);
    void Record(const model::CheckStep& step, model::Verdict verdict, const std::string& detail);

    int ReadReading(int channel);
    int ReadLimit(int channel, LimitKind kind);
    void WriteLimit(int channel, LimitKind kind, int quarters);
    void WriteConfiguration(std::uint8_t value);
    template <typename Access> void WithRemote1Shown(int channel, Access access);
    std::optional<StatusBytes> ReadStatusTwice();
    std::string Context(model::CheckColumn column, int reading, int limit) const;

    RegisterAccess& access_;
    StatusSource& status_;
    RegisterKeeper& keeper_;
    model::ChipView view_;
    std::vector<model::CheckStep> steps_;
    std::size_t next_ = 0;
    std::optional<Pending> pending_;
    std::array<ChannelState, model::CheckChannelCount> channels_{};
    // The limit a tripping step changed until its step sets it back.
    std::optional<std::string> unrestored_;
    int waitMs_ = 0;
    bool started_ = false;
    bool kept_ = false;
    bool finished_ = false;
    model::CheckReport report_;
};

} // namespace qmt::link
