// Request framing, checksums and packed decimals, checked byte for byte
// without a port.
#include "link/ControllerLink.h"
#include "link/Packet.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace {
QByteArray bytes(QByteArrayView view)
{
    return view.toByteArray();
}
} // namespace

TEST(ByteSum16, AddsUnsignedBytesModulo65536)
{
    EXPECT_EQ(byteSum16(QByteArray()), 0);
    EXPECT_EQ(byteSum16(QByteArray::fromHex("a03401 06")), 0x00DB);
    EXPECT_EQ(byteSum16(QByteArray(2, char(0xFF))), 0x01FE); // bytes count as 255, not -1
    EXPECT_EQ(byteSum16(QByteArray(258, char(0xFF))), (258 * 255) & 0xFFFF);
    EXPECT_EQ(byteSum16(QByteArray(257, char(0xFF))), (257 * 255) & 0xFFFF); // wraps past 65535
}

TEST(ToBcd, PacksTheLowByteAsTwoDecimalDigits)
{
    const struct {
        int value;
        uint8_t bcd;
    } cases[] = {{0, 0x00},
                 {9, 0x09},
                 {10, 0x10},
                 {59, 0x59},
                 {99, 0x99},
                 // above 99 the high nibble overflows, kept to 8 bits
                 {100, 0xA0},
                 {255, 0x95},
                 // only the low byte counts
                 {256 + 42, 0x42},
                 {-1, 0x95}};
    for (const auto &c : cases)
        EXPECT_EQ(toBcd(c.value), c.bcd) << c.value;
}

TEST(RequestFraming, ClearCommandIsTheWorkedExample)
{
    ControllerLink link;
    ASSERT_EQ(link.beginRequest(1, 0x06), 16);
    ASSERT_EQ(link.finishRequest(16), 52);
    QByteArray expected = QByteArray::fromHex("a0340001000000000000000000060000");
    expected += QByteArray(32, '\0');
    expected += QByteArray::fromHex("db000050");
    EXPECT_EQ(bytes(link.request()), expected);
}

TEST(RequestFraming, ShortPayloadsAreZeroFilledToOffset48)
{
    ControllerLink link;
    const int offset = link.beginRequest(1, 0x21);
    for (int i = 0; i < 4; ++i)
        link.requestData()[offset + i] = 0xEE;
    ASSERT_EQ(link.finishRequest(20), 52);
    const QByteArray frame = bytes(link.request());
    EXPECT_EQ(frame.mid(16, 4), QByteArray(4, char(0xEE)));
    EXPECT_EQ(frame.mid(20, 28), QByteArray(28, '\0'));
    EXPECT_EQ(Packet::readLe16(reinterpret_cast<const uint8_t *>(frame.constData()) + 48),
              byteSum16(frame.left(48)));
}

TEST(RequestFraming, LongPayloadsSetLengthAndChecksumAtTheirEnd)
{
    ControllerLink link;
    // An upload block: 33 header bytes and 512 bits bytes, frame of 565.
    const int offset = link.beginRequest(1, 0x03);
    for (int i = 0; i < 545; ++i)
        link.requestData()[offset + i] = uint8_t(i * 7);
    const int length = link.finishRequest(offset + 545);
    ASSERT_EQ(length, 565);
    const QByteArray frame = bytes(link.request());
    const auto *b = reinterpret_cast<const uint8_t *>(frame.constData());
    EXPECT_EQ(Packet::readLe16(b + 1), 565);
    EXPECT_EQ(Packet::readLe16(b + 561), byteSum16(frame.left(561)));
    EXPECT_EQ(b[563], 0x00);
    EXPECT_EQ(b[564], 0x50);

    // The largest frame fits the 1024-byte buffer; one byte more does not.
    link.beginRequest(1, 0x02);
    EXPECT_EQ(link.finishRequest(1020), 1024);
    link.beginRequest(1, 0x02);
    EXPECT_EQ(link.finishRequest(1021), 0);
    EXPECT_TRUE(link.request().isEmpty());
}

TEST(RequestFraming, UploadPacketsCarryTheirBitsFromOffset49)
{
    // No port: the exchanges fail, but the frames are built all the same.
    ControllerLink link;
    EXPECT_FALSE(link.sendDataChunk(0x0102, 0x0304, QByteArray::fromHex("aabb")));
    QByteArray frame = bytes(link.request());
    ASSERT_EQ(frame.size(), 55);
    EXPECT_EQ(uint8_t(frame[13]), 0x02);
    EXPECT_EQ(frame.mid(16, 4).toHex(), "02010403"); // page number, block offset
    EXPECT_EQ(frame.mid(20, 29), QByteArray(29, '\0'));
    EXPECT_EQ(frame.mid(49, 2).toHex(), "aabb");

    // A page head is cut or zero-filled to 33 bytes ahead of the bits.
    EXPECT_FALSE(link.sendPageHead(QByteArray(40, char(0x11)), QByteArray::fromHex("cc")));
    frame = bytes(link.request());
    ASSERT_EQ(frame.size(), 54);
    EXPECT_EQ(uint8_t(frame[13]), 0x03);
    EXPECT_EQ(frame.mid(16, 33), QByteArray(33, char(0x11)));
    EXPECT_EQ(uint8_t(frame[49]), 0xCC);
    EXPECT_FALSE(link.sendPageHead(QByteArray(2, char(0x11)), QByteArray::fromHex("cc")));
    frame = bytes(link.request());
    EXPECT_EQ(frame.mid(18, 31), QByteArray(31, '\0'));
    EXPECT_EQ(uint8_t(frame[49]), 0xCC);
}

TEST(RequestFraming, SequenceNumbersCountUpAndWrap)
{
    ControllerLink link;
    link.setSequenceNumber(254);
    QList<int> seen;
    for (int i = 0; i < 3; ++i) {
        link.beginRequest(1, 0x35);
        link.finishRequest(16);
        seen << uint8_t(link.request()[5]);
    }
    EXPECT_EQ(seen, (QList<int>{254, 255, 0}));
}

TEST(RequestFraming, AddressIsLittleEndianAndTheRestOfTheHeaderZero)
{
    ControllerLink link;
    link.setSequenceNumber(9);
    link.beginRequest(0x0201, 0x24);
    link.finishRequest(16);
    EXPECT_EQ(bytes(link.request()).left(16),
              QByteArray::fromHex("a0340001020900000000000000240000"));
}

TEST(ClockPayload, PacksDateTimeWeekdayAndMode)
{
    const struct {
        QDateTime time;
        const char *hex;
    } cases[] = {
        // A Thursday: weekday 4, mode byte 1.
        {QDateTime(QDate(2099, 12, 31), QTime(23, 59, 58)), "9912312359580401"},
        // Sunday is 0.
        {QDateTime(QDate(2023, 1, 1), QTime(0, 0, 0)), "2301010000000001"},
        // A year outside 2000..2099 becomes 2008 (the rest stays).
        {QDateTime(QDate(2100, 3, 4), QTime(5, 6, 7)), "0803040506070401"},
        {QDateTime(QDate(1999, 12, 31), QTime(12, 0, 0)), "0812311200000501"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ControllerLink::clockPayload(c.time).toHex(), QByteArray(c.hex))
            << c.time.toString().toStdString();
}
