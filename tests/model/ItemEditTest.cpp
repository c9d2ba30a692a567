// The one edit entry point: which settings re-render an item's pages, and
// the page budget that bounds all items' pages together.
#include "model/ItemEdit.h"
#include "model/PictureItem.h"
#include "model/PlayList.h"
#include "model/ProgramFields.h"
#include "model/TextItem.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace {

// A text long enough for several fitted pages on a small screen.
const QString kLongText = QString(400, QChar(u'字'));

bool rebuilds(ProgramItem &item, ItemSetting setting, int value)
{
    item.clearPages(); // a rebuild always leaves at least one page
    editItem(item, setting, value);
    return item.pageCount() > 0;
}

} // namespace

// The rule every editor, the program list and the command line share: a
// setting that is drawn re-renders at once; one only the card sees does not
// (rebuilding there would cost a keystroke's time for nothing); the stay
// time re-renders a text only when it is 0 before or after (the layout
// differs); the limit waits for the picture page's "预览".
TEST(ItemEdit, PagesAreRebuiltExactlyWhenTheyDependOnTheSetting)
{
    PlayList project;
    const struct {
        ItemSetting setting;
        bool picture;
        int before, value;
        bool rebuilt;
    } cases[] = {
        {ItemSetting::Action, false, 13, 1, true},
        {ItemSetting::Action, true, 13, 1, false},
        {ItemSetting::Clock, false, 0, 1, true},
        {ItemSetting::Clock, true, 0, 2, true},
        {ItemSetting::Speed, false, 14, 3, false},
        {ItemSetting::Frame, false, 0, 4, false},
        {ItemSetting::Level, false, 2, 9, false},
        {ItemSetting::Flash, false, 0, 1, false},
        {ItemSetting::FlashDelay, false, 2, 7, false},
        {ItemSetting::Delay, false, 0, 3, true},  // 0 -> 3
        {ItemSetting::Delay, false, 3, 0, true},  // 3 -> 0
        {ItemSetting::Delay, false, 3, 4, false}, // 3 -> 4: same layout
        {ItemSetting::Delay, true, 0, 3, false},  // a picture has one layout
        {ItemSetting::Size, false, 20, 32, true},
        {ItemSetting::Style, false, 0, 3, true},
        {ItemSetting::Color, false, 1, 2, true},
        {ItemSetting::Mode, true, 0, 1, true},
        {ItemSetting::Reverse, true, 0, 1, true},
        {ItemSetting::Limit, true, 100, 20, false},
        {ItemSetting::Size, true, 20, 32, false}, // not a picture's field: ignored
        {ItemSetting::Mode, false, 0, 1, false},  // nor a text's
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.setting));
        std::unique_ptr<ProgramItem> item;
        if (c.picture)
            item = std::make_unique<PictureItem>(&project);
        else
            item = std::make_unique<TextItem>(&project);
        editItem(*item, c.setting, c.before);
        EXPECT_EQ(rebuilds(*item, c.setting, c.value), c.rebuilt);
    }

    TextItem text(&project);
    text.clearPages();
    EXPECT_TRUE(editItem(text, ItemSetting::Content, kLongText));
    EXPECT_GT(text.pageCount(), 1);
    text.clearPages();
    EXPECT_TRUE(editItem(text, ItemSetting::FaceName, QStringLiteral("宋体")));
    EXPECT_EQ(text.faceName(), QStringLiteral("宋体"));
    EXPECT_GT(text.pageCount(), 0);
}

// The command-line tool changes files, not pages: an edit there says the
// pages changed but renders nothing, so `set` costs no page memory.
TEST(ItemEdit, AProjectThatBuildsNoPagesOnlyStores)
{
    PlayList project;
    project.setBuildsPages(false);
    TextItem item(&project);
    EXPECT_TRUE(editItem(item, ItemSetting::Content, kLongText));
    EXPECT_EQ(item.content(), kLongText);
    EXPECT_EQ(item.pageCount(), 1); // still the blank page it started with
    EXPECT_EQ(item.pageBytes(), 0);
}

