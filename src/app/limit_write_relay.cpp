#include "app/limit_write_relay.h"

namespace qmt::app {

void LimitWriteRelay::LimitRegisterWritten(std::int32_t reg) {
    if (state_.GraphOpen && graph_) {
        graph_();
    }
    if (state_.LimitsOpen && limits_) {
        limits_(reg);
    }
}

} // namespace qmt::app
