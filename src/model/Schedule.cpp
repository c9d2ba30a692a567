#include "model/Schedule.h"

#include "model/PlayList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTimeZone>
#include <algorithm>
#include <set>

namespace {

constexpr int kMaxPriority = 1000000;
// Days before and after a time over which the next change is looked for;
// windows repeat weekly, so eight days see every weekday's boundaries.
constexpr int kHorizonDays = 8;

const QString kVersionKey = QStringLiteral("version");
const QString kPlaylistsKey = QStringLiteral("playlists");
const QString kBrightnessKey = QStringLiteral("brightness");
const QString kPowerKey = QStringLiteral("power");
const QString kClockSyncKey = QStringLiteral("clockSync");

// Reads the fields of one entry, collecting problems under its path.
class EntryReader {
public:
    EntryReader(const QJsonObject &entry, QString path, QList<ScheduleProblem> *problems)
        : m_entry(entry), m_path(std::move(path)), m_problems(problems)
    {
    }

    void problem(const QString &field, const QString &text)
    {
        m_problems->append({m_path + QLatin1Char('.') + field, text});
    }

    ScheduleWindow window()
    {
        ScheduleWindow w;
        w.from = time(QStringLiteral("from"), 0, false);
        w.to = time(QStringLiteral("to"), ScheduleWindow::kDayMinutes, true);
        if (w.from >= 0 && w.to >= 0 && w.from == w.to)
            problem(QStringLiteral("to"), QCoreApplication::translate("Schedule", "结束时间与开始时间相同"));
        w.days = days();
        w.dateFrom = date(QStringLiteral("dateFrom"));
        w.dateTo = date(QStringLiteral("dateTo"));
        if (w.dateFrom.isValid() && w.dateTo.isValid() && w.dateTo < w.dateFrom)
            problem(QStringLiteral("dateTo"), QCoreApplication::translate("Schedule", "结束日期早于开始日期"));
        return w;
    }

    int time(const QString &key, int absent, bool endOfDayAllowed)
    {
        const QJsonValue v = m_entry.value(key);
        if (v.isUndefined())
            return absent;
        const int minutes = v.isString() ? Schedule::parseTime(v.toString(), endOfDayAllowed) : -1;
        if (minutes < 0)
            problem(key, timeProblem(v, endOfDayAllowed));
        return minutes;
    }

    static QString timeProblem(const QJsonValue &v, bool endOfDayAllowed)
    {
        const QString shown =
            v.isString()
                ? v.toString()
                : QString::fromUtf8(QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact))
                      .mid(1)
                      .chopped(1);
        return QCoreApplication::translate("Schedule", "时间“%1”无效，应为 00:00 至 %2 的“时:分”")
            .arg(shown, endOfDayAllowed ? QStringLiteral("24:00") : QStringLiteral("23:59"));
    }

    quint8 days()
    {
        const QJsonValue v = m_entry.value(QStringLiteral("days"));
        if (v.isUndefined())
            return ScheduleWindow::kEveryDay;
        quint8 bits = 0;
        bool good = v.isArray() && !v.toArray().isEmpty();
        for (const QJsonValue &day : v.toArray()) {
            const double d = day.toDouble(-1);
            if (!day.isDouble() || d != int(d) || d < 1 || d > 7)
                good = false;
            else
                bits |= quint8(1u << int(d));
        }
        if (!good)
            problem(QStringLiteral("days"),
                    QCoreApplication::translate("Schedule", "应为 1 至 7 的星期数组（1 为星期一，7 为星期日）"));
        return bits;
    }

