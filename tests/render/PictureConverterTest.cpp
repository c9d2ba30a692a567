#include "render/PictureConverter.h"
#include "render/RenderTestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace RenderTest;

namespace {

constexpr uint32_t K = LedColor::Black;
constexpr uint32_t R = LedColor::Red;
constexpr uint32_t G = LedColor::Green;
constexpr uint32_t Y = LedColor::Yellow;

// A GIF of 2-bit palette images; each code is preceded by a clear code so
// the LZW stream stays at 3-bit codes and needs no dictionary.
struct GifFrame {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels; // palette indexes 0..3
};

QByteArray makeGif(int screenWidth, int screenHeight, const std::vector<GifFrame> &frames,
                   const std::array<QRgb, 4> &palette)
{
    QByteArray out("GIF89a");
    auto le16 = [&](int v) {
        out += char(v & 0xFF);
        out += char((v >> 8) & 0xFF);
    };
    le16(screenWidth);
    le16(screenHeight);
    out += char(0x91); // global colour table of 4 entries
    out += char(0);
    out += char(0);
    for (QRgb c : palette) {
        out += char(qRed(c));
        out += char(qGreen(c));
        out += char(qBlue(c));
    }
    for (const GifFrame &frame : frames) {
        out += QByteArray::fromHex("21F904000A000000"); // 0.1 s per frame
        out += char(0x2C);
        le16(0);
        le16(0);
        le16(frame.width);
        le16(frame.height);
        out += char(0);
        out += char(2); // minimum code size
        QByteArray data;
        uint32_t bits = 0;
        int count = 0;
        auto emit = [&](int code) {
            bits |= uint32_t(code) << count;
            count += 3;
            while (count >= 8) {
                data += char(bits & 0xFF);
                bits >>= 8;
                count -= 8;
            }
        };
        for (uint8_t p : frame.pixels) {
            emit(4);
            emit(p);
        }
        emit(5);
        if (count > 0)
            data += char(bits & 0xFF);
        for (int i = 0; i < data.size(); i += 255) {
            const QByteArray block = data.mid(i, 255);
            out += char(block.size());
            out += block;
        }
        out += char(0);
    }
    out += char(0x3B);
    return out;
}

// A PNG whose header claims width x height RGB pixels, with a few bytes of
// image data.
QByteArray makeClaimingPng(quint32 width, quint32 height)
{
    auto crc32 = [](const QByteArray &d) {
        quint32 c = 0xFFFFFFFFu;
        for (char ch : d) {
            c ^= uchar(ch);
            for (int k = 0; k < 8; ++k)
                c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
        }
        return ~c;
    };
    auto be32 = [](quint32 v) -> QByteArray {
        QByteArray b(4, '\0');
        qToBigEndian(v, b.data());
        return b;
    };
    auto chunk = [&](const QByteArray &type, const QByteArray &data) -> QByteArray {
        return be32(quint32(data.size())) + type + data + be32(crc32(type + data));
    };
    const QByteArray header = be32(width) + be32(height) + QByteArray::fromHex("0802000000");
    return QByteArray(QByteArray::fromHex("89504E470D0A1A0A") + chunk("IHDR", header) +
                      chunk("IDAT", qCompress(QByteArray(64, '\0')).mid(4)) + chunk("IEND", {}));
}

class PictureConverterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QString save(const QString &name, const QImage &image, const char *format = nullptr)
    {
        const QString path = m_dir.filePath(name);
        QImageWriter writer(path, format);
        if (format && qstrcmp(format, "jpeg") == 0)
            writer.setQuality(100);
        EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
        return path;
    }

    // Converts and returns the page's pixels row by row.
    static std::vector<uint32_t> convert(const QString &path, int width, int height, int mode = 0,
                                         int reverse = 0, int limit = 100, int colourType = 2,
                                         bool expectLoaded = true)
    {
        PageBitmap page;
        EXPECT_EQ(PictureConverter::convert({path, mode, reverse, limit, colourType, width, height},
                                            page),
                  expectLoaded);
        EXPECT_EQ(page.width(), width);
        EXPECT_EQ(page.height(), height);
        std::vector<uint32_t> pixels;
        for (int y = 0; y < page.height(); ++y) {
            for (int x = 0; x < page.width(); ++x)
                pixels.push_back(page.pixel(x, y));
        }
        return pixels;
    }

    static QImage row(const std::vector<QRgb> &colours)
    {
        QImage image(int(colours.size()), 1, QImage::Format_RGB32);
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, 0, colours[size_t(x)]);
        return image;
    }

    QTemporaryDir m_dir;
};

