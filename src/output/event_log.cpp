#include "output/event_log.h"

#include "model/number_text.h"
#include "output/log_format.h"

namespace qmt::output {

std::string EventHeaderLine() {
    return "Time ,Bit ,State ,Temperature(\xB0"
           "C) ,Limit(\xB0"
           "C) ,Anomaly ,";
}

std::string EventDataLine(const std::string& timeText, const model::AlertEvent& event) {
    std::string line = timeText + ",";
    line += model::AlertEventCaption(event) + ",";
    line += event.set ? "set," : "cleared,";
    line += (event.temperature ? model::PlainNumberText(*event.temperature) : std::string()) + ",";
    line += (event.limit ? model::PlainNumberText(*event.limit) : std::string()) + ",";
    line += event.anomaly ? "possible anomaly," : ",";
    return line;
}

std::string EventFileText(const std::vector<model::AlertEvent>& events,
                          std::string (*timeText)(double time)) {
    std::string text = EventHeaderLine();
    text += LogLineEnd;
    for (const model::AlertEvent& event : events) {
        text += EventDataLine(timeText(event.time), event);
        text += LogLineEnd;
    }
    return text;
}

} // namespace qmt::output
