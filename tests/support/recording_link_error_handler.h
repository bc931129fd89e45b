#pragma once

#include "link/link_error.h"

#include <vector>

namespace qmt::test {

// Records each link error and returns, so the failing call throws
// link::LinkFailure instead of ending the program.
class RecordingLinkErrorHandler final : public link::LinkErrorHandler {
public:
    void ReportLinkError(link::LinkError code) override { codes.push_back(code); }

    std::vector<link::LinkError> codes;
};

} // namespace qmt::test
