#include "ui/PreviewPanel.h"
#include "ui/PreviewPlayer.h"
#include "model/ProgramItem.h"
#include "model/PlayList.h"
#include "render/PageBitmap.h"

#include <QComboBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// An item with a chosen number of pages; page i has a green dot at (i, 0)
// so the page shown can be told from the picture.
class PagedItem final : public ProgramItem {
public:
    PagedItem(PlayList *project, int pages)
        : ProgramItem(TextType, &project->renderContext()), m_count(pages)
    {
        buildPages();
    }
    void setPageCountToBuild(int pages) { m_count = pages; }
    void buildPages() override
    {
        clearPages();
        for (int i = 0; i < m_count; ++i) {
            addBlankPage();
            mutablePages().back().setPixel(i, 0, LedColor::Green);
        }
    }

private:
    int m_count;
};

QString status(int count, int page)
{
    return QStringLiteral("当前信息共有 %1 页，当前预览的是第 %2 页。").arg(count).arg(page);
}

class PreviewPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        panel.resize(614, 141);
        panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    }

    // A card that has the clock zone (series 15, not level locked).
    void useClockCard()
    {
        project.controllerInfo().series = 15;
        project.controllerInfo().modelCode = 0x33;
    }

    void clickNext() { QTest::mouseClick(panel.nextButton(), Qt::LeftButton); }
    void clickPrevious() { QTest::mouseClick(panel.previousButton(), Qt::LeftButton); }

    PlayList project;
    PreviewPanel panel;
};

TEST_F(PreviewPanelTest, WithoutItemShowsTheHintAndDrawsNothing)
{
    PagedItem item(&project, 3);
    panel.setItem(&item);
    panel.setItem(nullptr);
    EXPECT_EQ(panel.statusText(), QStringLiteral("提示：选中信息后预览。"));
    EXPECT_FALSE(panel.previousButton()->isEnabled());
    EXPECT_FALSE(panel.nextButton()->isEnabled());
    EXPECT_TRUE(panel.screenImage().isNull());
    // Stepping and refresh without an item change nothing.
    panel.nextPage();
    panel.refresh();
    EXPECT_EQ(panel.currentPage(), 0);
    EXPECT_EQ(panel.statusText(), QStringLiteral("提示：选中信息后预览。"));
}

TEST_F(PreviewPanelTest, StepsThroughThreePagesAndStopsAtBothEnds)
{
    PagedItem item(&project, 3);
    panel.setItem(&item);
    EXPECT_EQ(panel.statusText(), status(3, 1));
    EXPECT_FALSE(panel.previousButton()->isEnabled());
    EXPECT_TRUE(panel.nextButton()->isEnabled());

    clickNext();
    clickNext();
    EXPECT_EQ(panel.currentPage(), 2);
    EXPECT_EQ(panel.statusText(), status(3, 3));
    EXPECT_TRUE(panel.previousButton()->isEnabled());
    EXPECT_FALSE(panel.nextButton()->isEnabled());
    // The step itself never passes the last page.
    panel.nextPage();
    EXPECT_EQ(panel.currentPage(), 2);
    EXPECT_EQ(panel.screenImage().pixel(2, 0), qRgb(0, 255, 0));

    clickPrevious();
    EXPECT_EQ(panel.currentPage(), 1);
    EXPECT_EQ(panel.statusText(), status(3, 2));
    panel.previousPage();
    panel.previousPage();
    EXPECT_EQ(panel.currentPage(), 0);
    EXPECT_FALSE(panel.previousButton()->isEnabled());
}

TEST_F(PreviewPanelTest, OnePageDisablesBothButtons)
{
    PagedItem item(&project, 1);
    panel.setItem(&item);
    EXPECT_EQ(panel.statusText(), status(1, 1));
    EXPECT_FALSE(panel.previousButton()->isEnabled());
    EXPECT_FALSE(panel.nextButton()->isEnabled());
}

