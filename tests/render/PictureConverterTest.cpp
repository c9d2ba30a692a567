#include "render/PictureConverter.h"
#include "render/RenderTestSupport.h"

#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>
#include <zlib.h>
#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace {

constexpr uint32_t K = LedColor::Black;
constexpr uint32_t R = LedColor::Red;
constexpr uint32_t G = LedColor::Green;
constexpr uint32_t Y = LedColor::Yellow;
using Pixels = std::vector<uint32_t>;

// A GIF of frames drawn from a 4-colour palette (white, red, green, black).
// Each code follows a clear code, so the LZW stream stays at 3-bit codes.
QByteArray makeGif(int width, int height, const std::vector<std::vector<uint8_t>> &frames)
{
    QByteArray out("GIF89a");
    auto le16 = [&](int v) { out += char(v & 0xFF), out += char((v >> 8) & 0xFF); };
    le16(width);
    le16(height);
    out += QByteArray::fromHex("910000"
                               "FFFFFF"
                               "FF0000"
                               "00FF00"
                               "000000");
    for (const auto &pixels : frames) {
        out += QByteArray::fromHex("21F904000A0000002C00000000");
        le16(width);
        le16(height);
        out += QByteArray::fromHex("0002");
        QByteArray data;
        uint32_t bits = 0;
        int count = 0;
        auto code = [&](int c) {
            for (bits |= uint32_t(c) << count, count += 3; count >= 8; count -= 8, bits >>= 8)
                data += char(bits & 0xFF);
        };
        for (uint8_t p : pixels)
            code(4), code(p);
        code(5);
        if (count > 0)
            data += char(bits & 0xFF);
        for (int i = 0; i < data.size(); i += 255)
            out += char(data.mid(i, 255).size()) + data.mid(i, 255);
        out += char(0);
    }
    return out + char(0x3B);
}

