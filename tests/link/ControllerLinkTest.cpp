// The link against the virtual card over a real pseudo-terminal: every
// failure the card or the line can produce, with its code and text.
#include "LinkTestSupport.h"
#include "link/ControllerInfo.h"
#include "link/ScreenParams.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QThread>

namespace {
using Kind = CardFault::Kind;

CardFault fault(Kind kind, int value = 0, int command = -1, int count = 1)
{
    CardFault f;
    f.kind = kind;
    f.value = value;
    f.command = command;
    f.count = count;
    return f;
}

std::string text(const ControllerLink &link)
{
    return link.errorText().toStdString();
}
} // namespace

TEST_F(CardLinkTest, CardRepliesBecomeSuccessOrTheirErrorRecord)
{
    ASSERT_TRUE(configure(300));
    const struct {
        const char *name;
        CardFault fault;
        int code;
        const char *text;
    } cases[] = {
        {"status 1", fault(Kind::Status, 1), 1, "数据包校验错误。"},
        {"status 2", fault(Kind::Status, 2), 2, "命令无法识别。"},
        {"status 3", fault(Kind::Status, 3), 3, "不支持的命令。"},
        {"status 4", fault(Kind::Status, 4), 4, "参数错误，请勿超出最大范围。"},
        {"status 5", fault(Kind::Status, 5), 5, "数据包结构错误。"},
        {"status 6", fault(Kind::Status, 6), 6, "命令执行失败。"},
        {"status 0x7F", fault(Kind::Status, 0x7F), 0x7F, "终端返回未知错误。"},
        {"status 0xFF", fault(Kind::Status, 0xFF), 0xFF, "终端返回未知错误。"},
        {"60-byte status-0 reply", fault(Kind::LongReply), 0, "终端返回包长度错误。"},
        {"length field 51", fault(Kind::LengthTooShort), 0, "终端返回包太短！"},
        {"length field 513", fault(Kind::LengthTooLong), 0, "终端返回包太长！"},
        {"wrong end mark", fault(Kind::BadEndMark), 0, "终端返回包标记错误。"},
        {"wrong checksum", fault(Kind::BadChecksum), 0, "终端返回的结果校验码错误。"},
        {"silence", fault(Kind::Silence), 0, "通讯超时。"},
        {"reply after the time-out", fault(Kind::Delay, 450), 0, "通讯超时。"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        card.addFault(c.fault);
        EXPECT_FALSE(link.clearScreen());
        EXPECT_EQ(link.errorCode(), c.code);
        EXPECT_EQ(link.errorText(), QString::fromUtf8(c.text));
        // The next request gets its own, good answer.
        ASSERT_TRUE(card.waitForIdle(2000));
        ControllerInfo info;
        EXPECT_TRUE(link.queryControllerInfo(info)) << text(link);
        EXPECT_EQ(info.modelCode, 0x23);
    }
}

TEST_F(CardLinkTest, OddButGoodRepliesAreAccepted)
{
    ASSERT_TRUE(configure(900));
    card.setBrightness(9);
    const struct {
        const char *name;
        CardFault fault;
    } cases[] = {
        {"noise with stray marks", fault(Kind::Noise)},
        {"noise ending in a start mark",
         [] {
             CardFault f = fault(Kind::Noise);
             f.noise = QByteArray::fromHex("5f50a0afaf");
             return f;
         }()},
        {"slow but in time", fault(Kind::Delay, 200)},
        {"one byte at a time", fault(Kind::Trickle, 3)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        card.addFault(c.fault);
        int level = -1;
        EXPECT_TRUE(link.readBrightness(level)) << text(link);
        EXPECT_EQ(level, 9);
    }
}

TEST_F(CardLinkTest, SilentCardTimesOutAfterTheConfiguredTime)
{
    ASSERT_TRUE(configure(900));
    card.addFault(fault(Kind::Silence));
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(link.clearScreen());
    const qint64 elapsed = timer.elapsed();
    EXPECT_EQ(link.errorText(), QStringLiteral("通讯超时。"));
    EXPECT_EQ(link.errorCode(), 0);
    // Not before the time-out; the upper bound only says it does end (a
    // loaded machine may be slow, a hang is not).
    EXPECT_GE(elapsed, 900);
    EXPECT_LT(elapsed, 30000);
}

TEST_F(CardLinkTest, ALateReplyIsNeverTakenForTheNextAnswer)
{
    ASSERT_TRUE(configure(200));
    // The card refuses the first request, but only after the link gave up.
    CardFault late = fault(Kind::Status, 6, 0x06);
    card.addFault(late);
    card.addFault(fault(Kind::Delay, 300, 0x06));
    EXPECT_FALSE(link.clearScreen());
    EXPECT_EQ(link.errorText(), QStringLiteral("通讯超时。"));
    ASSERT_TRUE(card.waitForIdle(2000)); // the refusal now waits on the line
    ControllerInfo info;
    EXPECT_TRUE(link.queryControllerInfo(info)) << text(link);
    EXPECT_EQ(info.series, 15);

    // The same with the port closed between exchanges.
    configure(200, false);
    card.addFault(late);
    card.addFault(fault(Kind::Delay, 300, 0x06));
    EXPECT_FALSE(link.clearScreen());
    ASSERT_TRUE(card.waitForIdle(2000));
    EXPECT_TRUE(link.queryControllerInfo(info)) << text(link);
}

TEST_F(CardLinkTest, ADroppedLineFailsAtOnceWithTheReadOrWriteError)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "the card's line is a TCP connection there: a drop is a closed connection, not a serial read or write error";
#else
    // A time-out far longer than any scheduling delay: the link must give up
    // well before it, on the read error.
    ASSERT_TRUE(configure(20000));
    card.addFault(fault(Kind::DropLine, 0, 0x06));
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(link.clearScreen());
    EXPECT_LT(timer.elapsed(), 15000);
    EXPECT_EQ(link.errorText(), QStringLiteral("从串口读取数据时发生错误！"));
    EXPECT_NE(link.errorCode(), 0);
    EXPECT_TRUE(card.hasDropped());

    // Still open on the dead line: the write fails and closes the port.
    ASSERT_TRUE(link.isOpen());
    EXPECT_FALSE(link.clearScreen());
    EXPECT_EQ(link.errorText(), QStringLiteral("向串口写入数据时发生错误！"));
    EXPECT_GE(link.errorCode(), 200);
    EXPECT_FALSE(link.isOpen());

    // And then the device is gone.
    EXPECT_FALSE(link.clearScreen());
    EXPECT_EQ(link.errorCode(), 2);
    EXPECT_EQ(link.errorText(), QStringLiteral("指定的串口不存在。"));
#endif
}

TEST_F(CardLinkTest, OpenFailuresCarryTheirCodes)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "serial open failures need the Windows serial channel; the card's line is a TCP port there";
#else
    const QString denied = QStringLiteral("对指定串口的访问被拒绝，可能已经被别的程序打开。");

    // Held by the card's other end (on Windows the card's line is a TCP
    // port, which no other program can hold).
#ifndef Q_OS_WIN
    ASSERT_TRUE(card.holdDevice(true));
    EXPECT_FALSE(configure());
    EXPECT_EQ(link.errorCode(), 5);
    EXPECT_TRUE(link.errorText().startsWith(denied)) << text(link);
    EXPECT_FALSE(link.isOpen());
    card.holdDevice(false);
#endif

    // Held by another link of this program.
    ControllerLink other;
    ASSERT_TRUE(other.configure(1, 900, 57600, 512));
    EXPECT_FALSE(configure());
    EXPECT_EQ(link.errorCode(), 5);
    other.close();
    EXPECT_TRUE(configure());
    link.close();

    // No such device, and no such port.
    PortNaming::setExplicitDevices({QStringLiteral("/dev/brivane-no-such-tty")});
    EXPECT_FALSE(configure());
    EXPECT_EQ(link.errorCode(), 2);
    EXPECT_EQ(link.errorText(), QStringLiteral("指定的串口不存在。"));
    EXPECT_FALSE(link.configure(7, 900, 57600, 512));
    EXPECT_EQ(link.errorCode(), 2);
#endif
}