TEST_F(PreviewPanelTest, RefreshAfterRebuildKeepsThePageOnlyIfItStillExists)
{
    struct Case {
        int pagesBefore;
        int shownPage;
        int pagesAfter;
        int expectedPage;
    };
    const Case cases[] = {{3, 2, 2, 0}, {3, 1, 4, 1}, {3, 2, 3, 2}, {2, 1, 1, 0}};
    for (const Case &c : cases) {
        PagedItem item(&project, c.pagesBefore);
        panel.setItem(&item);
        for (int i = 0; i < c.shownPage; ++i)
            panel.nextPage();
        ASSERT_EQ(panel.currentPage(), c.shownPage);
        item.setPageCountToBuild(c.pagesAfter);
        item.buildPages();
        panel.refresh();
        EXPECT_EQ(panel.currentPage(), c.expectedPage) << c.pagesBefore << "->" << c.pagesAfter;
        EXPECT_EQ(panel.statusText(), status(c.pagesAfter, c.expectedPage + 1));
        EXPECT_EQ(panel.screenImage().pixel(c.expectedPage, 0), qRgb(0, 255, 0));
        panel.setItem(nullptr);
    }
}

TEST_F(PreviewPanelTest, SetItemStartsAtTheFirstPage)
{
    PagedItem first(&project, 3);
    PagedItem second(&project, 3);
    panel.setItem(&first);
    panel.nextPage();
    panel.setItem(&second);
    EXPECT_EQ(panel.item(), &second);
    EXPECT_EQ(panel.currentPage(), 0);
    EXPECT_EQ(panel.statusText(), status(3, 1));
}

TEST_F(PreviewPanelTest, PageSitsBesideTheClockZone)
{
    useClockCard();
    struct Case {
        int clock;
        int zoneWidth;
    };
    // 256 x 32 screen: no zone, a dial square of 32, a text strip of 64.
    for (const Case c : {Case{0, 0}, Case{1, 32}, Case{2, 64}}) {
        PagedItem item(&project, 1);
        item.setClockMode(c.clock);
        item.buildPages();
        ASSERT_EQ(item.clockZoneWidth(), c.zoneWidth);
        panel.setItem(&item);
        const QImage image = panel.screenImage();
        ASSERT_EQ(image.size(), QSize(256, 32));
        EXPECT_EQ(image.pixel(c.zoneWidth, 0), qRgb(0, 255, 0)) << c.clock;
        EXPECT_EQ(image.pixel(255, 31), qRgb(0, 0, 0));
        if (c.clock == 2) {
            // The text clock zone stays black.
            for (int x = 0; x < 64; ++x)
                for (int y = 0; y < 32; ++y)
                    ASSERT_EQ(image.pixel(x, y), qRgb(0, 0, 0)) << x << "," << y;
        }
        panel.setItem(nullptr);
    }
}

TEST_F(PreviewPanelTest, DialClockIsDrawnInTheZone)
{
    useClockCard();
    PagedItem item(&project, 1);
    item.setClockMode(1);
    item.buildPages();
    panel.setItem(&item);
    const QImage image = panel.screenImage();
    // L = 14: the 12 o'clock mark is the plus centred on (15, 1), the
    // 3 o'clock mark the one centred on (29, 15).
    for (const QPoint p : {QPoint(15, 1), QPoint(14, 1), QPoint(16, 1), QPoint(15, 2),
                           QPoint(29, 15), QPoint(29, 14), QPoint(29, 16)})
        EXPECT_EQ(image.pixel(p), qRgb(255, 0, 0)) << p.x() << "," << p.y();
    // Nothing of the dial outside the zone.
    for (int y = 0; y < 32; ++y)
        EXPECT_EQ(image.pixel(33, y), qRgb(0, 0, 0)) << y;
}

