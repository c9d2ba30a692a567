// End to end in a real browser: headless Chromium, driven over its DevTools
// protocol (a WebSocket), loads the service's page, adds a text program,
// changes its text, sees the preview drawn again, and sends to the virtual
// card. Skipped when Chromium is not installed.

#include "ServiceTestSupport.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QWebSocket>

namespace {

// One DevTools connection: commands with ids, answers matched by id.
class DevTools {
public:
    bool open(const QUrl &url)
    {
        QEventLoop loop;
        QObject::connect(&m_socket, &QWebSocket::connected, &loop, &QEventLoop::quit);
        QObject::connect(&m_socket, &QWebSocket::disconnected, &loop, &QEventLoop::quit);
        QObject::connect(
            &m_socket, &QWebSocket::textMessageReceived, &m_socket, [this](const QString &text) {
                const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
                if (message.contains(u"id"))
                    m_answers[message.value(u"id").toInt()] = message;
            });
        m_socket.open(url);
        QTimer::singleShot(15000, &loop, &QEventLoop::quit);
        loop.exec();
        return m_socket.state() == QAbstractSocket::ConnectedState;
    }

    QJsonObject call(const QString &method, const QJsonObject &params = {})
    {
        const int id = ++m_lastId;
        QJsonObject message{{QStringLiteral("id"), id},
                            {QStringLiteral("method"), method},
                            {QStringLiteral("params"), params}};
        if (!m_session.isEmpty())
            message[u"sessionId"] = m_session;
        m_socket.sendTextMessage(
            QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
        QElapsedTimer timer;
        timer.start();
        while (!m_answers.contains(id) && timer.elapsed() < 30000) {
            QEventLoop loop;
            QTimer::singleShot(10, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return m_answers.take(id);
    }

    // The value of a JavaScript expression (promises awaited).
    QJsonValue evaluate(const QString &expression)
    {
        const QJsonObject answer =
            call(QStringLiteral("Runtime.evaluate"), {{QStringLiteral("expression"), expression},
                                                      {QStringLiteral("awaitPromise"), true},
                                                      {QStringLiteral("returnByValue"), true}});
        return answer.value(u"result").toObject().value(u"result").toObject().value(u"value");
    }

    // Polls the expression until it is true.
    bool waitFor(const QString &expression, int ms = 60000)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) {
            if (evaluate(expression).toBool())
                return true;
            QEventLoop loop;
            QTimer::singleShot(100, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return false;
    }

    void useSession(const QString &session) { m_session = session; }

private:
    QWebSocket m_socket;
    QMap<int, QJsonObject> m_answers;
    int m_lastId = 0;
    QString m_session;
};

} // namespace

using BrowserTest = ServiceFixture;

TEST_F(BrowserTest, PageAddsAProgramChangesItsTextAndSends)
{
    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty())
        GTEST_SKIP() << "chromium is not installed: the browser test is skipped";
    startService();
    QTemporaryDir profile;
    QProcess browser;
    browser.setProcessChannelMode(QProcess::SeparateChannels);
    browser.start(chromium,
                  {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
                   QStringLiteral("--disable-gpu"), QStringLiteral("--disable-quic"),
                   QStringLiteral("--no-first-run"),
                   QStringLiteral("--disable-background-networking"),
                   QStringLiteral("--disable-component-update"), QStringLiteral("--disable-sync"),
                   QStringLiteral("--user-data-dir=") + profile.path(),
                   QStringLiteral("--remote-debugging-address=127.0.0.1"),
                   QStringLiteral("--remote-debugging-port=0"), QStringLiteral("about:blank")});
    ASSERT_TRUE(browser.waitForStarted(30000));
    // "DevTools listening on ws://127.0.0.1:PORT/devtools/browser/ID"
    QString endpoint;
    QByteArray seen;
    QElapsedTimer timer;
    timer.start();
    static const QRegularExpression listening(QStringLiteral("DevTools listening on (ws://\\S+)"));
    while (endpoint.isEmpty() && timer.elapsed() < 60000 && browser.state() == QProcess::Running) {
        browser.waitForReadyRead(200);
        seen += browser.readAllStandardError();
        const QRegularExpressionMatch match = listening.match(QString::fromUtf8(seen));
        if (match.hasMatch())
            endpoint = match.captured(1);
    }
    ASSERT_FALSE(endpoint.isEmpty()) << seen.left(2000).toStdString();

    DevTools tools;
    ASSERT_TRUE(tools.open(QUrl(endpoint)));
    const QJsonObject target = tools.call(QStringLiteral("Target.createTarget"),
                                          {{QStringLiteral("url"), QStringLiteral("about:blank")}});
    const QString targetId = target.value(u"result").toObject().value(u"targetId").toString();
    const QJsonObject attached =
        tools.call(QStringLiteral("Target.attachToTarget"),
                   {{QStringLiteral("targetId"), targetId}, {QStringLiteral("flatten"), true}});
    tools.useSession(attached.value(u"result").toObject().value(u"sessionId").toString());
    // A phone-sized screen.
    tools.call(QStringLiteral("Emulation.setDeviceMetricsOverride"),
               {{QStringLiteral("width"), 390},
                {QStringLiteral("height"), 844},
                {QStringLiteral("deviceScaleFactor"), 1},
                {QStringLiteral("mobile"), true}});
    tools.call(QStringLiteral("Page.navigate"),
               {{QStringLiteral("url"), QStringLiteral("http://127.0.0.1:%1/").arg(port)}});
    ASSERT_TRUE(tools.waitFor(QStringLiteral("document.body && document.body.dataset.ready === '1' "
                                             "&& document.body.dataset.programs === '2'")));

    tools.evaluate(QStringLiteral("document.getElementById('newText').value = '早上好'; "
                                  "document.getElementById('addText').click(); true"));
    ASSERT_TRUE(tools.waitFor(QStringLiteral("document.body.dataset.programs === '3' && "
                                             "!!document.querySelector('li[data-index=\"3\"] "
                                             "canvas').dataset.drawn")));
    const QJsonValue drawnBefore = tools.evaluate(
        QStringLiteral("document.querySelector('li[data-index=\"3\"] canvas').toDataURL()"));

    tools.evaluate(QStringLiteral("const item = document.querySelector('li[data-index=\"3\"]'); "
                                  "item.querySelector('[name=content]').value = '晚上好 8:00\u0378'; "
                                  "item.querySelector('[name=level]').value = '3'; "
                                  "item.querySelector('[name=style]').value = '1'; "
                                  "item.querySelector('.save').click(); true"));
    ASSERT_TRUE(tools.waitFor(
        QStringLiteral("(() => { const c = document.querySelector('li[data-index=\"3\"] canvas'); "
                       "return !!c && !!c.dataset.drawn && c.toDataURL() !== %1; })()")
            .arg(QString::fromUtf8(
                     QJsonDocument(QJsonArray{drawnBefore}).toJson(QJsonDocument::Compact))
                     .mid(1)
                     .chopped(1))));
    const QJsonArray items =
        call("GET", QStringLiteral("/api/programs")).json().value(u"items").toArray();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[2].toObject().value(u"content").toString(), QStringLiteral("晚上好 8:00\u0378"));
    EXPECT_EQ(items[2].toObject().value(u"level").toInt(), 3);
    EXPECT_EQ(items[2].toObject().value(u"style").toInt(), 1);
    // The character no face draws is named under the program.
    EXPECT_TRUE(tools.waitFor(QStringLiteral(
        "document.querySelector('li[data-index=\"3\"] .warnings').textContent.includes('U+0378')")));

    card.clearPages();
    tools.evaluate(QStringLiteral("document.getElementById('send').click(); true"));
    ASSERT_TRUE(tools.waitFor(QStringLiteral("document.body.dataset.send === 'completed'")));
    EXPECT_EQ(card.pages().size(), size_t(3));
    EXPECT_EQ(
        tools.evaluate(QStringLiteral("document.getElementById('barFill').style.width")).toString(),
        QStringLiteral("100%"));

    browser.terminate();
    if (!browser.waitForFinished(10000))
        browser.kill();
    browser.waitForFinished(5000);
}
