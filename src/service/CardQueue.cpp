#include "service/CardQueue.h"

#include "link/ProgressHost.h"
#include "model/CardSession.h"

#include <QPointer>

namespace {

// The card search's host: no bar to draw, never cancelled.
class SearchHost final : public ProgressHost {
public:
    void setStatus(int, const QString &) override {}
    void setButtons(bool, bool) override {}
    bool isCancelled() const override { return false; }
};

} // namespace

CardQueue::CardQueue(QString port, QObject *parent) : QObject(parent), m_port(std::move(port)) {}

CardQueue::~CardQueue()
{
    m_waiting.clear();
    if (m_thread)
        m_thread->wait();
}

Outcome CardQueue::attach(CardSession &card, const QString &port)
{
    if (!port.isEmpty() && port != u"0")
        return card.attach(port);
    SearchHost host;
    return card.search(host);
}

CardQueue::Refusal CardQueue::enqueue(Work work, Finished finished)
{
    if (m_sends > 0)
        return Refusal::SendTakesTheCard;
    if (int(m_waiting.size()) >= kMaxWaiting)
        return Refusal::Full;
    auto run = [work = std::move(work), port = m_port](CardSession &card, Ended &ended) {
        ended.attached = attach(card, port);
        if (ended.attached || ended.attached.code() == OutcomeCode::Unsupported) {
            ended.card = card.info();
            ended.cardSeen = true;
        }
        if (ended.attached)
            work(card);
        if (card.colourTypeKnown())
            ended.colourType = card.screenParams().colourType();
    };
    m_waiting.push_back({std::move(run), std::move(finished), false});
    next();
    return Refusal::None;
}

bool CardQueue::enqueueSend(SendWork send, Finished finished)
{
    if (m_sends > 0)
        return false;
    ++m_sends;
    m_waiting.push_back({std::move(send), std::move(finished), true});
    next();
    return true;
}

void CardQueue::next()
{
    if (m_running || m_waiting.empty())
        return;
    m_current = std::move(m_waiting.front());
    m_waiting.pop_front();
    m_running = true;
    m_result = std::make_shared<Ended>();
    m_thread.reset(QThread::create([run = m_current.run, result = m_result] {
        CardSession card;
        run(card, *result);
    }));
    // Queued to this thread: the worker only fills its result.
    connect(m_thread.get(), &QThread::finished, this,
            [this, operation = ++m_operation] { onThreadFinished(operation); });
    m_thread->start();
}

void CardQueue::onThreadFinished(quint64 operation)
{
    if (!m_running || operation != m_operation)
        return;
    m_thread->wait();
    m_running = false;
    const Operation done = std::move(m_current);
    m_current = {};
    const Ended result = *m_result;
    if (done.send)
        --m_sends;
    // Finished may end this queue's owner: nothing of it is touched after.
    QPointer<CardQueue> self(this);
    if (done.finished)
        done.finished(result);
    if (!self)
        return;
    Q_EMIT ended(result);
    if (self)
        next();
}

void CardQueue::finishNow()
{
    if (!m_running)
        return;
    for (const Operation &op : m_waiting)
        if (op.send)
            --m_sends;
    m_waiting.clear();
    onThreadFinished(m_operation);
}
