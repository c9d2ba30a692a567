#include "service/ScheduleRunner.h"

#include "base/LocalClock.h"
#include "model/CardSession.h"
#include "model/PlayList.h"
#include "service/SignService.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

namespace {

// A schedule check a change of the file waits for, so that an editor's
// write is complete before the file is read.
constexpr int kSettleMs = 300;

QJsonValue orNull(const std::optional<int> &v)
{
    return v ? QJsonValue(*v) : QJsonValue(QJsonValue::Null);
}

} // namespace

ScheduleRunner::ScheduleRunner(SignService &service, QString schedulePath, QString projectPath,
                               QString signKey, std::function<void(const QString &)> log)
    : QObject(&service), m_service(service), m_schedulePath(std::move(schedulePath)),
      m_projectPath(std::move(projectPath)), m_signKey(std::move(signKey)), m_log(std::move(log))
{
    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &ScheduleRunner::tick);
    const auto changed = [this] {
        QTimer::singleShot(kSettleMs, this, [this] {
            readSchedule();
            // A file replaced by rename leaves the watch: watch it again.
            if (!m_watcher.files().contains(m_schedulePath) && QFileInfo::exists(m_schedulePath))
                m_watcher.addPath(m_schedulePath);
            tick();
        });
    };
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, changed);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, changed);
}

void ScheduleRunner::start()
{
    readSchedule();
    m_watcher.addPath(m_schedulePath);
    m_watcher.addPath(QFileInfo(m_schedulePath).absolutePath());
    m_timer.start();
    tick();
}

void ScheduleRunner::readSchedule()
{
    ScheduleFile file = ScheduleFile::read(m_schedulePath);
    const QString name = QFileInfo(m_schedulePath).fileName();
    if (!file.ok()) {
        if (m_fileProblems != file.problems) {
            for (const ScheduleProblem &p : file.problems)
                m_log(QStringLiteral("schedule %1: %2").arg(name, p.line()));
            m_log(m_schedule
                      ? QStringLiteral("schedule %1 refused; the last good one stays").arg(name)
                      : QStringLiteral("schedule %1 refused; nothing is scheduled").arg(name));
        }
        m_fileProblems = file.problems;
        return;
    }
    const bool changed = !m_schedule || m_schedule->schedule.toJson() != file.schedule.toJson() ||
                         !m_fileProblems.isEmpty();
    m_fileProblems.clear();
    if (!changed)
        return;
    m_log(QStringLiteral("schedule %1 read: %2 play lists, %3 brightness windows, %4 power windows")
              .arg(name)
              .arg(file.schedule.playlists.size())
              .arg(file.schedule.brightness.size())
              .arg(file.schedule.power.size()));
    m_schedule = std::move(file);
    m_applied.reset(); // the new schedule is applied as a whole
    m_nextSync = nextClockSync(m_schedule->schedule, localNow());
}

QString ScheduleRunner::listPath(const ScheduleState &state) const
{
    return state.playlist < 0 ? m_projectPath : m_schedule->playlistPath(state.playlist);
}

QByteArray ScheduleRunner::listHash(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result().toHex();
}

