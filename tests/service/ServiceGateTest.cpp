// The service as a client on the shop's network meets it: requests written
// byte by byte (framing, limits, time-outs, connection slots), the login
// for the page, and a damaged project file.

#include "ServiceTestSupport.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpSocket>
#include <vector>

namespace {

// Everything the service writes back until it closes the line (or 60 s).
// The service runs in this thread: the waits run its event loop.
QByteArray exchange(quint16 port, const QByteArray &request)
{
    QTcpSocket socket;
    QByteArray answer;
    QEventLoop loop;
    QObject::connect(&socket, &QTcpSocket::connected, &loop, [&] { socket.write(request); });
    QObject::connect(&socket, &QTcpSocket::readyRead, &loop, [&] { answer += socket.readAll(); });
    QObject::connect(&socket, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QTcpSocket::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    socket.connectToHost(QHostAddress::LocalHost, port);
    loop.exec();
    return answer + socket.readAll();
}

QByteArray header(const QByteArray &answer, const QByteArray &name)
{
    for (const QByteArray &line : answer.left(answer.indexOf("\r\n\r\n")).split('\n'))
        if (line.toLower().startsWith(QByteArray(name.toLower() + ':')))
            return line.mid(name.size() + 1).trimmed();
    return {};
}

} // namespace

using ServiceGate = ServiceFixture;

TEST_F(ServiceGate, RequestsAreFramedStrictlyAndAnsweredWithTheSecurityHeaders)
{
    startService();
    const QByteArray before = projectBytes();
    const QByteArray post = "POST /api/programs HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                            "Content-Type: application/json\r\n";
    const QByteArray body = R"({"kind":"text","content":"x"})";
    const QByteArray length = "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    struct Case {
        QByteArray request;
        const char *answerStarts;
    };
    const Case cases[] = {
        // Two lengths, the first one huge: refused before anything is read.
        {post + "Content-Length: 134217728\r\n" + length + "\r\n" + body, "HTTP/1.1 400 "},
        {post + "Content-Length: +" + QByteArray::number(body.size()) + "\r\n\r\n" + body,
         "HTTP/1.1 400 "},
        {post + "Content-Length: 0x1d\r\n\r\n" + body, "HTTP/1.1 400 "},
        {post + "Content-Length: 29, 29\r\n\r\n" + body, "HTTP/1.1 400 "},
        {post + "Transfer-Encoding: chunked\r\n\r\n1d\r\n" + body + "\r\n0\r\n\r\n",
         "HTTP/1.1 411 "},
        {post + "Content-Length : 29\r\n\r\n" + body, "HTTP/1.1 400 "},
        {"GET /api/programs HTTP/1.1\r\nHost: 127.0.0.1\r\nHost: evil.example\r\n\r\n",
         "HTTP/1.1 400 "},
        {"GET /api/programs\r\nHost: 127.0.0.1\r\n\r\n", "HTTP/1.1 400 "},
        {"GET /api/programs HTTP/1.1\r\n" + QByteArray(20000, 'x') + "\r\n\r\n", "HTTP/1.1 431 "},
        // Line feeds alone end lines as they do for the HTTP reader.
        {"GET /api/programs HTTP/1.1\nHost: 127.0.0.1\nConnection: close\n\n", "HTTP/1.1 200 "},
    };
    for (const Case &c : cases) {
        const QByteArray answer = exchange(port, c.request);
        EXPECT_TRUE(answer.startsWith(c.answerStarts))
            << c.request.left(120).toStdString() << "\n-> " << answer.left(300).toStdString();
        EXPECT_EQ(header(answer, "X-Content-Type-Options"), "nosniff");
        EXPECT_EQ(header(answer, "X-Frame-Options"), "DENY");
        EXPECT_TRUE(header(answer, "Content-Security-Policy").startsWith("default-src 'self'"));
    }
    EXPECT_EQ(projectBytes(), before);

