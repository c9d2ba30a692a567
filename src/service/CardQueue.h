#pragma once
// The line to one sign's card. Card operations run one at a time, in the
// order they came, each on a worker thread with its own CardSession (the
// card attached first, as the command-line tool does), so the event loop
// goes on serving requests while the card answers; each operation's end is
// reported on the owner's thread. Short commands wait their turn, at most
// kMaxWaiting of them. A send takes the card for long: while one runs or
// waits, no other operation is taken. Owned by the SignService, one per
// sign.

#include "link/ControllerInfo.h"
#include "model/Outcome.h"

#include <QObject>
#include <QString>
#include <QThread>
#include <deque>
#include <functional>
#include <memory>

class CardSession;

class CardQueue final : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxWaiting = 8;

    // What an operation learnt of the card.
    struct Ended {
        Outcome attached;       // opening and identifying the card
        bool cardSeen = false;  // card holds the identification it read
        ControllerInfo card;
        int colourType = 0;     // the card's, when its record was read (0: not read)
    };
    // A command: runs on the worker thread, only when the card was attached.
    using Work = std::function<void(CardSession &)>;
    // A send: runs on the worker thread, reaches the card itself and notes
    // in Ended what it learnt.
    using SendWork = std::function<void(CardSession &, Ended &)>;
    // On the owner's thread, when the operation has ended.
    using Finished = std::function<void(const Ended &)>;

    enum class Refusal { None, SendTakesTheCard, Full };

    // port: a number, a device path or a name the port list knows; empty or
    // "0": the search over ports 1 to 20 before each operation.
    explicit CardQueue(QString port, QObject *parent = nullptr);
    // Waits for the running operation; the waiting ones are dropped.
    ~CardQueue() override;

    const QString &port() const { return m_port; }
    // The card attached as every operation of the queue attaches it.
    static Outcome attach(CardSession &card, const QString &port);

    // Queues a command behind those waiting.
    Refusal enqueue(Work work, Finished finished);
    // Queues a send behind the commands waiting; false while another send
    // runs or waits.
    bool enqueueSend(SendWork send, Finished finished);
    // Whether an operation runs or waits.
    bool busy() const { return m_running || !m_waiting.empty(); }
    bool sendTaken() const { return m_sends > 0; }
    int waiting() const { return int(m_waiting.size()); }
    // Waits for the running operation and reports its end now; the waiting
    // ones are dropped unreported (the service is stopping).
    void finishNow();

Q_SIGNALS:
    // After each operation's own Finished.
    void ended(const CardQueue::Ended &ended);

private:
    struct Operation {
        SendWork run;
        Finished finished;
        bool send = false;
    };
    void next();
    void onThreadFinished(quint64 operation);

    QString m_port;
    std::deque<Operation> m_waiting;
    std::unique_ptr<QThread> m_thread;
    Operation m_current;
    std::shared_ptr<Ended> m_result;
    quint64 m_operation = 0; // the running one's number
    bool m_running = false;
    int m_sends = 0; // running or waiting
};
