#pragma once

#include "model/alert_check_plan.h"

#include <cstdint>
#include <string>
#include <vector>

// The alert check's verdicts: one per step, folded into a table of channel
// by high, low, THERM and mask, with the texts that show and save it.
namespace qmt::model {

enum class Verdict { Pass, Fail, NotChecked };

struct StepResult {
    CheckStep step;
    Verdict verdict = Verdict::NotChecked;
    // Why not checked; for a failure the expected and seen bits with the
    // reading and the limit of that moment; for a pass what was compared.
    std::string detail;
};

struct CheckReport {
    std::vector<StepResult> steps; // one per step of CheckSteps, in order
    std::string note;              // about the whole check (a locked chip)
    // One line per register the check could not put back as it was.
    std::vector<std::string> notRestored;
    bool linkLost = false;
    bool cancelled = false;
};

// A report whose steps are all not checked, for the reason given.
CheckReport UncheckedReport(const std::string& reason);

// Compares the status bytes (the second of two reads) with the expectation.
// `context` names the reading and the limit: "reading 25 °C, limit 23 °C".
StepResult Judge(const CheckStep& step, const Expectation& expected, std::uint8_t status1,
                 std::uint8_t status2, const std::string& context);

// "25.25 °C" for a code in quarter degrees, in the given range.
std::string DegreesText(int quarters, bool extendedRange);

// A cell of the table: fail if a step of it failed, pass if one passed,
// else not checked.
Verdict CellVerdict(const CheckReport& report, int channel, CheckColumn column);
// The cell's steps, one line each: "Local High: pass (...)"; the tool tip.
std::string CellDetail(const CheckReport& report, int channel, CheckColumn column);
const char* VerdictText(Verdict verdict); // "pass", "fail", "not checked"

// Every step passed or could not be checked, and everything was put back.
bool CheckPassed(const CheckReport& report);

// The table (a head row, then one row per channel), an empty line, one row
// per step with its verdict and detail, and the lines of the whole check;
// fields split by the separator, quoted where they hold it (CSV).
std::string CheckReportText(const CheckReport& report, char separator);

} // namespace qmt::model
