#include "core/remote_selection_relay.h"

namespace qmt::core {

void RemoteSelectionRelay::RemoteSelectionChanged(bool remote2Selected) {
    if (state_.GraphOpen && graph_) {
        graph_(remote2Selected);
    }
    if (state_.LimitsOpen && limits_) {
        limits_(remote2Selected);
    }
}

} // namespace qmt::core
