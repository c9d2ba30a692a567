// The HTTP API against the service and the virtual card: edits saved at once
// and refused whole, untrusted input, limits, the token, one card operation
// at a time, and a send that reaches the card as a command-line send does.

#include "ServiceTestSupport.h"

#include "cli/CliApp.h"
#include "cli/Console.h"
#include "model/TextItem.h"
#include "model/XmlDocument.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <csignal>
#include <vector>

namespace {

class NullConsole final : public Console {
public:
    void out(const QString &) override {}
    void err(const QString &) override {}
    bool errIsTerminal() const override { return false; }
    bool inIsTerminal() const override { return false; }
    int terminalColumns() const override { return 80; }
    std::optional<QString> readLine() override { return std::nullopt; }
};

QByteArray pngBytes(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

using ServiceApi = ServiceFixture;

TEST_F(ServiceApi, EditsAreSavedAtOnceAndListedAsTheCommandLineListsThem)
{
    startService();
    HttpAnswer added = call("POST", QStringLiteral("/api/programs"),
                            R"({"kind":"text","content":"价格 2.40","color":"green","delay":5})");
    ASSERT_EQ(added.status, 201) << added.body.toStdString();
    EXPECT_EQ(added.json().value(u"index").toInt(), 3);
    EXPECT_EQ(added.json().value(u"color").toInt(), 2);
    EXPECT_EQ(
        call("PATCH", QStringLiteral("/api/programs/3"), R"({"speed":3,"action":"左移"})").status,
        200);
    // The command line's other spellings, as `set 3 colour=黄` takes them.
    const HttpAnswer recoloured =
        call("PATCH", QStringLiteral("/api/programs/3"), R"({"colour":"黄","flash-delay":9})");
    ASSERT_EQ(recoloured.status, 200) << recoloured.body.toStdString();
    EXPECT_EQ(recoloured.json().value(u"color").toInt(), 3);
    EXPECT_EQ(recoloured.json().value(u"flashdelay").toInt(), 9);
    EXPECT_EQ(call("POST", QStringLiteral("/api/programs/3/move"), R"({"direction":"up"})").status,
              200);
    EXPECT_EQ(call("DELETE", QStringLiteral("/api/programs/1")).status, 200);

    // The file holds the change, and the API's list is `list --json`'s.
    struct Capture final : public Console {
        void out(const QString &t) override { text += t; }
        void err(const QString &) override {}
        bool errIsTerminal() const override { return false; }
        bool inIsTerminal() const override { return false; }
        int terminalColumns() const override { return 80; }
        std::optional<QString> readLine() override { return std::nullopt; }
        QString text;
    } capture;
    CliApp list(capture);
    ASSERT_EQ(list.run({QStringLiteral("brivane-cli"), QStringLiteral("--project"), projectFile,
                        QStringLiteral("--json"), QStringLiteral("list")}),
              0);
    const HttpAnswer listed = call("GET", QStringLiteral("/api/programs"));
    // The tool wraps its document with its outcome; HTTP has the status.
    QJsonObject printed = QJsonDocument::fromJson(capture.text.toUtf8()).object();
    printed.remove(u"ok");
    printed[u"project"] = QFileInfo(projectFile).fileName(); // the API shows no paths
    EXPECT_EQ(printed, listed.json());
    const QJsonArray items = listed.json().value(u"items").toArray();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0].toObject().value(u"content").toString(), QStringLiteral("价格 2.40"));
    EXPECT_EQ(items[0].toObject().value(u"speed").toInt(), 3);
    EXPECT_EQ(items[1].toObject().value(u"content").toString(), QStringLiteral("two"));
}