TEST_F(CardLinkTest, LinkLevelRefusals)
{
    // Port 0: configure says no without a text; exchanges ask for a search.
    EXPECT_FALSE(link.configure(0, 900, 57600, 512));
    EXPECT_EQ(link.errorCode(), 0);
    EXPECT_TRUE(link.errorText().isEmpty());
    EXPECT_FALSE(link.clearScreen());
    EXPECT_EQ(link.errorCode(), 0);
    EXPECT_EQ(link.errorText(), QStringLiteral("无法建立通讯，请先查找屏。"));

    // Time-out 0: the request goes out, no answer is awaited.
    ASSERT_TRUE(configure(0));
    EXPECT_FALSE(link.setBrightness(4));
    EXPECT_EQ(link.errorCode(), 100);
    EXPECT_EQ(link.errorText(), QStringLiteral("超时时间为0时无法接收终端返回。"));
    ASSERT_TRUE(card.waitForRequests(1, 2000));
    EXPECT_EQ(card.brightness(), 4);

    // Broadcast: sent and carried out, never reported as a success.
    ASSERT_TRUE(configure(900));
    const int offset = link.beginRequest(0, 0x10);
    link.requestData()[offset] = 7;
    EXPECT_EQ(link.exchangeFrame(link.finishRequest(offset + 1)), ControllerLink::Failure);
    EXPECT_EQ(link.errorCode(), 101);
    EXPECT_EQ(link.errorText(), QStringLiteral("信息已发出，广播信息无法接收终端回应。"));
    ASSERT_TRUE(card.waitForRequests(2, 2000));
    EXPECT_EQ(card.brightness(), 7);

    // A payload beyond the send buffer is refused before anything is sent.
    EXPECT_FALSE(link.exchange(0x02, QByteArray(Protocol::MaxPayload + 1, 'x')));
    EXPECT_EQ(card.requestCount(), 2);
    EXPECT_TRUE(link.exchange(0x06, QByteArray(Protocol::MaxPayload, 'x')));
}

