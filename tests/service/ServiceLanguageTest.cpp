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
    } languages[] = {{"LANG", "C", true}, {"BRIVANE_LANG", "en", false}};
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

} // namespace
