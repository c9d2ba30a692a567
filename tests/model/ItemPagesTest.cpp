#include "common/BdfFont.h"
#include "common/TestFiles.h"
#include "model/PictureItem.h"
#include "common/OutcomePrinting.h"
#include "model/PlayList.h"
#include "model/TextItem.h"
#include "render/TextRenderer.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

BdfFont::Spec testFont()
{
    BdfFont::Spec s;
    s.family = QStringLiteral("BrivItemCell");
    return s;
}

bool samePixels(const PageBitmap &a, const PageBitmap &b)
{
    if (a.width() != b.width() || a.height() != b.height())
        return false;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y))
                return false;
        }
    }
    return true;
}

// The item's settings reach the renderer: page size from the clock zone,
// layout from action and effective stay time, colour from `color`.
TEST(ItemPages, TextItemRendersWithItsOwnSettings)
{
    const QString family = BdfFont::install(testFont());
    ASSERT_FALSE(family.isEmpty());
    const struct {
        int action;
        int delay;
        int flash;
        int color;
        int clock;
        bool stayZero;
        uint32_t drawn;
        int width;
    } cases[] = {
        {13, 0, 0, 1, 0, true, LedColor::Red, 128},
        {13, 3, 0, 2, 0, false, LedColor::Green, 128},
        {4, 0, 1, 3, 0, false, LedColor::Yellow, 128}, // flashing makes the stay time 3
        {4, 0, 0, 9, 1, true, LedColor::Red, 112},     // dial zone as wide as the screen is high
        {2, 0, 0, 2, 2, true, LedColor::Green, 64},    // text clock zone of 64 pixels
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "action " << c.action << " delay " << c.delay << " clock " << c.clock);
        PlayList project;
        project.screenParams().setWidthCode(16);
        project.screenParams().setHeightCode(2);
        project.controllerInfo() = {0x23, 15, 2, 2, 7};
        TextItem item(&project);
        item.setFaceName(family);
        item.setSize(9);
        item.setContent(QStringLiteral("ABCDEFGHIJKLMNOPQRST UVWXYZ"));
        item.setAction(c.action);
        item.setDelay(c.delay);
        item.setFlash(c.flash);
        item.setColor(c.color);
        item.setClockMode(c.clock);
        item.buildPages();

        TextRenderParams p;
        p.text = item.content();
        p.faceName = family;
        p.size = 9;
        p.color = c.drawn;
        p.action = c.action;
        p.stayTimeZero = c.stayZero;
        p.width = c.width;
        p.height = 16;
        const auto expected = TextRenderer::render(p);
        ASSERT_EQ(item.pageCount(), int(expected.size()));
        // What `list` shows without pages, clock zone included.
        EXPECT_EQ(item.layoutPageCount(), item.pageCount());
        for (int i = 0; i < item.pageCount(); ++i)
            EXPECT_TRUE(samePixels(*item.pageAt(i), expected[size_t(i)])) << "page " << i;
    }
}

// The demo project as shipped: every program's layout count is the count of
// the pages it renders, on its own screen and on the largest one.
TEST(ItemPages, LayoutCountOfTheExamplesIsTheirRenderedCount)
{
    for (const int widthCode : {-1, 0}) { // as stored; 0 is 2048 wide
        PlayList project;
        project.setProjectFilePath(qEnvironmentVariable("BRIVANE_TEST_DATA") +
                                   QStringLiteral("/demo.brivprj"));
        ASSERT_EQ(project.load(), kOk);
        if (widthCode >= 0)
            project.screenParams().setWidthCode(widthCode);
        project.controllerInfo() = {0x23, 15, 2, 2, 7};
        for (int i = 0; i < project.itemCount(); ++i) {
            ProgramItem &item = *project.itemAt(i);
            item.buildPages();
            EXPECT_EQ(item.layoutPageCount(), item.pageCount())
                << "program " << i + 1 << " width code " << widthCode;
        }
    }
}

