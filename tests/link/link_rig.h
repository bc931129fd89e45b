#pragma once

#include "link/connection_sequence.h"
#include "link/register_access.h"
#include "link/usb_stuff.h"
#include "model/general_stuff.h"
#include "support/fake_clock.h"
#include "support/recording_link_error_handler.h"
#include "support/recording_progress.h"

namespace qmt::test {

// The device link wired to a bridge of the test's choice (a reference for one
// opened elsewhere), a fake clock and recorders.
template <typename BridgeType> struct LinkRig {
    LinkRig() = default;
    explicit LinkRig(BridgeType opened) : bridge(opened) {}

    void Run() { link::ConnectionSequence(access, clock, progress, options).Run(); }

    FakeClock clock;
    BridgeType bridge;
    link::USBStuff usb;
    GeneralStuff state;
    RecordingLinkErrorHandler errors;
    RecordingProgress progress;
    link::RegisterAccess access{bridge, usb, state, errors};
    link::ConnectionOptions options{"/opt/qmt", false, {}};
};

} // namespace qmt::test