// What each sign last received survives a restart in a small JSON file
// beside the schedule.
QJsonValue ScheduleRunner::remembered(const QString &key) const
{
    QFile file(m_schedulePath + QStringLiteral(".state"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonObject root = QJsonDocument::fromJson(file.read(1 << 20)).object();
    return root.value(m_signKey).toObject().value(key);
}

void ScheduleRunner::remember(const QString &key, const QJsonValue &value)
{
    const QString path = m_schedulePath + QStringLiteral(".state");
    QJsonObject root;
    if (QFile in(path); in.open(QIODevice::ReadOnly))
        root = QJsonDocument::fromJson(in.read(1 << 20)).object();
    QJsonObject sign = root.value(m_signKey).toObject();
    sign[key] = value;
    root[m_signKey] = sign;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(QJsonDocument(root).toJson(QJsonDocument::Indented)) < 0 || !out.commit())
        m_log(QStringLiteral("schedule: cannot write %1: %2").arg(path, out.errorString()));
}

void ScheduleRunner::failed(const QString &what, const QString &error)
{
    m_lastResult = QJsonObject{{QStringLiteral("at"), localNow().toString(Qt::ISODate)},
                               {QStringLiteral("what"), what},
                               {QStringLiteral("ok"), false},
                               {QStringLiteral("error"), error}};
    m_log(QStringLiteral("schedule: %1 failed: %2; retrying in %3 s")
              .arg(what, error)
              .arg(m_retryMs / 1000));
    m_retryAt.setRemainingTime(m_retryMs);
    m_retryMs = std::min(m_retryMs * 2, kMaxRetryMs);
}

void ScheduleRunner::tick()
{
    if (!m_schedule)
        return;
    const QDateTime now = localNow();
    // The clock set back (or the computer woke far later): the daily sync
    // time is found anew.
    if (m_lastTick.isValid() && (now < m_lastTick || m_nextSync.isNull()))
        m_nextSync = nextClockSync(m_schedule->schedule, now);
    m_lastTick = now;
    m_decision = decideSchedule(m_schedule->schedule, now);
    if (!m_retryAt.hasExpired())
        return;
    if (!m_applied || !(*m_applied == m_decision.state))
        apply(m_decision.state);
    // A message on the sign sits above the schedule: its list waits.
    if (!m_pendingList.isEmpty() && m_sendJob == 0 && m_retryAt.hasExpired() &&
        !m_service.messageActive()) {
        const QByteArray hash = listHash(m_pendingList);
        if (hash.isEmpty()) {
            failed(
                QStringLiteral("send"),
                QCoreApplication::translate("ScheduleRunner", "无法读取播放表文件 %1").arg(QFileInfo(m_pendingList).fileName()));
        } else if (const int job = m_service.startSendJob(m_pendingList); job != 0) {
            m_sendJob = job;
            m_sendingHash = QString::fromLatin1(hash);
            m_log(QStringLiteral("schedule: sending %1 (job %2)")
                      .arg(QFileInfo(m_pendingList).fileName())
                      .arg(job));
        }
    }
    if (m_nextSync.isValid() && now >= m_nextSync && m_sendJob == 0 && !m_commandQueued) {
        m_commandQueued = m_service.runCardCommand(
            [](CardSession &card) { return card.setClock(); },
            [this](const Outcome &synced) {
                m_commandQueued = false;
                if (synced)
                    m_log(QStringLiteral("schedule: the card's clock was set"));
                else
                    failed(QStringLiteral("clock"), synced.userText());
            });
        if (m_commandQueued)
            m_nextSync = nextClockSync(m_schedule->schedule, now);
    }
}

void ScheduleRunner::apply(const ScheduleState &state)
{
    const QString list = listPath(state);
    if (remembered(QStringLiteral("hash")).toString() != QString::fromLatin1(listHash(list)))
        m_pendingList = list;
    else
        m_pendingList.clear();
    // The card is ours already (a send, or a command in the queue): the rest
    // waits for its end.
    if (m_sendJob != 0 || m_commandQueued)
        return;
    applyBrightness(state);
}

void ScheduleRunner::applyBrightness(const ScheduleState &state)
{
    if (!m_applied || m_applied->brightness != state.brightness) {
        // The level the card had before the first window is remembered
        // (across restarts) and set again when no window holds any more.
        const int before = remembered(QStringLiteral("levelBefore")).toInt(-1);
        const int level = state.brightness.value_or(before);
        if (level >= 0) {
            const bool readFirst = state.brightness && before < 0;
            auto current = std::make_shared<int>(-1);
            // Not queued (the card is taken by a send): the next tick tries again.
            m_commandQueued = m_service.runCardCommand(
                [readFirst, level, current](CardSession &card) {
                    if (readFirst && !card.readBrightness(current.get()))
                        *current = -1;
                    return card.setBrightness(level);
                },
                [this, state, level, current](const Outcome &set) {
                    m_commandQueued = false;
                    if (*current >= 0)
                        remember(QStringLiteral("levelBefore"), *current);
                    if (!set) {
                        failed(QStringLiteral("brightness"), set.userText());
                        return;
                    }
                    if (!state.brightness)
                        remember(QStringLiteral("levelBefore"), QJsonValue(QJsonValue::Null));
                    m_log(QStringLiteral("schedule: brightness %1").arg(level));
                    applyPower(state);
                });
            return;
        }
    }
    applyPower(state);
}

void ScheduleRunner::applyPower(const ScheduleState &state)
{
    if (!m_applied || m_applied->powerOn != state.powerOn) {
        m_commandQueued = m_service.runCardCommand(
            [on = state.powerOn](CardSession &card) { return card.setScreenPower(on); },
            [this, state](const Outcome &set) {
                m_commandQueued = false;
                if (!set) {
                    failed(QStringLiteral("power"), set.userText());
                    return;
                }
                m_log(QStringLiteral("schedule: screen %1").arg(state.powerOn ? u"on" : u"off"));
                m_applied = state;
                m_retryMs = kFirstRetryMs;
            });
        return;
    }
    m_applied = state;
    m_retryMs = kFirstRetryMs;
}

bool ScheduleRunner::restore()
{
    remember(QStringLiteral("hash"), QString());
    m_applied.reset();
    m_retryAt.setRemainingTime(0);
    tick();
    return true;
}

void ScheduleRunner::sendEnded(int job, const QString &listPath, bool complete,
                               const QString &error)
{
    const QString name = QFileInfo(listPath).fileName();
    if (job != m_sendJob) {
        // A send of the user's: the card holds that list now.
        if (complete)
            remember(QStringLiteral("hash"), QString::fromLatin1(listHash(listPath)));
        return;
    }
    m_sendJob = 0;
    if (!complete) {
        failed(QStringLiteral("send %1").arg(name), error);
        return;
    }
    remember(QStringLiteral("hash"), m_sendingHash);
    if (m_pendingList == listPath)
        m_pendingList.clear();
    m_retryMs = kFirstRetryMs;
    m_lastResult = QJsonObject{{QStringLiteral("at"), localNow().toString(Qt::ISODate)},
                               {QStringLiteral("what"), QStringLiteral("send %1").arg(name)},
                               {QStringLiteral("ok"), true}};
    m_log(QStringLiteral("schedule: %1 sent").arg(name));
}

QJsonObject ScheduleRunner::status() const
{
    QJsonArray problems;
    for (const ScheduleProblem &p : m_fileProblems)
        problems.append(
            QJsonObject{{QStringLiteral("field"), p.field}, {QStringLiteral("error"), p.text}});
    QJsonObject o{
        {QStringLiteral("file"), QFileInfo(m_schedulePath).fileName()},
        {QStringLiteral("ok"), m_fileProblems.isEmpty()},
        {QStringLiteral("problems"), problems},
        {QStringLiteral("active"), bool(m_schedule)},
    };
    if (!m_fileProblems.isEmpty())
        o[u"message"] = m_schedule ? QCoreApplication::translate("ScheduleRunner", "日程文件有错误，仍按上一次正确的日程运行。")
                                   : QCoreApplication::translate("ScheduleRunner", "日程文件有错误，没有按日程运行。");
    if (m_schedule) {
        // Decided now, not at the last tick, so that "applied" is the truth.
        const ScheduleDecision decision = decideSchedule(m_schedule->schedule, localNow());
        const ScheduleState &s = decision.state;
        const QDir folder = QFileInfo(m_schedulePath).dir();
        o[u"playlist"] = QDir::toNativeSeparators(folder.relativeFilePath(listPath(s)));
        o[u"brightness"] = orNull(s.brightness);
        o[u"power"] = s.powerOn ? QStringLiteral("on") : QStringLiteral("off");
        o[u"next"] = decision.next.isValid() ? QJsonValue(decision.next.toString(Qt::ISODate))
                                             : QJsonValue(QJsonValue::Null);
        o[u"applied"] = m_applied && *m_applied == s && m_pendingList.isEmpty() && m_sendJob == 0;
        o[u"sending"] = m_sendJob != 0;
        o[u"nextClockSync"] = m_nextSync.isValid() ? QJsonValue(m_nextSync.toString(Qt::ISODate))
                                                   : QJsonValue(QJsonValue::Null);
    }
    if (!m_retryAt.hasExpired())
        o[u"retryInSeconds"] = int((m_retryAt.remainingTime() + 999) / 1000);
    if (!m_lastResult.isEmpty())
        o[u"last"] = m_lastResult;
    return o;
}

QJsonObject ScheduleRunner::document() const
{
    QJsonValue schedule(QJsonValue::Null);
    if (QFile file(m_schedulePath); file.open(QIODevice::ReadOnly)) {
        const QJsonDocument doc = QJsonDocument::fromJson(file.read(Schedule::kMaxFileBytes));
        if (doc.isObject())
            schedule = doc.object();
    }
    const QFileInfo project(m_projectPath);
    const QDir folder = QFileInfo(m_schedulePath).dir();
    QJsonArray lists;
    for (const QString &name :
         folder.entryList({QStringLiteral("*.brivprj")}, QDir::Files, QDir::Name))
        lists.append(name);
    return QJsonObject{
        {QStringLiteral("schedule"), schedule},
        {QStringLiteral("status"), status()},
        {QStringLiteral("project"), folder.relativeFilePath(project.absoluteFilePath())},
        {QStringLiteral("files"), lists},
    };
}

QList<ScheduleProblem> ScheduleRunner::replace(const QByteArray &text)
{
    const ScheduleFile checked = ScheduleFile::fromText(m_schedulePath, text);
    if (!checked.ok())
        return checked.problems;
    QSaveFile out(m_schedulePath);
    if (!out.open(QIODevice::WriteOnly) || out.write(checked.schedule.toJson()) < 0 ||
        !out.commit())
        return {{{}, QCoreApplication::translate("ScheduleRunner", "无法保存日程文件 %1：%2")
                         .arg(QFileInfo(m_schedulePath).fileName(), out.errorString())}};
    m_log(QStringLiteral("schedule %1 saved").arg(QFileInfo(m_schedulePath).fileName()));
    readSchedule();
    tick();
    return {};
}
