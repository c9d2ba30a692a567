#pragma once
// One send-all run of the service: its state as the progress dialog shows
// it (status text, bar position and range), the cancel button, and the
// result document when it has ended. Written by the card queue's worker
// thread that sends, read by the request handlers; shared by both.

#include "link/ControllerInfo.h"
#include "link/ProgressHost.h"
#include "model/SendReport.h"
#include "service/SignService.h"

#include <QJsonObject>
#include <QMutex>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

struct SendJob {
    enum class State { Running, Done, Failed };

    int id = 0;
    QString listPath; // the play list file it sends
    std::atomic<bool> cancelRequested{false};

    // The job document: job, state, status, position, range, result/error.
    QJsonObject toJson() const;
    void setStatus(int position, const QString &text);
    void setRange(int range);
    void finish(State state, const QJsonObject &result, const QString &error);
    bool running() const;

    QString sign; // the sign it goes to
    // The send's report; read once the send has ended.
    SendReport report;

private:
    mutable QMutex m_mutex;
    State m_state = State::Running;
    QString m_status;
    int m_position = 0;
    int m_range = 0;
    QJsonObject m_result;
    QString m_error;
};

// The progress host of a service send: status and bar into the job, the
// cancel flag from it, and the questions answered by the --on-error policy
// (each answer logged).
class JobProgressHost final : public ProgressHost {
public:
    JobProgressHost(SendJob &job, ServiceConfig::OnError policy, int retries,
                    std::function<void(const QString &)> log);

    void setRange(int range) override { m_job.setRange(range); }
    void setStatus(int position, const QString &text) override;
    void setButtons(bool, bool) override {}
    bool isCancelled() const override { return m_job.cancelRequested; }
    bool askYesNo(const QString &text) override;
    Answer askYesNoCancel(const QString &text) override;

private:
    bool takeRetry();

    SendJob &m_job;
    ServiceConfig::OnError m_policy;
    int m_retries;
    int m_retriesUsed = 0;
    QString m_lastStatus;
    std::function<void(const QString &)> m_log;
};
