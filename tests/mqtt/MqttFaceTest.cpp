// The MQTT face against mosquitto, the service and the virtual card:
// discovery configs, commands reaching the card, results with their ids,
// bad payloads refused with nothing changed, a burst answered whole, group
// topics, the card unreachable, the broker restarting, `signs remove`, and the
// last will of a killed `brivane-cli serve`.

#include "MqttTestSupport.h"

#include "cli/CliApp.h"
#include "cli/Console.h"
#include "common/TestFiles.h"
#include "link/PortNaming.h"
#include "service/SignService.h"
#include "service/mqtt/MqttFace.h"
#include "service/mqtt/ServiceCall.h"
#include "sim/VirtualCard.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <csignal>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <memory>

namespace {

QJsonObject object(const QByteArray &bytes)
{
    return QJsonDocument::fromJson(bytes).object();
}

class MqttFaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (MqttBroker::program().isEmpty())
            GTEST_SKIP() << "mosquitto is not installed";
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(card.start()) << card.errorString().toStdString();
        PortNaming::setExplicitDevices({card.devicePath()});
        projectFile = dir.filePath(QStringLiteral("p.brivprj"));
        ASSERT_TRUE(writeAll(projectFile, textProjectXml({QStringLiteral("one"),
                                                          QStringLiteral("two")})));
        QString error;
        ASSERT_TRUE(broker.start(MqttBroker::Kind::Anonymous, &error)) << error.toStdString();
        observer = std::make_unique<MqttObserver>(broker.settings(QStringLiteral("observer")));
        ASSERT_TRUE(observer->connect());
    }
    void TearDown() override
    {
        face.reset();
        service.reset();
        observer.reset();
        PortNaming::setExplicitDevices({});
        card.stop();
    }

    void startFace(const QStringList &groups = {})
    {
        ServiceConfig config;
        config.projectPath = projectFile;
        config.signs.append({QStringLiteral("front"), QStringLiteral("1"), groups});
        config.log = [this](const QString &line) { log << line; };
        service = std::make_unique<SignService>(config);
        MqttFaceConfig faceConfig;
        faceConfig.nodeId = QStringLiteral("shop-pc");
        faceConfig.sign = QStringLiteral("front");
        faceConfig.port = QStringLiteral("tcp://192.168.1.50:4001");
        faceConfig.groups = groups;
        face = std::make_unique<MqttFace>(faceConfig, broker.settings(QStringLiteral("face")),
                                          MqttService::callInto(*service, faceConfig.sign),
                                          config.log);
        face->start();
        ASSERT_TRUE(observer->waitFor(QStringLiteral("brivane/front/status"),
                                      [](const QByteArray &p) { return p == "online"; }));
        // The card was read once: the state names its firmware.
        ASSERT_TRUE(observer->waitFor(QStringLiteral("brivane/front/state"), [](const QByteArray &p) {
            return object(p).value(u"card").toObject().value(u"firmware").toString() == u"2.2.7";
        }));
    }

    // Publishes a command and waits for the result that answers it (the
    // next result after it is sent).
    QJsonObject command(const QString &suffix, const QByteArray &payload,
                        const QString &base = QStringLiteral("brivane/front/"))
    {
        const size_t from = observer->messages.size();
        EXPECT_TRUE(observer->publish(base + suffix, payload));
        QJsonObject result;
        observer->waitFor(
            QStringLiteral("brivane/front/result"),
            [&](const QByteArray &p) {
                result = object(p);
                return true;
            },
            from);
        return result;
    }

    QTemporaryDir dir;
    VirtualCard card;
    QString projectFile;
    MqttBroker broker;
    std::unique_ptr<MqttObserver> observer;
    std::unique_ptr<SignService> service;
    std::unique_ptr<MqttFace> face;
    QStringList log;
};

} // namespace

