#pragma once
// The service's schedule: applies the schedule's decision to the card at
// start, at each change, after sleep and clock jumps and when the schedule
// file changes. A play list is sent only when it differs from what the card
// last received (a hash of the list file, remembered per sign in a state
// file beside the schedule, so a restart does not resend); brightness and
// power are set when the decision changes them; the clock is synced daily.
// A failed send is retried with back-off. A schedule file with problems is
// refused whole and the last good one kept. Owned by the SignService; card
// work goes through the service's one-operation-at-a-time queue.

#include "model/Schedule.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QFileSystemWatcher>
#include <QJsonObject>
#include <QObject>
#include <QTimer>
#include <optional>

class SignService;

class ScheduleRunner final : public QObject {
    Q_OBJECT
public:
    // How often the clock is looked at: a change is applied at most this
    // late, also after the computer slept or the clock was set.
    static constexpr int kTickMs = 1000;
    static constexpr int kFirstRetryMs = 5000;
    static constexpr int kMaxRetryMs = 5 * 60 * 1000;

    ScheduleRunner(SignService &service, QString schedulePath, QString projectPath, QString signKey,
                   std::function<void(const QString &)> log);

    // Reads the schedule and applies it; the timer runs from here on.
    void start();
    // Looks at the clock and the card's state now (the timer's work).
    void tick();
    // The schedule's status: the file, its problems, what the sign has now
    // and next, the last send and the retry.
    QJsonObject status() const;
    // The file's text as an object (null when it cannot be read), the
    // status, and the play list files beside it to choose from.
    QJsonObject document() const;
    // Checks and saves a new schedule text, then applies it; the problems
    // when it is refused (nothing is written), or the writer's error.
    QList<ScheduleProblem> replace(const QByteArray &text);
    // After a message: the card no longer holds the list, so the decision's
    // list is sent again. True when under way.
    bool restore();
    // A send of the service has ended (its own or a user's).
    void sendEnded(int job, const QString &listPath, bool complete, const QString &error);

private:
    void readSchedule();
    QString listPath(const ScheduleState &state) const;
    static QByteArray listHash(const QString &path);
    void remember(const QString &key, const QJsonValue &value);
    QJsonValue remembered(const QString &key) const;
    // Brightness, then power, each through the card queue; then the state
    // counts as applied.
    void apply(const ScheduleState &state);
    void applyBrightness(const ScheduleState &state);
    void applyPower(const ScheduleState &state);
    void failed(const QString &what, const QString &error);

    SignService &m_service;
    QString m_schedulePath;
    QString m_projectPath;
    QString m_signKey;
    std::function<void(const QString &)> m_log;
    QFileSystemWatcher m_watcher;
    QTimer m_timer;

    std::optional<ScheduleFile> m_schedule; // the last good one
    QList<ScheduleProblem> m_fileProblems;  // of the file as it is now
    std::optional<ScheduleState> m_applied; // what the card was last given
    ScheduleDecision m_decision;
    QDateTime m_lastTick;
    QDateTime m_nextSync;
    int m_sendJob = 0;
    bool m_commandQueued = false; // a command of ours waits or runs in the card queue
    QString m_sendingHash;
    QString m_pendingList;       // a list to send as soon as the card is free
    QDeadlineTimer m_retryAt{0}; // expired: no retry waits
    int m_retryMs = kFirstRetryMs;
    QJsonObject m_lastResult;
};
