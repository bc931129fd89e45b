#pragma once

#include "link/register_access.h"
#include "model/general_stuff.h"

#include <functional>

namespace qmt::app {

// Passes each write of a limit register, from whichever window made it, on
// to the graph while it is loaded, so that its limit lines follow the chip.
class LimitWriteRelay final : public link::LimitWriteListener {
public:
    using Reread = std::function<void()>;

    explicit LimitWriteRelay(const GeneralStuff& state) : state_(state) {}

    void SetGraphReread(Reread reread) { graph_ = std::move(reread); }

    void LimitRegisterWritten(std::int32_t reg) override;

private:
    const GeneralStuff& state_;
    Reread graph_;
};

} // namespace qmt::app
