#include "model/PlayList.h"
#include "model/PictureItem.h"
#include "model/TextItem.h"

#include <gtest/gtest.h>

namespace {

// A list whose items have the contents "0", "1", ... in list order.
void fill(PlayList &p, int count)
{
    for (int i = 0; i < count; ++i) {
        auto item = std::make_unique<PictureItem>(&p);
        item->setContent(QString::number(i));
        p.appendItem(std::move(item));
    }
}

QString order(const PlayList &p)
{
    QString s;
    for (int i = 0; i < p.itemCount(); ++i)
        s += p.itemAt(i)->content();
    return s;
}

} // namespace

TEST(PlayList, SwapAndMoveRefuseEntriesOutsideTheList)
{
    const struct {
        const char *op;
        int a, b;
        bool done;
        const char *after;
    } cases[] = {
        {"swap", 0, 2, true, "210"},   {"swap", 1, 2, true, "021"},  {"swap", 2, 1, true, "021"},
        {"swap", 1, 0, false, "012"},  {"swap", 0, 3, false, "012"}, {"swap", -1, 1, false, "012"},
        {"swap", 3, 1, false, "012"},  {"swap", 1, 1, true, "012"},  {"up", 0, 0, false, "012"},
        {"up", 1, 0, true, "102"},     {"up", 2, 0, true, "021"},    {"up", 3, 0, false, "012"},
        {"down", 2, 0, false, "012"},  {"down", 0, 0, true, "102"},  {"down", 1, 0, true, "021"},
        {"down", -1, 0, false, "012"},
    };
    for (const auto &c : cases) {
        PlayList p;
        fill(p, 3);
        bool done = false;
        if (QLatin1String(c.op) == QLatin1String("swap"))
            done = p.swapItems(c.a, c.b);
        else if (QLatin1String(c.op) == QLatin1String("up"))
            done = p.moveItemUp(c.a);
        else
            done = p.moveItemDown(c.a);
        EXPECT_EQ(done, c.done) << c.op << " " << c.a << " " << c.b;
        EXPECT_EQ(order(p), QString::fromLatin1(c.after)) << c.op << " " << c.a << " " << c.b;
    }
}

TEST(PlayList, RemovingHandsTheItemBackAndClosesTheGap)
{
    PlayList p;
    fill(p, 3);
    EXPECT_EQ(p.itemAt(3), nullptr);
    EXPECT_EQ(p.itemAt(-1), nullptr);
    EXPECT_EQ(p.removeItemAt(3), nullptr);
    ProgramItem *middle = p.itemAt(1);
    std::unique_ptr<ProgramItem> removed = p.removeItemAt(1);
    EXPECT_EQ(removed.get(), middle);
    EXPECT_EQ(order(p), QStringLiteral("02"));
    EXPECT_EQ(p.indexOf(middle), -1);
    EXPECT_EQ(p.indexOf(p.itemAt(1)), 1);
}

TEST(PlayList, RebuildingGivesPagesOfTheNewScreenSize)
{
    PlayList p;
    fill(p, 2);
    p.screenParams().setWidthCode(8);
    p.screenParams().setHeightCode(2);
    p.rebuildAllPages();
    for (int i = 0; i < p.itemCount(); ++i) {
        ASSERT_GE(p.itemAt(i)->pageCount(), 1);
        EXPECT_EQ(p.itemAt(i)->pageAt(0)->width(), 64);
        EXPECT_EQ(p.itemAt(i)->pageAt(0)->height(), 16);
    }
}
