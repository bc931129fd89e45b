#include "widgets/plot_raster.h"

#include <gtest/gtest.h>

namespace qmt::widgets {

namespace {

constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Ink = 0xFF0000FF;

EnvelopeColumn Column(float first, float min, float max, float last) {
    return {true, first, last, min, max};
}

// The inked rows of one column, top to bottom, as [first, last]; {-1, -1} when none.
std::pair<int, int> InkedRows(const QImage& image, int column) {
    int first = -1;
    int last = -1;
    for (int y = 0; y < image.height(); ++y) {
        if (image.pixel(column, y) == Ink) {
            first = first < 0 ? y : first;
            last = y;
        }
    }
    return {first, last};
}

} // namespace

TEST(PlotRaster, RunsCoverEachColumnAndJoinTheNeighbours) {
    QImage image(6, 101, QImage::Format_RGB32);
    image.fill(White);
    // Values 0 to 100 map one to one onto rows 100 to 0.
    const ValueRange values{0.0, 100.0};
    std::vector<EnvelopeColumn> envelope(6);
    envelope[0] = Column(50, 40, 60, 45);
    envelope[1] = Column(80, 70, 90, 75);               // joined to 45 of column 0
    envelope[4] = Column(10, 10, 10, 10);               // across two empty columns
    envelope[5] = Column(1e30f, -1e30f, 1e30f, -1e30f); // far off: clamped, no overflow
    QList<QLine> joints;
    RasterTrace(image, envelope, values, Ink, joints);

    EXPECT_EQ(InkedRows(image, 0), std::make_pair(40, 60));
    EXPECT_EQ(InkedRows(image, 1), std::make_pair(10, 55));
    EXPECT_EQ(InkedRows(image, 2), std::make_pair(-1, -1));
    EXPECT_EQ(InkedRows(image, 4), std::make_pair(90, 90));
    EXPECT_EQ(InkedRows(image, 5), std::make_pair(0, 100));
    ASSERT_EQ(joints.size(), 1);
    EXPECT_EQ(joints[0], QLine(1, 25, 4, 90));

    // An envelope wider than the image is cut at its edge.
    QImage narrow(2, 10, QImage::Format_RGB32);
    narrow.fill(White);
    RasterTrace(narrow, envelope, values, Ink, joints);
    EXPECT_EQ(InkedRows(narrow, 1).first, 1);

    RasterRow(image, 200, Ink); // outside: nothing
    RasterColumn(image, -1, Ink);
    RasterRow(image, 3, Ink);
    EXPECT_EQ(image.pixel(2, 3), Ink);
}

} // namespace qmt::widgets
