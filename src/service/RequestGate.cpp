#include "service/RequestGate.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <map>
#include <vector>

#if QT_CONFIG(ssl)
#include <QSslSocket>
#endif

namespace {

// How long a refused client may go on sending before the line is closed;
// reading its body away lets it see the answer instead of a reset.
constexpr int kDrainMs = 3000;
// The longest Content-Length taken as a number (far above every limit).
constexpr int kMaxLengthDigits = 15;

} // namespace

QByteArray RequestGate::reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 201:
        return "Created";
    case 202:
        return "Accepted";
    case 204:
        return "No Content";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 409:
        return "Conflict";
    case 500:
        return "Internal Server Error";
    case 507:
        return "Insufficient Storage";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 408:
        return "Request Timeout";
    case 411:
        return "Length Required";
    case 413:
        return "Payload Too Large";
    case 415:
        return "Unsupported Media Type";
    case 421:
        return "Misdirected Request";
    case 429:
        return "Too Many Requests";
    case 431:
        return "Request Header Fields Too Large";
    case 503:
        return "Service Unavailable";
    default:
        return "Error";
    }
}

namespace {

RequestGate::Answer refusal(int status, const QString &message)
{
    return {status,
            QJsonDocument(QJsonObject{{QStringLiteral("error"), message}})
                .toJson(QJsonDocument::Compact),
            {}};
}

// The bytes the HTTP module skips before a request line.
bool isLeadingSpace(char c)
{
    return c == '\v' || c == '\n' || c == '\r' || c == ' ' || c == '\t';
}

// Where the header block in buffer ends (just past its blank line), -1 while
// it has not. Lines end with LF or CRLF, as the HTTP module reads them.
qsizetype headerEnd(const QByteArray &buffer)
{
    const qsizetype lineEnd = buffer.indexOf('\n');
    if (lineEnd < 0)
        return -1;
    const qsizetype fields = lineEnd + 1;
    if (buffer.size() > fields && buffer[fields] == '\n')
        return fields + 1;
    if (buffer.size() > fields + 1 && buffer[fields] == '\r' && buffer[fields + 1] == '\n')
        return fields + 2;
    for (qsizetype p = buffer.indexOf('\n', fields); p >= 0; p = buffer.indexOf('\n', p + 1)) {
        if (p + 1 < buffer.size() && buffer[p + 1] == '\n')
            return p + 2;
        if (p + 2 < buffer.size() && buffer[p + 1] == '\r' && buffer[p + 2] == '\n')
            return p + 3;
    }
    return -1;
}

bool isToken(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (const char c : text)
        if (c <= ' ' || c >= 0x7F || QByteArrayView("()<>@,;:\\\"/[]?={}").contains(c))
            return false;
    return true;
}

} // namespace

QByteArray RequestGate::Head::value(const QByteArray &name) const
{
    for (const auto &[field, value] : fields)
        if (field == name)
            return value;
    return {};
}

class SocketWatch;

struct RequestGate::Shared {
    std::vector<SocketWatch *> watches;
};

// Follows the requests on one connection: waiting for a header, reading a
// body, idle between requests, or closing after an answer of the gate. Runs
// before the HTTP module's reader on every readyRead, and once more after
// it to note what that reader left unread.
class SocketWatch final : public QObject {
public:
    enum class State { Header, Body, Idle, Closing };

    SocketWatch(QTcpSocket *socket, RequestGate *gate) : QObject(socket), m_socket(socket), m_gate(gate)
    {
        setObjectName(name());
        m_since.start();
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, &SocketWatch::onTimeout);
        m_gate->m_shared->watches.push_back(this);
        m_shared = m_gate->m_shared;
        enterHeader();
    }
    ~SocketWatch() override
    {
        if (const auto shared = m_shared.lock())
            std::erase(shared->watches, this);
    }

    static QString name() { return QStringLiteral("brivane-socket-watch"); }

    // Connected before and after the HTTP module's reader.
    void watchBefore() { connect(m_socket, &QTcpSocket::readyRead, this, &SocketWatch::onReadyRead); }
    void watchAfter()
    {
        connect(m_socket, &QTcpSocket::readyRead, this,
                [this] { m_seenUnread = m_state == State::Closing ? 0 : m_socket->bytesAvailable(); });
    }

    // The gate is going away: nothing more to do here.
    void detach()
    {
        m_gate = nullptr;
        m_timer.stop();
        disconnect(m_socket, nullptr, this, nullptr);
    }

    QHostAddress peer() const { return m_socket->peerAddress(); }
    bool closing() const { return m_state == State::Closing; }
    // Between requests, or waiting for one: may be closed to make room.
    bool evictable() const
    {
        return !m_answerPending && (m_state == State::Header || m_state == State::Idle);
    }
    // While an answer is pending the line is not idle.
    void setAnswerPending(bool pending)
    {
        m_answerPending = pending;
        if (m_gate && m_state == State::Idle)
            enterIdle();
    }
    qint64 age() const { return m_since.elapsed(); }

    void evict()
    {
        log(QStringLiteral("closed to make room for a new connection"));
        m_state = State::Closing;
        m_timer.stop();
        m_socket->abort();
    }

