// The Project's controller commands against the virtual card: connecting,
// the composed error texts, and what each command leaves behind.
#include "base/LocalClock.h"
#include "common/RecordingUserInterface.h"
#include "link/ControllerLink.h"
#include "link/PortNaming.h"
#include "model/Project.h"
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

class ProjectCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(card.start()) << card.errorString().toStdString();
        PortNaming::setExplicitDevices({card.devicePath()});
        project.setRememberedPort(1);
    }
    void TearDown() override
    {
        setLocalNowSource({});
        PortNaming::setExplicitDevices({});
        card.stop();
    }

    RecordingUserInterface ui;
    VirtualCard card;
    Project project;
};

TEST_F(ProjectCommandsTest, ConnectComposesTheReasonWithAHint)
{
    const QString missingHint = QStringLiteral(
        "\n\n您可通过‘查屏’功能查找串口号。注意，如果您使用的是USB->RS232的转换器，\n"
        "请确定转换器已经插入电脑的USB口，并且已经正确的安装了驱动程序。");

    // A device that is not there.
    PortNaming::setExplicitDevices({QStringLiteral("/dev/brivane-no-such-tty")});
    EXPECT_FALSE(project.connect(1, true));
    EXPECT_EQ(project.lastErrorText(),
              kOpenError + QStringLiteral("指定的串口不存在。") + missingHint);

    // A device someone else holds.
    PortNaming::setExplicitDevices({card.devicePath()});
    ASSERT_TRUE(card.holdDevice(true));
    EXPECT_FALSE(project.connect(1, true));
    const QString held = project.lastErrorText();
    EXPECT_TRUE(held.startsWith(kOpenError +
                                QStringLiteral("对指定串口的访问被拒绝，可能已经被别的程序打开。")))
        << held.toStdString();
    EXPECT_TRUE(held.endsWith(QStringLiteral("\n\n请先关闭其他占用该串口的程序。")));

    // Without showing errors the last text stays as it was.
    project.setLastErrorText(QStringLiteral("earlier"));
    EXPECT_FALSE(project.connect(1, false));
    EXPECT_EQ(project.lastErrorText(), QStringLiteral("earlier"));
    card.holdDevice(false);

    // Success leaves the port closed between exchanges from then on.
    EXPECT_TRUE(project.connect(1, true));
    EXPECT_FALSE(project.link().keepOpen());
    EXPECT_EQ(project.lastErrorText(), QStringLiteral("earlier"));
    EXPECT_EQ(project.link().timeoutMs(), 900);
    EXPECT_EQ(project.link().baudRate(), 57600);
    EXPECT_EQ(project.link().chunkSize(), 512);
}

TEST_F(ProjectCommandsTest, WithoutAPortEveryConnectingCommandAsksForASearch)
{
    project.setRememberedPort(0);
    const std::function<bool()> commands[] = {
        [&] { return project.clearScreen(); },
        [&] { return project.restoreFactorySettings(); },
        [&] { return project.setClock(); },
        [&] { return project.writeScreenParams(); },
    };
    for (const auto &command : commands) {
        project.setLastErrorText({});
        EXPECT_FALSE(command());
        EXPECT_EQ(project.lastErrorText(), kNoPort);
    }
    EXPECT_EQ(project.link().port(), 0);
    EXPECT_EQ(card.requestCount(), 0);

    EXPECT_EQ(project.session().clearScreen().userText(), QStringLiteral("命令执行失败：") + kNoPort);
}

TEST_F(ProjectCommandsTest, ConnectingCommandsReachTheCardAndReportItsRefusal)
{
    setLocalNowSource([] { return QDateTime(QDate(2099, 12, 31), QTime(23, 59, 58)); });
    project.screenParams().setWidthCode(16);
    project.screenParams().setHeightCode(2);

    const struct {
        const char *name;
        int command;
        std::function<bool()> run;
        std::function<void()> check;
    } cases[] = {
        {"clear", 0x06, [&] { return project.clearScreen(); },
         [&] { EXPECT_EQ(card.clearCount(), 1); }},
        {"factory settings", 0x33, [&] { return project.restoreFactorySettings(); },
         [&] { EXPECT_EQ(card.factoryResetCount(), 1); }},
        {"clock", 0x21, [&] { return project.setClock(); },
         [&] { EXPECT_EQ(card.clockBytes().toHex(), QByteArray("9912312359580401")); }},
        {"screen parameters", 0x23, [&] { return project.writeScreenParams(); },
         [&] { EXPECT_EQ(card.screenParams(), project.screenParams()); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        project.setLastErrorText({});
        EXPECT_TRUE(c.run());
        c.check();
        EXPECT_FALSE(project.link().isOpen());

        card.addFault(refuse(6, c.command));
        EXPECT_FALSE(c.run());
        EXPECT_EQ(project.lastErrorText(), QStringLiteral("命令执行失败。"));
    }
}

TEST_F(ProjectCommandsTest, DialogCommandsUseThePortOfTheLastConnect)
{
    ASSERT_TRUE(project.connect(1, true));

    EXPECT_TRUE(project.setScreenPower(false));
    EXPECT_FALSE(card.screenOn());
    card.addFault(refuse(4, 0x20));
    EXPECT_FALSE(project.setScreenPower(true));
    EXPECT_EQ(project.lastErrorText(), QStringLiteral("参数错误，请勿超出最大范围。"));

    // A failed brightness change leaves the project's text alone.
    project.setLastErrorText({});
    EXPECT_TRUE(project.setBrightness(3));
    EXPECT_EQ(project.readBrightness(), 3);
    card.addFault(refuse(6, 0x10));
    EXPECT_FALSE(project.setBrightness(5));
    EXPECT_TRUE(project.lastErrorText().isEmpty());

    ScreenParams cards;
    cards.setWidthCode(8);
    cards.bytes[ScreenParams::ScanMode] = 0x41;
    card.setScreenParams(cards);
    EXPECT_TRUE(project.readScreenParams());
    EXPECT_EQ(project.screenParams(), cards);
    EXPECT_EQ(project.screenWidth(), 64);

    // Failures keep what the project had.
    card.addFault(refuse(6, 0x24));
    card.setScreenParams(ScreenParams{});
    EXPECT_FALSE(project.readScreenParams());
    EXPECT_EQ(project.screenParams(), cards);
    card.addFault(refuse(6, 0x13));
    EXPECT_EQ(project.readBrightness(), -1);

    // No card at all.
    card.stop();
    EXPECT_EQ(project.readBrightness(), -1);
    EXPECT_FALSE(project.setScreenPower(true));
    EXPECT_EQ(project.lastErrorText(), QStringLiteral("指定的串口不存在。"));
}

} // namespace
