#pragma once
// A sign's schedule: which play list, brightness and power the sign should
// have at each local time. It lives in a JSON file of its own beside the
// project (the project file stays as it is). Schedule::fromJson reads and
// checks a file's text as a whole (a file with any problem is refused
// whole), toJson writes it back with the fields it does not know kept;
// decideSchedule is the one decision from a schedule and a time, used by the
// service's timer, the CLI's schedule verb and the GUI's status line. Plain
// values, owned by whoever read the file.

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>
#include <vector>

// A daily window of local wall-clock time, [from, to) in minutes of the day.
// to <= from runs past midnight into the next day; the days and dates say
// on which days the window starts.
struct ScheduleWindow {
    static constexpr int kDayMinutes = 24 * 60;
    static constexpr quint8 kEveryDay = 0xFE; // bits 1 (Monday) to 7 (Sunday)

    int from = 0;
    int to = kDayMinutes;
    quint8 days = kEveryDay;
    QDate dateFrom; // null: no limit
    QDate dateTo;

    bool startsOn(QDate day) const;
    bool crossesMidnight() const { return to <= from; }
    // Whether the window holds at this wall-clock minute of that date.
    bool holdsAt(QDate date, int minute) const;
};

struct SchedulePlaylist {
    ScheduleWindow window;
    QString file; // as written: relative to the schedule file's folder
    int priority = 0;
    bool enabled = true;
    QJsonObject json; // the entry as read, for the fields kept on save
};

struct ScheduleBrightness {
    ScheduleWindow window;
    int level = 0;
    QJsonObject json;
};

struct SchedulePower {
    ScheduleWindow window;
    bool on = false;
    QJsonObject json;
};

// One problem of a schedule file: the field ("playlists[1].from") and why.
struct ScheduleProblem {
    QString field;
    QString text;
    QString line() const;
    bool operator==(const ScheduleProblem &) const = default;
};

class Schedule {
public:
    static constexpr int kVersion = 1;
    static constexpr qint64 kMaxFileBytes = qint64(1) << 20;
    static constexpr int kMaxEntries = 1000;
    static constexpr int kMaxLevel = 15;

    // Reads a schedule file's text. problems gets every problem found; a
    // schedule with problems must not be used.
    static Schedule fromJson(const QByteArray &text, QList<ScheduleProblem> *problems);
    // The file's text, with the fields this program does not know kept.
    QByteArray toJson() const;

    // "HH:MM" (and "24:00" where allowed) to minutes; -1 when not valid.
    static int parseTime(const QString &text, bool endOfDayAllowed);
    static QString timeText(int minutes);

    std::vector<SchedulePlaylist> playlists;
    std::vector<ScheduleBrightness> brightness;
    std::vector<SchedulePower> power;
    std::optional<int> clockSync; // minutes of the day

private:
    QJsonObject m_json;
};

// What the sign should have at one time.
struct ScheduleState {
    int playlist = -1;             // index into playlists; -1: the project itself
    std::optional<int> brightness; // no window holds: the card keeps its level
    bool powerOn = true;
    bool operator==(const ScheduleState &) const = default;
};

struct ScheduleDecision {
    ScheduleState state;
    QDateTime next; // when any of the state next changes; invalid: never
};

// The decision at a wall-clock minute of a date (no next change).
ScheduleState scheduleStateAt(const Schedule &schedule, QDate date, int minute);
// The decision at a time, in the time's own zone (the local zone for the
// service), with the next change.
ScheduleDecision decideSchedule(const Schedule &schedule, const QDateTime &at);
// The first daily clock sync strictly after at; invalid when none is set.
QDateTime nextClockSync(const Schedule &schedule, const QDateTime &at);

// A schedule file read from disk and checked, with the play lists it names
// (relative to its folder) checked to exist and load.
struct ScheduleFile {
    // The schedule kept beside a project file: "NAME.schedule.json" for
    // NAME.brivprj, else "schedule.json" in its folder; empty when neither is.
    static QString besideProject(const QString &projectPath);

    QString path;
    Schedule schedule;
    QList<ScheduleProblem> problems; // empty: the schedule may be used
    bool ok() const { return problems.isEmpty(); }
    // The play list file an entry names, as a path.
    QString playlistPath(int index) const;

    static ScheduleFile read(const QString &path);
    // The same checks on a text meant for path (before it is written).
    static ScheduleFile fromText(const QString &path, const QByteArray &text);
};