TEST(ItemPages, PictureItemReadsItsFileAndTheScreenColourType)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage white(8, 4, QImage::Format_RGB32);
    white.fill(Qt::white);
    ASSERT_TRUE(white.save(dir.filePath(QStringLiteral("white.png"))));

    PlayList project;
    project.setProjectFilePath(dir.filePath(QStringLiteral("default.brivprj")));
    project.screenParams().setWidthCode(2);
    project.screenParams().setHeightCode(1);
    PictureItem item(&project);
    item.setContent(QStringLiteral("white.png")); // relative to the project file
    item.setMode(1);

    const struct {
        int colourType;
        uint32_t lit;
    } cases[] = {{1, LedColor::Red}, {2, LedColor::Yellow}, {0, LedColor::Yellow}};
    for (const auto &c : cases) {
        project.screenParams().bytes[ScreenParams::ColourType] = uint8_t(c.colourType);
        item.buildPages();
        ASSERT_EQ(item.pageCount(), 1);
        const PageBitmap *page = item.pageAt(0);
        ASSERT_EQ(page->width(), 16);
        ASSERT_EQ(page->height(), 8);
        EXPECT_EQ(page->pixel(0, 0), c.lit) << "colour type " << c.colourType;
        EXPECT_EQ(page->pixel(15, 7), c.lit);
    }

    // A missing file keeps its path and shows one black page, inverted or not.
    item.setContent(QStringLiteral("gone.png"));
    item.setReverse(1);
    item.buildPages();
    ASSERT_EQ(item.pageCount(), 1);
    EXPECT_EQ(item.pageAt(0)->pixel(3, 3), 0u);
    EXPECT_EQ(item.content(), QStringLiteral("gone.png"));

    // Without a screen height there is nothing to draw on: still one page.
    project.screenParams().setHeightCode(0);
    TextItem text(&project);
    text.buildPages();
    item.buildPages();
    EXPECT_EQ(text.pageCount(), 1);
    EXPECT_EQ(item.pageCount(), 1);
}

} // namespace

// A picture that cannot be decoded still goes as one black page, and the
// item says which file and why; a good one says nothing.
TEST(ItemPages, APictureThatCannotBeDecodedSaysWhy)
{
    QTemporaryDir dir;
    QImage image(8, 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QString good = dir.filePath(QStringLiteral("good.png"));
    ASSERT_TRUE(image.save(good));
    QFile file(good);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray png = file.readAll();
    const QString truncated = dir.filePath(QStringLiteral("truncated.png"));
    ASSERT_TRUE(writeAll(truncated, png.left(png.size() / 2)));
    const QString text = dir.filePath(QStringLiteral("text.png"));
    ASSERT_TRUE(writeAll(text, "not a picture"));
    // A header claiming 20000 x 20000 pixels, over the decoding limit (the
    // small picture's data behind it).
    QByteArray huge = png;
    huge[16] = 0, huge[17] = 0, huge[18] = char(0x4E), huge[19] = char(0x20);
    huge[20] = 0, huge[21] = 0, huge[22] = char(0x4E), huge[23] = char(0x20);
    uint32_t crc = 0xFFFFFFFFu; // of the IHDR chunk's type and data
    for (int i = 12; i < 29; ++i) {
        crc ^= uint8_t(huge[i]);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    crc = ~crc;
    for (int i = 0; i < 4; ++i)
        huge[29 + i] = char(crc >> (24 - 8 * i));
    const QString big = dir.filePath(QStringLiteral("big.png"));
    ASSERT_TRUE(writeAll(big, huge));

    PlayList project;
    project.setProjectFilePath(dir.filePath(QStringLiteral("default.brivprj")));
    PictureItem item(&project);
    item.setMode(1);
    const struct {
        QString path;
        const char *why; // in the problem text; nullptr: no problem
    } cases[] = {
        {good, nullptr},
        {truncated, "已损坏"},
        {text, "无法识别"},
        {big, "20000×20000"},
        {dir.filePath(QStringLiteral("gone.png")), "找不到"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        item.setContent(c.path);
        item.buildPages();
        ASSERT_EQ(item.pageCount(), 1);
        EXPECT_EQ(PageBitmap::pictureProblem(c.path), item.pageProblem());
        if (!c.why) {
            EXPECT_TRUE(item.pageProblem().isEmpty());
            continue;
        }
        EXPECT_TRUE(item.pageProblem().contains(QString::fromUtf8(c.why)))
            << item.pageProblem().toStdString();
        EXPECT_TRUE(item.pageProblem().contains(c.path));
        EXPECT_EQ(item.pageAt(0)->pixel(3, 3), 0u);
    }
}
