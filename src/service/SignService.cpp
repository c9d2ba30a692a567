#include "service/SignService.h"

#include "base/AppServices.h"
#include "link/ControllerInfo.h"
#include "model/PlayList.h"
#include "service/RequestGate.h"
#include "service/NotifyQueue.h"
#include "service/ScheduleRunner.h"
#include "service/SendJob.h"
#include "service/ServiceSupport.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonParseError>
#include <QMutex>
#include <QTcpSocket>
#include <QThread>
#include <cstdio>

using namespace ServiceSupport;

namespace ServiceSupport {

std::optional<SignService::Reply> readObject(const QByteArray &body, QJsonObject *object)
{
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return error(400, QStringLiteral("请求正文不是有效的 JSON：%1（第 %2 字节）")
                              .arg(parseError.errorString())
                              .arg(parseError.offset));
    if (!document.isObject())
        return error(400, QStringLiteral("请求正文必须是一个 JSON 对象。"));
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
    limits.bodyBytes = [](const QByteArray &method, const QByteArray &path) {
        return method == "POST" && path == "/api/pictures" ? kMaxPictureBytes : kMaxBodyBytes;
    };
    // Owned here until it listens, then by this service as its child.
    auto gate = std::make_unique<RequestGate>(std::move(limits), m_config.log, this);
    if (!gate->listen(address, port)) {
        *error = gate->errorString();
        m_gate = nullptr;
        return 0;
    }
    m_gate = gate.release();
    bind(m_gate);
    if (!m_config.schedulePath.isEmpty() && !m_schedule) {
        const QString sign = m_config.port > 0 ? QStringLiteral("port %1").arg(m_config.port)
                                               : QStringLiteral("sign");
        m_schedule = new ScheduleRunner(*this, m_config.schedulePath, m_config.projectPath, sign,
                                        m_config.log);
        m_schedule->start();
    }
    return m_gate->serverPort();
}

void SignService::log(const QString &line) const
{
    m_config.log(line);
}

bool SignService::authorised(const QHttpServerRequest &request) const
{
    if (m_config.token.isEmpty())
        return true;
    const QByteArray given = request.value("Authorization");
    const QByteArray expected = "Bearer " + m_config.token;
    // Constant time: every byte of the longer one is looked at.
    const qsizetype n = std::max(given.size(), expected.size());
    unsigned difference = unsigned(given.size() ^ expected.size());
    for (qsizetype i = 0; i < n; ++i)
        difference |= unsigned(uint8_t(i < given.size() ? given[i] : 0) ^
                               uint8_t(i < expected.size() ? expected[i] : 0));
    return difference == 0;
}

const std::vector<SignService::Route> &SignService::routes() const
{
    auto path = [](const char *pattern) {
        return QRegularExpression(QStringLiteral("^%1$").arg(QLatin1String(pattern)));
    };
    static const std::vector<Route> table = {
        {"GET", path("/(|index\\.html|app\\.js|app\\.css|schedule\\.js|schedule\\.css)"), &SignService::getPage},
        {"GET", path("/api/programs"), &SignService::listPrograms},
        {"GET", path("/api/choices"), &SignService::choices},
        {"POST", path("/api/programs"), &SignService::addProgram},
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
        {"GET", path("/api/card"), &SignService::cardInfo},
        {"POST", path("/api/card/(clear|clock|power|brightness)"), &SignService::cardCommand},
        {"GET", path("/api/schedule/status"), &SignService::scheduleStatus},
        {"GET", path("/api/schedule"), &SignService::getSchedule},
        {"PUT", path("/api/schedule"), &SignService::putSchedule},
        {"POST", path("/api/notify"), &SignService::postNotify},
    };
    return table;
}

namespace {

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

SignService::Reply SignService::dispatch(const QHttpServerRequest &request)
{
    if (!authorised(request))
        return error(401, QStringLiteral("需要令牌：Authorization: Bearer TOKEN"));
    const QString path = request.url().path();
    const char *method = methodName(request.method());
    bool pathKnown = false;
    for (const Route &route : routes()) {
        const QRegularExpressionMatch match = route.path.match(path);
        if (!match.hasMatch())
            continue;
        pathKnown = true;
        if (qstrcmp(route.method, method) == 0)
            return (this->*route.handle)(request, match);
    }
    if (pathKnown)
        return error(405, QStringLiteral("此地址不接受 %1 请求。").arg(QLatin1String(method)));
    return error(404, QStringLiteral("没有这个地址：%1").arg(path));
}

bool SignService::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    QElapsedTimer timer;
    timer.start();
    const Reply reply = dispatch(request);
    QHttpServerResponder responder = makeResponder(request, socket);
    responder.writeStatusLine(QHttpServerResponder::StatusCode(reply.status));
    responder.writeHeader("Content-Type", reply.contentType);
    responder.writeHeader("Content-Length", QByteArray::number(reply.body.size()));
    responder.writeHeader("Cache-Control", "no-store");
    if (reply.status == 401)
        responder.writeHeader("WWW-Authenticate", "Bearer");
    responder.writeBody(reply.body);
    log(QStringLiteral("%1 %2 %3 %4 %5 %6 B %7 ms")
            .arg(QDateTime::currentDateTimeUtc().toString(Qt::ISODate),
                 request.remoteAddress().toString(), QLatin1String(methodName(request.method())),
                 request.url().toString(QUrl::RemoveScheme | QUrl::RemoveAuthority).left(300))
            .arg(reply.status)
            .arg(reply.body.size())
            .arg(timer.elapsed()));
    return true;
}

void SignService::missingHandler(const QHttpServerRequest &request, QTcpSocket *socket)
{
    // Every request is taken by handleRequest; this answers anything else.
    const Reply reply = error(404, QStringLiteral("没有这个地址。"));
    makeResponder(request, socket)
        .write(reply.body, {{"Content-Type", reply.contentType}},
               QHttpServerResponder::StatusCode::NotFound);
}

SignService::Reply SignService::getPage(const QHttpServerRequest &,
                                        const QRegularExpressionMatch &m)
{
    QString name = m.captured(1);
    if (name.isEmpty())
        name = QStringLiteral("index.html");
    QFile file(QStringLiteral(":/web/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return error(404, QStringLiteral("没有这个地址。"));
    const QByteArray type = name.endsWith(u".js")    ? "text/javascript; charset=utf-8"
                            : name.endsWith(u".css") ? "text/css; charset=utf-8"
                                                     : "text/html; charset=utf-8";
    return {200, file.readAll(), type};
}

QString SignService::projectFileRefusal(const Outcome &outcome) const
{
    switch (outcome.code()) {
    case OutcomeCode::FileMissing: // "没有项目文件 ..."
    case OutcomeCode::FileLocked:  // names the holder
    case OutcomeCode::FileRefused: // why the loader would refuse it
    case OutcomeCode::FileDiskFull: // names the folder and its disk
        return outcome.text();
    case OutcomeCode::FileUnreadable:
    case OutcomeCode::FileInvalid:
        log(QStringLiteral("Error: ") + outcome.text());
        return QStringLiteral("无法读取项目文件 %1").arg(m_config.projectPath);
    default:
        log(QStringLiteral("Error: ") + outcome.text());
        return QStringLiteral("无法保存项目文件 %1").arg(m_config.projectPath);
    }
}

SignService::Reply SignService::projectFileError(const Outcome &outcome) const
{
    const int status = [&] {
        switch (outcome.code()) {
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

std::unique_ptr<PlayList> SignService::readProjectFile(QString *error) const
{
    auto list = std::make_unique<PlayList>();
    list->setProjectFilePath(m_config.projectPath);
    if (const Outcome loaded = list->load(); !loaded) {
        *error = projectFileRefusal(loaded);
        return nullptr;
    }
    error->clear();
    return list;
}
