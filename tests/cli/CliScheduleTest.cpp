// The schedule verb: a bad file refused with its entry and field named, and
// the decision at a time as one JSON object.
#include "CliTestSupport.h"

#include <QJsonArray>

namespace {

class CliSchedule : public CliFixture {
protected:
    QString schedule(const QByteArray &json)
    {
        const QString path = dir.filePath(QStringLiteral("schedule.json"));
        EXPECT_TRUE(writeAll(path, json));
        return path;
    }
};

TEST_F(CliSchedule, CheckRefusesABadFileNamingEachProblem)
{
    const QString path = schedule(R"({"playlists": [{"file": "missing.brivprj", "to": "25:00"}]})");
    const CliRun r =
        run({QStringLiteral("--json"), QStringLiteral("schedule"), QStringLiteral("check"), path});
    EXPECT_EQ(r.code, ExitUsage);
    const QJsonArray problems = r.json().value(u"problems").toArray();
    ASSERT_EQ(problems.size(), 2);
    EXPECT_EQ(problems.at(0).toObject().value(u"field").toString(), u"playlists[0].to");
    EXPECT_EQ(problems.at(1).toObject().value(u"field").toString(), u"playlists[0].file");
    EXPECT_TRUE(r.err.contains(QStringLiteral("playlists[0].to")));
}

TEST_F(CliSchedule, ShowAtGivesTheListBrightnessPowerAndNextChange)
{
    writeProject({QStringLiteral("默认")});
    ASSERT_TRUE(writeAll(dir.filePath(QStringLiteral("breakfast.brivprj")),
                         textProjectXml({QStringLiteral("早餐")}, 32, 4)));
    const QString path = schedule(R"({"version": 1,
        "playlists": [{"file": "breakfast.brivprj", "days": [4], "from": "22:00", "to": "02:00"}],
        "brightness": [{"from": "19:00", "to": "07:00", "level": 3}],
        "power": [{"from": "01:00", "to": "06:00", "state": "off"}]})");
    const struct {
        const char *at, *playlist;
        int brightness;
        const char *power, *next;
    } cases[] = {
        {"2026-12-11T01:30", "breakfast.brivprj", 3, "off", "2026-12-11T02:00:00"}, // Thu night
        {"2026-12-12T01:30", "p.brivprj", 3, "off", "2026-12-12T06:00:00"},         // not Fri
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.at);
        const CliRun r =
            run({QStringLiteral("--json"), QStringLiteral("schedule"), QStringLiteral("show"), path,
                 QStringLiteral("--at"), QString::fromLatin1(c.at)});
        ASSERT_EQ(r.code, ExitOk) << r.err.toStdString();
        const QJsonObject o = r.json();
        EXPECT_EQ(o.value(u"playlist").toString(), QString::fromLatin1(c.playlist));
        EXPECT_EQ(o.value(u"brightness").toInt(-1), c.brightness);
        EXPECT_EQ(o.value(u"power").toString(), QString::fromLatin1(c.power));
        EXPECT_EQ(o.value(u"next").toString(), QString::fromLatin1(c.next));
    }
}

} // namespace
