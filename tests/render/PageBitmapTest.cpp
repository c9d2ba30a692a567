#include "render/PageBitmap.h"

#include <QFile>
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <climits>
#include <gtest/gtest.h>

namespace {

// Rows of a small page as text: '.' black, 'r' red, 'g' green, 'y' yellow,
// '?' anything else.
QString picture(const PageBitmap &page)
{
    QString s;
    for (int y = 0; y < page.height(); ++y) {
        if (y)
            s += QLatin1Char('/');
        for (int x = 0; x < page.width(); ++x) {
            switch (page.pixel(x, y)) {
            case LedColor::Black:
                s += QLatin1Char('.');
                break;
            case LedColor::Red:
                s += QLatin1Char('r');
                break;
            case LedColor::Green:
                s += QLatin1Char('g');
                break;
            case LedColor::Yellow:
                s += QLatin1Char('y');
                break;
            default:
                s += QLatin1Char('?');
            }
        }
    }
    return s;
}

// A 3 x 2 source: r g y / y r g.
PageBitmap source()
{
    PageBitmap src;
    src.create(3, 2);
    const uint32_t colors[2][3] = {{LedColor::Red, LedColor::Green, LedColor::Yellow},
                                   {LedColor::Yellow, LedColor::Red, LedColor::Green}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            src.setPixel(x, y, colors[y][x]);
    return src;
}

} // namespace

TEST(PageBitmap, CreateRefusesEmptySizesAndKeepsTheRaster)
{
    PageBitmap page;
    EXPECT_TRUE(page.isNull());
    EXPECT_EQ(page.width(), 0);
    ASSERT_TRUE(page.create(4, 2));
    page.setPixel(1, 1, LedColor::Green);
    for (auto [w, h] : {std::pair{0, 10}, {10, -1}, {-3, -3}, {0, 0}}) {
        EXPECT_FALSE(page.create(w, h)) << w << "x" << h;
        EXPECT_EQ(picture(page), QStringLiteral("..../.g..")) << w << "x" << h;
    }
    ASSERT_TRUE(page.create(2, 3));
    EXPECT_EQ(page.bounds(), QRect(0, 0, 2, 3));
    EXPECT_EQ(picture(page), QStringLiteral("../../..")) << "a new raster is black";
}

TEST(PageBitmap, ReleaseKeepsTheBoundsAndMayRepeat)
{
    PageBitmap page;
    page.release();
    ASSERT_TRUE(page.create(5, 6));
    page.release();
    EXPECT_TRUE(page.isNull());
    EXPECT_EQ(page.width(), 5);
    EXPECT_EQ(page.height(), 6);
    page.release();
    EXPECT_EQ(page.pixel(0, 0), 0u);
    page.setPixel(0, 0, LedColor::Red); // ignored without a raster
    EXPECT_TRUE(page.isNull());
}

TEST(PageBitmap, PixelsTravelAsBgrValues)
{
    PageBitmap page;
    ASSERT_TRUE(page.create(2, 1));
    page.setPixel(0, 0, 0x00123456);
    EXPECT_EQ(page.pixel(0, 0), 0x00123456u);
    // Red sits in the low byte of the value and in the raster's red channel.
    EXPECT_EQ(page.image().pixel(0, 0), qRgb(0x56, 0x34, 0x12));
    page.setPixel(1, 0, 0xFF0000FF); // the top byte is not a colour
    EXPECT_EQ(page.pixel(1, 0), LedColor::Red);
    EXPECT_EQ(page.image().format(), QImage::Format_RGB32);
    for (auto [x, y] : {std::pair{-1, 0}, {2, 0}, {0, 1}, {0, -1}}) {
        page.setPixel(x, y, LedColor::Yellow);
        EXPECT_EQ(page.pixel(x, y), 0u);
    }
    EXPECT_EQ(picture(page), QStringLiteral("?r"));
}

TEST(PageBitmap, CopyClipsAtBothRasters)
{
    const struct {
        const char *name;
        int dx, dy, sx, sy, w, h;
        const char *result; // on a 4 x 3 black page
    } cases[] = {
        {"whole source at the origin", 0, 0, 0, 0, 3, 2, "rgy./yrg./...."},
        {"moved right and down", 1, 1, 0, 0, 3, 2, "..../.rgy/.yrg"},
        {"negative destination offsets", -1, -1, 0, 0, 3, 2, "rg../..../...."},
        {"past the right and bottom edges", 2, 2, 0, 0, 3, 2, "..../..../..rg"},
        {"part of the source", 0, 0, 1, 1, 2, 1, "rg../..../...."},
        {"source rectangle larger than the source", 0, 0, 0, 0, 50, 50, "rgy./yrg./...."},
        {"negative source offsets move the destination", 0, 0, -1, 0, 3, 2, ".rg./.yr./...."},
        {"entirely outside", 4, 0, 0, 0, 3, 2, "..../..../...."},
        {"empty rectangle", 0, 0, 0, 0, 0, 2, "..../..../...."},
        {"extreme offsets", INT_MIN, INT_MAX, INT_MAX, INT_MIN, INT_MAX, INT_MAX, "..../..../...."},
    };
    const PageBitmap src = source();
    for (const auto &c : cases) {
        PageBitmap page;
        ASSERT_TRUE(page.create(4, 3));
        page.copyFrom(src, c.dx, c.dy, c.sx, c.sy, c.w, c.h);
        EXPECT_EQ(picture(page), QString::fromLatin1(c.result)) << c.name;
    }
    EXPECT_EQ(picture(src), QStringLiteral("rgy/yrg")) << "the source is not touched";
}

TEST(PageBitmap, CopiesAreIndependentRasters)
{
    PageBitmap a = source();
    PageBitmap b = a;
    b.setPixel(0, 0, LedColor::Black);
    b.copyFrom(b, 1, 0, 0, 0, 3, 2); // overlapping copy within one raster
    EXPECT_EQ(picture(b), QStringLiteral("..g/yyr"));
    EXPECT_EQ(picture(a), QStringLiteral("rgy/yrg"));
}

TEST(PageBitmap, StretchScalesWithoutMixingColours)
{
    const PageBitmap src = source();
    PageBitmap page;
    ASSERT_TRUE(page.create(6, 4));
    page.stretchFrom(src, 0, 0, 6, 4, 0, 0, 3, 2);
    EXPECT_EQ(picture(page), QStringLiteral("rrggyy/rrggyy/yyrrgg/yyrrgg"));

    PageBitmap small;
    ASSERT_TRUE(small.create(4, 2));
    small.stretchFrom(src, 1, 0, 3, 1, 0, 1, 3, 1);
    EXPECT_EQ(picture(small), QStringLiteral(".yrg/...."));
}

// A 12 MB SVG took 19 s to draw as a picture: only raster formats are
// decoded, and the user is told why the rest are not.
TEST(PageBitmap, OnlyRasterPicturesAreDecoded)
{
    QTemporaryDir dir;
    const QString svg = dir.filePath(QStringLiteral("shape.png")); // the name does not decide
    QFile file(svg);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"8\" height=\"8\">"
               "<rect width=\"8\" height=\"8\" fill=\"red\"/></svg>");
    file.close();
    PageBitmap page;
    EXPECT_FALSE(page.loadFromFile(svg));
    EXPECT_TRUE(PageBitmap::pictureFormatProblem(svg).contains(QStringLiteral("SVG")));

    const QString png = dir.filePath(QStringLiteral("dot.png"));
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(png, "PNG"));
    EXPECT_TRUE(PageBitmap::pictureFormatProblem(png).isEmpty());
    ASSERT_TRUE(page.loadFromFile(png));
    EXPECT_EQ(page.pixel(2, 1), LedColor::Red);
}