class PictureConverterTest : public ::testing::Test {
protected:
    QString write(const QString &name, const QByteArray &bytes)
    {
        QFile file(m_dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    QString save(const QString &name, const QImage &image, const char *format = "png")
    {
        QImageWriter writer(m_dir.filePath(name), format);
        writer.setQuality(100);
        EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
        return writer.fileName();
    }

    QString saveRow(const QString &name, const std::vector<QRgb> &colours)
    {
        QImage image(int(colours.size()), 1, QImage::Format_ARGB32);
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, 0, colours[size_t(x)]);
        return save(name, image);
    }

    // The converted page, row by row; red-green at limit 100 unless told.
    static Pixels convert(const QString &path, int width, int height, int mode = 0, int reverse = 0,
                          int limit = 100, int colourType = 2)
    {
        PageBitmap page;
        const bool loaded = PictureConverter::convert(
            {path, mode, reverse, limit, colourType, width, height}, page);
        EXPECT_EQ(page.bounds(), QRect(0, 0, width, height));
        Pixels pixels;
        for (int y = 0; y < page.height(); ++y) {
            for (int x = 0; x < page.width(); ++x)
                pixels.push_back(page.pixel(x, y));
        }
        return loaded ? pixels : Pixels{0xDEAD};
    }

    QTemporaryDir m_dir;
};

TEST_F(PictureConverterTest, ThresholdRulesForBothColourTypes)
{
    // White, blue, red, green, grey 120, black.
    const QString path =
        saveRow(QStringLiteral("table.png"), {qRgb(255, 255, 255), qRgb(0, 0, 255), qRgb(255, 0, 0),
                                              qRgb(0, 255, 0), qRgb(120, 120, 120), qRgb(0, 0, 0)});
    const struct {
        int colourType;
        int reverse;
        Pixels page;
    } cases[] = {
        {1, 0, {R, K, K, R, R, K}}, // luma 255, 29, 76, 150, 120, 0
        {2, 0, {Y, K, R, G, Y, K}},
        {1, 1, {K, R, R, R, R, R}}, // inverted: luma 0, 226, 179, 105, 135, 255
        {2, 1, {K, Y, G, R, Y, Y}},
        {0, 0, {Y, K, R, G, Y, K}}, // every type but single red takes the channel rule
    };
    for (const auto &c : cases) {
        EXPECT_EQ(convert(path, 6, 1, 0, c.reverse, 100, c.colourType), c.page)
            << "type " << c.colourType << " reverse " << c.reverse;
    }
    // At the limits: luma (299 R + 500) / 1000 is 0 for R 1 and 1 for R 2;
    // a channel must exceed the limit; limits outside 0..255 are clamped.
    EXPECT_EQ(PictureConverter::thresholdPixel(1, 0, 0, 0, false, 1), K);
    EXPECT_EQ(PictureConverter::thresholdPixel(2, 0, 0, 0, false, 1), R);
    EXPECT_EQ(PictureConverter::thresholdPixel(101, 100, 255, 100, false, 2), R);
    EXPECT_EQ(PictureConverter::thresholdPixel(255, 255, 255, 255, false, 1), K);
    EXPECT_EQ(PictureConverter::thresholdPixel(255, 255, 255, 300, false, 2), K);
    EXPECT_EQ(PictureConverter::thresholdPixel(0, 1, 0, -7, false, 2), G);
}

TEST_F(PictureConverterTest, CentreModeCutsWiderImagesAndLeavesMargins)
{
    const QRgb r = qRgb(255, 0, 0), g = qRgb(0, 255, 0), w = qRgb(255, 255, 255);
    // One column wider: offset 0, the last column is cut off.
    EXPECT_EQ(convert(saveRow(QStringLiteral("w5.png"), {g, r, r, r, w}), 4, 3),
              (Pixels{K, K, K, K, G, R, R, R, K, K, K, K}));
    // Three columns wider: offset -1, one column cut on the left, two on the right.
    EXPECT_EQ(convert(saveRow(QStringLiteral("w7.png"), {w, g, r, r, g, w, w}), 4, 1),
              (Pixels{G, R, R, G}));
    // Smaller: black margins, which light up when inverted.
    const QString small = saveRow(QStringLiteral("small.png"), {w, w});
    EXPECT_EQ(convert(small, 4, 1), (Pixels{K, Y, Y, K}));
    EXPECT_EQ(convert(small, 4, 1, 0, 1, 100, 1), (Pixels{R, K, K, R}));
    EXPECT_EQ(convert(small, 4, 1, 0, 1, 255, 2), (Pixels{K, K, K, K}));
    // An unknown mode copies nothing: black, or all lit when inverted.
    EXPECT_EQ(convert(small, 3, 1, 5, 0), (Pixels{K, K, K}));
    EXPECT_EQ(convert(small, 3, 1, 5, 1), (Pixels{Y, Y, Y}));
    // Transparency is blended over black: alpha 0, 96, 160, 255 of white.
    EXPECT_EQ(convert(saveRow(QStringLiteral("alpha.png"),
                              {qRgba(255, 255, 255, 0), qRgba(255, 255, 255, 96),
                               qRgba(255, 255, 255, 160), w}),
                      4, 1),
              (Pixels{K, K, Y, Y}));
}

TEST_F(PictureConverterTest, StretchAveragesTheCoveredSourcePixels)
{
    auto stretch = [](const std::vector<int> &greys, int srcHeight, int w, int h) {
        const int srcWidth = int(greys.size()) / srcHeight;
        QImage src(srcWidth, srcHeight, QImage::Format_RGB32);
        for (size_t i = 0; i < greys.size(); ++i)
            src.setPixel(int(i) % srcWidth, int(i) / srcWidth, qRgb(greys[i], greys[i], 0));
        QImage dst(w, h, QImage::Format_RGB32);
        PictureConverter::stretchAveraged(src, dst);
        std::vector<int> out;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                EXPECT_EQ(qGreen(dst.pixel(x, y)), qRed(dst.pixel(x, y)));
                out.push_back(qRed(dst.pixel(x, y)));
            }
        }
        return out;
    };
    using V = std::vector<int>;
    EXPECT_EQ(stretch({0, 255, 255, 255}, 1, 2, 1), (V{128, 255})); // 127.5 rounds up
    EXPECT_EQ(stretch({0, 255, 0}, 1, 2, 1), (V{85, 85})); // the middle pixel counts half in each
    EXPECT_EQ(stretch({10, 20, 30, 41}, 2, 1, 1), (V{25}));
    EXPECT_EQ(stretch({7, 200}, 1, 4, 2), (V{7, 7, 200, 200, 7, 7, 200, 200}));
    // A 10 x 10 picture is distorted to fill a 64 x 16 page.
    QImage white(10, 10, QImage::Format_RGB32);
    white.fill(Qt::white);
    EXPECT_EQ(convert(save(QStringLiteral("white.png"), white), 64, 16, 1), Pixels(64 * 16, Y));
}

