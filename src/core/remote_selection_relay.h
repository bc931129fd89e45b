#pragma once

#include "link/register_access.h"
#include "model/general_stuff.h"

#include <functional>

namespace qmt::core {

// Passes each update of the remote channel selection on to the windows
// whose labels depend on it: first the graph, then the limits window, each
// only while it is loaded. The windows install their relabelling when they
// are created and remove it when they are destroyed.
class RemoteSelectionRelay final : public link::RemoteSelectionListener {
public:
    using Relabel = std::function<void(bool remote2Selected)>;

    explicit RemoteSelectionRelay(const GeneralStuff& state) : state_(state) {}

    void SetGraphRelabel(Relabel relabel) { graph_ = std::move(relabel); }
    void SetLimitsRelabel(Relabel relabel) { limits_ = std::move(relabel); }

    void RemoteSelectionChanged(bool remote2Selected) override;

private:
    const GeneralStuff& state_;
    Relabel graph_;
    Relabel limits_;
};

} // namespace qmt::core
