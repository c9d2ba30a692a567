// Who may ask the sign service: the names it answers to (against DNS
// rebinding), requests of its own page only (against other web sites), and
// the token, given on each request or once on the login page for a session
// cookie, with wrong tokens limited per address.

#include "service/SignService.h"

#include "service/ServiceSupport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QNetworkInterface>
#include <QRandomGenerator>
#include <algorithm>

using namespace ServiceSupport;

namespace {

constexpr QByteArrayView kSessionCookie = "brivane_session";
// Addresses whose wrong tokens are remembered at most.
constexpr std::size_t kMaxRemembered = 1024;

qint64 nowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

// Equal, looking at every byte of the longer one (no timing hint).
bool sameSecret(QByteArrayView given, QByteArrayView expected)
{
    const qsizetype n = std::max(given.size(), expected.size());
    unsigned difference = unsigned(given.size() ^ expected.size());
    for (qsizetype i = 0; i < n; ++i)
        difference |= unsigned(uint8_t(i < given.size() ? given[i] : 0) ^
                               uint8_t(i < expected.size() ? expected[i] : 0));
    return difference == 0;
}

RequestGate::Answer refusal(int status, const QString &message, RequestGate::Fields headers = {})
{
    const SignService::Reply reply = error(status, message);
    return {status, reply.body, std::move(headers)};
}

// The session cookie's value in a Cookie header, empty when there is none.
QByteArray sessionIn(const QByteArray &cookieHeader)
{
    for (const QByteArray &pair : cookieHeader.split(';')) {
        const QByteArray trimmed = pair.trimmed();
        if (trimmed.startsWith(kSessionCookie) && trimmed.mid(kSessionCookie.size()).startsWith('='))
            return trimmed.mid(kSessionCookie.size() + 1);
    }
    return {};
}

} // namespace

bool SignService::isPublic(const QByteArray &method, const QString &path)
{
    if (method == "GET" || method == "HEAD")
        return path == u"/" || path == u"/login.js" || path == u"/app.css" ||
               path == u"/favicon.svg" || path == u"/i18n.js" || path == u"/texts.json";
    return method == "POST" && path == u"/api/login";
}

bool SignService::hostAllowed(const QByteArray &host) const
{
    // NAME, NAME:PORT, [IPV6] or [IPV6]:PORT
    QString name = QString::fromLatin1(host).toLower();
    if (name.startsWith(u'[')) {
        const qsizetype close = name.indexOf(u']');
        if (close < 0)
            return false;
        name = name.mid(1, close - 1);
    } else if (name.count(u':') == 1) {
        name.truncate(name.indexOf(u':'));
    }
    if (name.isEmpty())
        return false;
    if (name == u"localhost" || m_config.allowedHosts.contains(name, Qt::CaseInsensitive))
        return true;
    const QHostAddress address(name);
    if (address.isNull())
        return false;
    if (address.isLoopback() || address.isEqual(m_listenAddress, QHostAddress::TolerantConversion))
        return true;
    // Listening on every address: any address of this computer.
    const bool everyAddress = m_listenAddress == QHostAddress::Any ||
                              m_listenAddress == QHostAddress::AnyIPv4 ||
                              m_listenAddress == QHostAddress::AnyIPv6;
    if (everyAddress) {
        const QList<QHostAddress> own = QNetworkInterface::allAddresses();
        return std::any_of(own.begin(), own.end(), [&](const QHostAddress &a) {
            return a.isEqual(address, QHostAddress::TolerantConversion);
        });
    }
    return false;
}

