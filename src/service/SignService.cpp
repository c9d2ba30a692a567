#include "service/SignService.h"

#include "base/AppServices.h"
#include "link/ControllerInfo.h"
#include "model/PlayList.h"
#include "service/CardQueue.h"
#include "service/RequestGate.h"
#include "service/NotifyQueue.h"
#include "service/ScheduleRunner.h"
#include "service/SendJob.h"
#include "service/ServiceSupport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QPointer>
#include <deque>
#include <QJsonArray>
#include <QJsonParseError>
#include <QMutex>
#include <QTcpSocket>
#include <QThread>
#include <cstdio>

#if QT_CONFIG(ssl)
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#endif

using namespace ServiceSupport;

namespace ServiceSupport {

namespace {

// The first unpaired surrogate escape (\uD800..\uDFFF) in the JSON text:
// its byte offset, or -1. The JSON reader would turn it into U+FFFD.
qsizetype loneSurrogate(const QByteArray &text)
{
    auto unitAt = [&](qsizetype i) -> int { // the code unit of "\uXXXX" at i, or -1
        if (i + 6 > text.size() || text[i] != '\\' || text[i + 1] != 'u')
            return -1;
        bool ok = false;
        const int unit = text.mid(i + 2, 4).toInt(&ok, 16);
        return ok ? unit : -1;
    };
    bool inString = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '"') {
            inString = !inString;
        } else if (inString && text[i] == '\\') {
            const int unit = unitAt(i);
            if (unit >= 0xD800 && unit <= 0xDBFF) {
                const int next = unitAt(i + 6);
                if (next < 0xDC00 || next > 0xDFFF)
                    return i;
                i += 11;
            } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
                return i;
            } else {
                ++i; // the escaped character
            }
        }
    }
    return -1;
}

// The first control character (other than line breaks and tabs) in a key
// or text of value: where it is, or an empty string.
QString controlCharacter(const QJsonValue &value, const QString &where)
{
    auto inText = [&](const QString &text, const QString &name) -> QString {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c.category() == QChar::Other_Control && c != u'\n' && c != u'\r' && c != u'\t')
                return QCoreApplication::translate("SignService", "%1第 %2 个字符是控制字符 U+%3")
                    .arg(name)
                    .arg(i + 1)
                    .arg(QString::number(c.unicode(), 16).rightJustified(4, u'0').toUpper());
        }
        return {};
    };
    if (value.isString())
        return inText(value.toString(), where);
    if (value.isArray()) {
        const QJsonArray array = value.toArray();
        for (qsizetype i = 0; i < array.size(); ++i)
            if (QString found = controlCharacter(array[i], where); !found.isEmpty())
                return found;
    }
    if (value.isObject()) {
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            const QString name = QCoreApplication::translate("SignService", "字段“%1”").arg(it.key().left(40));
            if (QString found = inText(it.key(), QCoreApplication::translate("SignService", "字段名")); !found.isEmpty())
                return found;
            if (QString found = controlCharacter(it.value(), name); !found.isEmpty())
                return found;
        }
    }
    return {};
}

} // namespace

std::optional<SignService::Reply> readObject(const QByteArray &body, QJsonObject *object)
{
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return error(400, QCoreApplication::translate("SignService", "请求正文不是有效的 JSON：%1（第 %2 字节）")
                              .arg(parseError.errorString())
                              .arg(parseError.offset));
    if (!document.isObject())
        return error(400, QCoreApplication::translate("SignService", "请求正文必须是一个 JSON 对象。"));
    // Text that cannot be kept as it was sent is refused, not changed.
    if (const qsizetype at = loneSurrogate(body); at >= 0)
        return error(400, QCoreApplication::translate("SignService", "请求正文第 %1 字节是不成对的代理项 %2：文字无法保存。")
                              .arg(at + 1)
                              .arg(QString::fromLatin1(body.mid(at, 6))));
    if (const QString found = controlCharacter(document.object(), {}); !found.isEmpty())
        return error(400, found + QCoreApplication::translate("SignService", "：只允许换行和制表符。"));
    *object = document.object();
    return std::nullopt;
}

int smallNumber(const QString &digits)
{
    if (digits.isEmpty() || digits.size() > 9)
        return -1;
    bool ok = false;
    const int n = digits.toInt(&ok, 10);
    return ok ? n : -1;
}

} // namespace ServiceSupport

