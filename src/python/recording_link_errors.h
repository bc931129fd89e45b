#pragma once

#include "link/link_error.h"

#include <string>

namespace qmt::python {

// Keeps what the link reports and returns, so that RegisterAccess throws
// link::LinkFailure out of the request and the C++ stack unwinds on its own;
// the module's call then raises the kept text as one Python LinkError.
class RecordingLinkErrorHandler final : public link::LinkErrorHandler {
public:
    void ReportLinkError(link::LinkError code) override { Add(link::LinkErrorMessage(code)); }
    void ExplainLinkError(const std::string& reason) override { Add(reason); }
    void DescribeDeviceFailure(const std::string& detail) override { Add(detail); }

    // What was reported since the last call, oldest first, on one line.
    std::string Take();

private:
    void Add(const std::string& text);
    std::string text_;
};

} // namespace qmt::python
