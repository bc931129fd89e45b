#pragma once

#include "link/connection_sequence.h"
#include "link/register_access.h"
#include "link/usb_stuff.h"
#include "model/general_stuff.h"
#include "support/fake_clock.h"
#include "support/recording_link_error_handler.h"
#include "support/recording_progress.h"

#include <string>
#include <type_traits>
#include <utility>

namespace qmt::test {

// The device link wired to a bridge of the test's choice, a fake clock and
// recorders. A bridge that takes the clock first (the emulated board) gets it.
template <typename BridgeType> struct LinkRig {
    template <typename... Args>
    explicit LinkRig(Args&&... args) : bridge(MakeBridge(clock, std::forward<Args>(args)...)) {}

    template <typename... Args> static BridgeType MakeBridge(FakeClock& c, Args&&... args) {
        if constexpr (std::is_constructible_v<BridgeType, FakeClock&, Args...>) {
            return BridgeType(c, std::forward<Args>(args)...);
        } else {
            return BridgeType(std::forward<Args>(args)...);
        }
    }

    void Run() { link::ConnectionSequence(access, clock, progress, options).Run(); }

    FakeClock clock;
    BridgeType bridge;
    link::USBStuff usb;
    GeneralStuff state;
    RecordingLinkErrorHandler errors;
    RecordingProgress progress{&clock};
    link::RegisterAccess access{bridge, usb, state, errors};
    link::ConnectionOptions options{"/opt/qmt", false, {}};
};

} // namespace qmt::test
