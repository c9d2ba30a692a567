#include "model/PictureItem.h"
#include "model/Project.h"
#include "model/TextItem.h"

#include <gtest/gtest.h>

TEST(ProgramItem, NewTextItemDefaults)
{
    Project project;
    TextItem item(&project);
    EXPECT_EQ(item.kindLabel(), QStringLiteral("文本"));
    EXPECT_EQ(item.speedLabel(), QStringLiteral("14"));
    EXPECT_EQ(item.action(), 13);
    EXPECT_EQ(item.level(), 2);
    EXPECT_EQ(item.flashDelay(), 2);
    ASSERT_EQ(item.pageCount(), 1);
    EXPECT_EQ(item.pageAt(0)->width(), 256);
    EXPECT_EQ(item.pageAt(0)->height(), 32);
}