// A picture too big to hold whole is stretched while it is read: the page is
// the one the whole raster gives (halves of two colours, split on a page
// column), and a picture below the size is still read whole.
TEST_F(PictureConverterTest, AHugePictureIsScaledWhileReadingToTheSamePage)
{
    const int side = 4160; // 66 MiB as a raster; 65 source columns a page column
    ASSERT_GT(qint64(side) * side * 4, PageBitmap::kScaleWhileReadingBytes);
    QImage halves(side, side, QImage::Format_RGB32);
    halves.fill(Qt::red);
    for (int y = 0; y < side; ++y) {
        auto *row = reinterpret_cast<QRgb *>(halves.scanLine(y));
        std::fill(row + side / 2, row + side, qRgb(0, 255, 0));
    }
    const QString path = save(QStringLiteral("halves.png"), halves);
    halves = QImage();
    Pixels expected;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 64; ++x)
            expected.push_back(x < 32 ? R : G);
    EXPECT_EQ(convert(path, 64, 16, 1), expected);

    PageBitmap scaled;
    ASSERT_TRUE(scaled.loadFromFile(path, QSize(64, 16)));
    EXPECT_EQ(scaled.bounds(), QRect(0, 0, 64, 16));
    PageBitmap small;
    ASSERT_TRUE(small.loadFromFile(
        save(QStringLiteral("small.png"), QImage(300, 200, QImage::Format_RGB32)), QSize(64, 16)));
    EXPECT_EQ(small.bounds(), QRect(0, 0, 300, 200));
}

TEST_F(PictureConverterTest, EveryOfferedFormatDecodes)
{
    // White left half, blue right half, in blocks large enough for JPEG.
    QImage image(32, 16, QImage::Format_RGB32);
    image.fill(qRgb(0, 0, 255));
    Pixels expected(32 * 16, K);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            image.setPixel(x, y, qRgb(255, 255, 255));
            expected[size_t(y * 32 + x)] = Y;
        }
    }
    for (const char *format : {"bmp", "png", "tiff", "ico", "jpeg"}) {
        // The suffix lies on purpose: the content decides the format.
        const Pixels page =
            convert(save(QStringLiteral("picture_%1.dat").arg(format), image, format), 32, 16);
        ASSERT_EQ(page.size(), expected.size()) << format;
        for (size_t i = 0; i < page.size(); ++i) {
            const int x = int(i % 32);
            if (qstrcmp(format, "jpeg") != 0 || (x % 16 > 2 && x % 16 < 13)) {
                ASSERT_EQ(page[i], expected[i]) << format << " pixel " << i;
            }
        }
    }
    // GIF: the first frame of an animation is the picture.
    EXPECT_EQ(
        convert(write(QStringLiteral("anim.gif"), makeGif(3, 1, {{1, 0, 3}, {2, 2, 2}})), 3, 1),
        (Pixels{R, Y, K}));
}

TEST_F(PictureConverterTest, WhatIsNotAnImageGivesOneBlackPage)
{
    QDir(m_dir.path()).mkdir(QStringLiteral("folder.png"));
    std::vector<QString> paths = {
        QString(),
        m_dir.filePath(QStringLiteral("missing.png")),
        m_dir.filePath(QStringLiteral("folder.png")),
        write(QStringLiteral("text.png"), "not an image at all\n"),
        // Claims a 65535 x 65535 screen: refused without allocating it.
        write(QStringLiteral("bomb.gif"), makeGif(65535, 65535, {{0}})),
    };
#ifndef Q_OS_WIN
    // A pipe nobody writes to and an endless device must not hang the reader.
    const QString fifo = m_dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    paths.push_back(fifo);
    paths.push_back(QStringLiteral("/dev/zero"));
#endif
    for (const QString &path : paths) {
        PageBitmap page;
        // Inverting does not light a page whose image could not be loaded.
        EXPECT_FALSE(PictureConverter::convert({path, 0, 1, 100, 2, 8, 2}, page))
            << path.toStdString();
        EXPECT_EQ(RenderTest::litPixels(page), 0);
        EXPECT_EQ(page.bounds(), QRect(0, 0, 8, 2));
    }
}

