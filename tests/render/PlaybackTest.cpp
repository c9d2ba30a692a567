#include "render/Playback.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>

namespace {

using Playback::Player;
using Playback::Program;
using Playback::Screen;
using Playback::Settings;

constexpr int kW = 64;
constexpr int kH = 16;
const QDateTime kClock(QDate(2026, 12, 9), QTime(10, 42, 17));

// Page A: red or yellow everywhere (red channel lit); page B: green or black
// (red channel dark), both in a pattern so that shifts show.
PageBitmap patternPage(bool redChannel, int salt, int w = kW, int h = kH)
{
    PageBitmap page;
    page.create(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool bit = ((x * 7 + y * 3 + salt) % 5) < 2;
            page.setPixel(x, y,
                          redChannel ? (bit ? LedColor::Yellow : LedColor::Red)
                                     : (bit ? LedColor::Green : LedColor::Black));
        }
    }
    return page;
}

bool samePixels(const PageBitmap &a, const PageBitmap &b, int ax = 0)
{
    for (int y = 0; y < b.height(); ++y) {
        for (int x = 0; x < b.width(); ++x) {
            if (a.pixel(x + ax, y) != b.pixel(x, y))
                return false;
        }
    }
    return true;
}

// Pixels of the frame whose red channel is lit (they come from page A).
int redChannelPixels(const PageBitmap &frame)
{
    int n = 0;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x)
            n += (frame.pixel(x, y) & 0xFF) ? 1 : 0;
    }
    return n;
}

bool onlyLedColours(const PageBitmap &frame)
{
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            const uint32_t c = frame.pixel(x, y);
            if (c != LedColor::Black && c != LedColor::Red && c != LedColor::Green &&
                c != LedColor::Yellow)
                return false;
        }
    }
    return true;
}

Player twoPagePlayer(const Settings &settings, int planes = 2)
{
    Program program;
    program.settings = settings;
    program.pages = {patternPage(true, 0), patternPage(false, 1)};
    return Player(Screen{kW, kH, planes}, {program});
}

Settings withAction(int action, int speed = 8, int stay = 1)
{
    Settings s;
    s.action = action;
    s.speed = speed;
    s.stayTime = stay;
    return s;
}

// Page B (index 1) comes in over page A: its first entry frame is a mix of
// both, its last is page B exactly, and so is every frame of its stay.
TEST(Playback, EveryEntryStartsFromThePreviousPageAndEndsOnTheSentPage)
{
    const PageBitmap b = patternPage(false, 1);
    for (int action = 1; action <= 18; ++action) {
        for (int speed : {0, 8, 15}) {
            SCOPED_TRACE(testing::Message() << "action " << action << " speed " << speed);
            const Player player = twoPagePlayer(withAction(action, speed));
            const Player::PageTime t = player.pageTime(0, 1);
            const PageBitmap first = player.frameAt(t.start, kClock);
            const PageBitmap last =
                player.frameAt(t.start + std::max<qint64>(t.entryMs - 1, 0), kClock);
            const PageBitmap stay = player.frameAt(t.start + t.entryMs + t.stayMs - 1, kClock);
            EXPECT_TRUE(samePixels(last, b));
            EXPECT_TRUE(samePixels(stay, b));
            if (action == 1) {
                EXPECT_EQ(t.entryMs, 0);
                continue;
            }
            EXPECT_GT(t.entryMs, 0);
            const int fromA = redChannelPixels(first);
            EXPECT_GT(fromA, 0) << "first frame already the new page";
            EXPECT_LT(fromA, kW * kH) << "first frame still the old page";
            EXPECT_TRUE(onlyLedColours(first));
        }
    }
}

TEST(Playback, DurationGrowsWithStayAndFallsWithSpeed)
{
    for (int action = 1; action <= 18; ++action) {
        SCOPED_TRACE(action);
        const auto duration = [&](int speed, int stay) {
            return twoPagePlayer(withAction(action, speed, stay)).totalDuration();
        };
        EXPECT_GT(duration(8, 3), duration(8, 1));
        EXPECT_GT(duration(8, 1), 0);
        if (action == 1)
            EXPECT_EQ(duration(0, 2), duration(15, 2));
        else {
            EXPECT_GT(duration(0, 2), duration(8, 2));
            EXPECT_GT(duration(8, 2), duration(15, 2));
        }
    }
}