TEST_F(MqttFaceTest, PublishesOnlineStateAndADiscoveryConfigForEveryEntity)
{
    startFace();
    // Each component with the keys Home Assistant needs of it.
    const std::map<QString, QStringList> required = {
        {QStringLiteral("notify"), {QStringLiteral("command_topic")}},
        {QStringLiteral("text"), {QStringLiteral("command_topic"), QStringLiteral("state_topic")}},
        {QStringLiteral("number"),
         {QStringLiteral("command_topic"), QStringLiteral("min"), QStringLiteral("max")}},
        {QStringLiteral("switch"),
         {QStringLiteral("command_topic"), QStringLiteral("payload_on"),
          QStringLiteral("payload_off")}},
        {QStringLiteral("button"), {QStringLiteral("command_topic")}},
        {QStringLiteral("sensor"), {QStringLiteral("state_topic")}},
        {QStringLiteral("image"), {QStringLiteral("image_topic"), QStringLiteral("content_type")}},
    };
    static const QRegularExpression configTopic(
        QStringLiteral("^homeassistant/([a-z_]+)/shop-pc/front_[0-9a-f]*_?[a-z_]+/config$"));
    ASSERT_TRUE(waitUntil([&] {
        int n = 0;
        for (const auto &m : observer->messages)
            n += m.topic.startsWith(u"homeassistant/");
        return n >= 10;
    }));
    std::map<QString, std::set<QString>> components; // the config topics of each
    for (const auto &m : observer->messages) {
        if (!m.topic.startsWith(u"homeassistant/"))
            continue;
        SCOPED_TRACE(m.topic.toStdString());
        EXPECT_TRUE(m.retained || !m.payload.isEmpty());
        const auto match = configTopic.match(m.topic);
        ASSERT_TRUE(match.hasMatch());
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(m.payload, &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError);
        const QJsonObject config = document.object();
        const QString component = match.captured(1);
        ASSERT_TRUE(required.count(component));
        components[component].insert(m.topic);
        for (const QString &key : required.at(component) +
                                      QStringList{QStringLiteral("unique_id"),
                                                  QStringLiteral("name"),
                                                  QStringLiteral("availability_topic")})
            EXPECT_TRUE(config.contains(key)) << key.toStdString();
        const QJsonObject device = config.value(u"device").toObject();
        EXPECT_FALSE(device.value(u"identifiers").toArray().isEmpty());
        EXPECT_EQ(device.value(u"name").toString(), QStringLiteral("front"));
        EXPECT_FALSE(device.value(u"via_device").toString().isEmpty());
        EXPECT_EQ(config.value(u"availability_topic").toString(),
                  QStringLiteral("brivane/front/status"));
    }
    EXPECT_EQ(components.size(), required.size());
    EXPECT_EQ(components[QStringLiteral("button")].size(), 3u);
    EXPECT_EQ(components[QStringLiteral("sensor")].size(), 2u);
    // The device names the card once it answered; the state carries the list.
    ASSERT_TRUE(observer->waitFor(
        QStringLiteral("homeassistant/number/shop-pc/front_brightness/config"),
        [](const QByteArray &p) {
            return object(p).value(u"device").toObject().value(u"sw_version").toString() == u"2.2.7";
        }));
    const QJsonObject state = object(observer->last(QStringLiteral("brivane/front/state")));
    EXPECT_EQ(state.value(u"programs").toArray().size(), 2);
    EXPECT_EQ(state.value(u"link").toString(), QStringLiteral("ok"));
    EXPECT_TRUE(waitUntil(
        [&] { return observer->last(QStringLiteral("brivane/front/preview")).startsWith("\x89PNG"); }));
    // Home Assistant coming online gets the configs again.
    const size_t from = observer->messages.size();
    observer->publish(QStringLiteral("homeassistant/status"), "online");
    EXPECT_TRUE(observer->waitFor(QStringLiteral("homeassistant/switch/shop-pc/front_power/config"),
                                  [](const QByteArray &) { return true; }, from));
}

TEST_F(MqttFaceTest, ANotifyIsShownAndThePlayListComesBackAfterItsDuration)
{
    startFace();
    card.clearPages();
    const QJsonObject result =
        command(QStringLiteral("notify"), R"({"id":"n1","text":"快讯 9 折","duration":1})");
    EXPECT_EQ(result.value(u"id").toString(), QStringLiteral("n1"));
    EXPECT_TRUE(result.value(u"ok").toBool()) << QJsonDocument(result).toJson().toStdString();
    EXPECT_TRUE(result.value(u"error").isNull());
    ASSERT_TRUE(waitUntil([&] {
        return log.join(u'\n').contains(u"the play list comes back") &&
               log.filter(QStringLiteral("done: completed")).size() >= 2;
    }, 120000)) << log.join(u'\n').toStdString();
    // Plain text is a message too.
    EXPECT_TRUE(command(QStringLiteral("notify"), "今日特价").value(u"ok").toBool());
}

