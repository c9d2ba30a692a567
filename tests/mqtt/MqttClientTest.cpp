// The broker connection against a real mosquitto: the three ways in
// (anonymous, password, TLS with a CA), a wrong password refused, the
// connection coming back after the broker restarts, and a goodbye that
// drops the last will.

#include "MqttTestSupport.h"

#include <gtest/gtest.h>

namespace {

struct Way {
    const char *name;
    MqttBroker::Kind kind;
};

class MqttClientWays : public ::testing::TestWithParam<Way> {};

} // namespace

TEST_P(MqttClientWays, ConnectsPublishesRetainedAndReceives)
{
    if (MqttBroker::program().isEmpty())
        GTEST_SKIP() << "mosquitto is not installed";
    MqttBroker broker;
    QString error;
    ASSERT_TRUE(broker.start(GetParam().kind, &error)) << error.toStdString();
    MqttObserver observer(broker.settings(QStringLiteral("observer")));
    ASSERT_TRUE(observer.connect());
    ASSERT_TRUE(observer.publish(QStringLiteral("t/retained"), "kept", true));
    ASSERT_TRUE(observer.waitFor(QStringLiteral("t/retained"),
                                 [](const QByteArray &p) { return p == "kept"; }));
    // A second client sees the retained message, marked so.
    MqttObserver late(broker.settings(QStringLiteral("late")));
    ASSERT_TRUE(late.connect(QStringLiteral("t/#")));
    ASSERT_TRUE(late.waitFor(QStringLiteral("t/retained"),
                             [](const QByteArray &p) { return p == "kept"; }));
    EXPECT_TRUE(late.messages.front().retained);
}

INSTANTIATE_TEST_SUITE_P(Broker, MqttClientWays,
                         ::testing::Values(Way{"Anonymous", MqttBroker::Kind::Anonymous},
                                           Way{"Password", MqttBroker::Kind::Password},
                                           Way{"Tls", MqttBroker::Kind::Tls}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(MqttClient, AWrongPasswordIsRefusedAndTriedAgainLater)
{
    if (MqttBroker::program().isEmpty())
        GTEST_SKIP() << "mosquitto is not installed";
    MqttBroker broker;
    QString error;
    ASSERT_TRUE(broker.start(MqttBroker::Kind::Password, &error)) << error.toStdString();
    MqttSettings settings = broker.settings(QStringLiteral("wrong"));
    settings.password = "wrong";
    MqttClient client(settings);
    QStringList log;
    QObject::connect(&client, &MqttClient::logLine, [&](const QString &line) { log << line; });
    client.start();
    ASSERT_TRUE(waitUntil([&] { return log.join(u'\n').contains(u"trying again in 2 s"); }))
        << log.join(u'\n').toStdString();
    EXPECT_FALSE(client.isConnected());
    EXPECT_TRUE(log.join(u'\n').contains(u"refused")) << log.join(u'\n').toStdString();
    EXPECT_FALSE(client.publish(QStringLiteral("t"), "x", false));
}

TEST(MqttClient, ComesBackAfterTheBrokerRestartsAndAGoodbyeDropsTheWill)
{
    if (MqttBroker::program().isEmpty())
        GTEST_SKIP() << "mosquitto is not installed";
    MqttBroker broker;
    QString error;
    ASSERT_TRUE(broker.start(MqttBroker::Kind::Anonymous, &error)) << error.toStdString();
    MqttSettings settings = broker.settings(QStringLiteral("sign"));
    settings.willTopic = QStringLiteral("b/s/status");
    settings.willPayload = "offline";
    settings.keepAliveSeconds = 5;
    MqttClient client(settings);
    int ups = 0;
    QObject::connect(&client, &MqttClient::connectedChanged, [&](bool up) { ups += up; });
    client.start();
    ASSERT_TRUE(waitUntil([&] { return client.isConnected(); }));
    ASSERT_TRUE(client.publish(QStringLiteral("b/s/status"), "online", true));

    // The broker goes away and comes back on the same port: the client
    // connects again by itself.
    broker.stop();
    ASSERT_TRUE(waitUntil([&] { return !client.isConnected(); }));
    ASSERT_TRUE(broker.launch(&error)) << error.toStdString();
    ASSERT_TRUE(waitUntil([&] { return client.isConnected(); }, 120000));
    EXPECT_EQ(ups, 2);

    // A goodbye drops the will: "offline" only when the line just ends.
    MqttObserver observer(broker.settings(QStringLiteral("observer")));
    ASSERT_TRUE(observer.connect());
    ASSERT_TRUE(client.publish(QStringLiteral("b/s/status"), "online", true));
    ASSERT_TRUE(observer.waitFor(QStringLiteral("b/s/status"),
                                 [](const QByteArray &p) { return p == "online"; }));
    client.stop();
    QThread::msleep(500);
    QCoreApplication::processEvents();
    EXPECT_EQ(observer.last(QStringLiteral("b/s/status")), "online");
}
