#pragma once

#include "link/link_error.h"

#include <vector>

namespace qmt::test {

// Records each reported link error and returns, so RegisterAccess throws
// link::LinkFailure instead of ending the program:
//
//   RecordingLinkErrorHandler errors;
//   EXPECT_THROW(access.ReadRegister(0x4C, 0), link::LinkFailure);
//   EXPECT_EQ(errors.codes, std::vector{link::LinkError::Communications});
class RecordingLinkErrorHandler final : public link::LinkErrorHandler {
public:
    void ReportLinkError(link::LinkError code) override { codes.push_back(code); }

    std::vector<link::LinkError> codes;
};

} // namespace qmt::test
