// The card session's outcomes against the virtual card: every fault the
// card, the line or the port can produce, with the code and the text every
// front end shows for it.
#include "common/RecordingHost.h"
#include "link/PortNaming.h"
#include "model/CardSession.h"
#include "model/PlayList.h"
#include "model/TextItem.h"
#include "sim/VirtualCard.h"

#include <gtest/gtest.h>

namespace {

using Kind = CardFault::Kind;

CardFault fault(Kind kind, int value = 0, int command = -1)
{
    CardFault f;
    f.kind = kind;
    f.value = value;
    f.command = command;
    f.count = 1;
    return f;
}

class CardSessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(card.start()) << card.errorString().toStdString();
        PortNaming::setExplicitDevices({card.devicePath()});
    }
    void TearDown() override
    {
        PortNaming::setExplicitDevices({});
        card.stop();
    }

    VirtualCard card;
};

TEST_F(CardSessionTest, EveryFaultHasItsCodeAndText)
{
    const QString failed = QStringLiteral("命令执行失败：");
    const struct {
        const char *name;
        std::function<void(VirtualCard &)> arrange;
        std::function<Outcome(CardSession &)> act;
        OutcomeCode code;
        int detail;
        QString text; // what userText() starts with
    } cases[] = {
        {"success", {}, [](CardSession &s) { return s.clearScreen(); }, OutcomeCode::Ok, 0,
         QStringLiteral("命令执行成功！")},
        {"no port known", {},
         [](CardSession &s) {
             s.setPort(0);
             return s.clearScreen();
         },
         OutcomeCode::NoPort, 0, failed + QStringLiteral("无法建立连接，请先查找屏。")},
        {"missing device",
         [](VirtualCard &) {
             PortNaming::setExplicitDevices({QStringLiteral("/dev/brivane-no-such-tty")});
         },
         [](CardSession &s) { return s.attach(1); }, OutcomeCode::PortNotFound, 2,
         failed + QStringLiteral("打开串口时发生错误，指定的串口不存在。")},
        // The card's status 2 and 5 are not the port's "not found" and
        // "access denied".
        {"card status 2", [](VirtualCard &c) { c.addFault(fault(Kind::Status, 2, 0x06)); },
         [](CardSession &s) { return s.clearScreen(); }, OutcomeCode::CardRefused, 2,
         failed + QStringLiteral("命令无法识别。")},
        {"card status 5", [](VirtualCard &c) { c.addFault(fault(Kind::Status, 5, 0x10)); },
         [](CardSession &s) { return s.setBrightness(3); }, OutcomeCode::CardRefused, 5,
         failed + QStringLiteral("数据包结构错误。")},
        {"silence", [](VirtualCard &c) { c.addFault(fault(Kind::Silence, 0, 0x13)); },
         [](CardSession &s) {
             int level = 0;
             return s.readBrightness(&level);
         },
         OutcomeCode::NoReply, 0, failed + QStringLiteral("通讯超时。")},
        {"wrong checksum", [](VirtualCard &c) { c.addFault(fault(Kind::BadChecksum, 0, 0x24)); },
         [](CardSession &s) { return s.readScreenParams(); }, OutcomeCode::NoReply, 0,
         failed + QStringLiteral("终端返回的结果校验码错误。")},
        {"unsupported card", [](VirtualCard &c) { c.setIdentity({0x41, 15, 2, 2, 7}); },
         [](CardSession &s) { return s.attach(1); }, OutcomeCode::Unsupported, 0,
         QStringLiteral("本软件不支持当前所连接的卡！")},
        {"model code 0 is taken by attach", [](VirtualCard &c) { c.setIdentity({0, 15, 2, 2, 7}); },
         [](CardSession &s) { return s.attach(1); }, OutcomeCode::Ok, 0,
         QStringLiteral("命令执行成功！")},
        {"but not by the check before a send",
         [](VirtualCard &c) { c.setIdentity({0, 15, 2, 2, 7}); },
         [](CardSession &s) { return s.checkBeforeSend(); }, OutcomeCode::Unsupported, 0,
         QStringLiteral("本软件不支持当前所连接的卡！")},
        {"no card on any port",
         [](VirtualCard &) {
             PortNaming::setExplicitDevices({QStringLiteral("/dev/brivane-no-such-tty")});
         },
         [](CardSession &s) {
             RecordingHost host;
             return s.search(host);
         },
         OutcomeCode::NoCardFound, 0,
         QStringLiteral("没有找到控制卡，请检查硬件连接后单击‘查屏’按钮。")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        PortNaming::setExplicitDevices({card.devicePath()});
        card.setIdentity({0x23, 15, 2, 2, 7});
        if (c.arrange)
            c.arrange(card);
        CardSession session;
        session.setPort(1);
        const Outcome outcome = c.act(session);
        EXPECT_EQ(outcome.codeName(), std::string(Outcome::codeName(c.code)));
        EXPECT_EQ(outcome.detail(), c.detail);
        EXPECT_TRUE(outcome.userText().startsWith(c.text)) << outcome.userText().toStdString();
        ASSERT_TRUE(card.waitForIdle(2000));
    }
}

TEST_F(CardSessionTest, SendChecksTheCardThenSendsTheListForItsScreen)
{
    PlayList list;
    list.appendItem(std::make_unique<TextItem>(&list));
    list.itemAt(0)->setContent(QStringLiteral("甲"));
    ScreenParams screen;
    screen.setWidthCode(8); // 64 pixels
    card.setScreenParams(screen);
    CardSession session;
    session.setPort(1);
    RecordingHost host;
    EXPECT_TRUE(session.send(list, host));
    EXPECT_EQ(list.screenWidth(), 64);
    EXPECT_EQ(session.lastSendReport().sentCount, 1);

    card.setIdentity({0x41, 15, 2, 2, 7});
    const Outcome refused = session.send(list, host);
    EXPECT_EQ(refused.code(), OutcomeCode::Unsupported);
    EXPECT_EQ(session.lastSendReport().end, SendReport::End::Completed); // the earlier one
}

} // namespace
