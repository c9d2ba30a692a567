#include "ui/AboutDialog.h"
#include "ui/AnimatedPicture.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QByteArray resourceBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(AboutDialog, PlaysTheBannerUntilClosed)
{
    AboutDialog dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "关于 Brivane");
    EXPECT_EQ(dialog.findChild<QLabel *>("name")->text(), "Brivane 1.5 版");
    EXPECT_FALSE(dialog.findChild<QLabel *>("notice")->text().isEmpty());
    EXPECT_FALSE(dialog.findChild<QLabel *>("icon")->pixmap().isNull());
    // The line that says where the play list is kept names the whole path
    // in its tooltip.
    const QLabel *where = dialog.findChild<QLabel *>("projectFile");
    ASSERT_NE(where, nullptr);
    EXPECT_TRUE(where->text().startsWith(QStringLiteral("节目文件：")));
    EXPECT_TRUE(where->toolTip().endsWith(QStringLiteral("default.brivprj")));
    AnimatedPicture *banner = dialog.banner();
    EXPECT_EQ(banner->size(), QSize(297, 36));
    ASSERT_GT(banner->frameCount(), 1);
    EXPECT_TRUE(banner->isAnimating());
    EXPECT_EQ(banner->composedFrame().size(), QSize(297, 36));

    QTest::mouseClick(dialog.findChild<QPushButton *>("ok"), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(banner->isAnimating());
    EXPECT_FALSE(banner->isLoaded());
}

TEST(AboutDialog, TheBannerIs297By36WithItsOwnDelays)
{
    AnimatedPicture picture;
    ASSERT_TRUE(picture.loadFromFile(":/banner.gif"));
    EXPECT_EQ(picture.sizeHint(), QSize(297, 36));
    bool differentDelays = false;
    for (int i = 1; i < picture.frameCount(); ++i)
        differentDelays |= picture.frameDelay(i) != picture.frameDelay(0);
    EXPECT_TRUE(differentDelays);
}

TEST(AnimatedPicture, StepsWhenTheFramesDelayHasPassed)
{
    AnimatedPicture picture;
    ASSERT_TRUE(picture.loadFromData(resourceBytes(":/banner.gif")));
    const int frames = picture.frameCount();
    const int delay = picture.frameDelay(0);
    ASSERT_GT(delay, 0);
    ASSERT_EQ(picture.currentFrame(), 0);

    // Far in the future: the first tick steps and notes the time.
    const quint32 start = 0xFFFFFF00u;
    picture.tick(start);
    ASSERT_EQ(picture.currentFrame(), 1);
    // Across the wrap of the millisecond clock.
    const quint32 d1 = quint32(picture.frameDelay(1));
    picture.tick(start + d1 - 1);
    EXPECT_EQ(picture.currentFrame(), 1);
    picture.tick(start + d1);
    EXPECT_EQ(picture.currentFrame(), 2);

    // After the last frame comes the first.
    quint32 now = start + d1;
    for (int steps = 0; picture.currentFrame() != 0 && steps < frames; ++steps) {
        now += quint32(std::max(1, picture.frameDelay(picture.currentFrame())));
        picture.tick(now);
    }
    EXPECT_EQ(picture.currentFrame(), 0);
}

TEST(AnimatedPicture, StillPictureRunsNoTimer)
{
    QImage still(10, 4, QImage::Format_RGB32);
    still.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(still.save(&buffer, "PNG"));

    AnimatedPicture picture;
    picture.resize(20, 10);
    ASSERT_TRUE(picture.loadFromData(png));
    EXPECT_EQ(picture.frameCount(), 1);
    EXPECT_FALSE(picture.isAnimating());
    picture.tick(100000);
    EXPECT_EQ(picture.currentFrame(), 0);

    // Composed: black, the frame centred at its natural size.
    const QImage shown = picture.composedFrame();
    ASSERT_EQ(shown.size(), QSize(20, 10));
    EXPECT_EQ(shown.pixel(4, 2), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(5, 3), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(14, 6), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(15, 7), qRgb(0, 0, 0));
}

TEST(AnimatedPicture, UndecodableDataLeavesNoPicture)
{
    AnimatedPicture picture;
    ASSERT_TRUE(picture.loadFromData(resourceBytes(":/banner.gif")));
    EXPECT_FALSE(picture.loadFromData(QByteArray("GIF89a but nothing else")));
    EXPECT_FALSE(picture.isLoaded());
    EXPECT_FALSE(picture.isAnimating());
    EXPECT_FALSE(picture.loadFromFile("/no/such/banner.gif"));
    EXPECT_TRUE(picture.composedFrame().isNull());
}

} // namespace
