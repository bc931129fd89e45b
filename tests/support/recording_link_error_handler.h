#pragma once

#include "link/link_error.h"

#include <string>
#include <vector>

namespace qmt::test {

// Records each link error and returns, so the failing call throws
// link::LinkFailure instead of ending the program.
class RecordingLinkErrorHandler final : public link::LinkErrorHandler {
public:
    void ReportLinkError(link::LinkError code) override { codes.push_back(code); }
    void ExplainLinkError(const std::string& reason) override { reasons.push_back(reason); }
    void DescribeDeviceFailure(const std::string& detail) override { details.push_back(detail); }

    std::vector<link::LinkError> codes;
    std::vector<std::string> reasons;
    std::vector<std::string> details;
};

} // namespace qmt::test
