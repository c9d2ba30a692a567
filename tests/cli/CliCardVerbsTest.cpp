// The card verbs against the virtual card: what reaches the card, what is
// printed, and the exit code of each outcome.
#include "CliTestSupport.h"

#include "base/LocalClock.h"
#include "model/PlayList.h"

#include <QJsonArray>
#include <csignal>

namespace {

ControllerInfo cardKind(int series, int model, int major = 2, int minor = 2, int build = 7)
{
    ControllerInfo info;
    info.series = series;
    info.modelCode = model;
    info.firmwareMajor = major;
    info.firmwareMinor = minor;
    info.firmwareBuild = build;
    return info;
}

CardFault fault(CardFault::Kind kind, int command, int count, int value = 0, int skip = 0)
{
    CardFault f;
    f.kind = kind;
    f.command = command;
    f.count = count;
    f.value = value;
    f.skip = skip;
    return f;
}

class CliCard : public CliFixture {
protected:
    void TearDown() override
    {
        setLocalNowSource({});
        CliFixture::TearDown();
    }
    QString port() const { return card.devicePath(); }
};

TEST_F(CliCard, FindReportsPortDeviceAndModel)
{
    const CliRun text = run({QStringLiteral("find")});
    EXPECT_EQ(text.code, ExitOk);
    EXPECT_EQ(text.out, QStringLiteral("port 1 (%1): QM-A， 固件版本：2.2.7\n").arg(port()));

    const CliRun json = run({QStringLiteral("--json"), QStringLiteral("find")});
    EXPECT_EQ(json.code, ExitOk);
    const QJsonObject o = json.json();
    EXPECT_TRUE(o.value(u"found").toBool());
    EXPECT_EQ(o.value(u"port").toInt(), 1);
    EXPECT_EQ(o.value(u"device").toString(), port());
    EXPECT_EQ(o.value(u"series").toInt(), 15);
    EXPECT_EQ(o.value(u"firmware").toString(), QStringLiteral("2.2.7"));
}

TEST_F(CliCard, FindOutcomesAndTheirCodes)
{
    const struct {
        const char *what;
        std::function<void(VirtualCard &)> setUp;
        int code;
        const char *printed;
    } cases[] = {
        {"unsupported model", [](VirtualCard &c) { c.setIdentity(cardKind(3, 0x2A, 1, 5, 12)); },
         ExitUnsupported, "QM2A-03， 固件版本：1.5.12"},
        {"silent card", [](VirtualCard &c) { c.addFault(fault(CardFault::Kind::Silence, -1, -1)); },
         ExitNoCard, "没有找到控制卡，请检查硬件连接后单击‘查屏’按钮。 (brivane-cli find)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        c.setUp(card);
        const CliRun r = run({QStringLiteral("find")});
        EXPECT_EQ(r.code, c.code) << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(QString::fromUtf8(c.printed))) << r.out.toStdString();
        card.clearFaults();
    }
}

TEST_F(CliCard, PortThatCannotBeOpenedIsCode3)
{
    const QString missing = dir.filePath(QStringLiteral("no-such-tty"));
    for (const QString &device : {missing, dir.path()}) {
        for (const char *verb : {"clear", "info", "send"}) {
            writeProject({QStringLiteral("x")});
            const QByteArray before = projectBytes();
            const CliRun r = run({QStringLiteral("--port"), device, QLatin1String(verb)});
            EXPECT_EQ(r.code, ExitNoCard) << verb << r.err.toStdString();
            EXPECT_TRUE(r.err.contains(QStringLiteral("打开串口时发生错误")))
                << r.err.toStdString();
            // The verb follows the sentence naming the GUI's search button.
            EXPECT_TRUE(device != missing ||
                        r.err.contains(QStringLiteral(
                            "您可通过‘查屏’功能查找串口号。 (brivane-cli find) 注意")))
                << r.err.toStdString();
            EXPECT_EQ(projectBytes(), before);
        }
    }
    EXPECT_EQ(card.requestCount(), 0);
}

TEST_F(CliCard, SimpleCommandsReachTheCard)
{
    setLocalNowSource([] { return QDateTime(QDate(2099, 12, 31), QTime(23, 59, 58)); });
    using Sent = QList<int>;
    const struct {
        QStringList args;
        std::function<bool(const VirtualCard &, const Sent &)> done;
    } cases[] = {
        {{"brightness", "7"},
         [](const VirtualCard &c, const Sent &) { return c.brightness() == 7; }},
        {{"power", "off"}, [](const VirtualCard &c, const Sent &) { return !c.screenOn(); }},
        {{"power", "on"}, [](const VirtualCard &c, const Sent &) { return c.screenOn(); }},
        {{"clear"}, [](const VirtualCard &, const Sent &s) { return s.count(0x06) == 1; }},
        {{"factory-reset"}, [](const VirtualCard &, const Sent &s) { return s.count(0x33) == 1; }},
        {{"clock"},
         [](const VirtualCard &c, const Sent &) {
             return c.clockBytes() == QByteArray::fromHex("9912312359580401");
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        // Once through the search, once on the port given as a device path.
        for (const QStringList &port :
             {QStringList{}, QStringList{QStringLiteral("--port"), port()}}) {
            card.clearLog();
            const CliRun r = run(port + c.args);
            EXPECT_EQ(r.code, ExitOk) << r.err.toStdString();
            EXPECT_EQ(r.out, QStringLiteral("命令执行成功！\n"));
            EXPECT_TRUE(c.done(card, commands()));
        }
    }
}

TEST_F(CliCard, BrightnessWithoutValueReadsIt)
{
    card.setBrightness(9);
    const CliRun r = run({QStringLiteral("brightness")});
    EXPECT_EQ(r.code, ExitOk);
    EXPECT_EQ(r.out, QStringLiteral("9\n"));
}

TEST_F(CliCard, RefusedCommandIsCode1WithTheCardsReason)
{
    card.addFault(fault(CardFault::Kind::Status, 0x10, -1, 4));
    const CliRun r = run({QStringLiteral("brightness"), QStringLiteral("3")});
    EXPECT_EQ(r.code, ExitPartial);
    EXPECT_TRUE(r.err.contains(QStringLiteral("命令执行失败："))) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
}

TEST_F(CliCard, UnsupportedCardGetsNoCommand)
{
    card.setIdentity(cardKind(15, 0x41));
    for (const QStringList &args :
         {QStringList{QStringLiteral("clear")},
          QStringList{QStringLiteral("--port"), QStringLiteral("1"), QStringLiteral("clear")}}) {
        card.clearLog();
        const CliRun r = run(args);
        EXPECT_EQ(r.code, ExitUnsupported);
        EXPECT_TRUE(r.err.contains(QStringLiteral("本软件不支持当前所连接的卡！")));
        EXPECT_FALSE(commands().contains(0x06));
    }
}

TEST_F(CliCard, InfoPrintsIdentityParamsAndBrightness)
{
    card.setBrightness(11);
    const CliRun r = run({QStringLiteral("--json"), QStringLiteral("info")});
    ASSERT_EQ(r.code, ExitOk) << r.err.toStdString();
    const QJsonObject o = r.json();
    EXPECT_EQ(o.value(u"model").toString(), QStringLiteral("QM-A， 固件版本：2.2.7"));
    EXPECT_EQ(o.value(u"brightness").toInt(), 11);
    EXPECT_EQ(o.value(u"screenParams").toObject().value(u"width").toInt(), 256);
}

TEST_F(CliCard, ParamsWriteClearsWaitsAndWritesTheWholeRecord)
{
    ScreenParams onCard;
    onCard.bytes[8] = 0x5A; // a reserved byte the program never changes
    card.setScreenParams(onCard);

    const CliRun r =
        run({QStringLiteral("--port"), QStringLiteral("1"), QStringLiteral("params"),
             QStringLiteral("--width"), QStringLiteral("100"), QStringLiteral("--height"),
             QStringLiteral("200"), QStringLiteral("--colour"), QStringLiteral("dual"),
             QStringLiteral("--scan"), QStringLiteral("4.1"), QStringLiteral("--reverse-data"),
             QStringLiteral("--no-reverse-oe"), QStringLiteral("--row-order"), QStringLiteral("-3"),
             QStringLiteral("--frequency"), QStringLiteral("1.75M"), QStringLiteral("--no-138")});
    ASSERT_EQ(r.code, ExitOk) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("height 200 is outside 16..128: 64 is used")));

    const QList<int> sent = commands();
    EXPECT_EQ(sent.mid(sent.indexOf(0x24)), (QList<int>{0x24, 0x06, 0x23}));
    const auto written = card.screenParams().bytes;
    const std::array<uint8_t, 16> expected{12,   8, 2, 1, 0, 0xFD, 0x41, 0,
                                           0x5A, 0, 0, 4, 2, 0,    0,    0};
    EXPECT_EQ(written, expected);
}

TEST_F(CliCard, ParamsAreNotWrittenWhenTheCurrentOnesCannotBeRead)
{
    card.addFault(fault(CardFault::Kind::Status, 0x24, -1, 2));
    const CliRun r = run({QStringLiteral("--port"), QStringLiteral("1"), QStringLiteral("params"),
                          QStringLiteral("--width"), QStringLiteral("64")});
    EXPECT_EQ(r.code, ExitPartial);
    EXPECT_FALSE(commands().contains(0x23));
    EXPECT_FALSE(commands().contains(0x06));
}

class CliSend : public CliCard {
protected:
    void SetUp() override
    {
        CliCard::SetUp();
        writeProject({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        before = projectBytes();
    }
    CliRun send(const QStringList &options)
    {
        return run(QStringList{QStringLiteral("--json"), QStringLiteral("--port"),
                               QStringLiteral("1"), QStringLiteral("send")} +
                   options);
    }
    static QStringList outcomes(const CliRun &r)
    {
        QStringList list;
        for (const QJsonValue &item : r.json().value(u"items").toArray())
            list << item.toObject().value(u"outcome").toString();
        return list;
    }
    QByteArray before;
};

TEST_F(CliSend, WholePlayListReachesTheCard)
{
    const CliRun r = send({});
    ASSERT_EQ(r.code, ExitOk) << r.err.toStdString();
    EXPECT_EQ(outcomes(r), (QStringList{"sent", "sent", "sent"}));
    EXPECT_EQ(r.json().value(u"sentCount").toInt(), 3);
    EXPECT_EQ(card.pages().size(), 3u);
    EXPECT_EQ(card.uploadPhase(), 1);
    EXPECT_EQ(projectBytes(), before);
}

// A program the sign cannot show as written is warned of as add-text and
// list warn of it: a line on standard error and an entry in --json.
TEST_F(CliSend, WarnsOfCharactersTheSignCannotShow)
{
    writeProject({QStringLiteral("A\u0378"), QStringLiteral("B")});
    const CliRun r = send({});
    ASSERT_EQ(r.code, ExitOk) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("brivane-cli: warning: program 1: 以下字符无法显示")))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("\u0378 (U+0378)")));
    // (The face Windows serves may add a fit warning.)
    QList<int> programs;
    for (const QJsonValue &w : r.json().value(u"warnings").toArray()) {
        if (w.toObject().value(u"code").toString() == u"missingCharacters")
            programs << w.toObject().value(u"program").toInt();
    }
    EXPECT_EQ(programs, QList<int>{1});
}