TEST_F(CardLinkTest, ConfigureClearsTheRecordAndReopens)
{
    ASSERT_TRUE(configure());
    card.addFault(fault(Kind::Status, 6));
    EXPECT_FALSE(link.clearScreen());
    EXPECT_EQ(link.errorCode(), 6);
    // Configuring again while open (keep-open) works and clears the record.
    EXPECT_TRUE(configure());
    EXPECT_EQ(link.errorCode(), 0);
    EXPECT_TRUE(link.errorText().isEmpty());
    EXPECT_EQ(link.timeoutMs(), 900);
    EXPECT_EQ(link.chunkSize(), 512);
    EXPECT_EQ(link.baudRate(), 57600);
}

TEST_F(CardLinkTest, WithoutKeepOpenEveryExchangeOpensAndClosesThePort)
{
    ASSERT_TRUE(configure(900, false));
    link.close();
    ControllerLink other;
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(link.clearScreen()) << text(link);
        EXPECT_FALSE(link.isOpen());
        // Free for someone else between exchanges.
        EXPECT_TRUE(other.configure(1, 900, 57600, 512));
        other.close();
    }
    card.addFault(fault(Kind::Status, 3));
    EXPECT_FALSE(link.clearScreen());
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(card.clearCount(), 3);
}

TEST_F(CardLinkTest, RequestsOnTheLineCarryConsecutiveSequenceNumbers)
{
    ASSERT_TRUE(configure());
    link.setSequenceNumber(253);
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(link.clearScreen()) << text(link);
    QList<int> sequence;
    for (const QByteArray &request : card.requestLog())
        sequence << uint8_t(request[5]);
    EXPECT_EQ(sequence, (QList<int>{253, 254, 255, 0}));
    // Every one went to address 1.
    for (const QByteArray &request : card.requestLog())
        EXPECT_EQ(request.mid(3, 2), QByteArray::fromHex("0100"));
}

TEST_F(CardLinkTest, CommandSetRoundTrips)
{
    ASSERT_TRUE(configure());
    ControllerInfo identity{0x23, 15, 2, 2, 7};
    card.setIdentity({0x33, 3, 1, 5, 12});
    ControllerInfo info;
    ASSERT_TRUE(link.queryControllerInfo(info));
    EXPECT_EQ(info, (ControllerInfo{0x33, 3, 1, 5, 12}));
    card.setIdentity(identity);

    ScreenParams params;
    params.setWidthCode(0); // 2048 pixels
    params.setHeightCode(2);
    params.bytes[ScreenParams::ColourType] = 2;
    params.bytes[ScreenParams::RowOrder] = uint8_t(-15);
    params.bytes[8] = 0x5A; // reserved bytes travel as they are
    ASSERT_TRUE(link.writeScreenParams(params)) << text(link);
    EXPECT_EQ(card.screenParams(), params);
    ScreenParams read;
    ASSERT_TRUE(link.readScreenParams(read));
    EXPECT_EQ(read, params);
    EXPECT_EQ(read.screenWidth(), 2048);

    // Values the card refuses leave the reply data untouched.
    ScreenParams before = read;
    card.addFault(fault(Kind::Status, 6, 0x24));
    EXPECT_FALSE(link.readScreenParams(read));
    EXPECT_EQ(read, before);

    ASSERT_TRUE(link.setScreenPower(false));
    EXPECT_FALSE(card.screenOn());
    ASSERT_TRUE(link.setUploadPhase(1));
    EXPECT_EQ(card.uploadPhase(), 1);
    ASSERT_TRUE(link.setClock(QDateTime(QDate(2099, 12, 31), QTime(23, 59, 58))));
    EXPECT_EQ(card.clockBytes().toHex(), QByteArray("9912312359580401"));
    ASSERT_TRUE(link.restoreFactorySettings());
    EXPECT_EQ(card.factoryResetCount(), 1);
    EXPECT_FALSE(link.setBrightness(16)); // the card's range is 0..15
    EXPECT_EQ(link.errorCode(), 4);
}