TEST(PreviewPanelLayout, LedAreaIsCentredBelowTheStatusLine)
{
    struct Case {
        int cw, ch, w, h;
        QPoint origin;
        QSize contents;
    };
    const Case cases[] = {
        {599, 126, 258, 34, {170, 66}, {599, 126}},
        // Too small: 1 pixel from the left, 31 from the top, and contents
        // that hold the LED area with its margins.
        {200, 50, 258, 34, {1, 31}, {261, 69}},
        {100, 100, 2050, 2050, {1, 31}, {2053, 2085}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(PreviewPanel::ledAreaOrigin(c.cw, c.ch, c.w, c.h), c.origin);
        EXPECT_EQ(PreviewPanel::contentsSize(c.cw, c.ch, c.w, c.h), c.contents);
    }
}

TEST_F(PreviewPanelTest, SmallPanelScrollsByLineSteps)
{
    PagedItem item(&project, 1);
    panel.resize(200, 60);
    panel.setItem(&item);
    QScrollBar *h = panel.scrollArea()->horizontalScrollBar();
    QScrollBar *v = panel.scrollArea()->verticalScrollBar();
    EXPECT_TRUE(h->isEnabled());
    EXPECT_TRUE(v->isEnabled());
    EXPECT_EQ(panel.ledAreaGeometry().size(),
              QSize(256 + PreviewPanel::ledAreaBorder(), 32 + PreviewPanel::ledAreaBorder()));
    h->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    v->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(h->value(), 16);
    EXPECT_EQ(v->value(), 8);

    // Large enough again: nothing to scroll.
    panel.resize(614, 141);
    panel.setItem(&item);
    EXPECT_FALSE(h->isEnabled());
    EXPECT_FALSE(v->isEnabled());
}

// The zoom box: each LED a block of k x k pixels, the LED area k times the
// screen, and the choice kept for the next preview.
TEST_F(PreviewPanelTest, ZoomDrawsEachLedAsABlockAndIsRemembered)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray saved = qgetenv("BRIVANE_SETTINGS");
    qputenv("BRIVANE_SETTINGS", dir.filePath(QStringLiteral("brivane.ini")).toLocal8Bit());
    PagedItem item(&project, 1); // a green LED at (0, 0)
    panel.setItem(&item);
    EXPECT_EQ(panel.zoom(), 1);
    panel.zoomBox()->setFocus();
    QTest::keyClick(panel.zoomBox(), Qt::Key_Down);
    QTest::keyClick(panel.zoomBox(), Qt::Key_Down);
    EXPECT_EQ(panel.zoom(), 3);
    const int border = PreviewPanel::ledAreaBorder();
    EXPECT_EQ(panel.ledAreaGeometry().size(), QSize(256 * 3 + border, 32 * 3 + border));
    auto *led = panel.findChild<QWidget *>(QStringLiteral("ledArea"));
    ASSERT_NE(led, nullptr);
    const QImage shown = led->grab().toImage();
    for (const QPoint p : {QPoint(1, 1), QPoint(3, 3)})
        EXPECT_EQ(shown.pixel(p), qRgb(0, 255, 0)) << p.x() << "," << p.y();
    for (const QPoint p : {QPoint(4, 1), QPoint(1, 4)})
        EXPECT_EQ(shown.pixel(p), qRgb(0, 0, 0)) << p.x() << "," << p.y();

    PreviewPanel next;
    EXPECT_EQ(next.zoom(), 3);
    EXPECT_EQ(next.zoomBox()->currentText(), QStringLiteral("×3"));
    qputenv("BRIVANE_SETTINGS", saved);
}

} // namespace

namespace {

TEST_F(PreviewPanelTest, PlayLoopsTheProgramAndStopsOnStepOrOtherItem)
{
    auto owned = std::make_unique<PagedItem>(&project, 2);
    PagedItem *item = owned.get();
    project.appendItem(std::move(owned));
    panel.setItem(item);
    EXPECT_TRUE(panel.playButton()->isEnabled());
    EXPECT_TRUE(panel.playListButton()->isHidden());

    QTest::mouseClick(panel.playButton(), Qt::LeftButton);
    EXPECT_TRUE(panel.player()->isPlaying());
    EXPECT_EQ(panel.playButton()->text(), QStringLiteral("停止"));
    EXPECT_TRUE(panel.statusText().startsWith(QStringLiteral("正在播放第 1 页，共 2 页")));
    EXPECT_EQ(panel.screenImage().size(), QSize(project.screenWidth(), project.screenHeight()));

    // An edit (the host rebuilds and refreshes) plays the new pages.
    item->setPageCountToBuild(3);
    item->buildPages();
    panel.refresh();
    EXPECT_TRUE(panel.player()->isPlaying());
    EXPECT_TRUE(panel.statusText().contains(QStringLiteral("共 3 页")));

    clickNext();
    EXPECT_FALSE(panel.player()->isPlaying());
    EXPECT_EQ(panel.playButton()->text(), QStringLiteral("播放"));
    EXPECT_EQ(panel.statusText(), status(3, 2));

    panel.setListPlaybackEnabled(true);
    QTest::mouseClick(panel.playListButton(), Qt::LeftButton);
    EXPECT_EQ(panel.player()->mode(), PreviewPlayer::Mode::List);
    EXPECT_EQ(panel.playListButton()->text(), QStringLiteral("停止"));
    EXPECT_TRUE(panel.statusText().startsWith(QStringLiteral("正在播放第 1 条信息（共 1 条）")));
    panel.setItem(nullptr);
    EXPECT_FALSE(panel.player()->isPlaying());
    EXPECT_FALSE(panel.playButton()->isEnabled());
}

} // namespace
