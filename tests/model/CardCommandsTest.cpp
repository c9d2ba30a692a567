// The card session's controller commands against the virtual card: opening
// the port, the composed error texts, and what each command leaves behind.
#include "base/LocalClock.h"
#include "common/RecordingUserInterface.h"
#include "link/ControllerLink.h"
#include "link/PortNaming.h"
#include "common/OutcomePrinting.h"
#include "model/CardSession.h"
#include "model/PlayList.h"
#include "sim/VirtualCard.h"

#include <QDateTime>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QString kNoPort = QStringLiteral("无法建立连接，请先查找屏。");
const QString kOpenError = QStringLiteral("打开串口时发生错误，");

CardFault refuse(int status, int command)
{
    CardFault f;
    f.kind = CardFault::Kind::Status;
    f.value = status;
    f.command = command;
    f.count = 1;
    return f;
}

class CardCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(card.start()) << card.errorString().toStdString();
        PortNaming::setExplicitDevices({card.devicePath()});
        session.shareRecordsWith(list);
        session.setPort(1);
    }
    void TearDown() override
    {
        setLocalNowSource({});
        PortNaming::setExplicitDevices({});
        card.stop();
    }

    RecordingUserInterface ui;
    VirtualCard card;
    PlayList list;
    CardSession session;
};

TEST_F(CardCommandsTest, OpenComposesTheReasonWithAHint)
{
    const QString missingHint = QStringLiteral(
        "\n\n您可通过‘查屏’功能查找串口号。注意，如果您使用的是USB->RS232的转换器，\n"
        "请确定转换器已经插入电脑的USB口，并且已经正确的安装了驱动程序。");

    // A device that is not there.
    PortNaming::setExplicitDevices({QStringLiteral("/dev/brivane-no-such-tty")});
    const Outcome missing = session.open(1);
    EXPECT_EQ(missing.code(), OutcomeCode::PortNotFound);
    EXPECT_EQ(missing.text(), kOpenError + QStringLiteral("指定的串口不存在。") + missingHint);

    // A device someone else holds (on Windows the card's line is a TCP port,
    // which no other program can hold).
    PortNaming::setExplicitDevices({card.devicePath()});
#ifndef Q_OS_WIN
    ASSERT_TRUE(card.holdDevice(true));
    const Outcome denied = session.open(1);
    EXPECT_EQ(denied.code(), OutcomeCode::PortAccessDenied);
    const QString held = denied.text();
    EXPECT_TRUE(held.startsWith(kOpenError +
                                QStringLiteral("对指定串口的访问被拒绝，可能已经被别的程序打开。")))
        << held.toStdString();
    EXPECT_TRUE(held.endsWith(QStringLiteral("\n\n请先关闭其他占用该串口的程序。")));
    card.holdDevice(false);
#endif

    // Success leaves the port closed between exchanges from then on.
    EXPECT_EQ(session.open(1), kOk);
    EXPECT_FALSE(session.link().keepOpen());
    EXPECT_EQ(session.link().timeoutMs(), 900);
    EXPECT_EQ(session.link().baudRate(), 57600);
    EXPECT_EQ(session.link().chunkSize(), 512);
}

TEST_F(CardCommandsTest, WithoutAPortEveryConnectingCommandAsksForASearch)
{
    session.setPort(0);
    const std::function<Outcome()> commands[] = {
        [&] { return session.clearScreen(); },
        [&] { return session.restoreFactorySettings(); },
        [&] { return session.setClock(); },
        [&] { return session.writeScreenParams(); },
    };
    for (const auto &command : commands) {
        const Outcome refused = command();
        EXPECT_EQ(refused.code(), OutcomeCode::NoPort);
        EXPECT_EQ(refused.text(), kNoPort);
        EXPECT_EQ(refused.userText(), QStringLiteral("命令执行失败：") + kNoPort);
    }
    EXPECT_EQ(session.link().port(), 0);
    EXPECT_EQ(card.requestCount(), 0);
}

TEST_F(CardCommandsTest, ConnectingCommandsReachTheCardAndReportItsRefusal)
{
    setLocalNowSource([] { return QDateTime(QDate(2099, 12, 31), QTime(23, 59, 58)); });
    session.screenParams().setWidthCode(16);
    session.screenParams().setHeightCode(2);

    const struct {
        const char *name;
        int command;
        std::function<Outcome()> run;
        std::function<void()> check;
    } cases[] = {
        {"clear", 0x06, [&] { return session.clearScreen(); },
         [&] { EXPECT_EQ(card.clearCount(), 1); }},
        {"factory settings", 0x33, [&] { return session.restoreFactorySettings(); },
         [&] { EXPECT_EQ(card.factoryResetCount(), 1); }},
        {"clock", 0x21, [&] { return session.setClock(); },
         [&] { EXPECT_EQ(card.clockBytes().toHex(), QByteArray("9912312359580401")); }},
        {"screen parameters", 0x23, [&] { return session.writeScreenParams(); },
         [&] { EXPECT_EQ(card.screenParams(), session.screenParams()); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.run(), kOk);
        c.check();
        EXPECT_FALSE(session.link().isOpen());

        card.addFault(refuse(6, c.command));
        const Outcome refused = c.run();
        EXPECT_EQ(refused.code(), OutcomeCode::CardRefused);
        EXPECT_EQ(refused.text(), QStringLiteral("命令执行失败。"));
    }
}

TEST_F(CardCommandsTest, DialogCommandsUseThePortOfTheLastOpen)
{
    ASSERT_EQ(session.open(1), kOk);

    EXPECT_EQ(session.setScreenPower(false), kOk);
    EXPECT_FALSE(card.screenOn());
    card.addFault(refuse(4, 0x20));
    EXPECT_EQ(session.setScreenPower(true).text(),
              QStringLiteral("参数错误，请勿超出最大范围。"));

    int level = -1;
    EXPECT_EQ(session.setBrightness(3), kOk);
    EXPECT_EQ(session.readBrightness(&level), kOk);
    EXPECT_EQ(level, 3);
    card.addFault(refuse(6, 0x10));
    EXPECT_EQ(session.setBrightness(5).code(), OutcomeCode::CardRefused);

    ScreenParams cards;
    cards.setWidthCode(8);
    cards.bytes[ScreenParams::ScanMode] = 0x41;
    card.setScreenParams(cards);
    EXPECT_EQ(session.readScreenParams(), kOk);
    EXPECT_EQ(list.screenParams(), cards);
    EXPECT_EQ(list.screenWidth(), 64);

    // Failures keep what the list had.
    card.addFault(refuse(6, 0x24));
    card.setScreenParams(ScreenParams{});
    EXPECT_EQ(session.readScreenParams().code(), OutcomeCode::CardRefused);
    EXPECT_EQ(list.screenParams(), cards);
    card.addFault(refuse(6, 0x13));
    EXPECT_EQ(session.readBrightness(&level).code(), OutcomeCode::CardRefused);

    // No card at all.
    card.stop();
    EXPECT_FALSE(session.readBrightness(&level));
    const Outcome gone = session.setScreenPower(true);
    // On Windows the card's line is a TCP port: nothing listens there any more.
#ifdef Q_OS_WIN
    EXPECT_EQ(gone.text(), QStringLiteral("网络转换器拒绝连接，请检查地址和端口是否正确。"));
#else
    EXPECT_EQ(gone.text(), QStringLiteral("指定的串口不存在。"));
#endif
}

} // namespace