    QDate date(const QString &key)
    {
        const QJsonValue v = m_entry.value(key);
        if (v.isUndefined() || v.isNull())
            return {};
        static const QRegularExpression shape(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
        const QDate d = v.isString() && shape.match(v.toString()).hasMatch()
                            ? QDate::fromString(v.toString(), Qt::ISODate)
                            : QDate();
        if (!d.isValid())
            problem(key, QCoreApplication::translate("Schedule", "日期“%1”无效，应为“年-月-日”，如 2026-12-24")
                             .arg(v.isString() ? v.toString() : QStringLiteral("?")));
        return d;
    }

    int integer(const QString &key, int absent, int low, int high, const QString &text)
    {
        const QJsonValue v = m_entry.value(key);
        if (v.isUndefined())
            return absent;
        const double d = v.toDouble(low - 1.0);
        if (!v.isDouble() || d != int(d) || d < low || d > high) {
            problem(key, text);
            return absent;
        }
        return int(d);
    }

    bool boolean(const QString &key, bool absent)
    {
        const QJsonValue v = m_entry.value(key);
        if (v.isUndefined())
            return absent;
        if (!v.isBool())
            problem(key, QCoreApplication::translate("Schedule", "应为 true 或 false"));
        return v.toBool(absent);
    }

    QString string(const QString &key) const { return m_entry.value(key).toString(); }
    bool has(const QString &key) const { return m_entry.contains(key); }

private:
    const QJsonObject &m_entry;
    QString m_path;
    QList<ScheduleProblem> *m_problems;
};

// The entries of one array of the file, each as an object with its path.
template <typename Read>
void readEntries(const QJsonObject &root, const QString &key, QList<ScheduleProblem> *problems,
                 Read read)
{
    const QJsonValue v = root.value(key);
    if (v.isUndefined() || v.isNull())
        return;
    if (!v.isArray()) {
        problems->append({key, QCoreApplication::translate("Schedule", "应为数组")});
        return;
    }
    const QJsonArray entries = v.toArray();
    if (entries.size() > Schedule::kMaxEntries) {
        problems->append(
            {key, QCoreApplication::translate("Schedule", "条目太多（最多 %1 个）").arg(Schedule::kMaxEntries)});
        return;
    }
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString path = QStringLiteral("%1[%2]").arg(key).arg(i);
        if (!entries.at(i).isObject()) {
            problems->append({path, QCoreApplication::translate("Schedule", "应为对象")});
            continue;
        }
        const QJsonObject entry = entries.at(i).toObject();
        EntryReader reader(entry, path, problems);
        read(entry, reader);
    }
}

QJsonObject windowJson(QJsonObject o, const ScheduleWindow &w)
{
    o[u"from"] = Schedule::timeText(w.from);
    o[u"to"] = Schedule::timeText(w.to);
    if (w.days != ScheduleWindow::kEveryDay || o.contains(u"days")) {
        QJsonArray days;
        for (int d = 1; d <= 7; ++d)
            if (w.days & (1u << d))
                days.append(d);
        o[u"days"] = days;
    }
    if (w.dateFrom.isValid())
        o[u"dateFrom"] = w.dateFrom.toString(Qt::ISODate);
    else
        o.remove(u"dateFrom");
    if (w.dateTo.isValid())
        o[u"dateTo"] = w.dateTo.toString(Qt::ISODate);
    else
        o.remove(u"dateTo");
    return o;
}

// The wall-clock minute of a time in its own zone.
int minuteOf(const QDateTime &t)
{
    return t.time().hour() * 60 + t.time().minute();
}

QDateTime instantOf(QDate date, int minute, const QDateTime &zoneOf)
{
    date = date.addDays(minute / ScheduleWindow::kDayMinutes);
    minute %= ScheduleWindow::kDayMinutes;
    const QTime time(minute / 60, minute % 60);
    // A wall-clock time the clocks skip (spring forward) comes out moved
    // forward by the gap; one they pass twice, as its first occurrence.
    return zoneOf.timeSpec() == Qt::TimeZone
               ? QDateTime(date, time, zoneOf.timeZone())
               : QDateTime(date, time, zoneOf.timeSpec(), zoneOf.offsetFromUtc());
}

} // namespace

bool ScheduleWindow::startsOn(QDate day) const
{
    if (!(days & (1u << day.dayOfWeek())))
        return false;
    if (dateFrom.isValid() && day < dateFrom)
        return false;
    return !(dateTo.isValid() && day > dateTo);
}

