#include "model/PictureItem.h"
#include "model/PlayList.h"
#include "model/TextItem.h"
#include "model/ValueTables.h"
#include "render/EntryAnimation.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

// A project with a screen of the given size codes and an identified card.
struct CardScreen {
    int widthCode = 32;
    int heightCode = 4;
    int model = 0x23;
    int series = 15;
    int major = 2, minor = 2, build = 7;
};

void apply(PlayList &p, const CardScreen &s)
{
    p.screenParams().setWidthCode(s.widthCode);
    p.screenParams().setHeightCode(s.heightCode);
    p.controllerInfo() = {s.model, s.series, s.major, s.minor, s.build};
}

} // namespace

TEST(ProgramItem, NewItemsHaveTheirDefaults)
{
    PlayList project;
    TextItem text(&project);
    PictureItem picture(&project);
    for (const ProgramItem *item :
         {static_cast<ProgramItem *>(&text), static_cast<ProgramItem *>(&picture)}) {
        SCOPED_TRACE(item->type());
        EXPECT_EQ(item->speedLabel(), QStringLiteral("14"));
        EXPECT_EQ(item->clockLabel(), QString());
        EXPECT_EQ(item->action(), 13);
        EXPECT_EQ(ValueTables::actionName(item->action()), QStringLiteral("连续左移"));
        EXPECT_EQ(item->speed(), 14);
        EXPECT_EQ(item->frame(), 0);
        EXPECT_EQ(item->clockMode(), 0);
        EXPECT_EQ(item->delay(), 0);
        EXPECT_EQ(item->level(), 2);
        EXPECT_EQ(item->flash(), 0);
        EXPECT_EQ(item->flashDelay(), 2);
        ASSERT_EQ(item->pageCount(), 1);
        const PageBitmap *page = item->pageAt(0);
        ASSERT_EQ(page->width(), 256);
        ASSERT_EQ(page->height(), 32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 256; ++x)
                ASSERT_EQ(page->pixel(x, y), 0u);
        EXPECT_EQ(item->pageAt(1), nullptr);
        EXPECT_EQ(item->pageAt(-1), nullptr);
    }
    // One name per animation code, in code order.
    EXPECT_EQ(ValueTables::actionNames().size(), EntryAnimation::kLast);
    EXPECT_EQ(ValueTables::actionName(EntryAnimation::MoveUp), QStringLiteral("上移"));
    EXPECT_EQ(text.type(), 2);
    EXPECT_FALSE(text.isPicture());
    EXPECT_EQ(text.kindLabel(), QStringLiteral("文本"));
    EXPECT_EQ(text.content(), QStringLiteral("示例文本信息，双击编辑。"));
    EXPECT_EQ(text.faceName(), QStringLiteral("宋体"));
    EXPECT_EQ(text.size(), 20);
    EXPECT_EQ(text.style(), 0);
    EXPECT_EQ(text.color(), 1);
    EXPECT_EQ(picture.type(), 3);
    EXPECT_TRUE(picture.isPicture());
    EXPECT_EQ(picture.kindLabel(), QString());
    EXPECT_EQ(picture.content(), QString());
    EXPECT_EQ(picture.mode(), 0);
    EXPECT_EQ(picture.reverse(), 0);
    EXPECT_EQ(picture.limit(), 100);
}

