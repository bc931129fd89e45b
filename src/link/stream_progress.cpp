#include "link/stream_progress.h"

#include <ostream>

namespace qmt::link {

void StreamProgress::Print(const std::string& text) {
    if (stream_ != nullptr) {
        *stream_ << text << std::endl;
    }
}

} // namespace qmt::link