// The service and scripts change one file at once: the service's read,
// change and write hold the lock the scripts take, so no program of either
// is dropped by the other's write.
TEST_F(ServiceApi, EditsOfTheServiceAndOfScriptsAtOnceAreAllKept)
{
    const QString program = builtProgram(QStringLiteral("src/brivane-cli"));
    if (!QFileInfo(program).isExecutable())
        GTEST_SKIP() << "brivane-cli is not built";
    startService();
    constexpr int kEach = 6;
    std::vector<std::unique_ptr<QProcess>> scripts;
    for (int i = 0; i < kEach; ++i) {
        scripts.push_back(std::make_unique<QProcess>());
        scripts.back()->start(program,
                              {QStringLiteral("--project"), projectFile, QStringLiteral("add-text"),
                               QStringLiteral("script %1").arg(i)});
    }
    // Service edits while the scripts start and run, each one a whole
    // read-change-write.
    for (int i = 0; i < kEach; ++i) {
        const HttpAnswer answer =
            call("POST", QStringLiteral("/api/programs"),
                 QStringLiteral(R"({"kind":"text","content":"service %1"})").arg(i).toUtf8());
        ASSERT_EQ(answer.status, 201) << answer.body.toStdString();
        QEventLoop pause;
        QTimer::singleShot(40, &pause, &QEventLoop::quit);
        pause.exec();
    }
    for (auto &script : scripts) {
        // The answers' event loops may have seen a script end already.
        ASSERT_TRUE(script->state() == QProcess::NotRunning || script->waitForFinished(120000));
        EXPECT_EQ(script->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(script->exitCode(), 0) << script->readAllStandardError().toStdString();
    }
    QStringList contents;
    for (const QJsonValue &item :
         call("GET", QStringLiteral("/api/programs")).json()[u"items"].toArray())
        contents << item[u"content"].toString();
    EXPECT_EQ(contents.size(), 2 + 2 * kEach) << contents.join(u',').toStdString();
    for (int i = 0; i < kEach; ++i) {
        EXPECT_TRUE(contents.contains(QStringLiteral("script %1").arg(i))) << i;
        EXPECT_TRUE(contents.contains(QStringLiteral("service %1").arg(i))) << i;
    }
}

TEST_F(ServiceApi, BadRequestsAreRefusedAndLeaveTheFileByteIdentical)
{
    startService();
    const QByteArray before = projectBytes();
    struct Case {
        const char *method;
        const char *path;
        QByteArray body;
        int status;
        QList<QPair<QByteArray, QByteArray>> headers = {};
    };
    const Case cases[] = {
        {"POST", "/api/programs", "{", 400},
        {"POST", "/api/programs", "[1]", 400},
        {"POST", "/api/programs", R"({"kind":"video"})", 400},
        {"POST", "/api/programs", R"({"kind":"text","content":"x","colour":4})", 400},
        {"POST", "/api/programs", R"({"kind":"text","content":"x","speed":99})", 400},
        {"POST", "/api/programs", R"({"kind":"text","content":"x","speed":1.5})", 400},
        {"POST", "/api/programs", R"({"kind":"text","content":"x","delay":[1]})", 400},
        {"POST", "/api/programs", R"({"kind":"text","content":7})", 400},
        {"POST", "/api/programs",
         R"({"kind":"text","content":")" + QByteArray(TextItem::kMaxTextChars + 1, 'x') + R"("})",
         400},
        {"POST", "/api/programs", R"({"kind":"picture","picture":"../p.brivprj"})", 400},
        {"POST", "/api/programs", R"({"kind":"picture","picture":"missing.png"})", 404},
        {"POST", "/api/programs", R"({"kind":"picture","picture":"a.png","content":"/etc/passwd"})",
         400},
        {"PATCH", "/api/programs/3", R"({"speed":1})", 404},
        {"PATCH", "/api/programs/0", R"({"speed":1})", 404},
        {"PATCH", "/api/programs/99999999999", R"({"speed":1})", 404},
        {"PATCH", "/api/programs/1", R"({"kind":"picture"})", 400},
        {"PATCH", "/api/programs/1", R"({"speed":1,"size":0})", 400},
        {"DELETE", "/api/programs/5", {}, 404},
        {"POST", "/api/programs/1/move", R"({"direction":"up"})", 400},
        {"POST", "/api/programs/2/move", R"({"direction":"left"})", 400},
        {"GET", "/api/programs/1/pages/2.png", {}, 404},
        {"GET", "/api/programs/1/pages/1.png?scale=17", {}, 400},
        {"GET", "/api/programs/1/preview.png?page=0", {}, 404},
        {"GET", "/api/programs/1/animation.gif?scale=5", {}, 400},
        {"GET", "/api/programs/9/animation.gif", {}, 404},
        {"POST", "/api/pictures?name=..%2Fx.png", "abc", 400},
        {"POST", "/api/pictures?name=x.png", "not an image", 400},
        {"POST", "/api/card/brightness", R"({"level":16})", 400},
        {"POST", "/api/card/power", R"({"on":"yes"})", 400},
        {"GET", "/api/jobs/7", {}, 404},
        {"GET", "/nothing", {}, 404},
        {"PUT", "/api/programs", {}, 405},
        {"POST", "/api/programs", QByteArray(SignService::kMaxBodyBytes + 1, ' '), 413},
        // Text that could not be kept as sent.
        {"POST", "/api/programs", R"({"kind":"text","content":"a\u0000b"})", 400},
        {"PATCH", "/api/programs/1", R"({"content":"a\u001bb"})", 400},
        {"POST", "/api/programs", R"({"kind":"text","content":"a\ud800b"})", 400},
        {"POST", "/api/programs", R"({"kind":"text","content":"\udc00"})", 400},
        // What another web page may send: plain text, its own origin, a
        // rebound host name.
        {"POST", "/api/programs", R"({"kind":"text","content":"x"})", 415,
         {{"Content-Type", "text/plain"}}},
        {"POST", "/api/send", {}, 415, {{"Content-Type", "application/x-www-form-urlencoded"}}},
        {"POST", "/api/card/brightness", R"({"level":1})", 403,
         {{"Origin", "http://evil.example"}}},
        {"GET", "/api/programs", {}, 403, {{"Host", "evil.example:8080"}}},
        {"PATCH", "/api/programs/1", R"({"speed":1})", 403, {{"Host", "sign.evil.example"}}},
    };
    for (const Case &c : cases) {
        const HttpAnswer answer = call(c.method, QLatin1String(c.path), c.body, c.headers);
        EXPECT_EQ(answer.status, c.status)
            << c.method << ' ' << c.path << ' ' << c.body.left(80).toStdString();
        EXPECT_FALSE(answer.json().value(u"error").toString().isEmpty()) << c.path;
        // Without HTTP, the same checks give the same answer (the gate's
        // own checks aside: headers, body size).
        if (c.headers.isEmpty() && c.status != 413) {
            const HttpAnswer same = direct(c.method, QLatin1String(c.path), c.body);
            EXPECT_EQ(same.status, answer.status) << c.path;
            EXPECT_EQ(same.body, answer.body) << c.path;
        }
    }
    EXPECT_EQ(projectBytes(), before);
    EXPECT_EQ(card.requestCount(), 0) << "a refused request reached the card";
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("x.png"))));
    EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("pictures")))
                    .entryList(QDir::Files | QDir::Hidden)
                    .isEmpty());
    // Every request got its log line.
    EXPECT_GE(log.size(), qsizetype(std::size(cases)));
    // The web page's text fields stop at the same length.
    EXPECT_EQ(call("GET", QLatin1String("/api/choices"), {}).json().value(u"maxTextChars").toInt(),
              TextItem::kMaxTextChars);
}

