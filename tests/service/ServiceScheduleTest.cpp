// The service running a schedule against the virtual card, its clock
// moved by the test: each list sent at its time, the night level set, no
// resend after a restart, and a broken file refused with the last good
// schedule kept.
#include "ServiceTestSupport.h"

#include "base/LocalClock.h"

#include <QJsonArray>

namespace {

class ServiceSchedule : public ServiceFixture {
protected:
    void SetUp() override
    {
        ServiceFixture::SetUp();
        setLocalNowSource([this] { return now; });
        ASSERT_TRUE(writeAll(dir.filePath(QStringLiteral("breakfast.brivprj")),
                             textProjectXml({QStringLiteral("早")})));
        ASSERT_TRUE(writeAll(dir.filePath(QStringLiteral("lunch.brivprj")),
                             textProjectXml({QStringLiteral("午"), QStringLiteral("饭")})));
        schedulePath = dir.filePath(QStringLiteral("schedule.json"));
        ASSERT_TRUE(writeAll(schedulePath, R"({"version": 1,
            "playlists": [{"file": "breakfast.brivprj", "from": "06:00", "to": "10:30"},
                          {"file": "lunch.brivprj", "from": "10:30", "to": "14:00"}],
            "brightness": [{"from": "19:00", "to": "07:00", "level": 3}]})"));
    }
    void TearDown() override
    {
        ServiceFixture::TearDown();
        setLocalNowSource({});
    }

    // The schedule's status once what it decided is on the card.
    QJsonObject settled()
    {
        QJsonObject status;
        for (int i = 0; i < 300; ++i) {
            status = call("GET", QStringLiteral("/api/schedule/status")).json();
            if (status.value(u"applied").toBool())
                break;
            QEventLoop loop;
            QTimer::singleShot(100, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return status;
    }

    QDateTime now = QDateTime(QDate(2026, 12, 10), QTime(10, 29, 57));
};

TEST_F(ServiceSchedule, SendsEachListAtItsTimeOnceAndSetsTheNightLevel)
{
    card.setBrightness(12);
    startService();
    QJsonObject status = settled();
    EXPECT_EQ(status.value(u"playlist").toString(), u"breakfast.brivprj");
    EXPECT_EQ(status.value(u"next").toString(), u"2026-12-10T10:30:00");
    EXPECT_EQ(card.clearCount(), 1);
    EXPECT_EQ(card.pages().size(), 1u);

    now = QDateTime(QDate(2026, 12, 10), QTime(10, 30));
    status = settled();
    EXPECT_EQ(status.value(u"playlist").toString(), u"lunch.brivprj");
    EXPECT_EQ(card.clearCount(), 2);
    EXPECT_EQ(card.pages().size(), 2u);

    now = QDateTime(QDate(2026, 12, 10), QTime(19, 0));
    status = settled();
    EXPECT_EQ(status.value(u"brightness").toInt(), 3);
    EXPECT_EQ(card.brightness(), 3);
    EXPECT_EQ(card.clearCount(), 3); // the project itself after lunch

    // A restart remembers what the card holds.
    service.reset();
    startService();
    EXPECT_TRUE(settled().value(u"applied").toBool());
    EXPECT_EQ(card.clearCount(), 3);

    // The morning: the night window ends and the level from before it returns.
    now = QDateTime(QDate(2026, 12, 11), QTime(7, 0));
    settled();
    EXPECT_EQ(card.brightness(), 12);
}

TEST_F(ServiceSchedule, ABrokenFileIsRefusedAndTheLastGoodOneKept)
{
    startService();
    ASSERT_TRUE(settled().value(u"applied").toBool());
    const int sends = card.clearCount();
    const QByteArray before = readAll(schedulePath);
    const HttpAnswer refused = call("PUT", QStringLiteral("/api/schedule"),
                                    R"({"playlists": [{"file": "none.brivprj"}]})");
    EXPECT_EQ(refused.status, 400);
    EXPECT_EQ(
        refused.json().value(u"problems").toArray().at(0).toObject().value(u"field").toString(),
        u"playlists[0].file");
    EXPECT_EQ(readAll(schedulePath), before);
    ASSERT_TRUE(
        writeAll(schedulePath, R"({"playlists": [{"file": "lunch.brivprj", "from": "25:00"}]})"));
    QJsonObject status;
    for (int i = 0; i < 100 && status.value(u"ok").toBool(true); ++i) {
        QEventLoop loop;
        QTimer::singleShot(100, &loop, &QEventLoop::quit);
        loop.exec();
        status = call("GET", QStringLiteral("/api/schedule/status")).json();
    }
    EXPECT_FALSE(status.value(u"ok").toBool(true));
    EXPECT_TRUE(status.value(u"active").toBool());
    EXPECT_EQ(status.value(u"problems").toArray().at(0).toObject().value(u"field").toString(),
              u"playlists[0].from");
    EXPECT_EQ(status.value(u"playlist").toString(), u"breakfast.brivprj");
    EXPECT_EQ(card.clearCount(), sends);
}

} // namespace

namespace {

TEST_F(ServiceSchedule, AMessageSitsAboveTheScheduleThenItsListComesBack)
{
    now = QDateTime(QDate(2026, 12, 10), QTime(11, 0)); // lunch: two programs
    startService();
    ASSERT_TRUE(settled().value(u"applied").toBool());
    ASSERT_EQ(card.pages().size(), 2u);
    const int sends = card.clearCount();
    const HttpAnswer posted = call("POST", QStringLiteral("/api/notify"),
                                   R"({"text": "急", "duration": 1, "colour": "green"})");
    ASSERT_EQ(posted.status, 202) << posted.body.toStdString();
    EXPECT_EQ(call("POST", QStringLiteral("/api/notify"), R"({"text": "", "duration": 1})").status,
              400);
    // The message, then lunch again.
    for (int i = 0; i < 300 && card.clearCount() < sends + 2; ++i) {
        QEventLoop loop;
        QTimer::singleShot(100, &loop, &QEventLoop::quit);
        loop.exec();
    }
    EXPECT_EQ(card.clearCount(), sends + 2);
    EXPECT_TRUE(settled().value(u"applied").toBool());
    EXPECT_EQ(card.pages().size(), 2u);
    EXPECT_TRUE(log.join(u'\n').contains(QStringLiteral("notify: the message ended")));
}

} // namespace
