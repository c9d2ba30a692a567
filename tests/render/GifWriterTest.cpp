#include "render/GifWriter.h"
#include "render/PageBitmap.h"

#include <QBuffer>
#include <QImageReader>
#include <gtest/gtest.h>

namespace {

PageBitmap filled(int w, int h, uint32_t colour)
{
    PageBitmap page;
    page.create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            page.setPixel(x, y, colour);
    return page;
}

TEST(GifWriter, MergesEqualFramesKeepsColoursAndScales)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    GifWriter gif;
    ASSERT_TRUE(gif.open(&buffer, 8, 4, {2, false}));
    PageBitmap second = filled(8, 4, LedColor::Red);
    second.setPixel(7, 3, LedColor::Yellow);
    ASSERT_TRUE(gif.addFrame(filled(8, 4, LedColor::Red), 20));
    ASSERT_TRUE(gif.addFrame(filled(8, 4, LedColor::Red), 20));
    ASSERT_TRUE(gif.addFrame(second, 30));
    EXPECT_FALSE(gif.addFrame(filled(4, 4, LedColor::Red), 20));
    ASSERT_TRUE(gif.close());
    EXPECT_EQ(gif.framesWritten(), 2);
    buffer.close();

    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    QImage first = reader.read();
    ASSERT_FALSE(first.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(first.size(), QSize(16, 8));
    EXPECT_EQ(reader.nextImageDelay(), 40); // the two equal frames, merged
    EXPECT_EQ(first.pixel(0, 0), qRgb(255, 0, 0));
    const QImage last = reader.read();
    ASSERT_FALSE(last.isNull());
    EXPECT_EQ(last.pixel(15, 7), qRgb(255, 255, 0));
    EXPECT_EQ(last.pixel(13, 5), qRgb(255, 0, 0));
    EXPECT_EQ(reader.loopCount(), -1);
}

TEST(GifWriter, RefusesWhatAGifCannotHold)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    GifWriter gif;
    EXPECT_FALSE(gif.open(&buffer, 8, 4, {0, false}));
    EXPECT_FALSE(gif.open(&buffer, 8, 4, {GifWriter::kMaxScale + 1, false}));
    EXPECT_FALSE(gif.open(&buffer, 2048, 128, {40, false}));
    EXPECT_FALSE(gif.open(&buffer, 0, 4, {1, false}));
    QBuffer closed;
    EXPECT_FALSE(gif.open(&closed, 8, 4, {1, false}));
    EXPECT_FALSE(gif.addFrame(filled(8, 4, LedColor::Red), 20));
}

} // namespace
