#pragma once
// Messages shown now, above the play list: each is a one-program list sent
// to the card as a job, shown for its duration, then the next waiting one
// or the list the sign should have again (the schedule's decision, or the
// project itself). At most kMaxWaiting wait their turn. Owned by the
// SignService, whose card queue it uses; the HTTP face (POST /api/notify)
// feeds it.

#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <deque>
#include <functional>

class SignService;

class NotifyQueue final : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxWaiting = 20;
    static constexpr int kMaxDurationSeconds = 24 * 60 * 60;
    static constexpr int kDefaultDurationSeconds = 10;

    // restore: starts sending back what the sign should have once the
    // messages end; false while another send takes the card (it is tried
    // again when that send ends). A message's send waits in the card queue
    // behind the commands; while another send takes the card, it waits for
    // that send's end.
    NotifyQueue(SignService &service, std::function<bool()> restore,
                std::function<void(const QString &)> log);

    // A folder for the message lists; empty when it could not be made.
    QString folder() const { return m_folder.isValid() ? m_folder.path() : QString(); }
    // Queues a message's list file (in folder()); false when kMaxWaiting
    // wait already. The place in the queue (0: shown at once) in *place.
    bool push(const QString &listPath, int seconds, int *place);
    // Whether a message is on the sign or waiting (the schedule holds back).
    bool active() const
    {
        return m_showing || m_job != 0 || !m_waiting.empty() || m_restorePending;
    }
    int waiting() const { return int(m_waiting.size()); }
    // A send of the service ended; true when it was a message's.
    bool sendEnded(int job, bool complete, const QString &error);

private:
    struct Message {
        QString listPath;
        int seconds = 0;
    };
    void next();
    void restore();

    SignService &m_service;
    std::function<bool()> m_restore;
    std::function<void(const QString &)> m_log;
    QTemporaryDir m_folder;
    std::deque<Message> m_waiting;
    QTimer m_shown; // the message's duration
    bool m_showing = false;
    bool m_restorePending = false;
    int m_job = 0;
    QString m_listPath;
    int m_seconds = 0;
};