TEST(Playback, ZeroStayLetsMovingTextsRunOnAndHoldsOthers)
{
    const Player moving = twoPagePlayer(withAction(13, 8, 0));
    const Player fitted = twoPagePlayer(withAction(6, 8, 0));
    EXPECT_EQ(moving.pageTime(0, 1).stayMs, 0);
    EXPECT_GT(fitted.pageTime(0, 1).stayMs, 0);
    // "连续左移" holds only its last page.
    const Player continuous = twoPagePlayer(withAction(13, 8, 2));
    EXPECT_EQ(continuous.pageTime(0, 0).stayMs, 0);
    EXPECT_EQ(continuous.pageTime(0, 1).stayMs, 2000);
}

TEST(Playback, SeededPatternsAreDeterministic)
{
    for (int action : {17, 18}) {
        SCOPED_TRACE(action);
        Settings s = withAction(action, 0);
        const Player a = twoPagePlayer(s);
        const Player b = twoPagePlayer(s);
        s.seed = 99;
        const Player other = twoPagePlayer(s);
        const Player::PageTime t = a.pageTime(0, 1);
        const qint64 mid = t.start + t.entryMs / 2;
        EXPECT_TRUE(samePixels(a.frameAt(mid, kClock), b.frameAt(mid, kClock)));
        EXPECT_FALSE(samePixels(a.frameAt(mid, kClock), other.frameAt(mid, kClock)));
    }
}

// The ring of the content area as lit (true) or not, clockwise from the top
// left corner, on a black page.
std::vector<bool> ring(const PageBitmap &frame)
{
    std::vector<bool> lit;
    const int w = frame.width(), h = frame.height();
    for (int x = 0; x < w; ++x)
        lit.push_back(frame.pixel(x, 0) != 0);
    for (int y = 1; y < h; ++y)
        lit.push_back(frame.pixel(w - 1, y) != 0);
    for (int x = w - 2; x >= 0; --x)
        lit.push_back(frame.pixel(x, h - 1) != 0);
    for (int y = h - 2; y >= 1; --y)
        lit.push_back(frame.pixel(0, y) != 0);
    return lit;
}

Player borderPlayer(int frame)
{
    Program program;
    program.settings = withAction(1, 8, 5);
    program.settings.frame = frame;
    PageBitmap black;
    black.create(kW, kH);
    program.pages = {black};
    return Player(Screen{kW, kH, 2}, {program});
}

// The first time after t at which the ring changes.
qint64 nextRingChange(const Player &player, qint64 t)
{
    const std::vector<bool> at = ring(player.frameAt(t, kClock));
    for (qint64 u = t + 1; u < t + 3000; ++u) {
        if (ring(player.frameAt(u, kClock)) != at)
            return u;
    }
    return -1;
}

TEST(Playback, RunningBordersWalkOrFlashAndFastOnesAreFaster)
{
    struct Case {
        int fast;
        int slow;
        bool walks;
    };
    for (const Case c :
         {Case{1, 2, true}, Case{3, 4, true}, Case{5, 6, false}, Case{7, 8, false}}) {
        SCOPED_TRACE(c.fast);
        for (int frame : {c.fast, c.slow}) {
            const Player player = borderPlayer(frame);
            const std::vector<bool> before = ring(player.frameAt(0, kClock));
            const qint64 change = nextRingChange(player, 0);
            ASSERT_GT(change, 0);
            const std::vector<bool> after = ring(player.frameAt(change, kClock));
            // (A walking pattern is checked from the second position: the
            // ring's length need not be a multiple of the pattern.)
            std::vector<bool> expected(before.size());
            for (size_t p = 0; p < before.size(); ++p)
                expected[p] = c.walks ? (p ? before[p - 1] : after[0]) : !before[p];
            if (frame == 7 || frame == 8) {
                EXPECT_TRUE(std::all_of(before.begin(), before.end(), [](bool v) { return v; }));
            }
            EXPECT_EQ(after, expected) << "frame " << frame;
            const PageBitmap inside = player.frameAt(change, kClock);
            for (int y = 1; y < kH - 1; ++y)
                for (int x = 1; x < kW - 1; ++x)
                    ASSERT_EQ(inside.pixel(x, y), 0u);
        }
        EXPECT_LT(nextRingChange(borderPlayer(c.fast), 0), nextRingChange(borderPlayer(c.slow), 0));
    }
    EXPECT_EQ(nextRingChange(borderPlayer(0), 0), -1);
}

