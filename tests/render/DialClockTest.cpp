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
            if (raster.pixel(x, y) != 0) {
                EXPECT_EQ(raster.pixel(x, y), LedColor::Red);
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

// Mark centres for p = 0, 5, ..., 55 on the dial of a 32-pixel zone (128 x 32
// screen: L 14, centre (15, 15)) and of a 16-pixel zone (64 x 16: L 6).
const std::pair<int, int> kMarks32[] = {{15, 1},  {22, 3}, {27, 8}, {29, 15}, {27, 22}, {22, 27},
                                        {15, 29}, {8, 27}, {3, 22}, {1, 15},  {3, 8},   {8, 3}};
const std::pair<int, int> kMarks16[] = {{7, 1},  {10, 2}, {12, 4}, {13, 7}, {12, 10}, {10, 12},
                                        {7, 13}, {4, 12}, {2, 10}, {1, 7},  {2, 4},   {4, 2}};

TEST(DialClock, HourMarksLieOnTheDialOfTheZone)
{
    for (auto [zone, marks] : {std::pair{32, kMarks32}, {16, kMarks16}}) {
        const int radius = DialClock::dialRadius(zone);
        EXPECT_EQ(radius, zone == 32 ? 14 : 6);
        PageBitmap raster;
        ASSERT_TRUE(raster.create(zone, zone));
        Points expected;
        for (int i = 0; i < 12; ++i) {
            DialClock::plotDialPoint(raster, 0, 0, 5 * i, radius, 1, true);
            addPlus(expected, marks[i].first, marks[i].second);
        }
        EXPECT_EQ(litPoints(raster), expected) << zone;
    }
}

TEST(DialClock, HandsRunFromTheCentre)
{
    // 3:00:00: the hour hand (big dots, r < 7) runs right from the centre,
    // the minute (r < 9) and second (r < 11) hands run up.
    Points expected;
    for (auto [x, y] : kMarks32)
        addPlus(expected, x, y);
    for (int r = 0; r < 7; ++r)
        addPlus(expected, 15 + r, 15);
    for (int r = 0; r < 11; ++r)
        expected.insert({15, 15 - r});
    PageBitmap raster;
    ASSERT_TRUE(raster.create(128, 32));
    DialClock::drawDial(raster, 0, 0, 32, QTime(3, 0, 0));
    EXPECT_EQ(litPoints(raster), expected);

    // At another origin the same picture moves along, cut at the edges.
    raster.fillBlack();
    DialClock::drawDial(raster, 40, -3, 32, QTime(3, 0, 0));
    Points moved;
    for (auto [x, y] : expected) {
        if (y >= 3)
            moved.insert({x + 40, y - 3});
    }
    EXPECT_EQ(litPoints(raster), moved);

    // The hour hand moves on with the minutes: 21:48 points it at 45 + 4.
    PageBitmap reference;
    ASSERT_TRUE(reference.create(32, 32));
    raster.fillBlack();
    DialClock::drawDialWithRadius(raster, 0, 0, 14, 21, 48, 0);
    for (int i = 0; i < 12; ++i)
        DialClock::plotDialPoint(reference, 0, 0, 5 * i, 14, 1, true);
    for (int r = 0; r < 11; ++r) {
        if (r < 7)
            DialClock::plotDialPoint(reference, 0, 0, 49, r, 15 - r, true);
        if (r < 9)
            DialClock::plotDialPoint(reference, 0, 0, 48, r, 15 - r, false);
        DialClock::plotDialPoint(reference, 0, 0, 0, r, 15 - r, false);
    }
    EXPECT_EQ(litPoints(raster), litPoints(reference));
}

TEST(DialClock, OutOfRangeInputsStayHarmless)
{
    PageBitmap raster;
    ASSERT_TRUE(raster.create(16, 16));
    DialClock::plotDialPoint(raster, 0, 0, 60, 5, 1, true);
    DialClock::plotDialPoint(raster, 0, 0, -1, 5, 1, true);
    DialClock::drawDial(raster, 0, 0, 2, QTime(1, 2, 3)); // L = -1: no dial
    EXPECT_TRUE(litPoints(raster).empty());
    DialClock::drawDial(raster, -20, -20, 64, QTime(10, 10, 10)); // mostly off the raster
    DialClock::drawDial(raster, 0, 0, 1200, QTime());             // radius beyond 8 bits
    EXPECT_FALSE(litPoints(raster).empty());
    PageBitmap empty;
    DialClock::drawDial(empty, 0, 0, 32, QTime(1, 2, 3));
}

} // namespace
