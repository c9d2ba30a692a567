#include "service/SendJob.h"

namespace {

const char *stateName(SendJob::State state)
{
    switch (state) {
    case SendJob::State::Running:
        return "running";
    case SendJob::State::Done:
        return "done";
    case SendJob::State::Failed:
        break;
    }
    return "failed";
}

} // namespace

QJsonObject SendJob::toJson() const
{
    const QMutexLocker lock(&m_mutex);
    QJsonObject o;
    o[u"job"] = id;
    o[u"state"] = QLatin1String(stateName(m_state));
    o[u"status"] = m_status;
    o[u"position"] = m_position;
    o[u"range"] = m_range;
    o[u"cancelRequested"] = cancelRequested.load();
    if (m_state == State::Done)
        o[u"result"] = m_result;
    if (!m_error.isEmpty())
        o[u"error"] = m_error;
    return o;
}

void SendJob::setStatus(int position, const QString &text)
{
    const QMutexLocker lock(&m_mutex);
    m_position = position;
    m_status = text;
}

void SendJob::setRange(int range)
{
    const QMutexLocker lock(&m_mutex);
    m_range = range;
}

void SendJob::finish(State state, const QJsonObject &result, const QString &error)
{
    const QMutexLocker lock(&m_mutex);
    m_state = state;
    m_result = result;
    m_error = error;
}

bool SendJob::running() const
{
    const QMutexLocker lock(&m_mutex);
    return m_state == State::Running;
}

JobProgressHost::JobProgressHost(SendJob &job, ServiceConfig::OnError policy, int retries,
                                 std::function<void(const QString &)> log)
    : m_job(job), m_policy(policy), m_retries(retries), m_log(std::move(log))
{
}

void JobProgressHost::setStatus(int position, const QString &text)
{
    // A new step of the send: the retries start again.
    if (text != m_lastStatus) {
        m_lastStatus = text;
        m_retriesUsed = 0;
    }
    m_job.setStatus(position, text);
}

bool JobProgressHost::takeRetry()
{
    if (m_retriesUsed >= m_retries)
        return false;
    ++m_retriesUsed;
    return true;
}

bool JobProgressHost::askYesNo(const QString &text)
{
    const bool yes = m_policy == ServiceConfig::OnError::Retry && takeRetry();
    m_log(QStringLiteral("send job %1: %2 -> %3")
              .arg(m_job.id)
              .arg(text, yes ? QStringLiteral("yes") : QStringLiteral("no")));
    return yes;
}

Answer JobProgressHost::askYesNoCancel(const QString &text)
{
    Answer answer = Answer::Cancel;
    if (m_policy == ServiceConfig::OnError::Skip)
        answer = Answer::No;
    else if (m_policy == ServiceConfig::OnError::Retry && takeRetry())
        answer = Answer::Yes;
    m_log(QStringLiteral("send job %1: %2 -> %3")
              .arg(m_job.id)
              .arg(text, answer == Answer::Yes  ? QStringLiteral("yes (resend)")
                         : answer == Answer::No ? QStringLiteral("no (skip)")
                                                : QStringLiteral("cancel (stop)")));
    return answer;
}
