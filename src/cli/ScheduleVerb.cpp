// The schedule verb: check a schedule file, or show what it gives when.

#include "cli/CliApp.h"
#include "base/Language.h"

#include "base/LocalClock.h"
#include "cli/Console.h"
#include "model/Schedule.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QLocale>

namespace {

constexpr int kDefaultDays = 7;
constexpr int kMaxDays = 31;
// Changes listed at most, whatever the schedule: a window every minute
// for a month stays readable and bounded.
constexpr int kMaxChanges = 5000;

QString timeText(const QDateTime &t)
{
    return t.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QJsonValue brightnessJson(const ScheduleState &state)
{
    return state.brightness ? QJsonValue(*state.brightness) : QJsonValue(QJsonValue::Null);
}

QString powerText(const ScheduleState &state)
{
    return state.powerOn ? QStringLiteral("on") : QStringLiteral("off");
}

} // namespace

int CliApp::verbSchedule(const QStringList &args)
{
    const QString what = args.at(0);
    const QString verb = QStringLiteral("schedule");
    if (what != u"check" && what != u"show")
        return usageError(trEn("Cli", "schedule: expected check or show, not '%1'").arg(what),
                          verb);
    const ScheduleFile file = ScheduleFile::read(args.at(1));
    const QString shownPath = QDir::toNativeSeparators(args.at(1));
    if (!file.ok()) {
        QJsonArray problems;
        for (const ScheduleProblem &p : file.problems) {
            m_console.err(QStringLiteral("%1: %2: %3\n")
                              .arg(QLatin1String("brivane-cli"), shownPath, p.line()));
            problems.append(
                QJsonObject{{QStringLiteral("field"), p.field}, {QStringLiteral("error"), p.text}});
        }
        printJson(QJsonObject{{QStringLiteral("file"), shownPath},
                              {QStringLiteral("problems"), problems}});
        return fail(ExitUsage, trEn("Cli", "%1: the schedule is refused: %2 problem(s)")
                                   .arg(shownPath)
                                   .arg(file.problems.size()));
    }
    const Schedule &schedule = file.schedule;
    if (what == u"check") {
        const QString sync =
            schedule.clockSync ? Schedule::timeText(*schedule.clockSync) : QStringLiteral("none");
        print(trEn("Cli", "%1: no problems; play lists: %2, brightness windows: %3, power "
                             "windows: %4, clock sync: %5")
                  .arg(shownPath)
                  .arg(schedule.playlists.size())
                  .arg(schedule.brightness.size())
                  .arg(schedule.power.size())
                  .arg(sync));
        printJson(QJsonObject{
            {QStringLiteral("file"), shownPath},
            {QStringLiteral("playlists"), int(schedule.playlists.size())},
            {QStringLiteral("brightness"), int(schedule.brightness.size())},
            {QStringLiteral("power"), int(schedule.power.size())},
            {QStringLiteral("clockSync"),
             schedule.clockSync ? QJsonValue(sync) : QJsonValue(QJsonValue::Null)},
        });
        return ExitOk;
    }

    QDateTime at = localNow();
    if (isSet(QStringLiteral("at"))) {
        QString text = option(QStringLiteral("at")).trimmed();
        text.replace(QLatin1Char(' '), QLatin1Char('T'));
        at = QDateTime::fromString(text, Qt::ISODate);
        if (!at.isValid() || text.size() < 16)
            return usageError(trEn("Cli", "--at: expected a local time such as "
                                             "2026-12-10T10:30, not '%1'")
                                  .arg(option(QStringLiteral("at"))),
                              verb);
    }
    int days = kDefaultDays;
    if (isSet(QStringLiteral("days"))) {
        bool ok = false;
        days = option(QStringLiteral("days")).toInt(&ok);
        if (!ok || days < 1 || days > kMaxDays)
            return usageError(trEn("Cli", "--days must be 1 to %1").arg(kMaxDays), verb);
    }

    const QDir folder = QFileInfo(file.path).dir();
    const QString project = QDir::toNativeSeparators(folder.relativeFilePath(projectPath()));
    const auto listName = [&](const ScheduleState &state) {
        return state.playlist < 0 ? project : schedule.playlists[size_t(state.playlist)].file;
    };
    const ScheduleDecision now = decideSchedule(schedule, at);
    QJsonObject result{
        {QStringLiteral("playlist"), listName(now.state)},
        {QStringLiteral("entry"),
         now.state.playlist < 0 ? QJsonValue(QJsonValue::Null) : QJsonValue(now.state.playlist)},
        {QStringLiteral("brightness"), brightnessJson(now.state)},
        {QStringLiteral("power"), powerText(now.state)},
        {QStringLiteral("next"), now.next.isValid() ? QJsonValue(now.next.toString(Qt::ISODate))
                                                    : QJsonValue(QJsonValue::Null)},
    };

    print(trEn("Cli", "%1 from %2 for %3 days (without an entry: %4)")
              .arg(shownPath, timeText(at))
              .arg(days)
              .arg(project));
    const QDateTime end = at.addDays(days);
    QJsonArray changes;
    ScheduleDecision d = now;
    QDateTime t = at;
    for (int n = 0; n < kMaxChanges && t.isValid() && t < end; ++n) {
        const QString brightness =
            d.state.brightness ? QString::number(*d.state.brightness) : QStringLiteral("-");
        print(trEn("Cli", "  %1 %2  %3  brightness %4  power %5")
                  .arg(QLocale::c().dayName(t.date().dayOfWeek(), QLocale::ShortFormat),
                       timeText(t), listName(d.state), brightness, powerText(d.state)));
        changes.append(QJsonObject{{QStringLiteral("at"), t.toString(Qt::ISODate)},
                                   {QStringLiteral("playlist"), listName(d.state)},
                                   {QStringLiteral("brightness"), brightnessJson(d.state)},
                                   {QStringLiteral("power"), powerText(d.state)}});
        t = d.next;
        if (t.isValid())
            d = decideSchedule(schedule, t);
    }
    print(now.next.isValid() ? trEn("Cli", "Next change: %1").arg(timeText(now.next))
                             : trEn("Cli", "Nothing changes after this."));
    if (isSet(QStringLiteral("days")) || !isSet(QStringLiteral("at")))
        result[u"changes"] = changes;
    printJson(result);
    return ExitOk;
}
