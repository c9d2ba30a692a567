// The card queue of the service: card requests answer when their operation
// has ended while every other request is served meanwhile, commands wait
// their turn in a bounded queue, and call() reaches the same queue.

#include "ServiceTestSupport.h"

#include "service/CardQueue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpSocket>

namespace {

class ServiceQueue : public ServiceFixture {
protected:
    // Starts a request; "tag status" goes to finished when its answer arrives.
    void begin(const QByteArray &method, const QString &path, const QByteArray &body,
               const QString &tag)
    {
        QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path)));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/json"));
        QNetworkReply *reply = client.sendCustomRequest(request, method, body);
        QObject::connect(reply, &QNetworkReply::finished, reply, [this, reply, tag] {
            finished << tag + u' ' +
                            QString::number(
                                reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt());
            reply->deleteLater();
        });
    }
    // Runs the event loop until done() holds (or a minute has passed).
    static bool spin(const std::function<bool()> &done)
    {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }

    QStringList finished;
};

TEST_F(ServiceQueue, ASlowCardHoldsOnlyTheCardRequestsWhichRunInTurn)
{
    startService();
    // Every reply of the card comes late: a command takes over a second.
    card.addFault({CardFault::Kind::Delay, -1, -1, 0, 500, {}});
    begin("POST", QStringLiteral("/api/card/brightness"), R"({"level":3})", QStringLiteral("first"));
    begin("POST", QStringLiteral("/api/card/brightness"), R"({"level":7})", QStringLiteral("second"));
    ASSERT_TRUE(spin([&] { return card.requestCount() >= 1; }));
    begin("GET", QStringLiteral("/api/programs"), {}, QStringLiteral("programs"));
    ASSERT_TRUE(spin([&] { return finished.size() == 3; })) << finished.join(u", ").toStdString();
    EXPECT_EQ(finished, (QStringList{QStringLiteral("programs 200"), QStringLiteral("first 200"),
                                     QStringLiteral("second 200")}));
    EXPECT_EQ(card.brightness(), 7); // the queued command ran after the first
    EXPECT_EQ(service->signStatus({}).value(u"brightness").toInt(), 7);

    // A client that goes away before its answer: the answer is dropped.
    {
        QTcpSocket gone;
        gone.connectToHost(QHostAddress::LocalHost, port);
        ASSERT_TRUE(gone.waitForConnected(30000));
        gone.write("POST /api/card/clear HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                   "Content-Length: 0\r\nContent-Type: application/json\r\n\r\n");
        ASSERT_TRUE(gone.waitForBytesWritten(30000));
        const int before = card.requestCount();
        ASSERT_TRUE(spin([&] { return card.requestCount() > before; }));
    }
    ASSERT_TRUE(spin([&] { return !service->cardQueue()->busy(); }));
    EXPECT_EQ(call("GET", QStringLiteral("/api/programs")).status, 200);
}

TEST_F(ServiceQueue, BeyondTheWaitingCommandsTheCardIsBusyAndSoDuringASend)
{
    startService();
    QList<int> statuses;
    ApiRequest clock;
    clock.method = "POST";
    clock.path = QStringLiteral("/api/card/clock");
    for (int i = 0; i < CardQueue::kMaxWaiting + 2; ++i)
        service->call(clock, [&](const SignService::Reply &reply) { statuses << reply.status; });
    // One runs, kMaxWaiting wait, the last is refused at once.
    ASSERT_EQ(statuses.size(), 1);
    EXPECT_EQ(statuses.front(), 409);
    EXPECT_EQ(QJsonDocument::fromJson(
                  direct("POST", QStringLiteral("/api/card/clear"), {}).body)
                  .object()
                  .value(u"error")
                  .toString(),
              QStringLiteral("卡正忙：另一个卡操作正在进行，请稍后再试。"));
    ASSERT_TRUE(spin([&] { return statuses.size() == CardQueue::kMaxWaiting + 2; }));
    EXPECT_EQ(statuses.count(200), CardQueue::kMaxWaiting + 1);
    // A send queues behind a command; a command is refused while it waits
    // or runs.
    service->call(clock, [&](const SignService::Reply &reply) { statuses << reply.status; });
    const HttpAnswer send = direct("POST", QStringLiteral("/api/send"));
    ASSERT_EQ(send.status, 202) << send.body.toStdString();
    EXPECT_EQ(direct("POST", QStringLiteral("/api/card/clear")).status, 409);
    EXPECT_EQ(waitForJob(send.json().value(u"job").toInt()).value(u"state").toString(),
              QStringLiteral("done"));
    EXPECT_EQ(statuses.last(), 200);
    EXPECT_EQ(direct("POST", QStringLiteral("/api/card/clear")).status, 200);
}

TEST_F(ServiceQueue, EachSignOfTheServiceHasItsOwnCardAndStatus)
{
    VirtualCard second;
    ASSERT_TRUE(second.start());
    PortNaming::setExplicitDevices({card.devicePath(), second.devicePath()});
    signs = {{QStringLiteral("front"), QStringLiteral("1"), {QStringLiteral("street")}},
             {QStringLiteral("back"), second.devicePath(), {QStringLiteral("street")}}};
    startService();
    QStringList changed;
    QObject::connect(service.get(), &SignService::signStatusChanged,
                     [&](const QString &sign) { changed << sign; });
    EXPECT_EQ(service->signNames(), (QStringList{QStringLiteral("front"), QStringLiteral("back")}));
    EXPECT_EQ(service->signsInGroup(QStringLiteral("street")), service->signNames());

    EXPECT_EQ(direct("POST", QStringLiteral("/api/card/brightness"), R"({"level":5})",
                     QStringLiteral("back"))
                  .status,
              200);
    // The HTTP API addresses the first sign.
    EXPECT_EQ(call("POST", QStringLiteral("/api/card/brightness"), R"({"level":9})").status, 200);
    EXPECT_EQ(second.brightness(), 5);
    EXPECT_EQ(card.brightness(), 9);
    EXPECT_TRUE(changed.contains(QStringLiteral("back")));
    EXPECT_TRUE(changed.contains(QStringLiteral("front")));
    const QJsonObject back = service->signStatus(QStringLiteral("back"));
    EXPECT_EQ(back.value(u"brightness").toInt(), 5);
    EXPECT_EQ(back.value(u"link").toString(), QStringLiteral("ok"));
    EXPECT_FALSE(back.value(u"model").toString().isEmpty());
    EXPECT_TRUE(back.value(u"last").toObject().value(u"ok").toBool());
    EXPECT_TRUE(service->signStatus(QStringLiteral("nobody")).isEmpty());
    EXPECT_EQ(direct("POST", QStringLiteral("/api/card/clear"), {}, QStringLiteral("nobody")).status,
              404);
    service.reset();
    second.stop();
}

} // namespace
