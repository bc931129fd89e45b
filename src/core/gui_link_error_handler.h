#pragma once

#include "link/link_error.h"

#include <string>

namespace qmt::core {

class Application;

// Link failures as the user sees them: the master timer stops, a message box
// names the failure, every window is unloaded in order (the main window
// stores its placement) and the program ends with LinkFailureExitStatus.
class GuiLinkErrorHandler final : public link::LinkErrorHandler {
public:
    static constexpr int LinkFailureExitStatus = 3;

    explicit GuiLinkErrorHandler(Application& app) : app_(app) {}

    void ReportLinkError(link::LinkError code) override;
    // The box keeps the code's message; the detail goes to standard error.
    void ExplainLinkError(const std::string& reason) override;
    // The box shows the device file and its failure on a second line, under
    // the code's message.
    void DescribeDeviceFailure(const std::string& detail) override;

private:
    Application& app_;
    bool reporting_ = false;
    std::string deviceFailure_;
};

} // namespace qmt::core
