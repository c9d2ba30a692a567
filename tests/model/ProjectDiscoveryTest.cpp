// The card search over ports 1 to 20 and the identification checks, with
// the virtual card behind one of the ports.

#include "SendCardFixture.h"

namespace {

using Kind = RecordingHost::Kind;
using Statuses = std::vector<std::pair<int, QString>>;

const QString kSearching = QStringLiteral("正在查找...");
const QString kNotFound = QStringLiteral("没有找到控制卡，请检查硬件连接后单击‘查屏’按钮。");

class ProjectDiscoveryTest : public SendCardFixture {
protected:
    void TearDown() override
    {
        qunsetenv("BRIVANE_PORTS");
        SendCardFixture::TearDown();
    }
};

TEST_F(ProjectDiscoveryTest, FindsTheCardBehindTwoMissingDevices)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "hangs under Wine opening a missing /dev device path as a serial port";
#else
    useCard(0x23, 15, 2, 2, 7, 16, 2, 2);
    PortNaming::setExplicitDevices({});
    qputenv("BRIVANE_PORTS", QStringLiteral("/nonexistent/tty-a,/nonexistent/tty-b,%1")
                                 .arg(card.devicePath())
                                 .toLocal8Bit());
    project.findController(host);

    EXPECT_EQ(host.statuses(),
              (Statuses{{10, kSearching},
                        {20, kSearching},
                        {30, kSearching},
                        {200, QStringLiteral("在COM3找到控制卡：QM-A， 固件版本：2.2.7。")}}));
    EXPECT_EQ(project.rememberedPort(), 3);
    EXPECT_EQ(project.controllerInfo(), card.identity());
    // The card's screen parameters replace the project's.
    EXPECT_EQ(project.screenWidth(), 128);
    EXPECT_EQ(project.screenHeight(), 16);
    EXPECT_EQ(project.screenParams().colourType(), 2);
    EXPECT_EQ(host.waits(Kind::WaitPumping), (std::vector<int>{20, 20}));
    EXPECT_EQ(host.waits(Kind::Sleep), (std::vector<int>{50, 50}));
    ASSERT_EQ(host.count(Kind::Buttons), 2);
    EXPECT_EQ(host.events.front().kind, Kind::Buttons);
    EXPECT_FALSE(host.events.front().ok);
    EXPECT_TRUE(host.events.front().cancel);
    EXPECT_EQ(host.lastButtons(), std::make_pair(true, false));
    EXPECT_TRUE(project.acceptFoundController());
    EXPECT_EQ(project.rememberedPort(), 3);
#endif
}

TEST_F(ProjectDiscoveryTest, NoCardStepsThroughTwentyPortsAndForgetsThePort)
{
    PortNaming::setExplicitDevices({QStringLiteral("/nonexistent/tty-a")});
    ControllerInfo previous;
    previous.modelCode = 0x33;
    previous.series = 15;
    previous.firmwareMajor = 3;
    project.controllerInfo() = previous;
    project.setRememberedPort(4);
    project.findController(host);

    Statuses expected;
    for (int position = 10; position <= 200; position += 10)
        expected.push_back({position, kSearching});
    expected.push_back({200, kNotFound});
    EXPECT_EQ(host.statuses(), expected);
    EXPECT_EQ(host.waits(Kind::WaitPumping), std::vector<int>(20, 20));
    EXPECT_EQ(project.rememberedPort(), 0);
    EXPECT_EQ(project.lastErrorText(), QStringLiteral("无法建立连接，请先查找屏。"));
    // A failed scan keeps the previous card's identification.
    EXPECT_EQ(project.controllerInfo(), previous);
    EXPECT_EQ(host.lastButtons(), std::make_pair(true, false));
}

TEST_F(ProjectDiscoveryTest, UnsupportedCardIsFoundThenRejected)
{
    useCard(0x2A, 3, 1, 5, 12, 32, 4, 1);
    project.findController(host);
    EXPECT_EQ(
        host.lastStatus(),
        std::make_pair(200, QStringLiteral("在COM1找到控制卡：QM2A-03， 固件版本：1.5.12。")));
    EXPECT_EQ(project.rememberedPort(), 1);
    EXPECT_FALSE(project.acceptFoundController());
    EXPECT_EQ(project.rememberedPort(), 0);
    EXPECT_EQ(Project::unsupportedCardText(), QStringLiteral("本软件不支持当前所连接的卡！"));
    // The send command then fails on port 0.
    EXPECT_EQ(project.checkBeforeSend(), Project::CardCheck::NoAnswer);
    EXPECT_EQ(project.lastErrorText(), QStringLiteral("无法建立连接，请先查找屏。"));
}

TEST_F(ProjectDiscoveryTest, ScreenParamsAreReadAgainWhenTheFirstReadFails)
{
    useCard(0x23, 15, 2, 2, 7, 16, 2, 2);
    CardFault refuse;
    refuse.kind = CardFault::Kind::Status;
    refuse.command = 0x24;
    refuse.count = 1;
    refuse.value = 6;
    card.addFault(refuse);
    project.findController(host);
    EXPECT_EQ(requestsOf(0x24).size(), 2u);
    EXPECT_EQ(host.waits(Kind::WaitPumping), std::vector<int>{50});
    EXPECT_EQ(project.screenWidth(), 128);
}

TEST_F(ProjectDiscoveryTest, CheckBeforeSend)
{
    struct Case {
        const char *name;
        int model, series;
        int refusedQueries; // 0x35 answered with status 6 this many times
        Project::CardCheck result;
        int queries;
    };
    const std::vector<Case> cases = {
        {"supported", 0x23, 15, 0, Project::CardCheck::Ready, 1},
        {"second attempt", 0x20, 3, 1, Project::CardCheck::Ready, 2},
        {"no answer", 0x23, 15, 2, Project::CardCheck::NoAnswer, 2},
        {"unsupported", 0x41, 15, 0, Project::CardCheck::Unsupported, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        useCard(c.model, c.series, 2, 2, 7, 32, 4, 1);
        card.clearFaults();
        card.clearLog();
        if (c.refusedQueries > 0) {
            CardFault refuse;
            refuse.kind = CardFault::Kind::Status;
            refuse.command = 0x35;
            refuse.count = c.refusedQueries;
            refuse.value = 6;
            card.addFault(refuse);
        }
        project.setLastErrorText({});
        EXPECT_EQ(project.checkBeforeSend(), c.result);
        EXPECT_EQ(int(requestsOf(0x35).size()), c.queries);
        if (c.result == Project::CardCheck::NoAnswer) {
            EXPECT_EQ(project.lastErrorText(), QStringLiteral("命令执行失败。"));
        }
    }

    // A missing device names the reason, not an old text.
    PortNaming::setExplicitDevices({QStringLiteral("/nonexistent/tty-a")});
    project.setLastErrorText(QStringLiteral("旧的错误"));
    EXPECT_EQ(project.checkBeforeSend(), Project::CardCheck::NoAnswer);
    EXPECT_TRUE(project.lastErrorText().startsWith(QStringLiteral("打开串口时发生错误，")));
}

} // namespace