TEST_F(CliSend, FailedProgramFollowsTheOnErrorPolicy)
{
    const struct {
        const char *what;
        QStringList options;
        int failures; // refused 0x03 packets of the second program
        int code;
        QStringList outcomes;
        int attemptsOfSecond;
    } cases[] = {
        {"skip", {"--on-error", "skip"}, 1, ExitPartial, {"sent", "skipped", "sent"}, 1},
        {"stop", {"--on-error", "stop"}, -1, ExitPartial, {"sent", "failed", "not-sent"}, 1},
        {"default without a terminal", {}, -1, ExitPartial, {"sent", "failed", "not-sent"}, 1},
        {"retry succeeds",
         {"--on-error", "retry", "--retries", "2"},
         2,
         ExitOk,
         {"sent", "sent", "sent"},
         3},
        {"retries run out",
         {"--on-error", "retry", "--retries", "1"},
         -1,
         ExitPartial,
         {"sent", "failed", "not-sent"},
         2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        card.clearFaults();
        card.addFault(fault(CardFault::Kind::Status, 0x03, c.failures, 6, 1));
        const CliRun r = send(c.options);
        EXPECT_EQ(r.code, c.code) << r.err.toStdString();
        EXPECT_EQ(outcomes(r), c.outcomes);
        EXPECT_EQ(r.json().value(u"items").toArray().at(1).toObject().value(u"attempts").toInt(),
                  c.attemptsOfSecond);
        EXPECT_EQ(card.uploadPhase(), 1) << "the upload bracket is always closed";
    }
    EXPECT_EQ(projectBytes(), before);
}

TEST_F(CliSend, AskedQuestionsAreAnsweredFromTheTerminal)
{
    console.inTty = true;
    console.errTty = true;
    console.input = {QStringLiteral("maybe"), QStringLiteral("y"), QStringLiteral("n")};
    card.addFault(fault(CardFault::Kind::Status, 0x03, 2, 6, 1));
    const CliRun r = send({});
    EXPECT_EQ(r.code, ExitPartial);
    EXPECT_EQ(outcomes(r), (QStringList{"sent", "skipped", "sent"}));
    EXPECT_EQ(r.err.count(QStringLiteral("是否重新发生？")), 3); // "maybe" asks again
}

TEST_F(CliSend, CardThatStopsAnsweringMidSend)
{
    // Silent from the second program on.
    card.addFault(fault(CardFault::Kind::Silence, 0x03, -1, 0, 1));
    const CliRun r = send({QStringLiteral("--on-error"), QStringLiteral("stop")});
    EXPECT_EQ(r.code, ExitPartial);
    EXPECT_FALSE(
        r.json().value(u"items").toArray().at(1).toObject().value(u"error").toString().isEmpty());
    EXPECT_EQ(projectBytes(), before);
}

TEST_F(CliSend, FailedClearEndsWithNothingUploaded)
{
    card.addFault(fault(CardFault::Kind::Status, 0x06, -1, 4));
    const CliRun r = send({QStringLiteral("--on-error"), QStringLiteral("retry")});
    EXPECT_EQ(r.code, ExitPartial);
    EXPECT_EQ(r.json().value(u"end").toString(), QStringLiteral("clear-failed"));
    EXPECT_EQ(commands().count(0x06), 4); // the first try and three retries
    EXPECT_FALSE(commands().contains(0x03));
}

TEST_F(CliSend, UnsupportedCardIsCode4)
{
    card.setIdentity(cardKind(3, 0x2A));
    const CliRun r = send({});
    EXPECT_EQ(r.code, ExitUnsupported);
    EXPECT_FALSE(commands().contains(0x06));
}

// Ctrl-C, and SIGTERM and SIGHUP as timeout, systemctl stop and a closed
// SSH session send them: the current program finishes and the upload
// bracket is closed, so the card is never left inside an upload.
TEST_F(CliSend, AnInterruptFinishesTheCurrentProgramAndClosesTheUpload)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Ctrl-C arrives as a console event, not a signal raise() can send; no SIGHUP";
#else
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        // Under nohup an ignored hang-up stays ignored; here it is not.
        std::signal(signal, SIG_DFL);
        bool pressed = false;
        console.onErr = [&pressed, signal](const QString &text) {
            if (!pressed && text.contains(QStringLiteral("正在发送信息"))) {
                pressed = true;
                std::raise(signal);
            }
        };
        const CliRun r = send({});
        console.onErr = nullptr;
        EXPECT_TRUE(pressed);
        EXPECT_EQ(r.code, ExitPartial);
        EXPECT_EQ(r.json().value(u"end").toString(), QStringLiteral("cancelled"));
        EXPECT_EQ(outcomes(r), (QStringList{"sent", "not-sent", "not-sent"}));
        EXPECT_EQ(card.uploadPhase(), 1);
    }
#endif
}

// A search that found nothing says which ports it could not open, with the
// hint about the user's groups once, however many ports were denied.
TEST_F(CliCard, FindNamesTheDeniedPortsOnce)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "the virtual card's line is a TCP port there, which no other program can hold";
#else
    PortNaming::setExplicitDevices({card.devicePath(), card.devicePath()});
    ASSERT_TRUE(card.holdDevice(true));
    const CliRun r = run({QStringLiteral("find")});
    card.holdDevice(false);
    EXPECT_EQ(r.code, ExitNoCard);
    EXPECT_TRUE(
        r.out.contains(QStringLiteral("无法打开 port 1 (%1), port 2").arg(card.devicePath())))
        << r.out.toStdString();
    EXPECT_EQ(r.out.count(QStringLiteral("对指定串口的访问被拒绝")), 1) << r.out.toStdString();
#ifdef Q_OS_LINUX
    EXPECT_EQ(r.out.count(QStringLiteral("dialout 组")), 1);
#endif
#endif
}

} // namespace