// A program more would make a file the loader refuses: 413 with the reason,
// and the file stays as it was.
TEST_F(ServiceApi, AChangeThatWouldMakeTheFileUnreadableIsRefused)
{
    // One text program that leaves less room in the file than another takes.
    const qsizetype room = XmlDocument::kMaxFileBytes - textProjectXml({QString()}).size();
    writeProject({QString(room - 100, u'x')});
    startService();
    const QByteArray before = projectBytes();
    const HttpAnswer answer =
        call("POST", QStringLiteral("/api/programs"), R"({"kind":"text","content":"y"})");
    EXPECT_EQ(answer.status, 413);
    EXPECT_TRUE(answer.json()[u"error"].toString().contains(QStringLiteral("未保存")))
        << answer.body.toStdString();
    EXPECT_EQ(projectBytes(), before);
}

TEST_F(ServiceApi, PicturesAreUploadedBesideTheProjectAndBoundedInSize)
{
    startService();
    const HttpAnswer uploaded =
        call("POST", QStringLiteral("/api/pictures?name=logo.png"), pngBytes(64, 16));
    ASSERT_EQ(uploaded.status, 201) << uploaded.body.toStdString();
    const HttpAnswer added =
        call("POST", QStringLiteral("/api/programs"), R"({"kind":"picture","picture":"logo.png"})");
    ASSERT_EQ(added.status, 201) << added.body.toStdString();
    EXPECT_EQ(added.json().value(u"content").toString(), QStringLiteral("pictures/logo.png"));
    const HttpAnswer page = call("GET", QStringLiteral("/api/programs/3/pages/1.png?scale=2"));
    ASSERT_EQ(page.status, 200);
    const QImage image = QImage::fromData(page.body, "PNG");
    EXPECT_EQ(image.height(), 64); // 32 LEDs at scale 2
    // The program as it plays: a looping GIF of the whole screen.
    const HttpAnswer movie = call("GET", QStringLiteral("/api/programs/3/animation.gif?scale=2"));
    ASSERT_EQ(movie.status, 200);
    EXPECT_TRUE(movie.body.startsWith("GIF89a"));
    EXPECT_EQ(QImage::fromData(movie.body, "GIF").height(), 64);
    // Too big a picture is refused on its announced length alone, before any
    // of its body is read (a client that sends more than the service reads
    // away in a few seconds would see a reset instead of this answer).
    QTcpSocket raw;
    raw.connectToHost(QHostAddress::LocalHost, port);
    raw.write("POST /api/pictures?name=big.png HTTP/1.1\r\nHost: 127.0.0.1\r\n"
              "Content-Length: " +
              QByteArray::number(SignService::kMaxPictureBytes + 1) + "\r\n\r\n");
    QByteArray refusal;
    QEventLoop loop;
    QObject::connect(&raw, &QTcpSocket::readyRead, &loop, [&] {
        refusal += raw.readAll();
        if (refusal.contains("\r\n\r\n"))
            loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_TRUE(refusal.startsWith("HTTP/1.1 413 ")) << refusal.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("pictures/big.png"))));
}

