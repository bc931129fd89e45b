#pragma once

#include "link/clock.h"
#include "link/register_access.h"
#include "model/alert_check_report.h"

#include <functional>
#include <iosfwd>
#include <string>

// qmtctl check-alerts: the alert check of the limits window, from the shell.
namespace qmt::cli {

// Runs the check to its end, waiting on the clock between its steps; when
// stopRequested() says so, the check is cancelled, which puts the registers
// back before it returns. Prints the report as a table or JSON. Returns 0
// when every step passed (or could not be checked) and everything was put
// back, 1 for a failure or a cancelled check, 3 when the link was lost.
// With `progress`, a line "N of 24 steps done" after each step that waits.
int RunCheckAlerts(link::RegisterAccess& access, link::Clock& clock,
                   const std::function<bool()>& stopRequested, bool json, std::ostream& out,
                   std::ostream* progress);

// {"passed", "cancelled", "linkLost", "note", "notRestored": [...],
// "channels": [{"channel", "high", "low", "therm", "mask"}...],
// "steps": [{"step", "verdict", "detail"}...]}
std::string CheckReportJson(const model::CheckReport& report);

} // namespace qmt::cli