bool ScheduleWindow::holdsAt(QDate date, int minute) const
{
    if (!crossesMidnight())
        return minute >= from && minute < to && startsOn(date);
    if (minute >= from && startsOn(date))
        return true;
    return minute < to && startsOn(date.addDays(-1));
}

QString ScheduleProblem::line() const
{
    return field.isEmpty() ? text : field + QStringLiteral("：") + text;
}

int Schedule::parseTime(const QString &text, bool endOfDayAllowed)
{
    static const QRegularExpression shape(QStringLiteral("^(\\d{2}):(\\d{2})$"));
    const QRegularExpressionMatch m = shape.match(text);
    if (!m.hasMatch())
        return -1;
    const int hours = m.captured(1).toInt();
    const int minutes = m.captured(2).toInt();
    if (minutes > 59)
        return -1;
    if (hours == 24 && minutes == 0 && endOfDayAllowed)
        return ScheduleWindow::kDayMinutes;
    return hours < 24 ? hours * 60 + minutes : -1;
}

QString Schedule::timeText(int minutes)
{
    return QStringLiteral("%1:%2")
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

Schedule Schedule::fromJson(const QByteArray &text, QList<ScheduleProblem> *problems)
{
    Schedule s;
    if (text.size() > kMaxFileBytes) {
        problems->append({{}, QCoreApplication::translate("Schedule", "日程文件太大（最多 1 MB）")});
        return s;
    }
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError) {
        problems->append(
            {{}, QCoreApplication::translate("Schedule", "不是有效的 JSON（错在第 %1 个字节处）").arg(error.offset + 1)});
        return s;
    }
    if (!doc.isObject()) {
        problems->append({{}, QCoreApplication::translate("Schedule", "日程文件应为一个 JSON 对象")});
        return s;
    }
    s.m_json = doc.object();
    const QJsonValue version = s.m_json.value(kVersionKey);
    if (!version.isUndefined() && version.toDouble(-1) != kVersion)
        problems->append({kVersionKey, QCoreApplication::translate("Schedule", "不支持的版本 %1（本程序读取版本 %2）")
                                           .arg(version.toVariant().toString())
                                           .arg(kVersion)});

    readEntries(s.m_json, kPlaylistsKey, problems, [&](const QJsonObject &entry, EntryReader &r) {
        SchedulePlaylist p;
        p.json = entry;
        p.file = r.string(QStringLiteral("file"));
        if (p.file.trimmed().isEmpty())
            r.problem(QStringLiteral("file"), QCoreApplication::translate("Schedule", "缺少播放表文件名"));
        p.window = r.window();
        p.priority = r.integer(QStringLiteral("priority"), 0, -kMaxPriority, kMaxPriority,
                               QCoreApplication::translate("Schedule", "优先级应为整数"));
        p.enabled = r.boolean(QStringLiteral("enabled"), true);
        s.playlists.push_back(std::move(p));
    });
    readEntries(s.m_json, kBrightnessKey, problems, [&](const QJsonObject &entry, EntryReader &r) {
        ScheduleBrightness b;
        b.json = entry;
        b.window = r.window();
        if (!r.has(QStringLiteral("level")))
            r.problem(QStringLiteral("level"), QCoreApplication::translate("Schedule", "缺少亮度级别"));
        b.level = r.integer(QStringLiteral("level"), 0, 0, kMaxLevel,
                            QCoreApplication::translate("Schedule", "亮度应为 0 至 15 的整数"));
        s.brightness.push_back(std::move(b));
    });
    readEntries(s.m_json, kPowerKey, problems, [&](const QJsonObject &entry, EntryReader &r) {
        SchedulePower p;
        p.json = entry;
        p.window = r.window();
        const QJsonValue state = entry.value(QStringLiteral("state"));
        if (!state.isUndefined() && state != QJsonValue(QStringLiteral("on")) &&
            state != QJsonValue(QStringLiteral("off")))
            r.problem(QStringLiteral("state"), QCoreApplication::translate("Schedule", "应为“on”或“off”"));
        p.on = state == QJsonValue(QStringLiteral("on"));
        s.power.push_back(std::move(p));
    });
    const QJsonValue sync = s.m_json.value(kClockSyncKey);
    if (!sync.isUndefined() && !sync.isNull()) {
        const int minutes = sync.isString() ? parseTime(sync.toString(), false) : -1;
        if (minutes < 0)
            problems->append({kClockSyncKey, EntryReader::timeProblem(sync, false)});
        else
            s.clockSync = minutes;
    }
    return s;
}