// The command line and the service count the text limit as the text editor
// does: a line break, however written, is the two characters CR LF.
TEST(ItemEdit, TheTextLimitCountsALineBreakAsTwo)
{
    const QString at = QString(TextItem::kMaxTextChars - 2, u'x');
    const struct {
        QString text;
        bool taken;
    } cases[] = {
        {at + QStringLiteral("\r\n"), true},  {at + QStringLiteral("\n"), true},
        {at + QStringLiteral("\r"), true},    {at + QStringLiteral("x\n"), false},
        {at + QStringLiteral("\n\r\n"), false}, {at + QStringLiteral("xx"), true},
    };
    for (const auto &c : cases) {
        PlayList list;
        list.setBuildsPages(false);
        TextItem item(&list);
        QString error;
        EXPECT_EQ(ProgramFields::assign(item, QStringLiteral("content"), c.text, {}, &error),
                  c.taken)
            << c.text.size();
        EXPECT_EQ(error.isEmpty(), c.taken) << error.toStdString();
    }
}

// A file may claim any number of long texts on the tallest screen; the
// pages of all items together stop at the budget, and the item that would
// pass it is named instead of the machine running out of memory.
TEST(PageBudget, RefusesTheItemThatWouldPassItAndNamesIt)
{
    PlayList project;
    project.setPageBudgetBytes(qint64(4) << 20); // 4 MiB: 128 pages of 256 x 32
    const int perItem = 40;                      // lines, one fitted page each
    for (int i = 0; i < 6; ++i) {
        auto item = std::make_unique<TextItem>(&project);
        item->setAction(1);
        QString text;
        for (int line = 0; line < perItem; ++line)
            text += QStringLiteral("第%1条第%2行\r\n").arg(i).arg(line);
        item->setContent(text);
        project.appendItem(std::move(item));
    }
    EXPECT_FALSE(project.rebuildAllPages());
    EXPECT_LE(project.pageBytes(), project.pageBudgetBytes());
    const ProgramItem *refused = project.pageBudgetRefusal();
    ASSERT_NE(refused, nullptr);
    // Items of n pages each: the first 128 / n fit, the next one does not.
    const int pages = project.itemAt(0)->pageCount();
    ASSERT_GT(pages, 10);
    EXPECT_EQ(project.indexOf(refused), 128 / pages);
    EXPECT_EQ(refused->pageCount(), 1);
    EXPECT_TRUE(project.pageBudgetText().contains(refused->displayName()));
    EXPECT_TRUE(project.pageBudgetText().contains(QStringLiteral("4 MB")));

    // One item at a time (render): the same pages and the same refusal,
    // with no more than one item's pages held at any moment.
    std::vector<int> counts;
    int refusedAt = -1;
    const bool allVisited = project.visitItemPages([&](int i, ProgramItem &item) {
        EXPECT_EQ(project.pageBytes(&item), 0) << "program " << i + 1;
        if (item.pagesRefused())
            refusedAt = i;
        counts.push_back(item.pageCount());
        return !item.pagesRefused();
    });
    EXPECT_FALSE(allVisited);
    EXPECT_EQ(refusedAt, 128 / pages);
    std::vector<int> expected(size_t(std::max(refusedAt, 0)), pages);
    expected.push_back(1); // the refused item's blank page
    EXPECT_EQ(counts, expected);

    // Fewer items fit again: nothing that fits is touched by the budget.
    while (project.itemCount() > 2)
        project.removeItemAt(project.itemCount() - 1);
    EXPECT_TRUE(project.rebuildAllPages());
    EXPECT_EQ(project.pageBudgetRefusal(), nullptr);
    EXPECT_TRUE(project.pageBudgetText().isEmpty());
    EXPECT_GT(project.itemAt(1)->pageCount(), 1);
}
