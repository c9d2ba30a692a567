#include "model/ValueTables.h"

#include <gtest/gtest.h>

using namespace ValueTables;

TEST(ValueTables, ListsAndTheirStoredValues)
{
    EXPECT_EQ(actionNames().size(), 18);
    EXPECT_EQ(actionName(1), QStringLiteral("立刻显示"));
    EXPECT_EQ(actionName(18), QStringLiteral("下雨"));
    EXPECT_EQ(actionName(0), QString());
    EXPECT_EQ(actionName(19), QString());

    EXPECT_EQ(speedNames().size(), 16);
    EXPECT_EQ(speedNames().front(), QStringLiteral("0(慢)"));
    EXPECT_EQ(speedNames().at(14), QStringLiteral("14"));
    EXPECT_EQ(speedNames().back(), QStringLiteral("15(快)"));

    EXPECT_EQ(levelNames().size(), 15);
    EXPECT_EQ(levelNames().front(), QStringLiteral("1(快)"));
    EXPECT_EQ(levelNames().at(1), QStringLiteral("2"));
    EXPECT_EQ(levelNames().back(), QStringLiteral("15(慢)"));

    EXPECT_EQ(clockNames(), (QStringList{QStringLiteral("关闭"), QStringLiteral("表盘"),
                                         QStringLiteral("文字")}));
    EXPECT_EQ(flashNames(), (QStringList{QStringLiteral("无"), QStringLiteral("亮灭闪"),
                                         QStringLiteral("反白闪")}));
}

TEST(ValueTables, RunningBorderCodes)
{
    const struct {
        int frame;
        const char16_t *name;
        int code;
    } cases[] = {
        {0, u"无", 0x00},       {1, u"单点快走", 0x10},
        {2, u"单点慢走", 0x50}, {3, u"四点快走", 0x30},
        {4, u"四点慢走", 0x70}, {5, u"八点快闪", 0x20},
        {6, u"八点慢闪", 0x40}, {7, u"全快闪", 0x60},
        {8, u"全慢闪", 0x80},   {9, u"", 0},
        {-1, u"", 0},
    };
    EXPECT_EQ(frameNames().size(), 9);
    for (const auto &c : cases) {
        EXPECT_EQ(frameName(c.frame), QString::fromUtf16(c.name)) << c.frame;
        EXPECT_EQ(frameBorderCode(c.frame), c.code) << c.frame;
    }
}