std::optional<RequestGate::Answer> SignService::admit(const RequestGate::Head &head)
{
    const QByteArray host = head.value("host");
    if (host.isEmpty())
        return refusal(400, QCoreApplication::translate("SignServiceAccess", "请求缺少 Host。"));
    if (!hostAllowed(host))
        return refusal(403, QCoreApplication::translate("SignServiceAccess", "拒绝：本服务不使用主机名“%1”（可用 --allow-host 添加）。")
                                .arg(QString::fromLatin1(host.left(100))));
    // A browser names the page that sent the request; only our own may.
    const QByteArray origin = head.value("origin");
    const QByteArray own = (m_tls ? "https://" : "http://") + host.toLower();
    if (!origin.isEmpty() && origin.toLower() != own)
        return refusal(403, QCoreApplication::translate("SignServiceAccess", "拒绝：来自其他网页（%1）的请求。")
                                .arg(QString::fromLatin1(origin.left(100))));
    // A change must say it is JSON (or a picture): other types are what a
    // foreign page may send without asking the browser first.
    const bool change = head.method != "GET" && head.method != "HEAD";
    if (change) {
        const QByteArray type = head.value("content-type").split(';').value(0).trimmed().toLower();
        const bool picture = head.path == "/api/pictures";
        const bool ok = type == "application/json" ||
                        (picture && (type.startsWith("image/") || type == "application/octet-stream"));
        if (!ok)
            return refusal(415, picture ? QCoreApplication::translate("SignServiceAccess", "图片的 Content-Type 必须是 image/...。")
                                        : QCoreApplication::translate("SignServiceAccess", "请求的 Content-Type 必须是 application/json。"));
    }
    if (m_config.token.isEmpty())
        return std::nullopt;
    const QString path = QString::fromLatin1(head.path);
    const bool loginRequest = head.method == "POST" && path == u"/api/login";
    if (isPublic(head.method, path) && !loginRequest)
        return std::nullopt;
    if (const int seconds = lockedSeconds(head.peer); seconds > 0)
        return refusal(429, QCoreApplication::translate("SignServiceAccess", "令牌错误次数太多，请 %1 秒后再试。").arg(seconds),
                       {{"Retry-After", QByteArray::number(seconds)}});
    if (loginRequest)
        return std::nullopt; // the token is in the body
    const QByteArray authorization = head.value("authorization");
    if (authorised(authorization, head.value("cookie")))
        return std::nullopt;
    if (!authorization.isEmpty())
        wrongToken(head.peer);
    return refusal(401, authorization.isEmpty()
                            ? QCoreApplication::translate("SignServiceAccess", "需要登录或令牌：Authorization: Bearer TOKEN")
                            : QCoreApplication::translate("SignServiceAccess", "令牌不对。"),
                   {{"WWW-Authenticate", "Bearer"}});
}

bool SignService::authorised(const QByteArray &authorization, const QByteArray &cookie)
{
    if (m_config.token.isEmpty())
        return true;
    if (!authorization.isEmpty())
        return sameSecret(authorization, QByteArray("Bearer " + m_config.token));
    return sessionOpen(cookie);
}

bool SignService::sessionOpen(const QByteArray &cookie)
{
    const QByteArray id = sessionIn(cookie);
    if (id.isEmpty())
        return false;
    std::erase_if(m_sessions, [now = nowMs()](const auto &s) { return s.second <= now; });
    return m_sessions.count(id) > 0;
}

int SignService::lockedSeconds(const QHostAddress &peer)
{
    const auto it = m_wrongTokens.find(peer.toString());
    if (it == m_wrongTokens.end())
        return 0;
    const qint64 left = it->second.since + kWrongTokenWindowMs - nowMs();
    if (left <= 0) {
        m_wrongTokens.erase(it);
        return 0;
    }
    return it->second.count >= kMaxWrongTokens ? int((left + 999) / 1000) : 0;
}

void SignService::wrongToken(const QHostAddress &peer)
{
    const qint64 now = nowMs();
    std::erase_if(m_wrongTokens,
                  [now](const auto &w) { return w.second.since + kWrongTokenWindowMs <= now; });
    if (m_wrongTokens.size() >= kMaxRemembered)
        m_wrongTokens.erase(m_wrongTokens.begin());
    WrongTokens &wrong = m_wrongTokens[peer.toString()];
    if (wrong.count == 0)
        wrong.since = now;
    ++wrong.count;
    log(QStringLiteral("%1 wrong token (%2 in this minute)").arg(peer.toString()).arg(wrong.count));
}

SignService::Reply SignService::login(const ApiRequest &request,
                                      const QRegularExpressionMatch &)
{
    QJsonObject body;
    if (auto bad = readObject(request.body, &body))
        return *bad;
    const QJsonValue token = body.value(u"token");
    if (body.size() != 1 || !token.isString())
        return error(400, QCoreApplication::translate("SignServiceAccess", "需要 {\"token\": \"...\"}。"));
    if (m_config.token.isEmpty())
        return json(200, QJsonObject{{QStringLiteral("ok"), true}});
    if (!sameSecret(token.toString().toUtf8(), m_config.token)) {
        wrongToken(request.peer);
        Reply reply = error(401, QCoreApplication::translate("SignServiceAccess", "令牌不对。"));
        return reply;
    }
    QByteArray id(32, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(id.data()), id.size() / 4);
    id = id.toHex();
    std::erase_if(m_sessions, [now = nowMs()](const auto &s) { return s.second <= now; });
    if (m_sessions.size() >= std::size_t(kMaxSessions))
        m_sessions.erase(std::min_element(m_sessions.begin(), m_sessions.end(),
                                          [](const auto &a, const auto &b) { return a.second < b.second; }));
    m_sessions[id] = nowMs() + kSessionSeconds * 1000;
    Reply reply = json(200, QJsonObject{{QStringLiteral("ok"), true}});
    reply.headers.append({"Set-Cookie", kSessionCookie.toByteArray() + '=' + id +
                                            "; Path=/; HttpOnly; SameSite=Strict; Max-Age=" +
                                            QByteArray::number(kSessionSeconds) +
                                            (m_tls ? "; Secure" : "")});
    log(QStringLiteral("%1 logged in").arg(request.peer.toString()));
    return reply;
}
