#pragma once
// The listening socket of the sign service. It sees every byte a client
// sends before the HTTP module buffers it, so that an oversized request is
// answered (413, 431, 411) and dropped without ever being held in memory,
// and it caps the number of open connections (503 beyond). The HTTP module
// reads what passes. Owned by the SignService.

#include <QByteArray>
#include <QTcpServer>
#include <functional>
#include <memory>

class QTcpSocket;

class RequestGate final : public QTcpServer {
    Q_OBJECT
public:
    struct Limits {
        qint64 headerBytes = 16 * 1024;
        int connections = 64;
        // The largest body a request to this path may carry.
        std::function<qint64(const QByteArray &method, const QByteArray &path)> bodyBytes;
    };
    // log receives one line per request the gate answers itself.
    RequestGate(Limits limits, std::function<void(const QString &)> log, QObject *parent);

    int openConnections() const { return *m_open; }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    friend class SocketWatch;
    Limits m_limits;
    std::function<void(const QString &)> m_log;
    // Shared with the sockets' destroyed handlers, which may outlive the gate.
    std::shared_ptr<int> m_open = std::make_shared<int>(0);
};
