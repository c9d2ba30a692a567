// Card verbs on several signs at once: each sign's outcome, the JSON array,
// the exit code, and that a faulty sign leaves the others' uploads whole.
#include "CliTestSupport.h"

#include "link/SignList.h"
#include "sim/TcpBridge.h"

#include <QJsonArray>

namespace {

class CliSigns : public CliFixture {
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        PortNaming::setExplicitDevices({});
        ASSERT_TRUE(second.start());
        ASSERT_TRUE(third.start());
        ASSERT_TRUE(bridge.start(third.devicePath()));
        signsFile = dir.filePath(QStringLiteral("signs.ini"));
        qputenv("BRIVANE_SIGNS", signsFile.toLocal8Bit());
    }
    void TearDown() override
    {
        qputenv("BRIVANE_SIGNS", "");
        bridge.stop();
        third.stop();
        second.stop();
        CliFixture::TearDown();
    }
    QJsonArray array(const CliRun &r) const
    {
        return QJsonDocument::fromJson(r.out.toUtf8()).array();
    }
    static int pagesOf(const VirtualCard &c) { return int(c.pages().size()); }

    VirtualCard second;
    VirtualCard third; // behind a TCP converter
    TcpBridge bridge;
    QString signsFile;
};

} // namespace

TEST_F(CliSigns, SendOutcomeTable)
{
    writeProject({QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三")});
    // The second card refuses every page; the third is reached over TCP.
    second.addFault({CardFault::Kind::Status, 0x03, -1, 0, 6, {}});
    const QString missing = dir.filePath(QStringLiteral("no-such-tty"));
    const CliRun r =
        run({QStringLiteral("--json"), QStringLiteral("--port"), card.devicePath(),
             QStringLiteral("--port"), second.devicePath(), QStringLiteral("--port"),
             bridge.address(), QStringLiteral("--port"), missing, QStringLiteral("send"),
             QStringLiteral("--on-error"), QStringLiteral("skip")});
    EXPECT_EQ(r.code, ExitPartial) << r.err.toStdString();
    const QJsonArray signs = array(r);
    ASSERT_EQ(signs.size(), 4) << r.out.toStdString();
    struct Expected {
        const char *outcome;
        bool ok;
        int code;
        int sent;
    };
    const Expected expected[] = {{"ok", true, ExitOk, 3},
                                 {"failed", false, ExitPartial, 0},
                                 {"ok", true, ExitOk, 3},
                                 {"no-card", false, ExitNoCard, -1}};
    for (int i = 0; i < 4; ++i) {
        const QJsonObject o = signs[i].toObject();
        EXPECT_EQ(o[u"outcome"].toString().toStdString(), expected[i].outcome) << i;
        EXPECT_EQ(o[u"ok"].toBool(), expected[i].ok) << i;
        if (!expected[i].ok) {
            EXPECT_EQ(o[u"code"].toInt(), expected[i].code) << i;
            EXPECT_FALSE(o[u"error"].toString().isEmpty()) << i;
        }
        if (expected[i].sent >= 0) {
            EXPECT_EQ(o[u"sentCount"].toInt(), expected[i].sent) << i;
            EXPECT_EQ(o[u"items"].toArray().size(), 3) << i;
        }
    }
    EXPECT_EQ(signs[3].toObject()[u"port"].toString(), missing);
    // Both good cards got every page and a closed upload bracket; the
    // refusing one got its bracket closed too.
    EXPECT_EQ(pagesOf(card), pagesOf(third));
    EXPECT_GE(pagesOf(card), 3);
    EXPECT_EQ(card.uploadPhase(), 1);
    EXPECT_EQ(third.uploadPhase(), 1);
    EXPECT_EQ(second.uploadPhase(), 1);
}

TEST_F(CliSigns, SignListVerbsAndAllSigns)
{
    EXPECT_EQ(run({QStringLiteral("signs"), QStringLiteral("add"), QStringLiteral("front"),
                   card.devicePath()})
                  .code,
              ExitOk);
    EXPECT_EQ(run({QStringLiteral("signs"), QStringLiteral("add"), QStringLiteral("net"),
                   bridge.address(), QStringLiteral("--group"), QStringLiteral("street"),
                   QStringLiteral("--group"), QStringLiteral("mall")})
                  .code,
              ExitOk);
    // A group name could not be a topic level.
    EXPECT_EQ(run({QStringLiteral("signs"), QStringLiteral("add"), QStringLiteral("x"),
                   card.devicePath(), QStringLiteral("--group"), QStringLiteral("a+b")})
                  .code,
              ExitUsage);
    const CliRun street = run({QStringLiteral("--json"), QStringLiteral("signs"),
                               QStringLiteral("list"), QStringLiteral("--group"),
                               QStringLiteral("street")});
    ASSERT_EQ(street.json()[u"signs"].toArray().size(), 1) << street.out.toStdString();
    EXPECT_EQ(street.json()[u"signs"].toArray()[0].toObject()[u"groups"].toArray().size(), 2);
    EXPECT_EQ(street.json()[u"groups"].toArray(),
              QJsonArray({QStringLiteral("mall"), QStringLiteral("street")}));
    EXPECT_EQ(run({QStringLiteral("signs"), QStringLiteral("add"), QStringLiteral("5"),
                   card.devicePath()})
                  .code,
              ExitUsage);
    const CliRun list =
        run({QStringLiteral("--json"), QStringLiteral("signs"), QStringLiteral("list")});
    EXPECT_EQ(list.json()[u"signs"].toArray().size(), 2) << list.out.toStdString();

    const CliRun text =
        run({QStringLiteral("--all-signs"), QStringLiteral("brightness"), QStringLiteral("4")});
    EXPECT_EQ(text.code, ExitOk) << text.err.toStdString();
    EXPECT_EQ(text.out.count(QLatin1Char('\n')), 2) << "one line per sign";
    EXPECT_TRUE(text.out.contains(QStringLiteral("front  ")));
    EXPECT_EQ(card.brightness(), 4);
    EXPECT_EQ(third.brightness(), 4);

    const CliRun one =
        run({QStringLiteral("--sign"), QStringLiteral("NET"), QStringLiteral("--json"),
             QStringLiteral("power"), QStringLiteral("off")});
    EXPECT_EQ(one.code, ExitOk);
    EXPECT_EQ(one.json()[u"power"].toString(), QStringLiteral("off"));
    EXPECT_FALSE(third.screenOn());
    EXPECT_EQ(
        run({QStringLiteral("--sign"), QStringLiteral("nobody"), QStringLiteral("clear")}).code,
        ExitUsage);

    EXPECT_EQ(
        run({QStringLiteral("signs"), QStringLiteral("remove"), QStringLiteral("front")}).code,
        ExitOk);
    SignList stored(signsFile);
    ASSERT_TRUE(stored.load());
    ASSERT_EQ(stored.signs().size(), 1u);
    EXPECT_EQ(stored.signs()[0].name, QStringLiteral("net"));
    EXPECT_EQ(stored.signs()[0].groups, (QStringList{QStringLiteral("street"), QStringLiteral("mall")}));
}

TEST_F(CliSigns, NoSignReachedIsCode3)
{
    const CliRun r =
        run({QStringLiteral("--json"), QStringLiteral("--port"), dir.filePath(QStringLiteral("a")),
             QStringLiteral("--port"), dir.filePath(QStringLiteral("b")), QStringLiteral("clear")});
    EXPECT_EQ(r.code, ExitNoCard);
    EXPECT_EQ(array(r).size(), 2);
    EXPECT_EQ(card.clearCount(), 0);
}
