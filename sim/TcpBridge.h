#pragma once
// A serial-to-network converter for the virtual card (brivane-cardsim
// --tcp, tests, benchmarks): listens on 127.0.0.1 only, serves one TCP
// connection at a time (later ones wait their turn), and passes bytes
// between it and a serial device, the card's pseudo-terminal (on Windows the
// card's own TCP line), which it holds open the whole time as a converter
// holds the card's line. Every byte from
// the card can be held back by a latency (a slow network). When the line
// goes away (the card's DropLine fault), the connection is closed and no
// new one is accepted: hasDropped() turns true.
//
// The bridge runs its own thread with an event loop; every public function
// is called from the owner's thread. Owned by whoever starts it.

#include <QString>
#include <atomic>
#include <memory>

class QThread;

class TcpBridge {
public:
    TcpBridge();
    ~TcpBridge();
    TcpBridge(const TcpBridge &) = delete;
    TcpBridge &operator=(const TcpBridge &) = delete;

    // Bytes from the card leave `ms` milliseconds after they came off the
    // line (set before start()).
    void setLatency(int ms) { m_latencyMs = ms; }
    // Opens `device` and listens on 127.0.0.1:port (0: a free port). False
    // with errorString() on failure.
    bool start(const QString &device, quint16 port = 0);
    void stop();

    quint16 port() const { return m_port; }
    // "tcp://127.0.0.1:PORT", the name the program is given.
    QString address() const;
    QString errorString() const { return m_error; }
    bool hasDropped() const { return m_dropped.load(); }
    // Connections accepted so far.
    int connectionCount() const { return m_connections.load(); }

    class Worker;

private:
    std::unique_ptr<QThread> m_thread;
    Worker *m_worker = nullptr; // lives in m_thread, deleted when it ends
    int m_latencyMs = 0;
    quint16 m_port = 0;
    QString m_error;
    std::atomic<bool> m_dropped{false};
    std::atomic<int> m_connections{0};
};
