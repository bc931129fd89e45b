#pragma once

#include "model/alert_events.h"

#include <string>
#include <vector>

// The bytes of an event file: the alert bits' changes as comma-separated
// text in the data log's manner (8-bit text with the degree sign as 0xB0,
// CR LF line ends, every column ending in a comma), so both open alike.
namespace qmt::output {

// "Time ,Bit ,State ,Temperature(°C) ,Limit(°C) ,Anomaly ,"
std::string EventHeaderLine();
// The time text as given, the bit's caption, "set" or "cleared", the
// temperature and the limit in the log's number format (empty when not
// known), and "possible anomaly" or nothing.
std::string EventDataLine(const std::string& timeText, const model::AlertEvent& event);
// A whole file of events, each line with its line end.
std::string EventFileText(const std::vector<model::AlertEvent>& events,
                          std::string (*timeText)(double time));

} // namespace qmt::output
