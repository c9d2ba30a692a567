#include "link/UploadEncoder.h"
#include "render/PageBitmap.h"

#include <gmock/gmock.h>

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

PageBitmap pageOf(int width, int height, const std::vector<std::pair<int, uint32_t>> &lit)
{
    PageBitmap page;
    page.create(width, height);
    for (const auto &[index, colour] : lit)
        page.setPixel(index % width, index / width, colour);
    return page;
}

PageBitmap alternatingRed16()
{
    std::vector<std::pair<int, uint32_t>> lit;
    for (int x = 0; x < 16; x += 2)
        lit.push_back({x, LedColor::Red});
    return pageOf(16, 1, lit);
}

struct PackCase {
    const char *name;
    PageBitmap page;
    int planes;
    bool reverse;
    bool word;
    QByteArray expected;
};

TEST(UploadEncoderTest, PacksPagesIntoTheCardsBitOrder)
{
    const PageBitmap pixel0 = pageOf(16, 1, {{0, LedColor::Red}});
    // 8 x 2, two planes: red plane rows then green plane rows.
    const PageBitmap mixed =
        pageOf(8, 2, {{0, LedColor::Red}, {1, LedColor::Yellow}, {9, LedColor::Green}});
    const std::vector<PackCase> cases = {
        {"alternating red, byte format", alternatingRed16(), 1, false, false, bytes({0xAA, 0xAA})},
        {"byte format ignores the reverse flag", alternatingRed16(), 1, true, false,
         bytes({0xAA, 0xAA})},
        {"alternating red, word format, R=1", alternatingRed16(), 1, true, true,
         bytes({0xAA, 0xAA})},
        {"alternating red, word format, R=0", alternatingRed16(), 1, false, true,
         bytes({0x55, 0x55})},
        {"pixel 0 lands in the second byte of a word", pixel0, 1, true, true, bytes({0x00, 0x80})},
        {"pixel 0 in byte format is the first bit", pixel0, 1, false, false, bytes({0x80, 0x00})},
        {"two planes, byte format", mixed, 2, false, false, bytes({0xC0, 0x00, 0x40, 0x40})},
        {"two planes, word format, R=0", mixed, 2, false, true, bytes({0xFF, 0x3F, 0xBF, 0xBF})},
    };
    for (const PackCase &c : cases) {
        const QByteArray bits = UploadEncoder::packPageBits(c.page, c.page.width(), c.page.height(),
                                                            c.planes, c.reverse, c.word);
        EXPECT_EQ(bits.toHex(' '), c.expected.toHex(' ')) << c.name;
    }
}

TEST(UploadEncoderTest, DecidesEachPlaneByItsOwnThreshold)
{
    struct Pixel {
        uint32_t bgr;
        bool litOnOnePlane;
        bool litRed;
        bool litGreen;
    };
    // 0x00BBGGRR
    const std::vector<Pixel> pixels = {
        {0x00FF00, false, false, true},  // pure green: dark on single red
        {0x330000, true, false, false},  // blue 51: lit on single red
        {0x320000, false, false, false}, // blue 50: dark
        {0x00001A, true, false, false},  // red 26: 2 x 26 > 50
        {0x000019, false, false, false}, // red 25: exactly 50, dark
        {0x000032, true, true, false},   // red 50 lights the red plane
        {0x003100, false, false, false}, // green 49 stays dark
        {0x003200, false, false, true},  // green 50 lights the green plane
        {0x0000FF, true, true, false},   {0x00FFFF, true, true, true},
    };
    for (const Pixel &p : pixels) {
        const PageBitmap page = pageOf(8, 1, {{0, p.bgr}});
        const QByteArray one = UploadEncoder::packPageBits(page, 8, 1, 1, false, false);
        const QByteArray two = UploadEncoder::packPageBits(page, 8, 1, 2, false, false);
        SCOPED_TRACE(QString::number(p.bgr, 16).toStdString());
        ASSERT_EQ(one.size(), 1);
        ASSERT_EQ(two.size(), 2);
        EXPECT_EQ(uint8_t(one[0]) == 0x80, p.litOnOnePlane);
        EXPECT_EQ(uint8_t(two[0]) == 0x80, p.litRed);
        EXPECT_EQ(uint8_t(two[1]) == 0x80, p.litGreen);
    }
}

TEST(UploadEncoderTest, BitImageLengthAndBufferCheck)
{
    EXPECT_EQ(UploadEncoder::bitImageLength(64, 16, 2), 256);
    EXPECT_EQ(UploadEncoder::bitImageLength(256, 32, 2), 2048);
    EXPECT_EQ(UploadEncoder::bitImageLength(256, 32, 1), 1024);
    EXPECT_EQ(UploadEncoder::bitImageLength(2048, 128, 2), 65536);
    EXPECT_EQ(UploadEncoder::bitImageLength(0, 32, 1), 0);

    // Only a buffer of exactly B bytes is written.
    const PageBitmap page = alternatingRed16();
    uint8_t out[3] = {0x11, 0x22, 0x33};
    EXPECT_FALSE(UploadEncoder::packPageBits(page, 16, 1, 1, false, false, out, 3));
    EXPECT_FALSE(UploadEncoder::packPageBits(page, 16, 1, 1, false, false, out, 1));
    EXPECT_EQ(out[0], 0x11);
    EXPECT_EQ(out[1], 0x22);
    EXPECT_TRUE(UploadEncoder::packPageBits(page, 16, 1, 1, false, false, out, 2));
    EXPECT_EQ(out[0], 0xAA);
    EXPECT_EQ(out[2], 0x33);

    // The largest screen does not fit the 16-bit length field.
    PageBitmap huge;
    huge.create(2048, 128);
    EXPECT_TRUE(UploadEncoder::packPageBits(huge, 2048, 128, 2, false, false).isEmpty());
}

TEST(UploadEncoderTest, HeaderLayout)
{
    UploadPageHeader h;
    h.pageNumber = 0x0102;
    h.action = 13;
    h.effectCode = 0x82;
    h.speedLevel = 14 + 2 * 16;
    h.stayTime = 6;
    h.flashDelay = 5;
    h.planes = 2;
    h.contentKind = 2;
    h.pageIndex = 3;
    h.lastPageIndex = 4;
    h.bitLength = 2048;
    h.clockCode = 0x30;
    // Packet offsets 16..48; the reserved word, dates and times are zero.
    EXPECT_EQ(UploadEncoder::headerBytes(h).toHex(' '),
              QByteArray("02 01 0d 82 2e 06 05 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
                         "00 00 02 02 03 04 00 08 30 00"));
}

TEST(UploadEncoderTest, RefusesValuesThatWouldWrap)
{
    EXPECT_TRUE(UploadEncoder::refusalText(65535, 256, 1).isEmpty());
    EXPECT_TRUE(UploadEncoder::refusalText(2048, 1, 65535).isEmpty());
    EXPECT_THAT(UploadEncoder::refusalText(65536, 1, 1).toStdString(),
                ::testing::HasSubstr("65536"));
    EXPECT_THAT(UploadEncoder::refusalText(2048, 257, 1).toStdString(),
                ::testing::HasSubstr("257"));
    EXPECT_FALSE(UploadEncoder::refusalText(2048, 2, 65535).isEmpty());
}

} // namespace