// The seam's messages while the service runs: logged. Questions never reach
// it: a send's questions are answered by its job.
class SignService::Messages final : public UserInterface {
public:
    explicit Messages(std::function<void(const QString &)> log)
        : m_log(std::move(log)), m_previous(&userInterface())
    {
        setUserInterface(this);
    }
    ~Messages() override { setUserInterface(m_previous); }

    bool askYesNo(QObject *, const QString &) override { return false; }
    Answer askYesNoCancel(QObject *, const QString &) override { return Answer::Cancel; }
    void showMessage(QObject *, const QString &text, const QString &caption,
                     MessageIcon icon) override
    {
        (void)icon;
        m_log(caption + QStringLiteral(": ") + text);
    }

private:
    std::function<void(const QString &)> m_log;
    UserInterface *m_previous;
};

SignService::SignService(ServiceConfig config, QObject *parent)
    : QAbstractHttpServer(parent), m_config(std::move(config))
{
    if (!m_config.log) {
        m_config.log = [](const QString &line) {
            std::fputs((line + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
            std::fflush(stderr);
        };
    }
    // Worker threads log too (a send's answers, load errors): one line at a time.
    m_config.log = [log = std::move(m_config.log),
                    mutex = std::make_shared<QMutex>()](const QString &line) {
        const QMutexLocker lock(mutex.get());
        log(line);
    };
    m_messages = std::make_unique<Messages>(m_config.log);
    QList<ServiceSign> signs = m_config.signs;
    if (signs.isEmpty())
        signs.append({QStringLiteral("sign"), QString::number(m_config.port), {}});
    for (ServiceSign &config : signs) {
        auto sign = std::make_unique<Sign>();
        sign->config = std::move(config);
        sign->queue = new CardQueue(sign->config.port, this);
        m_signs.push_back(std::move(sign));
    }
    m_notify = new NotifyQueue(
        *this,
        [this] {
            if (m_schedule)
                return m_schedule->restore();
            return startSendJob(m_config.projectPath) != 0;
        },
        m_config.log);
}

SignService::~SignService()
{
    stop();
}

quint16 SignService::start(const QHostAddress &address, quint16 port, QString *error)
{
    RequestGate::Limits limits;
    limits.bodyBytes = [](const RequestGate::Head &head) {
        return head.method == "POST" && head.path == "/api/pictures" ? kMaxPictureBytes
                                                                      : kMaxBodyBytes;
    };
    limits.admit = [this](const RequestGate::Head &head) { return admit(head); };
    limits.commonHeaders = securityHeaders();
    // Owned here until it listens, then by this service as its child.
    auto gate = std::make_unique<RequestGate>(std::move(limits), m_config.log, this);
    if (!m_config.tlsCertificate.isEmpty() || !m_config.tlsKey.isEmpty()) {
#if QT_CONFIG(ssl)
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        QString problem;
        if (!QSslSocket::supportsSsl()) {
            problem = QStringLiteral("this Qt has no TLS library");
        } else {
            QFile certificate(m_config.tlsCertificate);
            QFile key(m_config.tlsKey);
            const QList<QSslCertificate> chain =
                certificate.open(QIODevice::ReadOnly) ? QSslCertificate::fromData(certificate.readAll())
                                                      : QList<QSslCertificate>();
            const QByteArray keyBytes = key.open(QIODevice::ReadOnly) ? key.readAll() : QByteArray();
            QSslKey privateKey(keyBytes, QSsl::Rsa);
            if (privateKey.isNull())
                privateKey = QSslKey(keyBytes, QSsl::Ec);
            if (chain.isEmpty())
                problem = QStringLiteral("no certificate in %1").arg(m_config.tlsCertificate);
            else if (privateKey.isNull())
                problem = QStringLiteral("no unencrypted RSA or EC private key in %1")
                              .arg(m_config.tlsKey);
            tls.setLocalCertificateChain(chain);
            tls.setPrivateKey(privateKey);
            tls.setPeerVerifyMode(QSslSocket::VerifyNone);
        }
        if (!problem.isEmpty()) {
            *error = problem;
            return 0;
        }
        gate->useTls(tls);
        m_tls = true;
#else
        *error = QStringLiteral("this build has no TLS");
        return 0;
#endif
    }
    if (!gate->listen(address, port)) {
        *error = gate->errorString();
        m_gate = nullptr;
        return 0;
    }
    m_listenAddress = address;
    m_gate = gate.release();
    bind(m_gate);
    startSchedule();
    return m_gate->serverPort();
}

void SignService::startSchedule()
{
    if (!m_config.schedulePath.isEmpty() && !m_schedule) {
        // The schedule drives the first sign.
        const QString sign = !m_config.signs.isEmpty() ? m_config.signs.front().name
                             : m_config.port > 0       ? QStringLiteral("port %1").arg(m_config.port)
                                                       : QStringLiteral("sign");
        m_schedule = new ScheduleRunner(*this, m_config.schedulePath, m_config.projectPath, sign,
                                        m_config.log);
        m_schedule->start();
    }
}

const RequestGate::Fields &SignService::securityHeaders()
{
    static const RequestGate::Fields headers = {
        {"X-Content-Type-Options", "nosniff"},
        {"X-Frame-Options", "DENY"},
        {"Content-Security-Policy",
         "default-src 'self'; img-src 'self' data: blob:; object-src 'none'; base-uri 'none'; "
         "form-action 'self'; frame-ancestors 'none'"},
        {"Referrer-Policy", "no-referrer"},
        {"Cache-Control", "no-store"},
    };
    return headers;
}

void SignService::log(const QString &line) const
{
    m_config.log(line);
}

const std::vector<SignService::Route> &SignService::routes() const
{
    auto path = [](const char *pattern) {
        return QRegularExpression(QStringLiteral("^%1$").arg(QLatin1String(pattern)));
    };
    static const std::vector<Route> table = {
        {"GET", path("/(|index\\.html|app\\.js|app\\.css|login\\.js|schedule\\.js|schedule\\.css|favicon\\.svg|i18n\\.js)"), &SignService::getPage},
        {"GET", path("/texts\\.json"), &SignService::pageTexts},
        {"POST", path("/api/login"), &SignService::login},
        {"GET", path("/api/programs"), &SignService::listPrograms},
        {"GET", path("/api/choices"), &SignService::choices},
        {"POST", path("/api/programs"), &SignService::addProgram},
        {"PUT", path("/api/programs"), &SignService::replacePrograms},
        {"PATCH", path("/api/programs/(\\d+)"), &SignService::changeProgram},
        {"DELETE", path("/api/programs/(\\d+)"), &SignService::deleteProgram},
        {"POST", path("/api/programs/(\\d+)/move"), &SignService::moveProgram},
        {"GET", path("/api/programs/(\\d+)/pages/(\\d+)\\.png"), &SignService::pagePicture},
        {"GET", path("/api/programs/(\\d+)/preview\\.png"), &SignService::previewPicture},
        {"GET", path("/api/programs/(\\d+)/animation\\.gif"), &SignService::animationGif},
        {"POST", path("/api/pictures"), &SignService::uploadPicture},
        {"POST", path("/api/send"), &SignService::startSend},
        {"GET", path("/api/jobs/(\\d+)"), &SignService::jobState},
        {"POST", path("/api/jobs/(\\d+)/cancel"), &SignService::cancelJob},
        {"GET", path("/api/card"), nullptr, &SignService::cardInfo},
        {"POST", path("/api/card/(clear|clock|power|brightness)"), nullptr, &SignService::cardCommand},
        {"GET", path("/api/schedule/status"), &SignService::scheduleStatus},
        {"GET", path("/api/schedule"), &SignService::getSchedule},
        {"PUT", path("/api/schedule"), &SignService::putSchedule},
        {"POST", path("/api/notify"), &SignService::postNotify},
    };
    return table;
}

namespace {

// An answer of the HTTP face as it goes on the line.
QByteArray answerBytes(const SignService::Reply &reply, bool head, bool close)
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' +
                     RequestGate::reasonPhrase(reply.status) + "\r\n";
    RequestGate::Fields fields = {{"Content-Type", reply.contentType},
                                  {"Content-Length", QByteArray::number(reply.body.size())}};
    fields += SignService::securityHeaders() + reply.headers;
    if (reply.status == 401)
        fields.append({QByteArray("WWW-Authenticate"), QByteArray("Bearer")});
    if (close)
        fields.append({QByteArray("Connection"), QByteArray("close")});
    for (const auto &[name, value] : fields)
        out += name + ": " + value + "\r\n";
    out += "\r\n";
    if (!head)
        out += reply.body;
    return out;
}

const char *methodName(QHttpServerRequest::Method method)
{
    switch (method) {
    case QHttpServerRequest::Method::Get:
        return "GET";
    case QHttpServerRequest::Method::Put:
        return "PUT";
    case QHttpServerRequest::Method::Delete:
        return "DELETE";
    case QHttpServerRequest::Method::Post:
        return "POST";
    case QHttpServerRequest::Method::Head:
        return "HEAD";
    case QHttpServerRequest::Method::Options:
        return "OPTIONS";
    case QHttpServerRequest::Method::Patch:
        return "PATCH";
    default:
        break;
    }
    return "OTHER";
}

} // namespace

void SignService::dispatch(const ApiRequest &request, Done done)
{
    const QByteArray &method = request.method;
    const QString &path = request.path;
    if (!isPublic(method, path) && !request.authorised)
        return done(error(401, QCoreApplication::translate("SignService", "需要登录或令牌：Authorization: Bearer TOKEN")));
    bool pathKnown = false;
    for (const Route &route : routes()) {
        const QRegularExpressionMatch match = route.path.match(path);
        if (!match.hasMatch())
            continue;
        pathKnown = true;
        if (method != route.method)
            continue;
        if (route.later)
            return (this->*route.later)(request, match, std::move(done));
        return done((this->*route.handle)(request, match));
    }
    if (pathKnown)
        return done(
            error(405, QCoreApplication::translate("SignService", "此地址不接受 %1 请求。").arg(QLatin1String(method.left(16)))));
    done(error(404, QCoreApplication::translate("SignService", "没有这个地址：%1").arg(path.left(300))));
}

void SignService::call(const ApiRequest &request, Done done)
{
    if (!request.sign.isEmpty()) {
        Reply refusal;
        if (!signFor(request.sign, &refusal))
            return done(refusal);
    }
    dispatch(request, std::move(done));
}

namespace {

// The answers of one connection in the order its requests came: a card
// request answers when its operation has ended, and what the client sent
// after it waits its turn. A child of the socket.
class AnswerOrder final : public QObject {
public:
    explicit AnswerOrder(QTcpSocket *socket) : QObject(socket), m_socket(socket)
    {
        setObjectName(name());
    }
    static QString name() { return QStringLiteral("brivane-answer-order"); }
    static AnswerOrder *of(QTcpSocket *socket)
    {
        return static_cast<AnswerOrder *>(
            socket->findChild<QObject *>(name(), Qt::FindDirectChildrenOnly));
    }

    // A place for the next request's answer.
    quint64 reserve()
    {
        m_answers.emplace_back();
        return m_first + m_answers.size() - 1;
    }
    // Fills a place; writes what is ready from the front. Whether answers
    // still wait.
    bool fill(quint64 place, QByteArray bytes, bool close)
    {
        if (place < m_first || place - m_first >= m_answers.size())
            return !m_answers.empty();
        m_answers[place - m_first] = Answer{std::move(bytes), close, true};
        while (!m_answers.empty() && m_answers.front().ready) {
            const Answer answer = std::move(m_answers.front());
            m_answers.pop_front();
            ++m_first;
            m_socket->write(answer.bytes);
            if (answer.close) {
                m_answers.clear();
                m_socket->disconnectFromHost();
                return false;
            }
        }
        return !m_answers.empty();
    }

private:
    struct Answer {
        QByteArray bytes;
        bool close = false;
        bool ready = false;
    };
    QTcpSocket *m_socket;
    std::deque<Answer> m_answers;
    quint64 m_first = 0;
};

} // namespace

bool SignService::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    QElapsedTimer timer;
    timer.start();
    ApiRequest api;
    // HEAD is answered as GET, without the body.
    const bool head = request.method() == QHttpServerRequest::Method::Head;
    api.method = head ? QByteArray("GET") : QByteArray(methodName(request.method()));
    api.path = request.url().path();
    api.query = request.query();
    api.body = request.body();
    api.contentType = request.value("Content-Type");
    api.peer = request.remoteAddress();
    // The gate has checked the request already; the token is looked at
    // again here, without counting.
    api.authorised = authorised(request.value("Authorization"), request.value("Cookie"));
    // The client's "Connection: close" is honoured; otherwise the line stays
    // open for the next request (until the gate's idle time).
    const bool close = request.value("Connection").toLower().contains("close");
    AnswerOrder *order = AnswerOrder::of(socket);
    if (!order)
        order = new AnswerOrder(socket);
    const quint64 place = order->reserve();
    const QString line = QStringLiteral("%1 %2 %3")
                             .arg(api.peer.toString(), QLatin1String(methodName(request.method())),
                                  request.url()
                                      .toString(QUrl::RemoveScheme | QUrl::RemoveAuthority)
                                      .left(300));
    const auto answered = std::make_shared<bool>(false);
    // The socket (and its order) may be gone when a card request answers.
    QPointer<AnswerOrder> to(order);
    QPointer<RequestGate> gate(m_gate);
    call(api, [this, to, gate, place, head, close, line, timer, answered](const Reply &reply) {
        *answered = true;
        log(QStringLiteral("%1 %2 %3 %4 B %5 ms")
                .arg(QDateTime::currentDateTimeUtc().toString(Qt::ISODate), line)
                .arg(reply.status)
                .arg(reply.body.size())
                .arg(timer.elapsed()));
        if (!to)
            return;
        auto *socket = static_cast<QTcpSocket *>(to->parent());
        const bool waiting = to->fill(place, answerBytes(reply, head, close), close);
        if (gate)
            gate->setAnswerPending(socket, waiting);
    });
    if (!*answered && m_gate)
        m_gate->setAnswerPending(socket, true);
    return true;
}