TEST_F(PictureConverterTest, ThresholdRulesForBothColourTypes)
{
    const std::vector<QRgb> sources{qRgb(255, 255, 255), qRgb(0, 0, 255),     qRgb(255, 0, 0),
                                    qRgb(0, 255, 0),     qRgb(120, 120, 120), qRgb(0, 0, 0)};
    const QString path = save(QStringLiteral("table.png"), row(sources));
    const struct {
        int colourType;
        int reverse;
        std::vector<uint32_t> page;
    } cases[] = {
        {1, 0, {R, K, K, R, R, K}}, // luma 255, 29, 76, 150, 120, 0
        {2, 0, {Y, K, R, G, Y, K}},
        {1, 1, {K, R, R, R, R, R}}, // inverted: luma 0, 226, 179, 105, 135, 255
        {2, 1, {K, Y, G, R, Y, Y}},
        {0, 0, {Y, K, R, G, Y, K}}, // every type but single red takes the channel rule
        {255, 1, {K, Y, G, R, Y, Y}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.colourType << " reverse " << c.reverse);
        EXPECT_EQ(convert(path, 6, 1, 0, c.reverse, 100, c.colourType), c.page);
    }
}

TEST_F(PictureConverterTest, ThresholdLimitsAtTheEdges)
{
    const struct {
        QRgb source;
        int limit;
        int colourType;
        uint32_t lit;
    } cases[] = {
        {qRgb(1, 0, 0), 0, 1, K},                                     // 299 + 500 < 1000: luma 0
        {qRgb(2, 0, 0), 0, 1, R},                                     // 598 + 500 >= 1000: luma 1
        {qRgb(1, 0, 0), 0, 2, R},         {qRgb(0, 0, 255), 0, 2, K}, // blue plays no part
        {qRgb(255, 255, 255), 255, 1, K}, {qRgb(255, 255, 255), 255, 2, K},
        {qRgb(101, 100, 0), 100, 2, R},   // strictly greater than the limit
        {qRgb(255, 255, 255), 300, 2, K}, // limits beyond the range are clamped
        {qRgb(0, 1, 0), -7, 2, G},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(PictureConverter::thresholdPixel(qRed(c.source), qGreen(c.source),
                                                   qBlue(c.source), c.limit, false, c.colourType),
                  c.lit)
            << std::hex << c.source << std::dec << " limit " << c.limit;
    }
}

TEST_F(PictureConverterTest, CentreModeCutsWiderImagesAndLeavesMargins)
{
    const QRgb r = qRgb(255, 0, 0), g = qRgb(0, 255, 0), w = qRgb(255, 255, 255);
    // One column wider: offset 0, the last column is cut off.
    EXPECT_EQ(convert(save(QStringLiteral("w5.png"), row({g, r, r, r, w})), 4, 3),
              (std::vector<uint32_t>{K, K, K, K, G, R, R, R, K, K, K, K}));
    // Three columns wider: offset -1, one column cut on the left, two on the right.
    EXPECT_EQ(convert(save(QStringLiteral("w7.png"), row({w, g, r, r, g, w, w})), 4, 1),
              (std::vector<uint32_t>{G, R, R, G}));
    // Smaller: black margins, which light up when inverted.
    const QString small = save(QStringLiteral("small.png"), row({w, w}));
    EXPECT_EQ(convert(small, 4, 1), (std::vector<uint32_t>{K, Y, Y, K}));
    EXPECT_EQ(convert(small, 4, 1, 0, 1, 100, 1), (std::vector<uint32_t>{R, K, K, R}));
    EXPECT_EQ(convert(small, 4, 1, 0, 1, 100, 2), (std::vector<uint32_t>{Y, K, K, Y}));
    EXPECT_EQ(convert(small, 4, 1, 0, 1, 255, 2), (std::vector<uint32_t>{K, K, K, K}));
    // An unknown mode copies nothing: black, or all lit when inverted.
    EXPECT_EQ(convert(small, 3, 1, 5, 0), (std::vector<uint32_t>{K, K, K}));
    EXPECT_EQ(convert(small, 3, 1, 5, 1), (std::vector<uint32_t>{Y, Y, Y}));
}

