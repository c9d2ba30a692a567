// The service answers in the language of the process it runs in: Chinese
// where the locale says nothing, English with BRIVANE_LANG=en; the status
// and the document's keys stay the same. Runs `brivane-cli serve` as a real
// process (the catalogues are built into it). Skipped when it is not built.
#include "ServiceTestSupport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

namespace {

class ServiceLanguage : public ServiceFixture {};

TEST_F(ServiceLanguage, ErrorsFollowTheLanguageStatusAndKeysDoNot)
{
    const QString program = builtProgram(QStringLiteral("src/brivane-cli"));
    if (!QFileInfo(program).isExecutable())
        GTEST_SKIP() << "brivane-cli is not built";
    static const QRegularExpression han(QStringLiteral("[\\x{4e00}-\\x{9fff}]"));
    static const QRegularExpression serving(QStringLiteral("http://127\\.0\\.0\\.1:(\\d+)/"));
    const QByteArray tooLong = QJsonDocument(QJsonObject{{QStringLiteral("kind"), QStringLiteral("text")},
                                                         {QStringLiteral("content"), QString(257, QLatin1Char('x'))}})
                                   .toJson(QJsonDocument::Compact);
    const struct {
        const char *variable;
        const char *value;
        bool chinese;
    } languages[] = {
#ifdef Q_OS_WIN
        // Windows has no LANG: the user's UI language decides, or BRIVANE_LANG.
        {"BRIVANE_LANG", "zh_CN", true},
#else
        {"LANG", "C", true},
#endif
        {"BRIVANE_LANG", "en", false}};
    QStringList keys;
    for (const auto &language : languages) {
        SCOPED_TRACE(language.variable);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *v : {"LANG", "LANGUAGE", "LC_ALL", "LC_MESSAGES", "BRIVANE_LANG"})
            env.remove(QString::fromLatin1(v));
        env.insert(QString::fromLatin1(language.variable), QString::fromLatin1(language.value));
        QProcess serve;
        serve.setProcessEnvironment(env);
        serve.start(program, {QStringLiteral("--project"), projectFile, QStringLiteral("--port"),
                              card.devicePath(), QStringLiteral("serve"), QStringLiteral("--listen"),
                              QStringLiteral("127.0.0.1:0")});
        ASSERT_TRUE(serve.waitForStarted(30000));
        QByteArray err;
        QElapsedTimer timer;
        timer.start();
        port = 0;
        while (port == 0 && timer.elapsed() < 60000 && serve.state() == QProcess::Running) {
            serve.waitForReadyRead(200);
            err += serve.readAllStandardError();
            if (const auto m = serving.match(QString::fromUtf8(err)); m.hasMatch())
                port = quint16(m.captured(1).toInt());
        }
        ASSERT_NE(port, 0) << err.toStdString();
        const HttpAnswer answer = call("POST", QStringLiteral("/api/programs"), tooLong);
        serve.kill();
        serve.waitForFinished(30000);
        EXPECT_EQ(answer.status, 400);
        const QString error = answer.json().value(u"error").toString();
        EXPECT_TRUE(error.contains(QLatin1String("256"))) << error.toStdString();
        EXPECT_EQ(error.contains(han), language.chinese) << error.toStdString();
        EXPECT_EQ(hasEnglishSentence(error), !language.chinese) << error.toStdString();
        if (keys.isEmpty())
            keys = answer.json().keys();
        EXPECT_EQ(answer.json().keys(), keys);
    }
}

// Every Chinese text of the page and of its scripts has its entry in the
// catalogue the page asks for: none stays Chinese on an English page.
TEST_F(ServiceLanguage, ThePageCatalogueHoldsEveryTextOfThePage)
{
    startService();
    const HttpAnswer answer = call("GET", QStringLiteral("/texts.json"));
    ASSERT_EQ(answer.status, 200);
    const QJsonObject texts = answer.json().value(u"texts").toObject();
    static const QRegularExpression han(QStringLiteral("[\\x{4e00}-\\x{9fff}]"));
    // Text between tags and the placeholder, title and alt attributes of a
    // page; every single-quoted string of a script.
    static const QRegularExpression pageText(
        QStringLiteral(">([^<>]+)<|(?:placeholder|title|alt)=\"([^\"]+)\""));
    static const QRegularExpression scriptText(QStringLiteral("'([^'\\n]*)'"));
    for (const char *file : {"index.html", "login.html", "app.js", "schedule.js", "login.js"}) {
        const QString name = QString::fromLatin1(file);
        const QString text = QString::fromUtf8(readAll(QStringLiteral(":/web/") + name));
        ASSERT_FALSE(text.isEmpty()) << file;
        const bool page = name.endsWith(u".html");
        for (const QRegularExpressionMatch &m : (page ? pageText : scriptText).globalMatch(text)) {
            // A page's text is looked up trimmed, a script's as written.
            QString found = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
            if (page)
                found = found.trimmed();
            if (found.contains(han)) {
                EXPECT_TRUE(texts.contains(found)) << file << ": " << found.toStdString();
            }
        }
    }
}

} // namespace
