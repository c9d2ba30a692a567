#include "service/NotifyQueue.h"

#include "service/SignService.h"

#include <QFile>

NotifyQueue::NotifyQueue(SignService &service, std::function<bool()> restore,
                         std::function<void(const QString &)> log)
    : QObject(&service), m_service(service), m_restore(std::move(restore)), m_log(std::move(log))
{
    m_shown.setSingleShot(true);
    connect(&m_shown, &QTimer::timeout, this, [this] {
        m_showing = false;
        if (m_waiting.empty()) {
            m_log(QStringLiteral("notify: the message ended; the play list comes back"));
            this->restore();
        } else {
            next();
        }
    });
}

bool NotifyQueue::push(const QString &listPath, int seconds, int *place)
{
    if (int(m_waiting.size()) >= kMaxWaiting)
        return false;
    m_waiting.push_back({listPath, seconds});
    *place = (m_showing || m_job != 0) ? int(m_waiting.size()) : 0;
    if (!m_showing && m_job == 0)
        next();
    return true;
}

void NotifyQueue::restore()
{
    // Refused while another send takes the card: tried again at its end.
    m_restorePending = !m_restore();
}

void NotifyQueue::next()
{
    if (m_waiting.empty() && m_restorePending) {
        restore();
        return;
    }
    if (m_waiting.empty() || m_job != 0)
        return;
    const Message message = m_waiting.front();
    const int job = m_service.startSendJob(message.listPath);
    if (job == 0) // another send takes the card: tried again at its end
        return;
    m_waiting.pop_front();
    m_restorePending = false;
    m_job = job;
    m_listPath = message.listPath;
    m_seconds = message.seconds;
    m_log(QStringLiteral("notify: showing a message for %1 s (job %2)")
              .arg(message.seconds)
              .arg(job));
}

bool NotifyQueue::sendEnded(int job, bool complete, const QString &error)
{
    if (job != m_job || job == 0) {
        // Another send has freed the card for what waits.
        if (m_job == 0 && !m_showing && (!m_waiting.empty() || m_restorePending))
            next();
        return false;
    }
    m_job = 0;
    QFile::remove(m_listPath);
    if (!complete)
        m_log(QStringLiteral("notify: the message was not shown: %1").arg(error));
    m_showing = complete;
    if (complete)
        m_shown.start(m_seconds * 1000);
    else if (!m_waiting.empty())
        next();
    else
        restore();
    return true;
}