// A picture too big to hold whole and shown centred is decoded only where
// the page shows it: the raster is the whole decode's pixels there (every
// PNG colour type and depth, JPEG through its clip support), and the page is
// the one the whole decode gives. The limit is lowered so that every test
// picture counts as huge.
TEST_F(PictureConverterTest, AHugeCentredPictureIsReadOnlyWhereThePageShowsIt)
{
    const struct {
        QImage::Format format;
        const char *file;
        bool palette; // Indexed8 of 200 colours, half of them translucent
    } kinds[] = {
        {QImage::Format_RGB32, "png", false},       {QImage::Format_ARGB32, "png", false},
        {QImage::Format_Indexed8, "png", true},     {QImage::Format_Grayscale8, "png", false},
        {QImage::Format_Grayscale16, "png", false}, {QImage::Format_RGBA64, "png", false},
        {QImage::Format_RGBX64, "png", false},      {QImage::Format_Mono, "png", false},
        {QImage::Format_RGB32, "jpeg", false},
    };
    // Picture and page sizes: wider and taller, taller only, one pixel wider.
    const struct {
        QSize picture, page;
    } sizes[] = {{{37, 23}, {16, 9}}, {{9, 31}, {20, 8}}, {{65, 5}, {64, 16}}};
    QList<QRgb> table;
    for (int i = 0; i < 200; ++i)
        table.push_back(qRgba(i * 37 % 256, i * 91 % 256, i * 13 % 256, i % 2 ? 255 : i));
    for (const auto &kind : kinds) {
        for (const auto &size : sizes) {
            QImage picture(size.picture, QImage::Format_ARGB32);
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    picture.setPixel(x, y, table[(x * 7 + y * 11) % 200]);
            picture = kind.palette ? picture.convertToFormat(kind.format, table)
                                   : picture.convertToFormat(kind.format);
            const QString name = QStringLiteral("%1_%2_%3.%4")
                                     .arg(int(kind.format))
                                     .arg(size.picture.width())
                                     .arg(size.page.width())
                                     .arg(QLatin1String(kind.file));
            const QString path = save(name, picture, kind.file);
            const std::string what = name.toStdString();

            PageBitmap whole;
            ASSERT_TRUE(whole.loadFromFile(path)) << what;
            const QRect shown = PictureConverter::centredSource(size.picture, size.page);
            PageBitmap part;
            QSize imageSize;
            QRect held;
            ASSERT_TRUE(part.loadRegionFromFile(
                path, [&](QSize s) { return PictureConverter::centredSource(s, size.page); },
                imageSize, held, 0))
                << what;
            EXPECT_EQ(imageSize, size.picture) << what;
            EXPECT_EQ(held, shown) << what;
            EXPECT_TRUE(part.image() == whole.image().copy(shown)) << what;

            PageBitmap today;
            PageBitmap cropped;
            PictureRenderParams params{path, 0, 0, 100, 2, size.page.width(), size.page.height()};
            ASSERT_TRUE(PictureConverter::convert(params, today)) << what;
            params.wholeReadBytes = 0;
            ASSERT_TRUE(PictureConverter::convert(params, cropped)) << what;
            EXPECT_TRUE(cropped.image() == today.image()) << what;
        }
    }
    // 16-bit RGB with a tRNS colour (Qt writes none and reads its pixels
    // into the wrong channels): exactly that colour is transparent.
    auto chunk = [](const char *type, const QByteArray &data) -> QByteArray {
        QByteArray body = QByteArray(type) + data;
        const uLong crc =
            crc32(0, reinterpret_cast<const Bytef *>(body.constData()), uInt(body.size()));
        QByteArray out;
        for (uint32_t v : {uint32_t(data.size()), uint32_t(crc)})
            for (int shift : {24, 16, 8, 0})
                out += char((v >> shift) & 0xFF);
        return out.left(4) + body + out.mid(4);
    };
    const QByteArray grey = QByteArray::fromHex("800080008000");
    const QByteArray raw = '\0' + grey + QByteArray::fromHex("FFFFFFFFFFFF800180018001");
    const QString keyed =
        write(QStringLiteral("keyed16.png"),
              QByteArray::fromHex("89504E470D0A1A0A") +
                  chunk("IHDR", QByteArray::fromHex("00000003000000011002000000")) +
                  chunk("tRNS", grey) + chunk("IDAT", qCompress(raw).mid(4)) + chunk("IEND", {}));
    PageBitmap page;
    PictureRenderParams params{keyed, 0, 0, 100, 2, 3, 1};
    params.wholeReadBytes = 0;
    ASSERT_TRUE(PictureConverter::convert(params, page));
    EXPECT_EQ((Pixels{page.pixel(0, 0), page.pixel(1, 0), page.pixel(2, 0)}), (Pixels{K, Y, Y}));

    // A damaged picture fails on either path.
    QImage noise(40, 40, QImage::Format_RGB32);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            noise.setPixel(x, y, qRgb(x * 97 % 256, y * 61 % 256, (x ^ y) * 5 % 256));
    QFile file(save(QStringLiteral("cut.png"), noise));
    ASSERT_TRUE(file.resize(file.size() / 2));
    PageBitmap cut;
    QSize imageSize;
    QRect held;
    EXPECT_FALSE(cut.loadFromFile(file.fileName()));
    EXPECT_FALSE(cut.loadRegionFromFile(
        file.fileName(), [](QSize s) { return QRect(QPoint(2, 2), s / 2); }, imageSize, held, 0));
}

} // namespace