TEST_F(MqttFaceTest, BrightnessPowerAndTheButtonsReachTheCard)
{
    startFace();
    QJsonObject result = command(QStringLiteral("brightness/set"), "5");
    EXPECT_TRUE(result.value(u"ok").toBool());
    EXPECT_EQ(card.brightness(), 5);
    result = command(QStringLiteral("power/set"), R"({"id": 7, "on": false})");
    EXPECT_EQ(result.value(u"id").toInt(), 7);
    EXPECT_FALSE(card.screenOn());
    EXPECT_TRUE(command(QStringLiteral("power/set"), "ON").value(u"ok").toBool());
    EXPECT_TRUE(card.screenOn());
    const int clears = card.clearCount();
    EXPECT_TRUE(command(QStringLiteral("clear"), "PRESS").value(u"ok").toBool());
    EXPECT_GT(card.clearCount(), clears);
    EXPECT_TRUE(command(QStringLiteral("clock/set"), "").value(u"ok").toBool());
    ASSERT_TRUE(observer->waitFor(QStringLiteral("brivane/front/state"), [](const QByteArray &p) {
        const QJsonObject s = object(p);
        return s.value(u"brightness").toInt() == 5 && s.value(u"power").toString() == u"ON";
    }));
    // A send answers when it has ended.
    result = command(QStringLiteral("send"), R"({"id":"s"})");
    EXPECT_TRUE(result.value(u"ok").toBool()) << QJsonDocument(result).toJson().toStdString();
}

TEST_F(MqttFaceTest, ProgramCommandsChangeTheListAndItsPreview)
{
    startFace();
    QJsonObject result = command(QStringLiteral("programs/set"),
                                 R"([{"kind":"text","content":"早餐"},{"kind":"text","content":"午餐","color":"green"}, {"kind":"text","content":"晚餐"}])");
    ASSERT_TRUE(result.value(u"ok").toBool()) << QJsonDocument(result).toJson().toStdString();
    result = command(QStringLiteral("program/2/set"), R"({"id":"p2","content":"午餐 12 元"})");
    ASSERT_TRUE(result.value(u"ok").toBool()) << QJsonDocument(result).toJson().toStdString();
    EXPECT_TRUE(QString::fromUtf8(readAll(projectFile)).contains(u"午餐 12 元"));
    ASSERT_TRUE(observer->waitFor(QStringLiteral("brivane/front/state"), [](const QByteArray &p) {
        const QJsonArray programs = object(p).value(u"programs").toArray();
        return programs.size() == 3 &&
               programs[1].toObject().value(u"content") == QStringLiteral("午餐 12 元");
    }));
}

TEST_F(MqttFaceTest, BadPayloadsGetAnErrorResultAndNothingChanges)
{
    startFace();
    card.setBrightness(9);
    const QByteArray before = readAll(projectFile);
    // A retained command is not run at all.
    observer->publish(QStringLiteral("brivane/front/brightness/set"), "1", true);
    const struct {
        const char *suffix;
        QByteArray payload;
        int code;
        const char *error;
    } cases[] = {
        {"program/1/set", "not json", 400, "JSON"},
        {"program/1/set", R"({"speed": true})", 400, "类型不对"},
        {"program/1/set", R"({"bogus": 1})", 400, "未知字段"},
        {"program/1/set", QByteArray(R"({"content":")") + QString(300, u'字').toUtf8() + "\"}",
         400, "256"},
        {"program/9/set", R"({"content":"x"})", 404, "没有节目 9"},
        {"programs/set", R"([{"kind":"text","content":"ok"}, 5])", 400, "第 2 个节目"},
        {"programs/set", R"({"id":1})", 400, "数组"},
        {"notify", QByteArray(1 << 20, 'x'), 413, "消息太长"},
        {"notify", "\xff\xfe\x80", 400, "UTF-8"},
        {"notify", R"({"text": 5})", 400, "text"},
        {"notify", R"({"text":"hi","duration":"long"})", 400, "duration"},
        {"brightness/set", "16", 400, "0 到 15"},
        {"brightness/set", "dim", 400, "0 到 15"},
        {"power/set", "maybe", 400, "ON 或 OFF"},
        {"clear", "now please", 400, "不接受"},
        {"send", R"({"all":true})", 400, "不接受"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.suffix) + " " + c.payload.left(40).toStdString());
        const QJsonObject result = command(QLatin1String(c.suffix), c.payload);
        EXPECT_FALSE(result.value(u"ok").toBool());
        EXPECT_EQ(result.value(u"code").toInt(), c.code);
        EXPECT_TRUE(result.value(u"error").toString().contains(QString::fromUtf8(c.error)))
            << result.value(u"error").toString().toStdString();
    }
    EXPECT_EQ(readAll(projectFile), before);
    EXPECT_EQ(card.brightness(), 9);
    EXPECT_TRUE(log.join(u'\n').contains(u"retained message on brivane/front/brightness/set ignored"));
    // The face lives on.
    EXPECT_TRUE(command(QStringLiteral("brightness/set"), "3").value(u"ok").toBool());
}

