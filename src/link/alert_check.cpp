#include "link/alert_check.h"

#include "model/alert_bits.h"

namespace qmt::link {

namespace {

using model::CheckColumn;
using model::CheckPhase;
using model::CheckStep;
using model::Verdict;

constexpr std::int32_t Configuration1Read = 0x03;
constexpr std::int32_t Configuration1Write = 0x09;
constexpr std::int32_t ConversionRate = 0x04;
constexpr std::int32_t ThermHysteresis = 0x21;
constexpr std::int32_t ConsecutiveAlert = 0x22;
constexpr std::int32_t Configuration2 = 0x24;
constexpr std::int32_t Remote2Bit = 0x08;
constexpr int QuartersPerCode = 4;
constexpr int QuarterShift = 6;
constexpr int Remote1 = 1;

struct ReadingRegisters {
    std::int32_t high;
    std::int32_t low; // 0: whole degrees
};
// Local, Remote 1 at the shared pointers, Remote 2 at its own.
constexpr std::array<ReadingRegisters, model::CheckChannelCount> Readings{
    {{0x00, 0}, {0x01, 0x10}, {0x30, 0x33}}};

LimitKind KindOf(CheckColumn column) {
    switch (column) {
    case CheckColumn::Low:
        return LimitKind::Low;
    case CheckColumn::Therm:
        return LimitKind::Therm;
    case CheckColumn::High:
    case CheckColumn::Mask:
        break;
    }
    return LimitKind::High;
}

std::size_t KindIndex(LimitKind kind) {
    switch (kind) {
    case LimitKind::High:
        return 0;
    case LimitKind::Low:
        return 1;
    case LimitKind::Therm:
        break;
    }
    return 2;
}

const char* LimitName(CheckColumn column) {
    switch (KindOf(column)) {
    case LimitKind::Low:
        return "low limit";
    case LimitKind::Therm:
        return "THERM limit";
    case LimitKind::High:
        break;
    }
    return "high limit";
}

} // namespace

std::optional<StatusBytes> PolledStatus::ReadStatus() {
    const auto status1 = access_.PollStatusRegister(model::StatusRegister1);
    const auto status2 = access_.PollStatusRegister(model::StatusRegister2);
    if (!status1 || !status2) {
        return std::nullopt;
    }
    return StatusBytes{*status1, *status2};
}

AlertCheck::AlertCheck(RegisterAccess& access, StatusSource& status, RegisterKeeper& keeper)
    : access_(access), status_(status), keeper_(keeper), steps_(model::CheckSteps()) {}

std::size_t AlertCheck::StepCount() {
    return model::CheckSteps().size();
}

std::optional<int> AlertCheck::Next() {
    if (finished_) {
        return std::nullopt;
    }
    try {
        if (!started_) {
            started_ = true;
            if (!Start()) {
                Finish();
                return std::nullopt;
            }
        }
        if (pending_) {
            Judge();
        }
        while (!finished_ && next_ < steps_.size()) {
            if (const auto wait = Act(steps_[next_++])) {
                return wait;
            }
        }
    } catch (const LinkFailure&) {
        report_.linkLost = true;
        StopRemaining("not run: the link to the board was lost");
    }
    Finish();
    return std::nullopt;
}

void AlertCheck::Cancel() {
    if (finished_) {
        return;
    }
    report_.cancelled = true;
    StopRemaining("not run: the check was cancelled");
    Finish();
}

// False when the check ends here (locked, standby, too slow).
bool AlertCheck::Start() {
    const std::int32_t chip = access_.usb().DeviceAddress;
    const auto read = [&](std::int32_t pointer) {
        return static_cast<std::uint8_t>(access_.ReadRegister(chip, pointer));
    };
    view_.config1 = read(Configuration1Read);
    view_.config2 = read(Configuration2);
    view_.rate = read(ConversionRate);
    view_.consecutive = read(ConsecutiveAlert);
    view_.hysteresis = read(ThermHysteresis);
    const auto status = ReadStatusTwice();
    if (!status) {
        throw LinkFailure(LinkError::Communications);
    }
    view_.status1 = status->status1;
    view_.status2 = status->status2;
    if (model::Locked(view_)) {
        ReadOnly();
        return false;
    }
    if (const auto reason = model::CheckImpossible(view_)) {
        report_ = model::UncheckedReport(*reason);
        next_ = steps_.size();
        return false;
    }
    waitMs_ = *model::StepWaitMs(view_.rate, view_.consecutive);
    keeper_.Keep();
    kept_ = true;
    return true;
}

// The read-only check of a locked chip: the status it shows now against its
// readings and limits; nothing is written.
void AlertCheck::ReadOnly() {
    report_.note = "The chip is locked (bit 7 of Configuration Reg 2): checked read-only, "
                   "nothing written";
    for (const CheckStep& step : steps_) {
        const int channel = step.channel;
        if (step.column == CheckColumn::High && step.phase == CheckPhase::Trip) {
            channels_[static_cast<std::size_t>(channel)].skipped =
                model::ChannelSkipped(view_, channel);
        }
        const auto& state = channels_[static_cast<std::size_t>(channel)];
        if (state.skipped) {
            Record(step, Verdict::NotChecked, *state.skipped);
        } else if (step.phase == CheckPhase::Clear || step.column == CheckColumn::Mask) {
            Record(step, Verdict::NotChecked, "not checked: the chip is locked");
        } else if (channel == Remote1 && model::Remote2Selected(view_)) {
            Record(step, Verdict::NotChecked,
                   "not checked: the chip is locked and its remote registers show Remote 2");
        } else {
            const int reading = ReadReading(channel);
            const int limit = ReadLimit(channel, KindOf(step.column));
            const auto expected =
                model::ExpectAtLimit(view_, channel, step.column, reading, limit, std::nullopt);
            report_.steps.push_back(model::Judge(step, expected, view_.status1, view_.status2,
                                                 Context(step.column, reading, limit)));
        }
    }
    next_ = steps_.size();
}

void AlertCheck::BeginChannel(int channel) {
    ChannelState& state = channels_[static_cast<std::size_t>(channel)];
    state.skipped = model::ChannelSkipped(view_, channel);
    if (state.skipped) {
        return;
    }
    for (const LimitKind kind : {LimitKind::High, LimitKind::Low, LimitKind::Therm}) {
        state.limits[KindIndex(kind)] = ReadLimit(channel, kind);
    }
}

// Nothing when the step was settled without the chip (not checked).
std::optional<int> AlertCheck::Act(const CheckStep& step) {
    const int channel = step.channel;
    if (step.column == CheckColumn::High && step.phase == CheckPhase::Trip) {
        BeginChannel(channel);
    }
    ChannelState& state = channels_[static_cast<std::size_t>(channel)];
    if (state.skipped) {
        Record(step, Verdict::NotChecked, *state.skipped);
        return std::nullopt;
    }
    if (step.phase == CheckPhase::Clear && !state.tripped) {
        Record(step, Verdict::NotChecked, "not checked: the limit was not tripped");
        return std::nullopt;
    }
    const LimitKind kind = KindOf(step.column);
    const int kept = state.limits[KindIndex(kind)];
    const int reading = ReadReading(channel);
    const bool masks = step.column == CheckColumn::Mask;
    if (step.phase == CheckPhase::Trip) {
        const auto limit = model::TripLimit(channel, step.column, reading);
        state.tripped = limit.has_value();
        if (!limit) {
            Record(step, Verdict::NotChecked,
                   "not checked: the reading is too near the end of the range; " +
                       Context(step.column, reading, kept));
            return std::nullopt;
        }
        const std::uint8_t config =
            masks ? model::WithChannelMasked(view_.config1, channel) : view_.config1;
        if (config != view_.config1) {
            WriteConfiguration(config);
        }
        unrestored_ = std::string(model::CheckChannelName(channel)) + " " + LimitName(step.column) +
                      ": set to " + model::DegreesText(*limit, model::ExtendedRange(view_)) +
                      " by the check" +
                      (config != view_.config1 ? ", with the channel masked" : "");
        WriteLimit(channel, kind, *limit);
        pending_ = Pending{step, model::ExpectTripped(view_, channel, step.column, config),
                           Context(step.column, reading, *limit)};
    } else {
        WriteLimit(channel, kind, kept);
        if (masks && model::WithChannelMasked(view_.config1, channel) != view_.config1) {
            WriteConfiguration(view_.config1);
        }
        unrestored_.reset();
        // A tripped THERM stays set inside its hysteresis band.
        pending_ =
            Pending{step, model::ExpectAtLimit(view_, channel, step.column, reading, kept, true),
                    Context(step.column, reading, kept)};
    }
    return waitMs_;
}

void AlertCheck::Judge() {
    const Pending pending = *pending_;
    pending_.reset();
    const auto status = ReadStatusTwice();
    if (!status) {
        Record(pending.step, Verdict::NotChecked, "not checked: the status could not be read");
        throw LinkFailure(LinkError::Communications);
    }
    report_.steps.push_back(model::Judge(pending.step, pending.expected, status->status1,
                                         status->status2, pending.context));
    if (report_.steps.back().verdict == Verdict::Fail) {
        StopRemaining("not run: an earlier step failed");
    }
}

void AlertCheck::Finish() {
    if (kept_) {
        kept_ = false;
        report_.notRestored = keeper_.Restore();
        if (report_.linkLost && unrestored_) {
            // What the keeper could not read back, the check knows it changed.
            report_.notRestored.insert(report_.notRestored.begin(), *unrestored_);
        }
    }
    finished_ = true;
}

void AlertCheck::StopRemaining(const std::string& reason) {
    if (pending_) {
        Record(pending_->step, Verdict::NotChecked, reason);
        pending_.reset();
    }
    for (std::size_t i = report_.steps.size(); i < steps_.size(); ++i) {
        Record(steps_[i], Verdict::NotChecked, reason);
    }
    next_ = steps_.size();
}

void AlertCheck::Record(const CheckStep& step, Verdict verdict, const std::string& detail) {
    report_.steps.push_back({step, verdict, detail});
}

// Runs the access with the shared remote pointers on Remote 1 when the
// channel is Remote 1: bit 3 is read right before, cleared for the access
// and set again after it.
template <typename Access> void AlertCheck::WithRemote1Shown(int channel, Access access) {
    const std::int32_t chip = access_.usb().DeviceAddress;
    const std::int32_t config =
        channel == Remote1 ? access_.ReadRegister(chip, Configuration1Read) : 0;
    if ((config & Remote2Bit) == 0) {
        access();
        return;
    }
    std::int32_t shown = config & ~Remote2Bit;
    access_.WriteRegister(chip, Configuration1Write, shown);
    access();
    std::int32_t back = config;
    access_.WriteRegister(chip, Configuration1Write, back);
}

int AlertCheck::ReadReading(int channel) {
    const ReadingRegisters& regs = Readings.at(static_cast<std::size_t>(channel));
    const std::int32_t chip = access_.usb().DeviceAddress;
    int quarters = 0;
    WithRemote1Shown(channel, [&] {
        // Low byte first, as the monitoring cycle reads them.
        const int low = regs.low != 0 ? access_.ReadRegister(chip, regs.low) >> QuarterShift : 0;
        quarters = access_.ReadRegister(chip, regs.high) * QuartersPerCode + low;
    });
    return quarters;
}

int AlertCheck::ReadLimit(int channel, LimitKind kind) {
    int quarters = 0;
    WithRemote1Shown(channel, [&] { quarters = ReadLimitQuarters(access_, channel, kind); });
    return quarters;
}

void AlertCheck::WriteLimit(int channel, LimitKind kind, int quarters) {
    WithRemote1Shown(channel, [&] { WriteLimitQuarters(access_, channel, kind, quarters); });
}

void AlertCheck::WriteConfiguration(std::uint8_t value) {
    // Bit 3 as the chip holds it now: the selection is the user's.
    const std::int32_t chip = access_.usb().DeviceAddress;
    const std::int32_t now = access_.ReadRegister(chip, Configuration1Read);
    std::int32_t written = (value & ~Remote2Bit) | (now & Remote2Bit);
    access_.WriteRegister(chip, Configuration1Write, written);
}

std::optional<StatusBytes> AlertCheck::ReadStatusTwice() {
    // The first read hands over what was latched before; the second shows
    // the conditions of the latest conversion.
    if (!status_.ReadStatus()) {
        return std::nullopt;
    }
    return status_.ReadStatus();
}

std::string AlertCheck::Context(CheckColumn column, int reading, int limit) const {
    const bool extended = model::ExtendedRange(view_);
    return "reading " + model::DegreesText(reading, extended) + ", " + LimitName(column) + " " +
           model::DegreesText(limit, extended);
}

} // namespace qmt::link