TEST_F(ServiceApi, WithATokenEveryRequestNeedsIt)
{
    startService("s3cret");
    // The page asks for the token first.
    const HttpAnswer page = call("GET", QStringLiteral("/"));
    EXPECT_EQ(page.status, 200);
    EXPECT_TRUE(page.body.contains("type=\"password\"")) << page.body.toStdString();
    EXPECT_EQ(call("GET", QStringLiteral("/api/programs")).status, 401);
    EXPECT_EQ(call("GET", QStringLiteral("/api/programs"), {}, {{"Authorization", "Bearer s3cre"}})
                  .status,
              401);
    EXPECT_EQ(call("GET", QStringLiteral("/api/programs"), {}, {{"Authorization", "Bearer s3cret"}})
                  .status,
              200);
}

TEST_F(ServiceApi, SendReachesTheCardAsACommandLineSendAndRefusesChangesWhileItRuns)
{
    startService();
    card.setLineSpeed(9600); // slow enough to ask questions during the send
    const HttpAnswer started = call("POST", QStringLiteral("/api/send"));
    ASSERT_EQ(started.status, 202);
    const int id = started.json().value(u"job").toInt();
    const QByteArray before = projectBytes();
    EXPECT_EQ(call("PATCH", QStringLiteral("/api/programs/1"), R"({"speed":1})").status, 409);
    EXPECT_EQ(call("POST", QStringLiteral("/api/card/clear")).status, 409);
    EXPECT_EQ(call("POST", QStringLiteral("/api/send")).status, 409);
    // 50 clients reading previews at once all get their answers, and not only
    // once the send has ended: when the first answer arrives the card has not
    // yet had the send's last request. (Whether all 50 come before the end
    // depends on how fast this machine renders; the card's count does not.)
    std::vector<QNetworkReply *> readers;
    int requestsAtFirstAnswer = -1;
    for (int i = 0; i < 50; ++i) {
        readers.push_back(client.get(
            QNetworkRequest(QUrl(QStringLiteral("http://127.0.0.1:%1/api/programs/%2/preview.png")
                                     .arg(port)
                                     .arg(i % 2 + 1)))));
        QObject::connect(readers.back(), &QNetworkReply::finished, [&] {
            if (requestsAtFirstAnswer < 0)
                requestsAtFirstAnswer = card.requestCount();
        });
    }
    int answered = 0;
    for (QNetworkReply *reader : readers) {
        if (!reader->isFinished()) {
            QEventLoop loop;
            QObject::connect(reader, &QNetworkReply::finished, &loop, &QEventLoop::quit);
            QTimer::singleShot(60000, &loop, &QEventLoop::quit);
            loop.exec();
        }
        answered += reader->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200;
        reader->deleteLater();
    }
    EXPECT_EQ(answered, 50);
    EXPECT_EQ(projectBytes(), before);
    const QJsonObject job = waitForJob(id);
    ASSERT_EQ(job.value(u"state").toString(), QStringLiteral("done"))
        << QJsonDocument(job).toJson().toStdString();
    EXPECT_EQ(job.value(u"status").toString(), QStringLiteral("已成功发送了 2 条信息。"));
    EXPECT_EQ(job.value(u"position").toInt(), job.value(u"range").toInt());
    EXPECT_EQ(job.value(u"result").toObject().value(u"sentCount").toInt(), 2);
    const QList<QByteArray> viaService = card.requestLog();
    EXPECT_GE(requestsAtFirstAnswer, 0);
    EXPECT_LT(requestsAtFirstAnswer, card.requestCount());

    card.setLineSpeed(0);
    card.clearLog();
    NullConsole console;
    CliApp cli(console);
    ASSERT_EQ(cli.run({QStringLiteral("brivane-cli"), QStringLiteral("--project"), projectFile,
                       QStringLiteral("--port"), QStringLiteral("1"), QStringLiteral("send")}),
              0);
    EXPECT_EQ(card.requestLog(), viaService);
}