TEST_F(MqttFaceTest, ABurstOfAThousandCommandsIsAnsweredWhole)
{
    startFace();
    // One client sends, another reads the results only.
    MqttObserver results(broker.settings(QStringLiteral("results")));
    ASSERT_TRUE(results.connect(QStringLiteral("brivane/front/result")));
    MqttClient sender(broker.settings(QStringLiteral("sender")));
    sender.start();
    ASSERT_TRUE(waitUntil([&] { return sender.isConnected(); }));
    for (int i = 0; i < 1000; ++i)
        ASSERT_TRUE(waitUntil([&] {
            return sender.publish(
                QStringLiteral("brivane/front/notify"),
                QStringLiteral(R"({"id":%1,"text":"第 %1 条","duration":1})").arg(i).toUtf8(),
                false);
        }));
    std::vector<int> answered(1000, 0);
    int ok = 0;
    ASSERT_TRUE(waitUntil([&] {
        std::fill(answered.begin(), answered.end(), 0);
        ok = 0;
        int n = 0;
        for (const auto &m : results.messages) {
            const QJsonObject r = object(m.payload);
            const int id = r.value(u"id").toInt(-1);
            if (id >= 0 && id < 1000 && answered[size_t(id)]++ == 0)
                ++n;
            ok += r.value(u"ok").toBool();
        }
        return n == 1000;
    }, 300000)) << std::count(answered.begin(), answered.end(), 1) << " answered, "
                << log.filter(QStringLiteral("not published")).size() << " not published";
    EXPECT_EQ(*std::max_element(answered.begin(), answered.end()), 1);
    // At most the message queue's worth were taken; the rest were refused.
    EXPECT_GE(ok, 1);
    EXPECT_LE(ok, 22);
}

TEST_F(MqttFaceTest, AGroupCommandReachesTheSignAndIsAnsweredOnItsResultTopic)
{
    startFace({QStringLiteral("shops")});
    const QJsonObject result =
        command(QStringLiteral("brightness/set"), R"({"id":"g","level":2})",
                QStringLiteral("brivane/group/shops/"));
    EXPECT_EQ(result.value(u"id").toString(), QStringLiteral("g"));
    EXPECT_TRUE(result.value(u"ok").toBool());
    EXPECT_EQ(card.brightness(), 2);
}

TEST_F(MqttFaceTest, AnUnreachableCardIsInTheStateAndInTheAnswers)
{
    startFace();
    card.stop();
    const QJsonObject result = command(QStringLiteral("brightness/set"), "4");
    EXPECT_FALSE(result.value(u"ok").toBool());
    EXPECT_FALSE(result.value(u"error").toString().isEmpty());
    ASSERT_TRUE(observer->waitFor(QStringLiteral("brivane/front/state"), [](const QByteArray &p) {
        return object(p).value(u"link").toString() == u"error" && !object(p).value(u"linkError").isNull();
    }));
}

