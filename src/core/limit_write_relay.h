#pragma once

#include "link/register_access.h"
#include "model/general_stuff.h"

#include <functional>

namespace qmt::core {

// Passes each write of a limit register, from whichever window made it, on
// to the graph and to the limits window while each is loaded, so that the
// limit lines and the gauges' pointers follow the chip.
class LimitWriteRelay final : public link::LimitWriteListener {
public:
    using Reread = std::function<void()>;
    using RereadRegister = std::function<void(std::int32_t reg)>;

    explicit LimitWriteRelay(const GeneralStuff& state) : state_(state) {}

    void SetGraphReread(Reread reread) { graph_ = std::move(reread); }
    void SetLimitsReread(RereadRegister reread) { limits_ = std::move(reread); }

    void LimitRegisterWritten(std::int32_t reg) override;

private:
    const GeneralStuff& state_;
    Reread graph_;
    RereadRegister limits_;
};

} // namespace qmt::core
