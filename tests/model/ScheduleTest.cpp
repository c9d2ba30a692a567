// The schedule: the decision at a time (tables of weekdays, windows past
// midnight, date ranges, priorities, clock changes) and the file's checks.
#include "model/Schedule.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

// 2026-12-10 is a Thursday.
const char *const kShop = R"({"version": 1,
  "playlists": [
    {"file": "breakfast.brivprj", "days": [1,2,3,4,5], "from": "06:00", "to": "10:30"},
    {"file": "night.brivprj", "days": [5], "from": "22:00", "to": "02:00"},
    {"file": "holiday.brivprj", "dateFrom": "2026-12-24", "dateTo": "2026-12-26", "priority": 5},
    {"file": "lunch.brivprj", "from": "11:00", "to": "14:00", "priority": 5},
    {"file": "lunch2.brivprj", "from": "11:00", "to": "14:00", "priority": 5},
    {"file": "closed.brivprj", "enabled": false}
  ],
  "brightness": [{"from": "19:00", "to": "07:00", "level": 3}],
  "power": [{"from": "23:00", "to": "06:00", "state": "off"}],
  "clockSync": "03:00",
  "owner": {"note": "kept"}})";

Schedule parse(const char *text)
{
    QList<ScheduleProblem> problems;
    Schedule s = Schedule::fromJson(QByteArray(text), &problems);
    EXPECT_TRUE(problems.isEmpty()) << problems.value(0).line().toStdString();
    return s;
}

QDateTime local(const char *iso)
{
    return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate);
}

TEST(Schedule, DecisionTable)
{
    const Schedule shop = parse(kShop);
    const struct {
        const char *at;
        int playlist;
        int brightness; // -1: none
        bool on;
        const char *next; // "" never
    } cases[] = {
        {"2026-12-10T10:29:57", 0, -1, true, "2026-12-10T10:30:00"},  // weekday window
        {"2026-12-10T10:30:00", -1, -1, true, "2026-12-10T11:00:00"}, // its end is outside
        {"2026-12-10T12:00:00", 3, -1, true, "2026-12-10T14:00:00"},  // equal priority: first
        {"2026-12-10T06:30:00", 0, 3, true, "2026-12-10T07:00:00"},   // night level until 07:00
        {"2026-12-11T23:30:00", 1, 3, false, "2026-12-12T02:00:00"},  // Friday night
        {"2026-12-12T01:00:00", 1, 3, false, "2026-12-12T02:00:00"},  // started Friday
        {"2026-12-13T01:00:00", -1, 3, false, "2026-12-13T06:00:00"}, // not after Saturday
        {"2026-12-12T23:00:00", -1, 3, false, "2026-12-13T06:00:00"}, // power window starts
        {"2026-12-24T08:00:00", 2, -1, true, "2026-12-24T19:00:00"},  // date range outranks
        {"2026-12-24T12:00:00", 2, -1, true, "2026-12-24T19:00:00"},  // listed before lunch
        {"2026-12-26T23:59:00", 2, 3, false, "2026-12-27T00:00:00"},  // last day's end
        {"2026-12-27T00:30:00", -1, 3, false, "2026-12-27T06:00:00"},
        {"2026-12-23T23:59:00", -1, 3, false, "2026-12-24T00:00:00"}, // range ahead
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.at);
        const ScheduleDecision d = decideSchedule(shop, local(c.at));
        EXPECT_EQ(d.state.playlist, c.playlist);
        EXPECT_EQ(d.state.brightness.value_or(-1), c.brightness);
        EXPECT_EQ(d.state.powerOn, c.on);
        EXPECT_EQ(d.next, QString::fromLatin1(c.next).isEmpty() ? QDateTime() : local(c.next));
    }
    EXPECT_EQ(nextClockSync(shop, local("2026-12-10T03:00:00")), local("2026-12-11T03:00:00"));
}

TEST(Schedule, NothingChangesWithoutWindows)
{
    const Schedule every = parse(R"({"playlists": [{"file": "a.brivprj"}]})");
    const ScheduleDecision d = decideSchedule(every, local("2026-12-10T10:00:00"));
    EXPECT_EQ(d.state.playlist, 0);
    EXPECT_FALSE(d.next.isValid());
}

