#include "python/recording_link_errors.h"

#include <utility>

namespace qmt::python {

void RecordingLinkErrorHandler::Add(const std::string& text) {
    text_ += (text_.empty() ? "" : "; ") + text;
}

std::string RecordingLinkErrorHandler::Take() {
    return std::exchange(text_, {});
}

} // namespace qmt::python
