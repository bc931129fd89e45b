#include "core/limit_write_relay.h"

namespace qmt::core {

void LimitWriteRelay::LimitRegisterWritten(std::int32_t reg) {
    if (state_.GraphOpen && graph_) {
        graph_();
    }
    if (state_.LimitsOpen && limits_) {
        limits_(reg);
    }
}

} // namespace qmt::core
