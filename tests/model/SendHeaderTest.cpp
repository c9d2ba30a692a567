// The page header an item's pages carry, as the card receives it: firmware
// rules for the effect and speed bytes, stay time, planes and clamping.

#include "link/UploadEncoder.h"
#include "model/CardSession.h"
#include "model/PlayList.h"
#include "model/TextItem.h"

#include <gtest/gtest.h>

namespace {

// A list and the card it is drawn for, the session reading the list's records.
struct CardAndList {
    CardAndList() { session.shareRecordsWith(list); }
    PlayList list;
    CardSession session;
};

// Packet byte at `offset` of the 0x03 packet that carries item's pages.
int headerByte(const CardAndList &sign, const ProgramItem &item, int offset)
{
    const QByteArray header = UploadEncoder::headerBytes(sign.session.uploadHeaderFor(item));
    return uint8_t(header.at(offset - 16));
}

void setFirmware(PlayList &list, int major, int minor, int build)
{
    ControllerInfo &info = list.controllerInfo();
    info.modelCode = 0x23;
    info.series = 15;
    info.firmwareMajor = major;
    info.firmwareMinor = minor;
    info.firmwareBuild = build;
}

TEST(SendHeader, FirmwareDecidesEffectAndSpeedBytes)
{
    struct Case {
        int major, minor, build;
        int level;
        int effect; // offset 19 for frame "全慢闪" and flash "反白闪"
        int speed;  // offset 20 for speed 9
    };
    const Case cases[] =
        {
            {2, 2, 6, 3, 0x12, 9},          {2, 1, 15, 3, 0x12, 9},
            {2, 2, 7, 3, 0x82, 9 + 3 * 16}, {3, 0, 0, 3, 0x82, 9 + 3 * 16},
            {2, 2, 7, 16, 0x82, 255}, // 9 + 256 is clamped, not wrapped to 9
        };
    for (const Case &c : cases) {
        CardAndList sign;
        setFirmware(sign.list, c.major, c.minor, c.build);
        TextItem item(&sign.list);
        item.setFrame(8);
        item.setFlash(2);
        item.setSpeed(9);
        item.setLevel(c.level);
        SCOPED_TRACE(testing::Message() << c.major << '.' << c.minor << '.' << c.build);
        EXPECT_EQ(headerByte(sign, item, 19), c.effect);
        EXPECT_EQ(headerByte(sign, item, 20), c.speed);
    }
}

TEST(SendHeader, StayTimeAndFlashInterval)
{
    struct Case {
        int delay, flash, flashDelay;
        int stay;     // offset 21
        int interval; // offset 22
    };
    const Case cases[] = {
        {3, 1, 5, 6, 5}, // flashing needs a stay longer than the interval
        {3, 0, 5, 3, 5}, // no flash: the stay time as typed
        {7, 2, 5, 7, 5},     {0, 1, 255, 255, 255}, // 256 does not fit: clamped, not wrapped to 0
        {300, 0, 2, 255, 2}, {-4, 0, -1, 0, 0},
    };
    for (const Case &c : cases) {
        CardAndList sign;
        TextItem item(&sign.list);
        item.setDelay(c.delay);
        item.setFlash(c.flash);
        item.setFlashDelay(c.flashDelay);
        SCOPED_TRACE(testing::Message() << c.delay << '/' << c.flash << '/' << c.flashDelay);
        EXPECT_EQ(headerByte(sign, item, 21), c.stay);
        EXPECT_EQ(headerByte(sign, item, 22), c.interval);
    }
}

TEST(SendHeader, PlanesFollowTheColourType)
{
    // Types other than 1 and 2 get the two-plane packing.
    for (const auto &[colourType, planes] : {std::pair{1, 1}, {2, 2}, {0, 2}, {3, 2}}) {
        CardAndList sign;
        sign.list.screenParams().bytes[ScreenParams::ColourType] = uint8_t(colourType);
        TextItem text(&sign.list);
        EXPECT_EQ(headerByte(sign, text, 41), planes) << colourType;
    }
}

} // namespace
