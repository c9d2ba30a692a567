#include "service/RequestGate.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>

namespace {

// How long a refused client may go on sending before the line is closed;
// reading its body away lets it see the answer instead of a reset.
constexpr int kDrainMs = 3000;

} // namespace

// Follows the requests on one connection: the header block (until the blank
// line), then Content-Length body bytes, then the next request. Runs before
// the HTTP module's own reader, which takes every byte that is left.
class SocketWatch final : public QObject {
public:
    SocketWatch(QTcpSocket *socket, RequestGate &gate)
        : QObject(socket), m_socket(socket), m_gate(gate)
    {
        connect(socket, &QTcpSocket::readyRead, this, &SocketWatch::onReadyRead);
    }

private:
    void onReadyRead()
    {
        if (m_refused) {
            drain();
            return;
        }
        const QByteArray data = m_socket->peek(m_socket->bytesAvailable());
        qsizetype pos = 0;
        while (pos < data.size() && !m_refused) {
            if (m_bodyLeft > 0) {
                const qint64 take = std::min<qint64>(m_bodyLeft, data.size() - pos);
                m_bodyLeft -= take;
                pos += take;
                continue;
            }
            const qsizetype before = m_header.size();
            m_header.append(data.constData() + pos, data.size() - pos);
            const qsizetype end = m_header.indexOf("\r\n\r\n");
            if (end < 0) {
                if (m_header.size() > m_gate.m_limits.headerBytes)
                    refuse(431, "Request Header Fields Too Large", "请求头太长。", 0);
                pos = data.size();
                break;
            }
            pos += end + 4 - before;
            const QByteArray header = m_header.left(end);
            m_header.clear();
            if (header.size() > m_gate.m_limits.headerBytes) {
                refuse(431, "Request Header Fields Too Large", "请求头太长。", 0);
                break;
            }
            startBody(header);
        }
    }

    void startBody(const QByteArray &header)
    {
        const QList<QByteArray> lines = header.split('\n');
        const QList<QByteArray> request = lines.value(0).trimmed().split(' ');
        m_method = request.value(0);
        m_path = request.value(1);
        if (const qsizetype q = m_path.indexOf('?'); q >= 0)
            m_path.truncate(q);
        qint64 length = 0;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines[i].trimmed();
            const qsizetype colon = line.indexOf(':');
            if (colon <= 0)
                continue;
            const QByteArray name = line.left(colon).trimmed().toLower();
            const QByteArray value = line.mid(colon + 1).trimmed();
            if (name == "transfer-encoding") {
                refuse(411, "Length Required", "请求正文必须带 Content-Length。", 0);
                return;
            }
            if (name == "content-length") {
                bool ok = false;
                length = value.toLongLong(&ok);
                if (!ok || length < 0) {
                    refuse(400, "Bad Request", "Content-Length 无效。", 0);
                    return;
                }
            }
        }
        const qint64 limit =
            m_gate.m_limits.bodyBytes ? m_gate.m_limits.bodyBytes(m_method, m_path) : 0;
        if (length > limit) {
            refuse(413, "Payload Too Large",
                   QStringLiteral("请求正文太大：最多 %1 字节。").arg(limit), length);
            return;
        }
        m_bodyLeft = length;
    }

    void refuse(int status, const char *reason, const QString &message, qint64 bodyLength)
    {
        m_refused = true;
        m_drainLeft = bodyLength;
        const QByteArray body = QJsonDocument(QJsonObject{{QStringLiteral("error"), message}})
                                    .toJson(QJsonDocument::Compact);
        m_socket->write("HTTP/1.1 " + QByteArray::number(status) + ' ' + reason +
                        "\r\nContent-Type: application/json\r\nContent-Length: " +
                        QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        if (m_gate.m_log)
            m_gate.m_log(QStringLiteral("%1 %2 %3 %4 (refused before reading)")
                             .arg(m_socket->peerAddress().toString(),
                                  QString::fromLatin1(m_method.left(16)),
                                  QString::fromLatin1(m_path.left(200)))
                             .arg(status));
        QPointer<QTcpSocket> socket = m_socket;
        QTimer::singleShot(kDrainMs, m_socket, [socket] {
            if (socket)
                socket->disconnectFromHost();
        });
        drain();
    }

    // Throws away what the refused client sends; closes once its announced
    // body has arrived.
    void drain()
    {
        m_drainLeft -= m_socket->readAll().size();
        if (m_drainLeft <= 0)
            m_socket->disconnectFromHost();
    }

    QTcpSocket *m_socket;
    RequestGate &m_gate;
    QByteArray m_header;
    QByteArray m_method;
    QByteArray m_path;
    qint64 m_bodyLeft = 0;
    qint64 m_drainLeft = 0;
    bool m_refused = false;
};

RequestGate::RequestGate(Limits limits, std::function<void(const QString &)> log, QObject *parent)
    : QTcpServer(parent), m_limits(std::move(limits)), m_log(std::move(log))
{
}

void RequestGate::incomingConnection(qintptr descriptor)
{
    auto *socket = new QTcpSocket(this); // the HTTP module deletes it when it closes
    if (!socket->setSocketDescriptor(descriptor)) {
        socket->deleteLater();
        return;
    }
    if (*m_open >= m_limits.connections) {
        const QByteArray body = R"({"error":"服务忙，请稍后再试。"})";
        socket->write("HTTP/1.1 503 Service Unavailable\r\nContent-Type: application/json\r\n"
                      "Content-Length: " +
                      QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        return;
    }
    ++*m_open;
    connect(socket, &QObject::destroyed, [open = m_open] { --*open; });
    new SocketWatch(socket, *this); // owned by the socket; connected before the HTTP reader
    addPendingConnection(socket);
}
