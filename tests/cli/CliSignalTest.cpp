// timeout, systemctl stop and a closed SSH session end a send with SIGTERM
// or SIGHUP. Run as real processes (brivane-cli against brivane-cardsim on a
// pseudo-terminal, the line's speed emulated so that a send takes seconds):
// the first signal lets the current program finish and closes the upload on
// the card; a second one stops at once. Skipped when the executables have
// not been built.
#include "CliTestSupport.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <csignal>

namespace {

class CliSignal : public CliFixture {
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        cli = builtProgram(QStringLiteral("src/brivane-cli"));
        cardsim = builtProgram(QStringLiteral("sim/brivane-cardsim"));
        if (!QFileInfo(cli).isExecutable() || !QFileInfo(cardsim).isExecutable())
            GTEST_SKIP() << "brivane-cli or brivane-cardsim not built";
    }

    // Under nohup the test's children would inherit an ignored hang-up.
    static void defaultSignals(QProcess &process)
    {
#ifdef Q_OS_WIN
        Q_UNUSED(process);
#else
        process.setChildProcessModifier([] {
            for (const int s : {SIGINT, SIGTERM, SIGHUP})
                std::signal(s, SIG_DFL);
        });
#endif
    }

    // Reads the process's standard error until it holds text.
    static bool waitForErr(QProcess &process, QByteArray &err, const char *text)
    {
        while (!err.contains(text) && process.state() == QProcess::Running &&
               process.waitForReadyRead(30000))
            err += process.readAllStandardError();
        err += process.readAllStandardError();
        return err.contains(text);
    }

    QString cli;
    QString cardsim;
};

TEST_F(CliSignal, FirstSignalFinishesTheProgramSecondStopsAtOnce)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Windows has no SIGTERM or SIGHUP to send another process; Ctrl-C reaches only a console's own processes";
#else
    // Three pages, two, one, one: at 9600 baud the first program alone takes
    // seconds.
    writeProject({QStringLiteral("第一个节目，很长的一段文字用来占用几页"),
                  QStringLiteral("second program with quite a long text"), QStringLiteral("third"),
                  QStringLiteral("fourth")});
    // The notes and the last status in the language chosen (Chinese unless
    // BRIVANE_LANG=en); the exit code and the result's keys in both alike.
    const struct {
        int first;
        int second; // 0: none
        bool english;
    } cases[] = {{SIGTERM, 0, false}, {SIGHUP, 0, true}, {SIGTERM, SIGHUP, false}};
    QStringList resultKeys;
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "signals " << c.first << ", " << c.second
                                        << (c.english ? ", English" : ", Chinese"));
        QProcess card;
        defaultSignals(card);
        card.start(cardsim, {QStringLiteral("--line-speed"), QStringLiteral("9600")});
        ASSERT_TRUE(card.waitForStarted());
        card.setReadChannel(QProcess::StandardOutput);
        while (!card.canReadLine() && card.waitForReadyRead(30000)) {
        }
        const QString device = QString::fromUtf8(card.readLine()).trimmed();
        ASSERT_FALSE(device.isEmpty()) << card.readAllStandardError().toStdString();

        QProcess send;
        defaultSignals(send);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("BRIVANE_LANG"), QLatin1String(c.english ? "en" : "zh_CN"));
        send.setProcessEnvironment(env);
        send.start(cli, {QStringLiteral("--project"), projectFile, QStringLiteral("--port"), device,
                         QStringLiteral("--json"), QStringLiteral("send")});
        ASSERT_TRUE(send.waitForStarted());
        send.setReadChannel(QProcess::StandardError);
        QByteArray err;
        ASSERT_TRUE(waitForErr(send, err, c.english ? "Sending program" : "正在发送信息"))
            << err.toStdString();
        ::kill(pid_t(send.processId()), c.first);
        if (c.second) {
            ASSERT_TRUE(waitForErr(send, err, "再按一次 Ctrl-C 立即停止")) << err.toStdString();
            ::kill(pid_t(send.processId()), c.second);
        }
        ASSERT_TRUE(send.waitForFinished(60000));
        err += send.readAllStandardError();
        EXPECT_EQ(send.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(send.exitCode(), ExitPartial); // also the immediate stop's code
        const QJsonObject result = QJsonDocument::fromJson(send.readAllStandardOutput()).object();

        ::kill(pid_t(card.processId()), SIGTERM);
        ASSERT_TRUE(card.waitForFinished(30000));
        EXPECT_EQ(card.exitCode(), 0); // and leak-clean: LeakSanitizer would change it
        const QStringList log = QString::fromUtf8(card.readAllStandardError())
                                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_FALSE(log.isEmpty());
        const qsizetype pageHeads = log.filter(QStringLiteral("cmd 0x03 ")).size();

        if (c.second) {
            // Stopped inside the upload: no result document, the bracket
            // left open, not every page of the first program on the card.
            EXPECT_TRUE(result.isEmpty());
            EXPECT_TRUE(err.contains("已停止。"));
            EXPECT_EQ(log.filter(QStringLiteral("(upload ended)")).size(), 0)
                << log.join('\n').toStdString();
            EXPECT_LT(pageHeads, 3);
            continue;
        }
        EXPECT_EQ(result.value(u"end").toString(), QStringLiteral("cancelled"));
        if (resultKeys.isEmpty())
            resultKeys = result.keys();
        EXPECT_EQ(result.keys(), resultKeys);
        const QString cancelled = result.value(u"error").toString();
        EXPECT_EQ(cancelled.contains(QStringLiteral("发送已取消")), !c.english)
            << cancelled.toStdString();
        EXPECT_EQ(hasEnglishSentence(cancelled), c.english) << cancelled.toStdString();
        // Some programs whole, then the rest not sent; never half a program.
        QStringList outcomes;
        for (const QJsonValue &item : result.value(u"items").toArray())
            outcomes << item.toObject().value(u"outcome").toString();
        const qsizetype sent = outcomes.count(QStringLiteral("sent"));
        EXPECT_GE(sent, 1);
        EXPECT_LT(sent, 4);
        EXPECT_EQ(outcomes.mid(sent), QStringList(4 - sent, QStringLiteral("not-sent")))
            << outcomes.join(',').toStdString();
        EXPECT_EQ(pageHeads, result.value(u"pagesSent").toInt());
        // The card's last request closed the upload.
        EXPECT_TRUE(log.last().contains(QStringLiteral("cmd 0x19 (upload ended)")))
            << log.join('\n').toStdString();
        // The last status names what was not sent, not the count alone.
        const QString last =
            c.english ? (4 - sent == 1 ? QStringLiteral("The send stopped; 1 more program was not sent.")
                                       : QStringLiteral("The send stopped; %1 more programs were not sent.")
                                             .arg(4 - sent))
                      : QStringLiteral("发送已停止，另有 %1 条信息未发送。").arg(4 - sent);
        EXPECT_TRUE(QString::fromUtf8(err).contains(last)) << err.toStdString();
    }
#endif
}

} // namespace