TEST(ProgramItem, ClockZoneFollowsTheCardAndTheScreen)
{
    const struct {
        const char *name;
        int clock;
        CardScreen setup;
        int effective, zone, contentWidth, code;
    } cases[] = {
        {"dial on 64x32", 1, {8, 4}, 1, 32, 32, 0x20},
        {"dial on 48x32 is too narrow", 1, {6, 4}, 0, 0, 48, 0},
        {"text clock on 72 wide", 2, {9, 4}, 0, 0, 72, 0},
        {"text clock on 80 wide", 2, {10, 4}, 2, 64, 16, 0x30},
        {"off", 0, {8, 4}, 0, 0, 64, 0},
        {"no card identified", 1, {8, 4, 0, 0, 0, 0, 0}, 0, 0, 64, 0},
        {"series without clock zones", 1, {8, 4, 0x30, 14}, 0, 0, 64, 0},
        {"model 0x42 is level-locked", 1, {8, 4, 0x42, 15}, 0, 0, 64, 0},
        {"model 0x32 is level-locked", 2, {10, 4, 0x32, 15}, 0, 0, 80, 0},
        {"unknown mode passes but acts as off", 7, {8, 4}, 7, 0, 64, 0},
        {"negative mode likewise", -1, {8, 4}, -1, 0, 64, 0},
        {"unknown mode on a narrow screen", 7, {6, 4}, 0, 0, 48, 0},
        {"width code 0 is 2048 pixels", 1, {0, 16}, 1, 128, 1920, 0x20},
        // Pages are never taller than a card's screen can be (128), whatever
        // the file's height code says: the budget depends on it.
        {"height code 255 renders 128 high", 1, {0, 255}, 1, 128, 1920, 0x20},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        PlayList project;
        apply(project, c.setup);
        PictureItem item(&project);
        item.setClockMode(c.clock);
        EXPECT_EQ(item.effectiveClockMode(), c.effective);
        EXPECT_EQ(item.clockZoneWidth(), c.zone);
        EXPECT_EQ(item.contentWidth(), c.contentWidth);
        EXPECT_EQ(item.clockCode(), c.code);
        item.clearPages();
        EXPECT_EQ(item.pageCount(), 0);
        item.addBlankPage();
        ASSERT_EQ(item.pageCount(), 1);
        EXPECT_EQ(item.pageAt(0)->width(), c.contentWidth);
        EXPECT_EQ(item.pageAt(0)->height(), item.screenHeight());
    }
}

TEST(ProgramItem, EffectCodeCombinesBorderAndFlashByFirmware)
{
    const struct {
        int frame, flash, major, minor, build, code;
    } cases[] = {
        {3, 1, 2, 2, 7, 0x31}, {3, 1, 2, 2, 6, 0x11},  {3, 1, 3, 0, 0, 0x31},
        {8, 0, 2, 2, 7, 0x80}, {8, 2, 1, 0, 0, 0x12},  {0, 2, 2, 2, 7, 0x02},
        {0, 2, 1, 0, 0, 0x02}, {9, 1, 2, 2, 7, 0x01},  {-1, 1, 1, 0, 0, 0x01},
        {2, 0, 2, 2, 7, 0x50}, {2, 0, 2, 1, 15, 0x10},
    };
    for (const auto &c : cases) {
        PlayList project;
        apply(project, {32, 4, 0x23, 15, c.major, c.minor, c.build});
        TextItem item(&project);
        item.setFrame(c.frame);
        item.setFlash(c.flash);
        EXPECT_EQ(item.effectCode(), c.code)
            << c.frame << " " << c.flash << " " << c.major << "." << c.minor << "." << c.build;
    }
}

TEST(ProgramItem, StayTimeOutlastsTheFlashInterval)
{
    const struct {
        int delay, flash, flashDelay, stay;
    } cases[] = {
        {3, 1, 2, 3},
        {2, 1, 2, 3},
        {0, 2, 5, 6},
        {7, 0, 9, 7},
        {-4, 0, 9, -4},
        {-4, 1, -9, -4},
        {0, 1, INT_MAX, INT_MAX},
        {INT_MAX, 1, INT_MAX, INT_MAX},
    };
    for (const auto &c : cases) {
        TextItem item(nullptr);
        item.setDelay(c.delay);
        item.setFlash(c.flash);
        item.setFlashDelay(c.flashDelay);
        EXPECT_EQ(item.effectiveStayTime(), c.stay)
            << c.delay << " " << c.flash << " " << c.flashDelay;
    }
}

