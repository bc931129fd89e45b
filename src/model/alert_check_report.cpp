#include "model/alert_check_report.h"

#include "model/number_text.h"

#include <algorithm>

namespace qmt::model {

namespace {

constexpr double QuartersPerDegree = 4.0;
constexpr double ExtendedOffset = 64.0;

std::string BitText(const char* name, bool on) {
    return std::string(name) + (on ? " set" : " clear");
}

// "High set, ALRT clear"; ALRT only where it is compared.
std::string BitsText(const CheckStep& step, bool bit, std::optional<bool> alert) {
    // The mask's step watches the high bit.
    const CheckColumn shown = step.column == CheckColumn::Mask ? CheckColumn::High : step.column;
    std::string text = BitText(CheckColumnName(shown), bit);
    if (alert) {
        text += ", " + BitText("ALRT", *alert);
    }
    return text;
}

std::string Field(const std::string& text, char separator) {
    if (text.find(separator) == std::string::npos && text.find('"') == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

std::string Row(const std::vector<std::string>& fields, char separator) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        line += (i == 0 ? "" : std::string(1, separator)) + Field(fields[i], separator);
    }
    return line + "\n";
}

constexpr CheckColumn Columns[] = {CheckColumn::High, CheckColumn::Low, CheckColumn::Therm,
                                   CheckColumn::Mask};

} // namespace

CheckReport UncheckedReport(const std::string& reason) {
    CheckReport report;
    for (const CheckStep& step : CheckSteps()) {
        report.steps.push_back({step, Verdict::NotChecked, reason});
    }
    return report;
}

StepResult Judge(const CheckStep& step, const Expectation& expected, std::uint8_t status1,
                 std::uint8_t status2, const std::string& context) {
    if (!expected.bit) {
        return {step, Verdict::NotChecked, expected.reason + "; " + context};
    }
    const bool bit = ConditionBit(step.channel, step.column, status1, status2);
    const std::optional<bool> alert =
        expected.alert ? std::optional(AlertRaised(status2)) : std::nullopt;
    const bool ok = bit == *expected.bit && alert == expected.alert;
    std::string detail = "saw " + BitsText(step, bit, alert);
    if (!ok) {
        detail = "expected " + BitsText(step, *expected.bit, expected.alert) + ", " + detail;
    }
    detail += "; " + context;
    if (!expected.reason.empty()) {
        detail += "; " + expected.reason;
    }
    return {step, ok ? Verdict::Pass : Verdict::Fail, detail};
}

std::string DegreesText(int quarters, bool extendedRange) {
    const double degrees = quarters / QuartersPerDegree - (extendedRange ? ExtendedOffset : 0.0);
    return PlainNumberTextTrimmed(degrees) + " °C";
}

Verdict CellVerdict(const CheckReport& report, int channel, CheckColumn column) {
    Verdict verdict = Verdict::NotChecked;
    for (const StepResult& result : report.steps) {
        if (result.step.channel != channel || result.step.column != column) {
            continue;
        }
        if (result.verdict == Verdict::Fail) {
            return Verdict::Fail;
        }
        if (result.verdict == Verdict::Pass) {
            verdict = Verdict::Pass;
        }
    }
    return verdict;
}

std::string CellDetail(const CheckReport& report, int channel, CheckColumn column) {
    std::string text;
    for (const StepResult& result : report.steps) {
        if (result.step.channel == channel && result.step.column == column) {
            text += (text.empty() ? "" : "\n") + StepName(result.step) + ": " +
                    VerdictText(result.verdict) + " (" + result.detail + ")";
        }
    }
    return text;
}

const char* VerdictText(Verdict verdict) {
    switch (verdict) {
    case Verdict::Pass:
        return "pass";
    case Verdict::Fail:
        return "fail";
    case Verdict::NotChecked:
        break;
    }
    return "not checked";
}

bool CheckPassed(const CheckReport& report) {
    const bool failed = std::any_of(report.steps.begin(), report.steps.end(),
                                    [](const StepResult& r) { return r.verdict == Verdict::Fail; });
    return !failed && report.notRestored.empty() && !report.linkLost;
}

std::string CheckReportText(const CheckReport& report, char separator) {
    std::string text = Row({"Channel", "High", "Low", "THERM", "Mask"}, separator);
    for (int channel = 0; channel < CheckChannelCount; ++channel) {
        std::vector<std::string> fields{CheckChannelName(channel)};
        for (const CheckColumn column : Columns) {
            fields.emplace_back(VerdictText(CellVerdict(report, channel, column)));
        }
        text += Row(fields, separator);
    }
    text += "\n" + Row({"Step", "Verdict", "Detail"}, separator);
    for (const StepResult& result : report.steps) {
        text += Row({StepName(result.step), VerdictText(result.verdict), result.detail}, separator);
    }
    if (!report.note.empty()) {
        text += "\n" + Row({report.note}, separator);
    }
    for (const std::string& line : report.notRestored) {
        text += Row({"Not put back: " + line}, separator);
    }
    return text;
}

} // namespace qmt::model