void SignService::missingHandler(const QHttpServerRequest &request, QTcpSocket *socket)
{
    // Every request is taken by handleRequest; this answers anything else.
    const Reply reply = error(404, QCoreApplication::translate("SignService", "没有这个地址。"));
    makeResponder(request, socket)
        .write(reply.body, {{"Content-Type", reply.contentType}},
               QHttpServerResponder::StatusCode::NotFound);
}

SignService::Reply SignService::getPage(const ApiRequest &request,
                                        const QRegularExpressionMatch &m)
{
    QString name = m.captured(1);
    // With a token, the page asks for it first.
    if (name.isEmpty())
        name = m_config.token.isEmpty() || request.authorised
                   ? QStringLiteral("index.html")
                   : QStringLiteral("login.html");
    QFile file(QStringLiteral(":/web/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return error(404, QCoreApplication::translate("SignService", "没有这个地址。"));
    const QByteArray type = name.endsWith(u".js")    ? "text/javascript; charset=utf-8"
                            : name.endsWith(u".css") ? "text/css; charset=utf-8"
                            : name.endsWith(u".svg") ? "image/svg+xml"
                                                     : "text/html; charset=utf-8";
    return {200, file.readAll(), type};
}

QString SignService::withoutFolders(QString text) const
{
    const QFileInfo file(m_config.projectPath);
    for (const QString &path : {file.absoluteFilePath(), QDir::toNativeSeparators(file.absoluteFilePath())})
        text.replace(path, file.fileName());
    for (const QString &folder : {file.absolutePath(), QDir::toNativeSeparators(file.absolutePath())}) {
        text.replace(folder + u'/', QString());
        text.replace(folder + u'\\', QString());
        text.replace(folder, QCoreApplication::translate("SignService", "项目文件夹"));
    }
    return text;
}

QString SignService::projectFileRefusal(const Outcome &outcome) const
{
    const QString name = QFileInfo(m_config.projectPath).fileName();
    switch (outcome.code()) {
    case OutcomeCode::FileMissing: // "没有项目文件 ..."
    case OutcomeCode::FileLocked:  // names the holder
    case OutcomeCode::FileRefused: // why the loader would refuse it
    case OutcomeCode::FileDiskFull: // names the folder and its disk
        return withoutFolders(outcome.text());
    case OutcomeCode::FileUnreadable:
    case OutcomeCode::FileInvalid:
        log(QStringLiteral("Error: ") + outcome.text());
        return QCoreApplication::translate("SignService", "无法读取项目文件 %1：文件无法打开、已损坏或不是节目单文件（%2）")
            .arg(name, outcome.text());
    default:
        log(QStringLiteral("Error: ") + outcome.text());
        return QCoreApplication::translate("SignService", "无法保存项目文件 %1").arg(name);
    }
}

SignService::Reply SignService::projectFileError(const Outcome &outcome) const
{
    const int status = [&] {
        switch (outcome.code()) {
        case OutcomeCode::FileMissing:
        case OutcomeCode::FileUnreadable:
        case OutcomeCode::FileInvalid:
            return 409;
        case OutcomeCode::FileRefused:
            return 413;
        case OutcomeCode::FileDiskFull:
            return 507;
        case OutcomeCode::FileLocked:
            return 503;
        default:
            return 500;
        }
    }();
    return error(status, projectFileRefusal(outcome));
}