TEST_F(PictureConverterTest, StretchAveragesTheCoveredSourcePixels)
{
    auto stretch = [](const QImage &src, int w, int h) {
        QImage dst(w, h, QImage::Format_RGB32);
        dst.fill(Qt::black);
        PictureConverter::stretchAveraged(src.convertToFormat(QImage::Format_RGB32), dst);
        std::vector<int> reds;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x)
                reds.push_back(qRed(dst.pixel(x, y)));
        }
        return reds;
    };
    auto grey = [](int v) { return qRgb(v, v, v); };
    // Halving: pairs averaged, 127.5 rounds up.
    EXPECT_EQ(stretch(row({grey(0), grey(255), grey(255), grey(255)}), 2, 1),
              (std::vector<int>{128, 255}));
    // Three onto two: a source pixel shared between two destination pixels
    // counts half in each.
    EXPECT_EQ(stretch(row({grey(0), grey(255), grey(0)}), 2, 1), (std::vector<int>{85, 85}));
    QImage square(2, 2, QImage::Format_RGB32);
    square.setPixel(0, 0, grey(10));
    square.setPixel(1, 0, grey(20));
    square.setPixel(0, 1, grey(30));
    square.setPixel(1, 1, grey(41));
    EXPECT_EQ(stretch(square, 1, 1), (std::vector<int>{25}));
    // Enlarging repeats the covered pixel; equal sizes copy.
    EXPECT_EQ(stretch(row({grey(7), grey(200)}), 4, 2),
              (std::vector<int>{7, 7, 200, 200, 7, 7, 200, 200}));
    EXPECT_EQ(stretch(row({grey(3), grey(4), grey(5)}), 3, 1), (std::vector<int>{3, 4, 5}));

    // A 10 x 10 picture fills a 64 x 16 page.
    QImage white(10, 10, QImage::Format_RGB32);
    white.fill(Qt::white);
    const auto page = convert(save(QStringLiteral("white.png"), white), 64, 16, 1);
    EXPECT_EQ(page, std::vector<uint32_t>(64 * 16, Y));
}

TEST_F(PictureConverterTest, EveryOfferedFormatDecodes)
{
    // White left half, blue right half, in blocks large enough for JPEG.
    QImage image(32, 16, QImage::Format_RGB32);
    image.fill(qRgb(0, 0, 255));
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x)
            image.setPixel(x, y, qRgb(255, 255, 255));
    }
    std::vector<uint32_t> expected;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 32; ++x)
            expected.push_back(x < 16 ? Y : K);
    }
    for (const char *format : {"bmp", "png", "tiff", "ico", "jpeg"}) {
        SCOPED_TRACE(format);
        // The suffix lies on purpose: the content decides the format.
        const QString path = save(QStringLiteral("picture_%1.dat").arg(format), image, format);
        const auto page = convert(path, 32, 16);
        if (qstrcmp(format, "jpeg") == 0) {
            for (int y = 2; y < 14; ++y) {
                for (int x : {2, 12, 20, 29})
                    EXPECT_EQ(page[size_t(y * 32 + x)], expected[size_t(y * 32 + x)]);
            }
        } else {
            EXPECT_EQ(page, expected);
        }
    }
    // GIF: the first frame of an animation is the picture.
    const std::array<QRgb, 4> palette{qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0),
                                      qRgb(255, 255, 255)};
    const QString gif = write(QStringLiteral("anim.gif"),
                              makeGif(3, 1, {{3, 1, {1, 3, 0}}, {3, 1, {2, 2, 2}}}, palette));
    EXPECT_EQ(convert(gif, 3, 1), (std::vector<uint32_t>{R, Y, K}));
}

TEST_F(PictureConverterTest, TransparencyIsBlendedOverBlack)
{
    QImage image(4, 1, QImage::Format_ARGB32);
    const int alphas[] = {0, 96, 160, 255};
    for (int x = 0; x < 4; ++x)
        image.setPixel(x, 0, qRgba(255, 255, 255, alphas[x]));
    const QString path = save(QStringLiteral("alpha.png"), image);
    EXPECT_EQ(convert(path, 4, 1), (std::vector<uint32_t>{K, K, Y, Y}));
    EXPECT_EQ(convert(path, 4, 1, 0, 1), (std::vector<uint32_t>{Y, Y, K, K}));
}

TEST_F(PictureConverterTest, WhatIsNotAnImageGivesOneBlackPage)
{
    const QString fifo = m_dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QDir(m_dir.path()).mkdir(QStringLiteral("folder.png"));
    // A PNG claiming 100000 x 100000 pixels and a GIF claiming the largest
    // screen there is: refused without allocating them.
    const std::array<QRgb, 4> palette{qRgb(255, 255, 255), 0, 0, 0};
    const QString paths[] = {
        QString(),
        m_dir.filePath(QStringLiteral("missing.png")),
        m_dir.filePath(QStringLiteral("folder.png")),
        write(QStringLiteral("text.png"), "not an image at all\n"),
        write(QStringLiteral("empty.png"), QByteArray()),
        fifo,
        QStringLiteral("/dev/zero"),
        write(QStringLiteral("bomb.png"), makeClaimingPng(100000, 100000)),
        write(QStringLiteral("bomb.gif"), makeGif(65535, 65535, {{65535, 65535, {0}}}, palette)),
    };
    for (const QString &path : paths) {
        SCOPED_TRACE(path.toStdString());
        // Inverting does not light a page whose image could not be loaded.
        EXPECT_EQ(convert(path, 8, 2, 0, 1, 100, 2, false), std::vector<uint32_t>(16, K));
    }
    PageBitmap page;
    EXPECT_FALSE(PictureConverter::convert({paths[3], 0, 0, 100, 2, 0, 16}, page));
    EXPECT_TRUE(page.isNull());
}

} // namespace