namespace {

// The port's device is looked up once per configure, not on every open: a
// link closed between exchanges would otherwise enumerate the system's
// devices before every packet, and a list that changes in the middle of an
// upload would move the rest of it to another device.
TEST_F(CardLinkTest, TheDeviceIsResolvedOncePerConfigure)
{
    ASSERT_TRUE(configure(900, false)); // every exchange opens the port again
    ControllerInfo info;
    ASSERT_TRUE(link.queryControllerInfo(info)) << text(link);
    PortNaming::setExplicitDevices({QStringLiteral("/nonexistent/brivane-tty")});
    EXPECT_TRUE(link.queryControllerInfo(info)) << text(link);
    configure(900, false);
    EXPECT_FALSE(link.queryControllerInfo(info));
}

} // namespace

// Replies that do not answer the request in hand: a late one, a converter
// repeating a canned frame, a card that writes a constant where the
// sequence number goes. An echoing card's stale replies are discarded; a
// card that does not echo is served as before.
TEST_F(CardLinkTest, StaleRepliesAreNotTakenForTheAnswer)
{
    const int widthCode = card.screenParams().bytes[0];
    constexpr int kBrightness = 9;
    ASSERT_NE(widthCode, kBrightness);
    // Time-out 600 ms: the next request goes out 850 ms after the late one.
    CardFault late = fault(Kind::Delay, 1100, 0x24);
    CardFault littleLate = fault(Kind::Delay, 700, 0x24);
    CardFault canned = fault(Kind::Repeat, 0, -1, -1);
    CardFault constantZero = fault(Kind::NoEcho, 0, -1, -1);
    CardFault cannedAfterParams = canned;
    cannedAfterParams.skip = 1;
    using Echo = ReplyMatch::Echo;
    const struct {
        const char *name;
        std::vector<CardFault> before, after; // faults before and after identifying
        bool paramsRead;
        int brightness; // -1: a time-out
        Echo echo;
    } cases[] = {
        {"a reply after the time-out", {}, {late}, false, kBrightness, Echo::Confirmed},
        {"a reply a little late, from a card that writes 0",
         {constantZero},
         {littleLate},
         false,
         kBrightness,
         Echo::Unknown},
        {"a card that writes 0, identified with 0",
         {constantZero},
         {},
         true,
         kBrightness,
         Echo::Unknown},
        {"a canned copy of the identification's reply", {}, {canned}, false, -1, Echo::Suspected},
        {"a canned copy of another reply", {}, {cannedAfterParams}, true, -1, Echo::Confirmed},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        card.clearFaults();
        card.setBrightness(kBrightness);
        ASSERT_TRUE(card.waitForIdle(3000));
        ASSERT_TRUE(configure(600));
        link.setSequenceNumber(0);
        for (const CardFault &f : c.before)
            card.addFault(f);
        ControllerInfo info;
        ASSERT_TRUE(link.queryControllerInfo(info)) << text(link);
        for (const CardFault &f : c.after)
            card.addFault(f);
        ScreenParams params;
        EXPECT_EQ(link.readScreenParams(params), c.paramsRead) << text(link);
        int level = -1;
        const bool read = link.readBrightness(level);
        if (c.brightness < 0) {
            EXPECT_FALSE(read) << "took " << level;
            EXPECT_EQ(link.errorText(), QStringLiteral("通讯超时。"));
        } else {
            EXPECT_TRUE(read) << text(link);
            EXPECT_EQ(level, c.brightness);
        }
        EXPECT_EQ(link.sequenceEcho(), c.echo);
        link.close();
        link.configure(0, 600, 57600, 512); // another port: nothing learnt is kept
        EXPECT_EQ(link.sequenceEcho(), Echo::Unknown);
    }
}

// The bytes on the line are the same whether or not the card echoes.
TEST_F(CardLinkTest, RequestsAreTheSameForEchoingAndOtherCards)
{
    QList<QByteArray> sent[2];
    for (int run = 0; run < 2; ++run) {
        card.clearFaults();
        card.clearLog();
        if (run == 1)
            card.addFault(fault(Kind::NoEcho, 0x42, -1, -1));
        ASSERT_TRUE(configure());
        link.setSequenceNumber(3);
        ControllerInfo info;
        ASSERT_TRUE(link.queryControllerInfo(info));
        ASSERT_TRUE(link.setBrightness(4));
        ASSERT_TRUE(link.clearScreen());
        sent[run] = card.requestLog();
    }
    EXPECT_EQ(sent[0], sent[1]);
}