private:
    void onReadyRead()
    {
        if (!m_gate)
            return;
        if (m_state == State::Closing) {
            drain();
            return;
        }
        // What arrived since the last look (the HTTP module may leave bytes
        // of a following request unread).
        const qint64 available = m_socket->bytesAvailable();
        if (available <= m_seenUnread)
            return;
        const QByteArray data = m_socket->peek(available).mid(m_seenUnread);
        qsizetype pos = 0;
        while (pos < data.size() && m_state != State::Closing) {
            if (m_state == State::Body) {
                const qint64 take = std::min<qint64>(m_bodyLeft, data.size() - pos);
                m_bodyLeft -= take;
                m_windowBytes += take;
                pos += take;
                if (m_bodyLeft == 0)
                    enterIdle();
                continue;
            }
            while (m_header.isEmpty() && pos < data.size() && isLeadingSpace(data[pos]))
                ++pos;
            if (pos == data.size())
                break;
            if (m_state == State::Idle)
                enterHeader(); // a new request begins: its header has the header time
            const qint64 limit = m_gate->m_limits.headerBytes;
            const qsizetype before = m_header.size();
            m_header.append(data.constData() + pos,
                            std::min<qsizetype>(data.size() - pos, limit + 4 - before));
            const qsizetype end = headerEnd(m_header);
            if (end < 0) {
                if (m_header.size() > limit)
                    refuse(refusal(431, QCoreApplication::translate("RequestGate", "请求头太长：最多 %1 字节。").arg(limit)), 0);
                pos += m_header.size() - before;
                continue;
            }
            pos += end - before;
            const QByteArray block = m_header.left(end);
            m_header.clear();
            if (block.size() > limit + 4) {
                refuse(refusal(431, QCoreApplication::translate("RequestGate", "请求头太长：最多 %1 字节。").arg(limit)), 0);
                break;
            }
            startRequest(block);
        }
    }

    void startRequest(const QByteArray &block)
    {
        QList<QByteArray> lines = block.split('\n');
        for (QByteArray &line : lines)
            if (line.endsWith('\r'))
                line.chop(1);
        RequestGate::Head head;
        head.peer = m_socket->peerAddress();
        // METHOD SP TARGET SP HTTP/x.y
        const QList<QByteArray> parts = lines.value(0).simplified().split(' ');
        if (parts.size() != 3 || !isToken(parts[0]) || !parts[1].startsWith('/') ||
            parts[2].size() != 8 || !parts[2].startsWith("HTTP/1.")) {
            refuse(refusal(400, QCoreApplication::translate("RequestGate", "请求行无效。")), 0);
            return;
        }
        head.method = parts[0];
        m_method = head.method;
        head.path = parts[1].left(parts[1].indexOf('?') >= 0 ? parts[1].indexOf('?') : parts[1].size());
        m_path = head.path;
        int lengths = 0;
        int hosts = 0;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QByteArray &line = lines[i];
            if (line.isEmpty())
                break;
            const qsizetype colon = line.indexOf(':');
            // No folded lines, no space before the colon.
            if (colon <= 0 || !isToken(QByteArrayView(line).first(colon))) {
                refuse(refusal(400, QCoreApplication::translate("RequestGate", "请求头第 %1 行无效。").arg(i + 1)), 0);
                return;
            }
            const QByteArray name = line.left(colon).toLower();
            const QByteArray value = line.mid(colon + 1).trimmed();
            head.fields.append({name, value});
            if (name == "transfer-encoding") {
                refuse(refusal(411, QCoreApplication::translate("RequestGate", "请求正文必须带 Content-Length。")), 0);
                return;
            }
            if (name == "host")
                ++hosts;
            if (name == "content-length") {
                // Decimal digits only: no sign, no spaces inside, no list.
                const bool digits =
                    !value.isEmpty() && value.size() <= kMaxLengthDigits &&
                    std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
                if (!digits || ++lengths > 1) {
                    refuse(refusal(400, lengths > 1
                                            ? QCoreApplication::translate("RequestGate", "请求带了多个 Content-Length。")
                                            : QCoreApplication::translate("RequestGate", "Content-Length 无效。")),
                           0);
                    return;
                }
                head.contentLength = value.toLongLong();
            }
        }
        if (hosts > 1) {
            refuse(refusal(400, QCoreApplication::translate("RequestGate", "请求带了多个 Host。")), 0);
            return;
        }
        const qint64 limit = m_gate->m_limits.bodyBytes ? m_gate->m_limits.bodyBytes(head) : 0;
        if (head.contentLength > limit) {
            refuse(refusal(413, QCoreApplication::translate("RequestGate", "请求正文太大：最多 %1 字节。").arg(limit)),
                   head.contentLength);
            return;
        }
        if (m_gate->m_limits.admit) {
            if (std::optional<RequestGate::Answer> refused = m_gate->m_limits.admit(head)) {
                refuse(*refused, head.contentLength);
                return;
            }
        }
        if (head.contentLength == 0) {
            enterIdle();
            return;
        }
        m_state = State::Body;
        m_bodyLeft = head.contentLength;
        startBodyWindow();
        // The client waits for a word before it sends the body (the HTTP
        // module does not give it).
        if (head.value("expect").toLower() == "100-continue")
            m_socket->write("HTTP/1.1 100 Continue\r\n\r\n");
    }

    void enterHeader()
    {
        m_state = State::Header;
        m_method.clear();
        m_path.clear();
        m_timer.start(m_gate->m_limits.headerMs);
    }
    void enterIdle()
    {
        m_state = State::Idle;
        m_since.restart();
        if (m_answerPending)
            m_timer.stop();
        else
            m_timer.start(m_gate->m_limits.idleMs);
    }
    void startBodyWindow()
    {
        m_windowBytes = 0;
        m_windowNeeds = std::min(m_bodyLeft, m_gate->m_limits.bodyBytesPerWindow);
        m_timer.start(m_gate->m_limits.bodyWindowMs);
    }

    void onTimeout()
    {
        if (!m_gate)
            return;
        switch (m_state) {
        case State::Header:
            refuse(refusal(408, QCoreApplication::translate("RequestGate", "请求头没有在 %1 秒内发完。")
                                    .arg(m_gate->m_limits.headerMs / 1000)),
                   0);
            break;
        case State::Body:
            if (m_windowBytes >= m_windowNeeds) {
                startBodyWindow();
                break;
            }
            refuse(refusal(408, QCoreApplication::translate("RequestGate", "请求正文发送太慢：每秒至少 %1 字节。")
                                    .arg(m_gate->m_limits.bodyBytesPerWindow * 1000 /
                                         m_gate->m_limits.bodyWindowMs)),
                   m_bodyLeft);
            break;
        case State::Idle:
            log(QStringLiteral("closed after %1 s idle").arg(m_gate->m_limits.idleMs / 1000));
            m_state = State::Closing;
            m_socket->abort();
            break;
        case State::Closing:
            break;
        }
    }

    void log(const QString &what) const
    {
        if (m_gate && m_gate->m_log)
            m_gate->m_log(QStringLiteral("%1 %2 %3")
                              .arg(QDateTime::currentDateTimeUtc().toString(Qt::ISODate),
                                   m_socket->peerAddress().toString(), what));
    }

    void refuse(const RequestGate::Answer &answer, qint64 bodyLength)
    {
        m_state = State::Closing;
        m_timer.stop();
        m_drainLeft = bodyLength;
        QByteArray out = "HTTP/1.1 " + QByteArray::number(answer.status) + ' ' +
                         RequestGate::reasonPhrase(answer.status) +
                         "\r\nContent-Type: application/json\r\nContent-Length: " +
                         QByteArray::number(answer.body.size()) + "\r\n";
        for (const auto &[name, value] : m_gate->m_limits.commonHeaders + answer.headers)
            out += name + ": " + value + "\r\n";
        out += "Connection: close\r\n\r\n" + answer.body;
        m_socket->write(out);
        log(QStringLiteral("%1 %2 %3 (refused before reading: %4)")
                .arg(QString::fromLatin1(m_method.left(16)), QString::fromLatin1(m_path.left(200)))
                .arg(answer.status)
                .arg(QString::fromUtf8(answer.body.left(300))));
        QPointer<QTcpSocket> socket = m_socket;
        QTimer::singleShot(kDrainMs, m_socket, [socket] {
            if (socket)
                socket->disconnectFromHost();
        });
        QTimer::singleShot(2 * kDrainMs, m_socket, [socket] {
            if (socket)
                socket->abort();
        });
        drain();
    }

    // Throws away what the refused client sends, keeping none of it (the
    // HTTP module's read transaction is ended first); closes once its
    // announced body has arrived.
    void drain()
    {
        if (m_socket->isTransactionStarted())
            m_socket->commitTransaction();
        m_drainLeft -= m_socket->skip(m_socket->bytesAvailable());
        if (m_drainLeft <= 0)
            m_socket->disconnectFromHost();
    }

    QTcpSocket *m_socket;
    RequestGate *m_gate;
    std::weak_ptr<RequestGate::Shared> m_shared;
    State m_state = State::Header;
    QTimer m_timer;
    QElapsedTimer m_since; // since the connection or its last request
    QByteArray m_header;
    QByteArray m_method;
    QByteArray m_path;
    qint64 m_seenUnread = 0;
    qint64 m_bodyLeft = 0;
    qint64 m_windowBytes = 0;
    qint64 m_windowNeeds = 0;
    qint64 m_drainLeft = 0;
    bool m_answerPending = false;
};