TEST_F(MqttFaceTest, AfterTheBrokerRestartsTheFaceIsOnlineAgainWithItsState)
{
    startFace();
    broker.stop();
    ASSERT_TRUE(waitUntil([&] { return !face->client().isConnected(); }));
    // Counted before the restart: the face may be back (and its retained
    // topics delivered to the observer) before the observer is seen connected.
    const size_t from = observer->messages.size();
    QString error;
    ASSERT_TRUE(broker.launch(&error)) << error.toStdString();
    ASSERT_TRUE(waitUntil([&] { return observer->client.isConnected(); }, 120000));
    // A broker without persistence forgot everything: it is all published again.
    ASSERT_TRUE(observer->waitFor(QStringLiteral("brivane/front/status"),
                                  [](const QByteArray &p) { return p == "online"; }, from, 120000));
    EXPECT_TRUE(observer->waitFor(QStringLiteral("brivane/front/state"),
                                  [](const QByteArray &p) { return !p.isEmpty(); }, from));
    EXPECT_TRUE(command(QStringLiteral("brightness/set"), "6").value(u"ok").toBool());
}

TEST_F(MqttFaceTest, RemovingTheSignRemovesItsConfigsAndRetainedTopics)
{
    startFace();
    ASSERT_TRUE(observer->waitFor(QStringLiteral("homeassistant/image/shop-pc/front_preview/config"),
                                  [](const QByteArray &p) { return !p.isEmpty(); }));
    face->stop();
    face.reset();
    // `signs remove` with the broker's options, as a user types it.
    struct Quiet final : public Console {
        void out(const QString &) override {}
        void err(const QString &t) override { text += t; }
        bool errIsTerminal() const override { return false; }
        bool inIsTerminal() const override { return false; }
        std::optional<QString> readLine() override { return std::nullopt; }
        QString text;
    } console;
    const QByteArray signs = dir.filePath(QStringLiteral("signs.ini")).toLocal8Bit();
    qputenv("BRIVANE_SIGNS", signs);
    CliApp cli(console);
    ASSERT_EQ(cli.run({QStringLiteral("brivane-cli"), QStringLiteral("signs"), QStringLiteral("add"),
                       QStringLiteral("front"), QStringLiteral("tcp://192.168.1.50:4001")}),
              0);
    const int code = cli.run({QStringLiteral("brivane-cli"), QStringLiteral("signs"),
                              QStringLiteral("remove"), QStringLiteral("front"),
                              QStringLiteral("--mqtt"), broker.url(), QStringLiteral("--mqtt-id"),
                              QStringLiteral("shop-pc")});
    qunsetenv("BRIVANE_SIGNS");
    ASSERT_EQ(code, 0) << console.text.toStdString();
    // A new observer sees nothing retained of the sign any more.
    MqttObserver late(broker.settings(QStringLiteral("late")));
    ASSERT_TRUE(late.connect());
    QThread::msleep(500);
    QCoreApplication::processEvents();
    for (const auto &m : late.messages)
        EXPECT_FALSE(m.topic.startsWith(u"homeassistant/") || m.topic.startsWith(u"brivane/front/"))
            << m.topic.toStdString();
}

TEST_F(MqttFaceTest, AKilledServiceIsOfflineByItsLastWill)
{
    const QString program = builtProgram(QStringLiteral("src/brivane-cli"));
    if (!QFileInfo(program).isExecutable())
        GTEST_SKIP() << "brivane-cli is not built";
    QProcess serve;
    serve.setProcessChannelMode(QProcess::MergedChannels);
    serve.start(program, {QStringLiteral("--project"), projectFile, QStringLiteral("--port"),
                          card.devicePath(), QStringLiteral("serve"), QStringLiteral("--listen"),
                          QStringLiteral("none"), QStringLiteral("--mqtt"), broker.url(),
                          QStringLiteral("--mqtt-id"), QStringLiteral("kiosk")});
    ASSERT_TRUE(serve.waitForStarted(30000));
    ASSERT_TRUE(observer->waitFor(QStringLiteral("brivane/sign/status"),
                                  [](const QByteArray &p) { return p == "online"; }))
        << serve.readAll().toStdString();
    ASSERT_TRUE(waitUntil([&] {
        int n = 0;
        for (const auto &m : observer->messages)
            n += m.topic.startsWith(u"homeassistant/") && m.topic.contains(u"/kiosk/");
        return n >= 8;
    }));
    ::kill(pid_t(serve.processId()), SIGKILL);
    ASSERT_TRUE(serve.waitForFinished(30000));
    // The broker notices the dropped line at once (the socket closes).
    EXPECT_TRUE(observer->waitFor(QStringLiteral("brivane/sign/status"),
                                  [](const QByteArray &p) { return p == "offline"; }));
}
