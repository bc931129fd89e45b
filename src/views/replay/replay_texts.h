#pragma once

#include "output/log_reader.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

// The texts that describe a log's runs to the user.
namespace qmt::views {

// "H:MM:SS", with the fraction of a second when there is one: 0:00:02.5.
QString DurationText(double seconds);
// "3 lines could not be read" ("1 line ..."); empty for none.
QString DamagedText(std::int64_t lines);
// "2 runs start where the time went back or jumped" ("1 run starts ..."); empty for none.
QString TimeBreakText(std::int64_t runs);
// "Run 2: line 17, 864000 lines, 23:59:59.9, Local Remote2"; a run that starts
// at a time break says so after its line: "Run 3: line 350 (time break), ...".
QString RunText(const output::LogRun& run, int number);
// The choices offered for a file of several runs: "All 3 runs", then RunText of each.
QStringList RunChoices(const std::vector<output::LogRun>& runs);

} // namespace qmt::views