QByteArray Schedule::toJson() const
{
    QJsonObject root = m_json;
    root[kVersionKey] = kVersion;
    QJsonArray lists;
    for (const SchedulePlaylist &p : playlists) {
        QJsonObject o = windowJson(p.json, p.window);
        o[u"file"] = p.file;
        if (p.priority != 0 || o.contains(u"priority"))
            o[u"priority"] = p.priority;
        o[u"enabled"] = p.enabled;
        lists.append(o);
    }
    root[kPlaylistsKey] = lists;
    QJsonArray levels;
    for (const ScheduleBrightness &b : brightness) {
        QJsonObject o = windowJson(b.json, b.window);
        o[u"level"] = b.level;
        levels.append(o);
    }
    root[kBrightnessKey] = levels;
    QJsonArray switches;
    for (const SchedulePower &p : power) {
        QJsonObject o = windowJson(p.json, p.window);
        o[u"state"] = p.on ? QStringLiteral("on") : QStringLiteral("off");
        switches.append(o);
    }
    root[kPowerKey] = switches;
    if (clockSync)
        root[kClockSyncKey] = timeText(*clockSync);
    else
        root.remove(kClockSyncKey);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

ScheduleState scheduleStateAt(const Schedule &schedule, QDate date, int minute)
{
    ScheduleState state;
    for (size_t i = 0; i < schedule.playlists.size(); ++i) {
        const SchedulePlaylist &p = schedule.playlists[i];
        if (!p.enabled || !p.window.holdsAt(date, minute))
            continue;
        if (state.playlist < 0 || p.priority > schedule.playlists[size_t(state.playlist)].priority)
            state.playlist = int(i);
    }
    for (const ScheduleBrightness &b : schedule.brightness)
        if (b.window.holdsAt(date, minute)) {
            state.brightness = b.level;
            break;
        }
    for (const SchedulePower &p : schedule.power)
        if (p.window.holdsAt(date, minute)) {
            state.powerOn = p.on;
            break;
        }
    return state;
}

ScheduleDecision decideSchedule(const Schedule &schedule, const QDateTime &at)
{
    ScheduleDecision decision;
    const QDate today = at.date();
    decision.state = scheduleStateAt(schedule, today, minuteOf(at));

    // The state can change only where a window starts or ends: collect those
    // wall-clock instants near this time and around each entry's dates, then
    // take the first at which the decision differs.
    std::set<QDate> days;
    for (int d = -1; d <= kHorizonDays; ++d)
        days.insert(today.addDays(d));
    std::vector<const ScheduleWindow *> windows;
    for (const SchedulePlaylist &p : schedule.playlists)
        if (p.enabled)
            windows.push_back(&p.window);
    for (const ScheduleBrightness &b : schedule.brightness)
        windows.push_back(&b.window);
    for (const SchedulePower &p : schedule.power)
        windows.push_back(&p.window);
    for (const ScheduleWindow *w : windows) {
        if (w->dateFrom.isValid() && w->dateFrom > today)
            for (int d = 0; d <= kHorizonDays; ++d)
                days.insert(w->dateFrom.addDays(d));
        if (w->dateTo.isValid() && w->dateTo >= today)
            for (int d = -1; d <= 1; ++d)
                days.insert(w->dateTo.addDays(d));
    }
    std::set<QDateTime> instants;
    const auto add = [&](const QDateTime &t) {
        if (t > at)
            instants.insert(t);
    };
    for (const ScheduleWindow *w : windows)
        for (const QDate &day : days) {
            if (!w->startsOn(day))
                continue;
            for (const int minute :
                 {w->from, w->crossesMidnight() ? w->to + ScheduleWindow::kDayMinutes : w->to}) {
                const QDateTime t = instantOf(day, minute, at);
                add(t);
                // A wall-clock time passed twice (the clocks go back) is a
                // boundary both times, whichever of the two t is.
                for (const int way : {1, -1}) {
                    const int shift =
                        way * (t.offsetFromUtc() - t.addSecs(way * 2 * 3600).offsetFromUtc());
                    if (shift > 0 && t.addSecs(way * shift).time() == t.time())
                        add(t.addSecs(way * shift));
                }
            }
        }
    // Where the clocks jump, the wall clock passes over boundaries at once.
    const QTimeZone zone = at.timeSpec() == Qt::TimeZone    ? at.timeZone()
                           : at.timeSpec() == Qt::LocalTime ? QTimeZone::systemTimeZone()
                                                            : QTimeZone();
    if (zone.isValid() && zone.hasTransitions())
        for (const QTimeZone::OffsetData &jump : zone.transitions(at, at.addDays(kHorizonDays)))
            add(at.timeSpec() == Qt::TimeZone ? jump.atUtc.toTimeZone(zone)
                                              : jump.atUtc.toLocalTime());
    for (const QDateTime &t : instants)
        if (!(scheduleStateAt(schedule, t.date(), minuteOf(t)) == decision.state)) {
            decision.next = t;
            break;
        }
    return decision;
}

QDateTime nextClockSync(const Schedule &schedule, const QDateTime &at)
{
    if (!schedule.clockSync)
        return {};
    for (int d = 0; d <= 2; ++d) {
        const QDateTime t = instantOf(at.date().addDays(d), *schedule.clockSync, at);
        if (t > at)
            return t;
    }
    return {};
}

QString ScheduleFile::besideProject(const QString &projectPath)
{
    const QFileInfo project(projectPath);
    for (const QString &name :
         QStringList{project.completeBaseName() + QStringLiteral(".schedule.json"),
                     QStringLiteral("schedule.json")}) {
        const QString path = project.dir().filePath(name);
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

QString ScheduleFile::playlistPath(int index) const
{
    return QFileInfo(path).dir().filePath(schedule.playlists.at(size_t(index)).file);
}

ScheduleFile ScheduleFile::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ScheduleFile f;
        f.path = path;
        f.problems.append(
            {{}, QCoreApplication::translate("Schedule", "无法读取日程文件 %1").arg(QFileInfo(path).fileName())});
        return f;
    }
    return fromText(path, file.read(Schedule::kMaxFileBytes + 1));
}

ScheduleFile ScheduleFile::fromText(const QString &path, const QByteArray &text)
{
    ScheduleFile f;
    f.path = path;
    f.schedule = Schedule::fromJson(text, &f.problems);
    for (size_t i = 0; i < f.schedule.playlists.size(); ++i) {
        const QString file = f.schedule.playlists[i].file;
        if (file.trimmed().isEmpty())
            continue;
        const QString field = QStringLiteral("playlists[%1].file").arg(i);
        const QString listPath = f.playlistPath(int(i));
        if (!QFileInfo(listPath).isFile()) {
            f.problems.append({field, QCoreApplication::translate("Schedule", "播放表文件 %1 不存在").arg(file)});
            continue;
        }
        PlayList list;
        list.setProjectFilePath(listPath);
        const Outcome loaded = list.load();
        if (!loaded)
            f.problems.append(
                {field, QCoreApplication::translate("Schedule", "播放表文件 %1 无法读取：%2").arg(file, loaded.text())});
    }
    return f;
}