TEST(Schedule, ClockChangesMoveTheBoundaries)
{
    const QTimeZone berlin("Europe/Berlin");
    if (!berlin.isValid())
        GTEST_SKIP() << "no time zone data for Europe/Berlin";
    const Schedule s =
        parse(R"({"playlists": [{"file": "a.brivprj", "from": "02:30", "to": "04:00"}]})");
    // 2026-03-29: 02:00 becomes 03:00; the window opens when the clocks jump.
    const QDateTime spring(QDate(2026, 3, 29), QTime(1, 59), berlin);
    EXPECT_EQ(decideSchedule(s, spring).next, QDateTime(QDate(2026, 3, 29), QTime(3, 0), berlin));
    // 2026-10-25: 03:00 becomes 02:00; 02:30 comes twice, and so does the window.
    const QDateTime autumn =
        QDateTime(QDate(2026, 10, 25), QTime(0, 0), Qt::UTC).toTimeZone(berlin); // 02:00 CEST
    const ScheduleDecision first = decideSchedule(s, autumn);
    EXPECT_EQ(first.next.toUTC(), QDateTime(QDate(2026, 10, 25), QTime(0, 30), Qt::UTC));
    const QDateTime again = QDateTime(QDate(2026, 10, 25), QTime(1, 0), Qt::UTC).toTimeZone(berlin);
    EXPECT_EQ(decideSchedule(s, again).state.playlist, -1);
    EXPECT_EQ(decideSchedule(s, again).next.toUTC(),
              QDateTime(QDate(2026, 10, 25), QTime(1, 30), Qt::UTC));
}

TEST(Schedule, ProblemsNameTheEntryAndField)
{
    const struct {
        const char *json;
        const char *field;
    } cases[] = {
        {"not json", ""},
        {"[]", ""},
        {R"({"version": 2})", "version"},
        {R"({"playlists": {}})", "playlists"},
        {R"({"playlists": [{"file": "a", "from": "25:00"}]})", "playlists[0].from"},
        {R"({"playlists": [{"file": "a", "from": "24:00"}]})", "playlists[0].from"},
        {R"({"playlists": [{"file": "a", "to": "7:00"}]})", "playlists[0].to"},
        {R"({"playlists": [{"file": "a", "from": "08:00", "to": "08:00"}]})", "playlists[0].to"},
        {R"({"playlists": [{"file": "a"}, {"from": "08:00"}]})", "playlists[1].file"},
        {R"({"playlists": [{"file": "a", "days": [0]}]})", "playlists[0].days"},
        {R"({"playlists": [{"file": "a", "days": []}]})", "playlists[0].days"},
        {R"({"playlists": [{"file": "a", "dateFrom": "2026-02-30"}]})", "playlists[0].dateFrom"},
        {R"({"playlists": [{"file": "a", "dateFrom": "2026-12-26", "dateTo": "2026-12-24"}]})",
         "playlists[0].dateTo"},
        {R"({"playlists": [{"file": "a", "priority": 1.5}]})", "playlists[0].priority"},
        {R"({"playlists": [{"file": "a", "enabled": "yes"}]})", "playlists[0].enabled"},
        {R"({"brightness": [{"level": 16}]})", "brightness[0].level"},
        {R"({"brightness": [{"from": "19:00"}]})", "brightness[0].level"},
        {R"({"power": [{"state": "dim"}]})", "power[0].state"},
        {R"({"clockSync": "3:00"})", "clockSync"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.json);
        QList<ScheduleProblem> problems;
        Schedule::fromJson(QByteArray(c.json), &problems);
        ASSERT_EQ(problems.size(), 1);
        EXPECT_EQ(problems.at(0).field, QString::fromLatin1(c.field));
        EXPECT_FALSE(problems.at(0).text.isEmpty());
    }
}

TEST(Schedule, SavingKeepsUnknownFieldsAndReadsBackTheSame)
{
    const Schedule shop = parse(kShop);
    const Schedule again = parse(shop.toJson().constData());
    const QJsonObject root = QJsonDocument::fromJson(shop.toJson()).object();
    EXPECT_EQ(root.value(u"owner").toObject().value(u"note").toString(), u"kept");
    for (const char *at : {"2026-12-11T23:30:00", "2026-12-24T12:00:00", "2026-12-10T06:30:00"})
        EXPECT_EQ(decideSchedule(again, local(at)).state, decideSchedule(shop, local(at)).state);
}

} // namespace