    // A client that asks first gets "100 Continue" before it sends the body.
    QTcpSocket asking;
    QByteArray continued;
    QEventLoop loop;
    QObject::connect(&asking, &QTcpSocket::connected, &loop, [&] {
        asking.write(post + length + "Expect: 100-continue\r\nConnection: close\r\n\r\n");
    });
    QObject::connect(&asking, &QTcpSocket::readyRead, &loop, [&] {
        continued += asking.readAll();
        if (continued == "HTTP/1.1 100 Continue\r\n\r\n")
            asking.write(body);
    });
    QObject::connect(&asking, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    asking.connectToHost(QHostAddress::LocalHost, port);
    loop.exec();
    EXPECT_TRUE(continued.startsWith("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 201 "))
        << continued.left(200).toStdString();
    // HEAD: GET's status and length, no body.
    const QByteArray head =
        exchange(port, "HEAD /api/programs HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n");
    EXPECT_TRUE(head.startsWith("HTTP/1.1 200 ")) << head.left(200).toStdString();
    EXPECT_GT(header(head, "Content-Length").toInt(), 0);
    EXPECT_TRUE(head.endsWith("\r\n\r\n")) << head.toStdString();
}

TEST_F(ServiceGate, StalledClientsAreClosedAndCannotTakeEverySlot)
{
    startService();
    // More idle connections from one address than it may hold.
    std::vector<std::unique_ptr<QTcpSocket>> idle;
    for (int i = 0; i < 40; ++i) {
        idle.push_back(std::make_unique<QTcpSocket>());
        QTcpSocket *socket = idle.back().get();
        if (i % 2) // half a header
            QObject::connect(socket, &QTcpSocket::connected, socket,
                             [socket] { socket->write("GET /api/programs HTTP/1.1\r\nHo"); });
        socket->connectToHost(QHostAddress::LocalHost, port);
    }
    // Another client is still served.
    const HttpAnswer answer = call("GET", QStringLiteral("/api/programs"));
    EXPECT_EQ(answer.status, 200);
    EXPECT_TRUE(log.filter(QStringLiteral("to make room")).size() > 0) << log.join(u'\n').toStdString();
    // Those that never finish their header are closed with 408.
    QElapsedTimer timer;
    timer.start();
    int open = 0;
    do {
        QEventLoop pause;
        QTimer::singleShot(200, &pause, &QEventLoop::quit);
        pause.exec();
        open = int(std::count_if(idle.begin(), idle.end(), [](const auto &s) {
            return s->state() == QAbstractSocket::ConnectedState;
        }));
    } while (open > 0 && timer.elapsed() < 90000);
    EXPECT_EQ(open, 0);
    EXPECT_FALSE(log.filter(QStringLiteral(" 408 ")).isEmpty()) << log.join(u'\n').toStdString();
}

TEST_F(ServiceGate, WithATokenThePageLogsInForASessionCookieAndWrongTokensAreLimited)
{
    startService("s3cret");
    EXPECT_EQ(call("POST", QStringLiteral("/api/login"), R"({"token":"guess"})").status, 401);
    const QByteArray login =
        exchange(port, "POST /api/login HTTP/1.1\r\nHost: 127.0.0.1:1\r\nContent-Type: "
                       "application/json\r\nContent-Length: 18\r\nConnection: close\r\n\r\n"
                       R"({"token":"s3cret"})");
    ASSERT_TRUE(login.startsWith("HTTP/1.1 200 ")) << login.toStdString();
    const QByteArray cookie = header(login, "Set-Cookie");
    EXPECT_TRUE(cookie.contains("; HttpOnly")) << cookie.toStdString();
    EXPECT_TRUE(cookie.contains("; SameSite=Strict")) << cookie.toStdString();
    EXPECT_TRUE(cookie.contains("; Max-Age=")) << cookie.toStdString();
    const QByteArray session = cookie.left(cookie.indexOf(';'));
    EXPECT_EQ(call("GET", QStringLiteral("/api/programs"), {}, {{"Cookie", session}}).status, 200);
    const HttpAnswer page = call("GET", QStringLiteral("/"), {}, {{"Cookie", session}});
    EXPECT_TRUE(page.body.contains("id=\"programs\"")) << "the sign's page after the login";
    // The login page's icon, too, is served before the login.
    const HttpAnswer icon = call("GET", QStringLiteral("/favicon.svg"));
    EXPECT_EQ(icon.status, 200);
    EXPECT_TRUE(icon.body.startsWith("<svg")) << icon.body.left(100).toStdString();
    EXPECT_EQ(call("GET", QStringLiteral("/api/programs"), {}, {{"Cookie", "brivane_session=0"}})
                  .status,
              401);
    // Wrong tokens: 401 until the address has used up its tries, then 429
    // even for the right one.
    for (int i = 1; i < SignService::kMaxWrongTokens; ++i)
        EXPECT_EQ(call("GET", QStringLiteral("/api/card"), {}, {{"Authorization", "Bearer x"}}).status,
                  401);
    EXPECT_EQ(call("POST", QStringLiteral("/api/login"), R"({"token":"s3cret"})").status, 429);
    EXPECT_EQ(call("GET", QStringLiteral("/api/card"), {}, {{"Authorization", "Bearer s3cret"}})
                  .status,
              429);
    EXPECT_EQ(card.requestCount(), 0);
}

TEST_F(ServiceGate, ADamagedProjectFileIsReportedAndNeverSent)
{
    startService();
    ASSERT_EQ(call("GET", QStringLiteral("/api/programs")).status, 200);
    const QByteArray good = projectBytes();
    for (const QByteArray &damaged : {QByteArray("not xml"), good.left(good.size() / 2)}) {
        ASSERT_TRUE(writeAll(projectFile, damaged));
        const HttpAnswer listed = call("GET", QStringLiteral("/api/programs"));
        EXPECT_EQ(listed.status, 409) << listed.body.toStdString();
        const QString message = listed.json().value(u"error").toString();
        EXPECT_TRUE(message.contains(QStringLiteral("p.brivprj"))) << message.toStdString();
        EXPECT_FALSE(message.contains(dir.path())) << "an absolute path in " << message.toStdString();
        EXPECT_EQ(call("POST", QStringLiteral("/api/send")).status, 409);
        EXPECT_EQ(call("GET", QStringLiteral("/api/programs/1/preview.png")).status, 409);
        EXPECT_EQ(call("PATCH", QStringLiteral("/api/programs/1"), R"({"speed":1})").status / 100, 4);
        EXPECT_EQ(projectBytes(), damaged);
    }
    EXPECT_EQ(card.requestCount(), 0) << "the card was reached";
}