TEST(Playback, FlashAlternatesDuringTheIntervalThenStaysSteady)
{
    const PageBitmap page = patternPage(false, 3);
    struct Case {
        int flash;
        int planes;
        uint32_t blackBecomes;
        uint32_t greenBecomes;
    };
    for (const Case c :
         {Case{1, 2, LedColor::Black, LedColor::Black}, Case{2, 2, LedColor::Yellow, LedColor::Red},
          Case{2, 1, LedColor::Red, LedColor::Black}}) {
        SCOPED_TRACE(testing::Message() << "flash " << c.flash << " planes " << c.planes);
        Program program;
        program.settings = withAction(1, 8, 3);
        program.settings.flash = c.flash;
        program.settings.flashInterval = 2;
        program.pages = {page};
        const Player player(Screen{kW, kH, c.planes}, {program});
        // A single-colour sign flashes what it shows: its green is dark.
        PageBitmap shown = page;
        LedColor::showOnSign(shown.image(), c.planes);
        EXPECT_TRUE(samePixels(player.frameAt(0, kClock), shown));
        bool sawOff = false;
        for (qint64 t = 0; t < 2000; t += 10) {
            const PageBitmap frame = player.frameAt(t, kClock);
            if (samePixels(frame, shown))
                continue;
            sawOff = true;
            for (int y = 0; y < kH; ++y) {
                for (int x = 0; x < kW; ++x) {
                    const uint32_t was = shown.pixel(x, y);
                    ASSERT_EQ(frame.pixel(x, y),
                              was == LedColor::Black ? c.blackBecomes : c.greenBecomes);
                }
            }
        }
        EXPECT_TRUE(sawOff);
        for (qint64 t = 2000; t < 3000; t += 50)
            ASSERT_TRUE(samePixels(player.frameAt(t, kClock), shown)) << t;
    }
}

TEST(Playback, ClockZonesAreDrawnLiveBesideTheContent)
{
    const int screenW = 128;
    for (auto [zone, width] :
         {std::pair{Playback::ClockZone::Dial, kH}, std::pair{Playback::ClockZone::Text, 64}}) {
        Program program;
        program.settings = withAction(1, 8, 5);
        program.settings.clock = zone;
        program.settings.clockZoneWidth = width;
        program.pages = {patternPage(false, 2, screenW - width, kH)};
        const Player player(Screen{screenW, kH, 2}, {program});
        const PageBitmap a = player.frameAt(100, kClock);
        const PageBitmap b = player.frameAt(100, kClock.addSecs(1));
        ASSERT_EQ(a.width(), screenW);
        EXPECT_TRUE(samePixels(a, program.pages[0], width));
        EXPECT_TRUE(onlyLedColours(a));
        std::set<uint32_t> zoneColours;
        bool differs = false;
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < width; ++x) {
                zoneColours.insert(a.pixel(x, y));
                differs |= a.pixel(x, y) != b.pixel(x, y);
            }
        }
        EXPECT_EQ(zoneColours, (std::set<uint32_t>{LedColor::Black, LedColor::Red}));
        EXPECT_TRUE(differs) << "the clock does not follow the time";
    }
}

TEST(Playback, AListPlaysInOrderAndLoops)
{
    Program one;
    one.settings = withAction(1, 8, 1);
    one.pages = {patternPage(true, 0)};
    Program two;
    two.settings = withAction(2, 8, 2);
    two.pages = {patternPage(false, 0), patternPage(false, 1)};
    Program empty;
    const Player player(Screen{kW, kH, 2}, {one, empty, two});
    ASSERT_EQ(player.programCount(), 3);
    EXPECT_EQ(player.programDuration(1), 0);
    EXPECT_EQ(player.totalDuration(), player.programDuration(0) + player.programDuration(2));
    EXPECT_EQ(player.programStart(2), player.programDuration(0));
    EXPECT_EQ(player.programAt(0), 0);
    EXPECT_EQ(player.programAt(player.programStart(2)), 2);
    EXPECT_EQ(player.programAt(player.totalDuration()), 0);
    EXPECT_EQ(player.pageAt(player.programStart(2) + player.pageTime(2, 1).start), 1);
    // The list ends on the last page of its last program.
    EXPECT_TRUE(
        samePixels(player.frameAt(player.totalDuration() - 1, kClock), patternPage(false, 1)));

    const Player nothing(Screen{kW, kH, 2}, {});
    PageBitmap frame;
    EXPECT_FALSE(nothing.frameAt(0, kClock, frame));
    EXPECT_EQ(nothing.programAt(0), -1);
}

TEST(Playback, EveryFrameOfABusyProgramUsesOnlyTheFourColours)
{
    for (int action : {9, 14, 17, 18}) {
        Program program;
        program.settings = withAction(action, 15, 2);
        program.settings.frame = 3;
        program.settings.flash = 2;
        program.pages = {patternPage(true, 0), patternPage(false, 0)};
        const Player player(Screen{kW, kH, 2}, {program});
        for (qint64 t = 0; t < player.totalDuration(); t += Playback::frameIntervalMs())
            ASSERT_TRUE(onlyLedColours(player.frameAt(t, kClock))) << action << " at " << t;
    }
}

} // namespace
