#include "link/tarnlink_library.h"

#include <gtest/gtest.h>

namespace qmt::test {
namespace {

TEST(TarnlinkLibrary, LoadFailuresNameTheLibraryAndTheSymbol) {
    std::string error;
    EXPECT_EQ(link::TarnlinkLibrary::Load("/nonexistent/libTarnlink.so", error), nullptr);
    EXPECT_NE(error.find("/nonexistent/libTarnlink.so"), std::string::npos) << error;

    EXPECT_EQ(link::TarnlinkLibrary::Load(QMT_HALF_TARNLINK_PATH, error), nullptr);
    EXPECT_NE(error.find(QMT_HALF_TARNLINK_PATH), std::string::npos) << error;
    EXPECT_NE(error.find("lacks VendorIORequest"), std::string::npos) << error;
}

} // namespace
} // namespace qmt::test