RequestGate::RequestGate(Limits limits, std::function<void(const QString &)> log, QObject *parent)
    : QTcpServer(parent), m_limits(std::move(limits)), m_log(std::move(log)),
      m_shared(std::make_shared<Shared>())
{
}

RequestGate::~RequestGate()
{
    for (SocketWatch *watch : m_shared->watches)
        watch->detach();
}

#if QT_CONFIG(ssl)
void RequestGate::useTls(const QSslConfiguration &configuration)
{
    m_tls = configuration;
}
#endif

void RequestGate::setAnswerPending(QTcpSocket *socket, bool pending)
{
    if (auto *watch = static_cast<SocketWatch *>(
            socket->findChild<QObject *>(SocketWatch::name(), Qt::FindDirectChildrenOnly)))
        watch->setAnswerPending(pending);
}

int RequestGate::openConnections() const
{
    return int(std::count_if(m_shared->watches.begin(), m_shared->watches.end(),
                             [](const SocketWatch *w) { return !w->closing(); }));
}

// Makes room for one more connection of peer: closes the oldest connection
// that waits for a request, of the same address when that address is at its
// cap, else of the address with the most connections. False when there is
// none to close.
bool RequestGate::makeRoom(const QHostAddress &peer)
{
    std::map<QString, int> perAddress;
    int total = 0;
    for (const SocketWatch *watch : m_shared->watches) {
        if (watch->closing())
            continue;
        ++perAddress[watch->peer().toString()];
        ++total;
    }
    QString from;
    if (perAddress[peer.toString()] >= m_limits.connectionsPerAddress)
        from = peer.toString();
    else if (total >= m_limits.connections)
        from = std::max_element(perAddress.begin(), perAddress.end(), [](const auto &a, const auto &b) {
                   return a.second < b.second;
               })->first;
    else
        return true;
    SocketWatch *oldest = nullptr;
    for (SocketWatch *watch : m_shared->watches)
        if (watch->evictable() && watch->peer().toString() == from &&
            (!oldest || watch->age() > oldest->age()))
            oldest = watch;
    if (!oldest)
        return false;
    oldest->evict();
    return true;
}

