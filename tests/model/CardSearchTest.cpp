// The card search over ports 1 to 20 and the identification checks, with
// the virtual card behind one of the ports.

#include "SendCardFixture.h"

namespace {

using Kind = RecordingHost::Kind;
using Statuses = std::vector<std::pair<int, QString>>;

const QString kSearching = QStringLiteral("正在查找...");
const QString kNotFound = QStringLiteral("没有找到控制卡，请检查硬件连接后单击‘查屏’按钮。");

class CardSearchTest : public SendCardFixture {
protected:
    void TearDown() override
    {
        qunsetenv("BRIVANE_PORTS");
        SendCardFixture::TearDown();
    }
};

TEST_F(CardSearchTest, FindsTheCardBehindTwoMissingDevices)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "hangs under Wine opening a missing /dev device path as a serial port";
#else
    useCard(0x23, 15, 2, 2, 7, 16, 2, 2);
    PortNaming::setExplicitDevices({});
    qputenv("BRIVANE_PORTS", QStringLiteral("/nonexistent/tty-a,/nonexistent/tty-b,%1")
                                 .arg(card.devicePath())
                                 .toLocal8Bit());
    EXPECT_EQ(session.search(host), kOk);

    EXPECT_EQ(host.statuses(),
              (Statuses{{10, kSearching},
                        {20, kSearching},
                        {30, kSearching},
                        {200, QStringLiteral("在COM3找到控制卡：QM-A， 固件版本：2.2.7。")}}));
    EXPECT_EQ(session.port(), 3);
    EXPECT_EQ(list.controllerInfo(), card.identity());
    // The card's screen parameters replace the list's.
    EXPECT_EQ(list.screenWidth(), 128);
    EXPECT_EQ(list.screenHeight(), 16);
    EXPECT_EQ(list.screenParams().colourType(), 2);
    EXPECT_EQ(host.waits(Kind::WaitPumping), (std::vector<int>{20, 20}));
    EXPECT_EQ(host.waits(Kind::Sleep), (std::vector<int>{50, 50}));
    ASSERT_EQ(host.count(Kind::Buttons), 2);
    EXPECT_EQ(host.events.front().kind, Kind::Buttons);
    EXPECT_FALSE(host.events.front().ok);
    EXPECT_TRUE(host.events.front().cancel);
    EXPECT_EQ(host.lastButtons(), std::make_pair(true, false));
#endif
}

TEST_F(CardSearchTest, NoCardStepsThroughTwentyPortsAndForgetsThePort)
{
    PortNaming::setExplicitDevices({QStringLiteral("/nonexistent/tty-a")});
    ControllerInfo previous;
    previous.modelCode = 0x33;
    previous.series = 15;
    previous.firmwareMajor = 3;
    list.controllerInfo() = previous;
    session.setPort(4);
    const Outcome found = session.search(host);

    Statuses expected;
    for (int position = 10; position <= 200; position += 10)
        expected.push_back({position, kSearching});
    expected.push_back({200, kNotFound});
    EXPECT_EQ(host.statuses(), expected);
    EXPECT_EQ(host.waits(Kind::WaitPumping), std::vector<int>(20, 20));
    EXPECT_EQ(found.code(), OutcomeCode::NoCardFound);
    EXPECT_EQ(found.text(), kNotFound);
    EXPECT_EQ(session.port(), 0);
    EXPECT_EQ(session.clearScreen().text(), QStringLiteral("无法建立连接，请先查找屏。"));
    // A failed scan keeps the previous card's identification.
    EXPECT_EQ(list.controllerInfo(), previous);
    EXPECT_EQ(host.lastButtons(), std::make_pair(true, false));
}

TEST_F(CardSearchTest, UnsupportedCardIsFoundAndNamed)
{
    useCard(0x2A, 3, 1, 5, 12, 32, 4, 1);
    const Outcome found = session.search(host);
    EXPECT_EQ(
        host.lastStatus(),
        std::make_pair(200, QStringLiteral("在COM1找到控制卡：QM2A-03， 固件版本：1.5.12。")));
    EXPECT_EQ(found.code(), OutcomeCode::Unsupported);
    EXPECT_EQ(found.text(), QStringLiteral("本软件不支持当前所连接的卡！"));
    // The port and the card's identity stay for the front end to let go.
    EXPECT_EQ(session.port(), 1);
    EXPECT_EQ(list.controllerInfo(), card.identity());
}

TEST_F(CardSearchTest, ScreenParamsAreReadAgainWhenTheFirstReadFails)
{
    useCard(0x23, 15, 2, 2, 7, 16, 2, 2);
    CardFault refuse;
    refuse.kind = CardFault::Kind::Status;
    refuse.command = 0x24;
    refuse.count = 1;
    refuse.value = 6;
    card.addFault(refuse);
    EXPECT_EQ(session.search(host), kOk);
    EXPECT_EQ(requestsOf(0x24).size(), 2u);
    EXPECT_EQ(host.waits(Kind::WaitPumping), std::vector<int>{50});
    EXPECT_EQ(list.screenWidth(), 128);
}

TEST_F(CardSearchTest, CheckBeforeSend)
{
    struct Case {
        const char *name;
        int model, series;
        int refusedQueries; // 0x35 answered with status 6 this many times
        OutcomeCode result;
        int queries;
        QString text;
    };
    const std::vector<Case> cases = {
        {"supported", 0x23, 15, 0, OutcomeCode::Ok, 1, {}},
        {"second attempt", 0x20, 3, 1, OutcomeCode::Ok, 2, {}},
        {"no answer", 0x23, 15, 2, OutcomeCode::CardRefused, 2, QStringLiteral("命令执行失败。")},
        {"unsupported", 0x41, 15, 0, OutcomeCode::Unsupported, 1,
         QStringLiteral("本软件不支持当前所连接的卡！")},
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
        const Outcome checked = session.checkBeforeSend();
        EXPECT_EQ(checked.code(), c.result);
        EXPECT_EQ(checked.text(), c.text);
        EXPECT_EQ(int(requestsOf(0x35).size()), c.queries);
    }

    // A missing device names the reason, not an old text.
    PortNaming::setExplicitDevices({QStringLiteral("/nonexistent/tty-a")});
    const Outcome missing = session.checkBeforeSend();
#ifndef Q_OS_WIN // Wine answers a path that names no COM port with a general failure
    EXPECT_EQ(missing.code(), OutcomeCode::PortNotFound);
#endif
    EXPECT_TRUE(missing.text().startsWith(QStringLiteral("打开串口时发生错误，")));
}

} // namespace
