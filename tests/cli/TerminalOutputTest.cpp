// The terminal side of a long job: progress lines or a live bar, and the
// answers each --on-error policy gives.
#include "CliTestSupport.h"

#include "cli/SendResult.h"
#include "cli/TerminalProgressHost.h"
#include "cli/TerminalUserInterface.h"

namespace {

TEST(TerminalProgressHost, OneLinePerStatusChangeWithoutATerminal)
{
    RecordingConsole console;
    TerminalUserInterface ui(console, TerminalUserInterface::Policy::Stop, 0);
    TerminalProgressHost host(console, ui, 20);
    host.setStatus(5, QStringLiteral("正在清空原有信息。"));
    host.setStatus(10, QStringLiteral("正在清空原有信息。")); // same text: no new line
    host.setStatus(20, QStringLiteral("已成功发送了 3 条信息。"));
    host.setStatus(99, QStringLiteral("x")); // out of range: the bar keeps 20
    host.finish();
    EXPECT_EQ(console.errText, QStringLiteral("[ 25%] 正在清空原有信息。\n"
                                              "[100%] 已成功发送了 3 条信息。\n"
                                              "[100%] x\n"));
    EXPECT_EQ(host.statusHistory().size(), 3);
}

TEST(TerminalProgressHost, LiveBarRedrawsOneLineAndFitsWideCharacters)
{
    RecordingConsole console;
    console.errTty = true;
    console.columns = 40;
    TerminalUserInterface ui(console, TerminalUserInterface::Policy::Stop, 0);
    {
        TerminalProgressHost host(console, ui, 200);
        host.setStatus(100, QStringLiteral("正在发送信息‘一二三四五六七八九十’..."));
        const QString drawn = console.errText;
        EXPECT_TRUE(drawn.startsWith(QStringLiteral("\r\x1b[K[############------------]  50% ")));
        EXPECT_FALSE(drawn.contains(u'\n'));
        // 40 columns: the 32 of the bar and one spare leave 7: three wide characters.
        EXPECT_TRUE(drawn.endsWith(QStringLiteral("% 正在发"))) << drawn.toStdString();
        console.errText.clear();
        // A question starts on a line of its own.
        host.askYesNo(QStringLiteral("是否重新发送命令？"));
        EXPECT_TRUE(console.errText.startsWith(QStringLiteral("\n是否重新发送命令？")));
    }
    EXPECT_TRUE(console.errText.endsWith(u'\n')) << "the bar's line is ended";
}

TEST(TerminalUserInterface, PoliciesAnswerTheSendQuestions)
{
    using P = TerminalUserInterface::Policy;
    const struct {
        const char *what;
        P policy;
        int retries;
        std::vector<Answer> answers; // to successive askYesNoCancel calls
        std::vector<bool> yesNo;     // to successive askYesNo calls
    } cases[] = {
        {"retry twice",
         P::Retry,
         2,
         {Answer::Yes, Answer::Yes, Answer::Cancel},
         {true, true, false}},
        {"retry none", P::Retry, 0, {Answer::Cancel}, {false}},
        {"skip", P::Skip, 3, {Answer::No, Answer::No}, {false}},
        {"stop", P::Stop, 3, {Answer::Cancel}, {false}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        RecordingConsole console;
        TerminalUserInterface ui(console, c.policy, c.retries);
        for (const Answer expected : c.answers)
            EXPECT_EQ(ui.askYesNoCancel(nullptr, QStringLiteral("q")), expected);
        ui.resetRetries();
        for (const bool expected : c.yesNo)
            EXPECT_EQ(ui.askYesNo(nullptr, QStringLiteral("q")), expected);
        EXPECT_TRUE(console.errText.contains(u'q')) << "every question is shown";
    }
}

TEST(TerminalUserInterface, AskReadsAnswersUntilOneFitsAndStopsAtTheEnd)
{
    RecordingConsole console;
    TerminalUserInterface ui(console, TerminalUserInterface::Policy::Ask, 0);
    console.input = {QStringLiteral("?"), QStringLiteral(" Y "), QStringLiteral("no"),
                     QStringLiteral("c")};
    EXPECT_TRUE(ui.askYesNo(nullptr, QStringLiteral("q")));
    EXPECT_EQ(ui.askYesNoCancel(nullptr, QStringLiteral("q")), Answer::No);
    EXPECT_EQ(ui.askYesNoCancel(nullptr, QStringLiteral("q")), Answer::Cancel);
    // End of input (or Ctrl-C while waiting): the safe answer.
    EXPECT_FALSE(ui.askYesNo(nullptr, QStringLiteral("q")));
    EXPECT_EQ(ui.askYesNoCancel(nullptr, QStringLiteral("q")), Answer::Cancel);
}

} // namespace

// The last progress line of a send stopped at program 5 of 20 says it
// stopped, and the bar stops where the send did; a whole send is 100%.
TEST(SendResult, AStoppedSendSaysSoOnItsLastProgressLine)
{
    using Outcome = SendItemResult::Outcome;
    const struct {
        const char *name;
        SendReport::End end;
        int reached; // items attempted
        bool saysStopped;
        int position; // of a bar of 105
    } cases[] = {
        {"completed", SendReport::End::Completed, 20, false, 105},
        {"stopped at program 5", SendReport::End::Cancelled, 5, true, 25},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        SendReport report;
        report.end = c.end;
        report.itemCount = 20;
        for (int i = 0; i < 20; ++i) {
            SendItemResult r;
            r.index = i;
            r.outcome = i < c.reached - 1 ? Outcome::Sent
                        : i < c.reached   ? (c.saysStopped ? Outcome::Failed : Outcome::Sent)
                                          : Outcome::NotSent;
            report.sentCount += r.outcome == Outcome::Sent;
            report.items.push_back(r);
        }
        const QString status = SendResult::finalStatus(report);
        EXPECT_TRUE(
            status.startsWith(QStringLiteral("已成功发送了 %1 条信息。").arg(report.sentCount)));
        EXPECT_EQ(status.contains(QStringLiteral("停止")), c.saysStopped) << status.toStdString();
        EXPECT_EQ(SendResult::finalPosition(report, 105), c.position);
        EXPECT_EQ(SendResult::lines(report).last(), status);
    }
}
