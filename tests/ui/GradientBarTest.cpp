#include "ui/GradientBar.h"
#include "link/GradientBarGeometry.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 255, 0);

struct SegmentCase {
    int width;
    int max;
    int position;
    int expectedCount;
    int expectedStep;
    int expectedLastWidth;
};

class GradientBarSegments : public ::testing::TestWithParam<SegmentCase> {};

TEST_P(GradientBarSegments, CountWidthAndClipping)
{
    const SegmentCase c = GetParam();
    const auto segments =
        GradientBarGeometry::segments(c.width, 13, c.max, c.position, kBlue, kGreen);
    ASSERT_EQ(int(segments.size()), c.expectedCount);
    EXPECT_EQ(GradientBarGeometry::segmentWidth(c.width, c.max), c.expectedStep);
    for (size_t i = 0; i < segments.size(); ++i) {
        EXPECT_EQ(segments[i].rect.left(), int(i) * c.expectedStep) << i;
        EXPECT_EQ(segments[i].rect.top(), 0);
        EXPECT_EQ(segments[i].rect.height(), 13);
        EXPECT_LE(segments[i].rect.right(), c.width - 1) << "segment " << i << " not clipped";
    }
    if (!segments.empty()) {
        EXPECT_EQ(segments.back().rect.width(), c.expectedLastWidth);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, GradientBarSegments,
                         ::testing::Values(
                             // 330 pixels over 200: segments of ceil(1.65) = 2 pixels.
                             SegmentCase{330, 200, 10, 10, 2, 2},
                             // At the end the 165th segment already reaches the right edge;
                             // the rest fall outside and are not drawn.
                             SegmentCase{330, 200, 200, 165, 2, 2},
                             // 330 over 25 (a send of 4 items): 14-pixel segments, the last
                             // one clipped to 330 - 23 * 14 = 8 pixels.
                             SegmentCase{330, 25, 25, 24, 14, 8}, SegmentCase{330, 200, 0, 0, 2, 0},
                             // No range: nothing to draw, and no division by zero.
                             SegmentCase{330, 0, 5, 0, 0, 0},
                             // A position above the range draws the whole range only.
                             SegmentCase{100, 10, 50, 10, 10, 10}));

TEST(GradientBarColours, EveryChannelIsInterpolatedWithTruncation)
{
    // Blue to green over 200: segment i is (0, 255 * i / 200, 255 - 255 * i / 200)
    // with each term truncated separately.
    EXPECT_EQ(GradientBarGeometry::segmentColor(0, 200, kBlue, kGreen), kBlue);
    EXPECT_EQ(GradientBarGeometry::segmentColor(1, 200, kBlue, kGreen), QColor(0, 1, 254));
    EXPECT_EQ(GradientBarGeometry::segmentColor(100, 200, kBlue, kGreen), QColor(0, 127, 128));
    EXPECT_EQ(GradientBarGeometry::segmentColor(199, 200, kBlue, kGreen), QColor(0, 253, 2));
    // Falling channels truncate toward zero, not downward.
    EXPECT_EQ(GradientBarGeometry::segmentColor(1, 3, QColor(0, 0, 0), QColor(0, 0, 0)),
              QColor(0, 0, 0));
    EXPECT_EQ(GradientBarGeometry::segmentColor(1, 3, QColor(10, 10, 10), QColor(0, 0, 0)),
              QColor(7, 7, 7));
}

TEST(GradientBarWidget, PositionsOutsideTheRangeAreIgnored)
{
    GradientBar bar(200, kBlue, kGreen);
    bar.setPosition(5);
    EXPECT_EQ(bar.position(), 5);
    bar.setPosition(201);
    EXPECT_EQ(bar.position(), 5);
    bar.setPosition(-1);
    EXPECT_EQ(bar.position(), 5);
    bar.setPosition(200);
    EXPECT_EQ(bar.position(), 200);
    bar.setPosition(0);
    EXPECT_EQ(bar.position(), 0);
}

TEST(GradientBarWidget, PaintsTheSegmentsAndClearsAtZero)
{
    GradientBar bar(200, kBlue, kGreen);
    bar.resize(330, 20);
    bar.setPosition(10);
    QImage image = bar.grab().toImage();
    ASSERT_EQ(image.width(), 330);
    EXPECT_EQ(QColor(image.pixel(0, 0)), kBlue);
    EXPECT_EQ(QColor(image.pixel(1, 19)), kBlue);
    EXPECT_EQ(QColor(image.pixel(2, 10)), QColor(0, 1, 254));
    EXPECT_EQ(QColor(image.pixel(19, 10)), QColor(0, 11, 244));
    const QColor background = bar.palette().base().color();
    EXPECT_EQ(QColor(image.pixel(20, 10)), background);

    bar.setPosition(0);
    image = bar.grab().toImage();
    EXPECT_EQ(QColor(image.pixel(0, 0)), background);
    EXPECT_EQ(QColor(image.pixel(19, 10)), background);
}

} // namespace