TEST_F(ServiceApi, CardCommandsAnswerWithTheInfoDocumentAndResults)
{
    startService();
    const HttpAnswer info = call("GET", QStringLiteral("/api/card"));
    ASSERT_EQ(info.status, 200) << info.body.toStdString();
    EXPECT_EQ(info.json().value(u"firmware").toString(), QStringLiteral("2.2.7"));
    EXPECT_TRUE(info.json().value(u"screenParams").isObject());
    EXPECT_EQ(call("POST", QStringLiteral("/api/card/brightness"), R"({"level":4})").status, 200);
    EXPECT_EQ(card.brightness(), 4);
    EXPECT_EQ(call("POST", QStringLiteral("/api/card/power"), R"({"on":false})").status, 200);
    EXPECT_FALSE(card.screenOn());
    EXPECT_EQ(call("POST", QStringLiteral("/api/card/clear")).status, 200);
}

TEST_F(ServiceApi, TerminationCancelsARunningSendAndClosesTheUpload)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Windows has no SIGTERM to send another process";
#else
    const QString program = builtProgram(QStringLiteral("src/brivane-cli"));
    if (!QFileInfo(program).isExecutable())
        GTEST_SKIP() << "brivane-cli is not built";
    writeProject({QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三"),
                  QStringLiteral("四"), QStringLiteral("五"), QStringLiteral("六")});
    card.setLineSpeed(2400);
    QProcess serve;
    serve.start(program, {QStringLiteral("--project"), projectFile, QStringLiteral("--port"),
                          card.devicePath(), QStringLiteral("serve"), QStringLiteral("--listen"),
                          QStringLiteral("127.0.0.1:0")});
    ASSERT_TRUE(serve.waitForStarted(30000));
    static const QRegularExpression serving(QStringLiteral("http://127\\.0\\.0\\.1:(\\d+)/"));
    QByteArray err;
    QElapsedTimer timer;
    timer.start();
    while (port == 0 && timer.elapsed() < 60000 && serve.state() == QProcess::Running) {
        serve.waitForReadyRead(200);
        err += serve.readAllStandardError();
        if (const auto m = serving.match(QString::fromUtf8(err)); m.hasMatch())
            port = quint16(m.captured(1).toInt());
    }
    ASSERT_NE(port, 0) << err.toStdString();
    ASSERT_EQ(call("POST", QStringLiteral("/api/send")).status, 202);
    ASSERT_TRUE(card.waitForRequests(4, 30000));
    ::kill(pid_t(serve.processId()), SIGTERM);
    ASSERT_TRUE(serve.waitForFinished(120000));
    err += serve.readAllStandardError();
    EXPECT_EQ(serve.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(serve.exitCode(), 0);
    EXPECT_TRUE(err.contains("send job 1 done: cancelled")) << err.toStdString();
    EXPECT_EQ(card.uploadPhase(), 1); // the upload bracket was closed
    EXPECT_LT(card.pages().size(), size_t(6));
#endif
}