void RequestGate::incomingConnection(qintptr descriptor)
{
    QTcpSocket *socket = nullptr;
#if QT_CONFIG(ssl)
    if (m_tls)
        socket = new QSslSocket(this);
#endif
    if (!socket)
        socket = new QTcpSocket(this); // the HTTP module deletes it when it closes
    if (!socket->setSocketDescriptor(descriptor)) {
        socket->deleteLater();
        return;
    }
    if (!makeRoom(socket->peerAddress())) {
        const QByteArray body = refusal(503, QCoreApplication::translate("RequestGate", "服务忙，请稍后再试。")).body;
        QByteArray out = "HTTP/1.1 503 Service Unavailable\r\nContent-Type: application/json\r\n"
                         "Content-Length: " +
                         QByteArray::number(body.size()) + "\r\n";
        for (const auto &[name, value] : m_limits.commonHeaders)
            out += name + ": " + value + "\r\n";
        socket->write(out + "Connection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        if (m_log)
            m_log(QStringLiteral("%1 %2 503 (refused: every connection is busy)")
                      .arg(QDateTime::currentDateTimeUtc().toString(Qt::ISODate),
                           socket->peerAddress().toString()));
        return;
    }
    auto *watch = new SocketWatch(socket, this); // owned by the socket
    const auto admit = [this, socket, watch] {
        watch->watchBefore(); // before the HTTP module's reader
        addPendingConnection(socket);
        watch->watchAfter();
    };
#if QT_CONFIG(ssl)
    if (auto *tls = qobject_cast<QSslSocket *>(socket)) {
        // Handed to the HTTP module once encrypted; the header time covers
        // the handshake.
        connect(tls, &QSslSocket::encrypted, this, admit);
        connect(tls, &QTcpSocket::disconnected, tls, [tls] {
            if (!tls->isEncrypted())
                tls->deleteLater();
        });
        connect(tls, &QAbstractSocket::errorOccurred, tls, [this, tls] {
            if (!tls->isEncrypted()) {
                if (m_log)
                    m_log(QStringLiteral("%1 TLS handshake failed: %2")
                              .arg(tls->peerAddress().toString(), tls->errorString()));
                tls->abort();
            }
        });
        tls->setSslConfiguration(*m_tls);
        tls->startServerEncryption();
        return;
    }
#endif
    admit();
}