TEST(ProgramItem, DisplayNameShortensLongContent)
{
    const QString a14(14, QLatin1Char('a'));
    const QString smile = QStringLiteral("\U0001F600"); // D83D DE00
    const QString extG = QStringLiteral("\U00030000");  // D880 DC00
    const struct {
        const char *name;
        QString content;
        QString shown;
    } cases[] = {
        {"empty", QString(), QString()},
        {"16 characters whole", QString(16, QLatin1Char('x')), QString(16, QLatin1Char('x'))},
        {"17 ASCII characters", QString(17, QLatin1Char('x')),
         QString(15, QLatin1Char('x')) + QStringLiteral("...")},
        {"CJK counts one each", QString(20, QChar(u'中')),
         QString(15, QChar(u'中')) + QStringLiteral("...")},
        {"top bit takes the next character along",
         QStringLiteral("é") + QString(20, QLatin1Char('a')),
         QStringLiteral("é") + QString(14, QLatin1Char('a')) + QStringLiteral("...")},
        {"pair at the end gives 16", a14 + QStringLiteral("éb") + QStringLiteral("cdef"),
         a14 + QStringLiteral("éb...")},
        {"no cut inside a surrogate pair", a14 + smile + QStringLiteral("tail"),
         a14 + QStringLiteral("...")},
        {"no cut after a high half taken along",
         a14 + QStringLiteral("é") + smile + QStringLiteral("tail"), a14 + QStringLiteral("é...")},
        {"a pair taken whole", a14 + extG + QStringLiteral("tail"),
         a14 + extG + QStringLiteral("...")},
    };
    for (const auto &c : cases) {
        TextItem item(nullptr);
        item.setContent(c.content);
        EXPECT_EQ(item.displayName(), c.shown) << c.name;
    }
}

TEST(ProgramItem, SettersWithSideEffects)
{
    PictureItem item(nullptr);
    const struct {
        int clock;
        const char16_t *label;
    } clocks[] = {{1, u"表盘"}, {0, u""}, {2, u"文字"}, {7, u"关闭"}, {-1, u"关闭"}};
    for (const auto &c : clocks) {
        item.setClockMode(c.clock);
        EXPECT_EQ(item.clockMode(), c.clock);
        EXPECT_EQ(item.clockLabel(), QString::fromUtf16(c.label)) << c.clock;
    }
    for (int speed : {0, 15, -3, 1234}) {
        item.setSpeed(speed);
        EXPECT_EQ(item.speedLabel(), QString::number(speed));
    }
    const struct {
        int in, stored;
    } limits[] = {{300, 255}, {256, 255}, {255, 255}, {0, 0}, {-5, 0}, {INT_MIN, 0}, {77, 77}};
    for (const auto &l : limits) {
        item.setLimit(l.in);
        EXPECT_EQ(item.limit(), l.stored) << l.in;
    }
}

TEST(ProgramItem, TextColorIsRedUnlessGreenOrYellow)
{
    const struct {
        int color;
        uint32_t value;
    } cases[] = {{1, 0x0000FF}, {2, 0x00FF00}, {3, 0x00FFFF},
                 {0, 0x0000FF}, {4, 0x0000FF}, {-2, 0x0000FF}};
    for (const auto &c : cases) {
        TextItem item(nullptr);
        item.setColor(c.color);
        EXPECT_EQ(item.textColor(), c.value) << c.color;
    }
}

TEST(ProgramItem, BlankPagesOfDifferentItemsAreIndependent)
{
    PlayList project;
    TextItem first(&project);
    TextItem second(&project);
    // Pages are only written by their item's renderer; this stands in for one.
    auto &page = const_cast<PageBitmap &>(*first.pageAt(0));
    page.setPixel(3, 4, LedColor::Yellow);
    EXPECT_EQ(first.pageAt(0)->pixel(3, 4), LedColor::Yellow);
    EXPECT_EQ(second.pageAt(0)->pixel(3, 4), LedColor::Black);
    TextItem third(&project);
    EXPECT_EQ(third.pageAt(0)->pixel(3, 4), LedColor::Black);
}
