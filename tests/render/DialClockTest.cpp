#include "render/DialClock.h"
#include "render/PageBitmap.h"

#include <gtest/gtest.h>
#include <set>
#include <utility>

namespace {

using Points = std::set<std::pair<int, int>>;

Points litPoints(const PageBitmap &raster)
{
    Points points;
    for (int y = 0; y < raster.height(); ++y) {
        for (int x = 0; x < raster.width(); ++x) {
            const uint32_t p = raster.pixel(x, y);
            if (p != 0) {
                EXPECT_EQ(p, LedColor::Red) << x << "," << y;
                points.insert({x, y});
            }
        }
    }
    return points;
}

void addPlus(Points &points, int x, int y)
{
    for (auto [dx, dy] : {std::pair{0, 0}, {0, 1}, {0, -1}, {1, 0}, {-1, 0}})
        points.insert({x + dx, y + dy});
}

TEST(DialClockTest, HourMarksLieOnTheDialOfTheZone)
{
    struct Case {
        int zone;
        int radius;
        std::vector<std::pair<int, int>> marks; // centres for p = 0, 5, ..., 55
    };
    const Case cases[] = {
        // 128 x 32 screen: L 14, centre (15, 15); 12 o'clock at (15, 1), 3 at (29, 15).
        {32,
         14,
         {{15, 1},
          {22, 3},
          {27, 8},
          {29, 15},
          {27, 22},
          {22, 27},
          {15, 29},
          {8, 27},
          {3, 22},
          {1, 15},
          {3, 8},
          {8, 3}}},
        // 64 x 16 screen: L 6, centre (7, 7).
        {16,
         6,
         {{7, 1},
          {10, 2},
          {12, 4},
          {13, 7},
          {12, 10},
          {10, 12},
          {7, 13},
          {4, 12},
          {2, 10},
          {1, 7},
          {2, 4},
          {4, 2}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.zone);
        EXPECT_EQ(DialClock::dialRadius(c.zone), c.radius);
        PageBitmap raster;
        ASSERT_TRUE(raster.create(c.zone, c.zone));
        Points expected;
        for (int i = 0; i < 12; ++i) {
            DialClock::plotDialPoint(raster, 0, 0, 5 * i, c.radius, 1, true);
            addPlus(expected, c.marks[size_t(i)].first, c.marks[size_t(i)].second);
        }
        EXPECT_EQ(litPoints(raster), expected);
    }
}

TEST(DialClockTest, HandsRunFromTheCentre)
{
    // 3:00:00 on a 32-pixel zone: the hour hand (big dots, r < 7) runs right
    // from the centre, minute (r < 9) and second (r < 11) hands run up.
    PageBitmap raster;
    ASSERT_TRUE(raster.create(128, 32));
    DialClock::drawDial(raster, 0, 0, 32, QTime(3, 0, 0));
    Points expected;
    const std::pair<int, int> marks[] = {{15, 1},  {22, 3}, {27, 8}, {29, 15}, {27, 22}, {22, 27},
                                         {15, 29}, {8, 27}, {3, 22}, {1, 15},  {3, 8},   {8, 3}};
    for (auto [x, y] : marks)
        addPlus(expected, x, y);
    for (int r = 0; r < 7; ++r)
        addPlus(expected, 15 + r, 15);
    for (int r = 0; r < 11; ++r)
        expected.insert({15, 15 - r});
    EXPECT_EQ(litPoints(raster), expected);

    // The same dial drawn at another origin is the same picture, moved.
    PageBitmap moved;
    ASSERT_TRUE(moved.create(128, 32));
    DialClock::drawDial(moved, 40, -3, 32, QTime(3, 0, 0));
    Points shifted;
    for (auto [x, y] : expected) {
        if (y - 3 >= 0)
            shifted.insert({x + 40, y - 3});
    }
    EXPECT_EQ(litPoints(moved), shifted);
}

TEST(DialClockTest, HourHandMovesWithTheMinutes)
{
    // 9:48: hour position 45 + 48 / 12 = 49.
    PageBitmap withHands;
    PageBitmap reference;
    ASSERT_TRUE(withHands.create(32, 32));
    ASSERT_TRUE(reference.create(32, 32));
    DialClock::drawDialWithRadius(withHands, 0, 0, 14, 21, 48, 0);
    for (int i = 0; i < 12; ++i)
        DialClock::plotDialPoint(reference, 0, 0, 5 * i, 14, 1, true);
    for (int r = 0; r < 7; ++r)
        DialClock::plotDialPoint(reference, 0, 0, 49, r, 15 - r, true);
    for (int r = 0; r < 9; ++r)
        DialClock::plotDialPoint(reference, 0, 0, 48, r, 15 - r, false);
    for (int r = 0; r < 11; ++r)
        DialClock::plotDialPoint(reference, 0, 0, 0, r, 15 - r, false);
    EXPECT_EQ(litPoints(withHands), litPoints(reference));
}

TEST(DialClockTest, OutOfRangeInputsDrawNothingOrStayInside)
{
    PageBitmap raster;
    ASSERT_TRUE(raster.create(16, 16));
    DialClock::plotDialPoint(raster, 0, 0, 60, 5, 1, true);
    DialClock::plotDialPoint(raster, 0, 0, -1, 5, 1, true);
    DialClock::drawDial(raster, 0, 0, 2, QTime(1, 2, 3)); // L = -1
    EXPECT_TRUE(litPoints(raster).empty());
    // Points off the raster are skipped, not written elsewhere.
    DialClock::drawDial(raster, -20, -20, 64, QTime(10, 10, 10));
    DialClock::drawDial(raster, 0, 0, 1200, QTime()); // radius beyond 8 bits
    EXPECT_FALSE(litPoints(raster).empty());
    PageBitmap empty;
    DialClock::drawDial(empty, 0, 0, 32, QTime(1, 2, 3));
}

} // namespace
