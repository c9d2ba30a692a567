#pragma once
// The listening socket of the sign service. It reads every request header
// before the HTTP module buffers anything of the request, frames requests
// exactly as that module does, and answers itself (then closes) whatever
// must not reach it: a header that is malformed, too long or too slow, a
// missing, repeated or non-decimal Content-Length, a body over the route's
// limit, and whatever the service's admission check refuses (host, origin,
// authentication), all before a byte of the body is read. It closes clients
// that stall (header, body rate, idle keep-alive) and caps the connections,
// per client address and in all. Optionally it speaks TLS. Every refusal is
// logged. Owned by the SignService.

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QTcpServer>
#include <functional>
#include <memory>
#include <optional>

#if QT_CONFIG(ssl)
#include <QSslConfiguration>
#endif

class QTcpSocket;

class RequestGate final : public QTcpServer {
    Q_OBJECT
public:
    using Fields = QList<QPair<QByteArray, QByteArray>>;

    // One request's header block as the gate read it.
    struct Head {
        QByteArray method;
        QByteArray path; // without the query
        QHostAddress peer;
        qint64 contentLength = 0;
        Fields fields; // names in lower case, values trimmed
        // The first value of the field, empty when it is missing.
        QByteArray value(const QByteArray &name) const;
    };
    // An answer the gate writes itself; the connection is closed after it.
    struct Answer {
        int status = 400;
        QByteArray body;
        Fields headers;
    };

    struct Limits {
        qint64 headerBytes = 16 * 1024;
        int connections = 64;
        int connectionsPerAddress = 16;
        int headerMs = 10'000;  // from the connection or the first byte of a request
        int idleMs = 30'000;    // between two requests
        int bodyWindowMs = 10'000;
        qint64 bodyBytesPerWindow = 10 * 1024; // the slowest body taken: 1 KiB/s
        // The largest body a request may carry.
        std::function<qint64(const Head &)> bodyBytes;
        // The service's own checks of a request, before any of its body is
        // read; a refusal or nothing.
        std::function<std::optional<Answer>(const Head &)> admit;
        // Written on every answer of the gate (security headers).
        Fields commonHeaders;
    };
    // log receives one line per request or connection the gate refuses.
    RequestGate(Limits limits, std::function<void(const QString &)> log, QObject *parent);
    ~RequestGate() override;

#if QT_CONFIG(ssl)
    // Every connection speaks TLS with this configuration.
    void useTls(const QSslConfiguration &configuration);
#endif
    int openConnections() const;
    // A request of socket is answered later (a card operation): the line is
    // neither closed as idle nor to make room until that answer is written.
    void setAnswerPending(QTcpSocket *socket, bool pending);
    // "OK", "Not Found", ... for the status line.
    static QByteArray reasonPhrase(int status);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    friend class SocketWatch;
    struct Shared;
    bool makeRoom(const QHostAddress &peer);

    Limits m_limits;
    std::function<void(const QString &)> m_log;
    // The open connections; shared with the sockets' watches, which may
    // outlive the gate.
    std::shared_ptr<Shared> m_shared;
#if QT_CONFIG(ssl)
    std::optional<QSslConfiguration> m_tls;
#endif
};
