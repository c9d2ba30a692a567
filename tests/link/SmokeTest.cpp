#include "LinkTestSupport.h"
#include "link/ControllerInfo.h"

TEST_F(CardLinkTest, Smoke)
{
    ASSERT_TRUE(configure());
    ControllerInfo info;
    ASSERT_TRUE(link.queryControllerInfo(info)) << link.errorText().toStdString();
    EXPECT_EQ(info.series, 15);
    EXPECT_TRUE(link.clearScreen());
    EXPECT_EQ(card.clearCount(), 1);
}
