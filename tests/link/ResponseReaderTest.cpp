// Reply framing and checking over plain bytes.
#include "link/ResponseReader.h"
#include "link/Packet.h"

#include <gtest/gtest.h>

namespace {
using Rejection = ResponseReader::Rejection;
using Result = ResponseReader::Result;

// A well-formed reply frame of `length` bytes with the status and data.
QByteArray reply(int length = 52, uint8_t status = 0, QByteArray data = {})
{
    QByteArray frame(length, '\0');
    auto *b = reinterpret_cast<uint8_t *>(frame.data());
    b[0] = 0xAF;
    Packet::writeLe16(b + 1, uint16_t(length));
    b[3] = 1;
    b[5] = 0x42;
    b[13] = status;
    for (qsizetype i = 0; i < data.size() && 16 + i < length - 4; ++i)
        b[16 + i] = uint8_t(data[i]);
    Packet::writeLe16(b + length - 4, byteSum16(b, length - 4));
    b[length - 1] = 0x5F;
    return frame;
}

struct Outcome {
    bool complete;
    Rejection rejection;
    qsizetype bytesTaken; // how many input bytes it took to decide
};

// Feeds bytes one at a time the way the link does.
Outcome run(const QByteArray &bytes)
{
    ResponseReader reader;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        if (reader.feed(uint8_t(bytes[i])) == Result::Complete)
            return {true, reader.rejection(), i + 1};
    return {false, reader.rejection(), bytes.size()};
}
} // namespace

TEST(ResponseReader, AcceptsGoodFramesWhateverComesBefore)
{
    const QByteArray good = reply(52, 0, QByteArray::fromHex("230202070f"));
    const struct {
        const char *name;
        QByteArray prefix;
    } cases[] = {
        {"nothing", {}},
        {"noise without marks", QByteArray::fromHex("0001fe5f5f50a0")},
        {"stray start mark with a too-long length", QByteArray::fromHex("af5fff")},
        {"stray start mark with a too-short length", QByteArray::fromHex("af1000")},
        {"start mark right before the real one", QByteArray::fromHex("00af")},
        {"several stray marks", QByteArray::fromHex("00ff5fa050af5fff13af0102035f")},
    };
    for (const auto &c : cases) {
        const Outcome o = run(c.prefix + good);
        EXPECT_TRUE(o.complete) << c.name;
        EXPECT_EQ(o.bytesTaken, c.prefix.size() + good.size()) << c.name;
    }
    ResponseReader reader;
    ASSERT_EQ(reader.feed(QByteArray(QByteArray::fromHex("af5fff") + good)), Result::Complete);
    EXPECT_EQ(reader.frame(), good);
}

TEST(ResponseReader, LengthFieldsOutOfRangeAreRejectedAtTheThirdByte)
{
    const struct {
        uint16_t length;
        Rejection rejection;
    } cases[] = {{51, Rejection::TooShort},
                 {0, Rejection::TooShort},
                 {513, Rejection::TooLong},
                 {0xFFFF, Rejection::TooLong}};
    for (const auto &c : cases) {
        QByteArray frame = reply();
        Packet::writeLe16(reinterpret_cast<uint8_t *>(frame.data()) + 1, c.length);
        ResponseReader reader;
        reader.feed(frame.left(3));
        EXPECT_EQ(reader.rejection(), c.rejection) << c.length;
        EXPECT_FALSE(reader.inFrame()) << c.length;
    }
    // The limits themselves are fine.
    EXPECT_TRUE(run(reply(52)).complete);
    EXPECT_TRUE(run(reply(512)).complete);
}

TEST(ResponseReader, EndMarkAndChecksumAreCheckedOnTheWholeFrame)
{
    QByteArray badEnd = reply();
    badEnd[51] = char(0x5E); // checksum still right: it does not cover the end mark
    QByteArray badSum = reply();
    badSum[48] = char(badSum[48] + 1);
    QByteArray badData = reply();
    badData[20] = 1; // not reflected in the checksum
    const struct {
        const char *name;
        QByteArray frame;
        Rejection rejection;
    } cases[] = {{"end mark", badEnd, Rejection::BadEndMark},
                 {"checksum", badSum, Rejection::BadChecksum},
                 {"data", badData, Rejection::BadChecksum}};
    for (const auto &c : cases) {
        const Outcome o = run(c.frame);
        EXPECT_FALSE(o.complete) << c.name;
        EXPECT_EQ(o.rejection, c.rejection) << c.name;
    }
}

TEST(ResponseReader, ReportsTheRejectionThatGotFurthest)
{
    // Noise with a stray start mark, then a real frame with a bad end mark:
    // the frame's own fault is the one worth telling.
    QByteArray badEnd = reply();
    badEnd[51] = 0;
    EXPECT_EQ(run(QByteArray::fromHex("af5fff") + badEnd).rejection, Rejection::BadEndMark);
    // A too-short frame whose tail happens to hold another start mark: the
    // first rejection stands on a tie.
    EXPECT_EQ(run(QByteArray::fromHex("af330000afffff")).rejection, Rejection::TooShort);
}

TEST(ResponseReader, EverySingleBitFlipOfAGoodReplyIsCaught)
{
    // Byte 50 is the one the protocol leaves unexamined (the card may put
    // anything there); every other bit is covered by a mark, the length or
    // the checksum.
    const QByteArray good = reply(52, 0, QByteArray::fromHex("0102030405060708"));
    ASSERT_TRUE(run(good).complete);
    int flips = 0;
    for (int byte = 0; byte < good.size(); ++byte) {
        if (byte == 50)
            continue;
        for (int bit = 0; bit < 8; ++bit) {
            QByteArray flipped = good;
            flipped[byte] = char(flipped[byte] ^ (1 << bit));
            const Outcome o = run(flipped);
            // Taken only as a frame whose status makes it a failure anyway
            // (a flipped status byte is caught by the checksum first).
            EXPECT_FALSE(o.complete) << "byte " << byte << " bit " << bit;
            ++flips;
        }
    }
    EXPECT_EQ(flips, 51 * 8);
}

TEST(ResponseReader, EndlessNoiseStaysBounded)
{
    // A line full of start marks and in-range lengths never grows a
    // candidate past 512 bytes and never completes.
    ResponseReader reader;
    for (int i = 0; i < 20000; ++i) {
        reader.feed(uint8_t(i % 3 == 0 ? 0xAF : 0x40));
        ASSERT_LE(reader.frame().size(), 512);
    }
    EXPECT_FALSE(reader.isComplete());
}
