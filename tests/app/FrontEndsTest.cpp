// The four front ends (the GUI, the command-line tool for one sign and for
// many, the HTTP service) report the same outcome for the same fault of the
// card: each reaches it through CardSession, so each shows userText().
#include "app/MainWindow.h"
#include "cli/CliTestSupport.h"
#include "common/RecordingUserInterface.h"
#include "model/CardSession.h"
#include "model/Outcome.h"
#include "service/ServiceTestSupport.h"

#include <QJsonArray>

namespace {

class FrontEnds : public ServiceFixture {};

TEST_F(FrontEnds, ReportTheSameOutcomeForTheSameCardFault)
{
    // The card refuses the clear command with its status 2, once per run.
    CardFault refusal;
    refusal.kind = CardFault::Kind::Status;
    refusal.value = 2;
    refusal.command = 0x06;
    refusal.count = 1;
    const QString expected = [&] {
        card.addFault(refusal);
        CardSession session;
        session.setPort(1);
        const Outcome outcome = session.clearScreen();
        EXPECT_EQ(outcome.code(), OutcomeCode::CardRefused);
        return outcome.userText();
    }();
    EXPECT_EQ(expected, QStringLiteral("命令执行失败：命令无法识别。"));

    RecordingUserInterface ui;
    {
        card.addFault(refusal);
        MainWindow window(projectFile);
        window.card().setPort(1);
        window.clearScreen();
        ASSERT_FALSE(ui.messages.empty());
        EXPECT_EQ(ui.messages.back().text, expected);
    }

    RecordingConsole console;
    const auto cli = [&](const QStringList &args) {
        card.addFault(refusal);
        CliApp app(console);
        console.errText.clear();
        console.outText.clear();
        const int code = app.run(QStringList{QStringLiteral("brivane-cli"), QStringLiteral("--json"),
                                             QStringLiteral("--project"), projectFile} +
                                 args);
        EXPECT_NE(code, 0);
        return QJsonDocument::fromJson(console.outText.toUtf8());
    };
    const QJsonDocument one = cli({QStringLiteral("--port"), QStringLiteral("1"),
                                   QStringLiteral("clear")});
    EXPECT_EQ(one.object().value(u"error").toString(), expected) << console.outText.toStdString();
    // Many signs: the faulty card and a sound one.
    VirtualCard other;
    ASSERT_TRUE(other.start());
    PortNaming::setExplicitDevices({card.devicePath(), other.devicePath()});
    const QJsonDocument many = cli({QStringLiteral("--port"), card.devicePath(),
                                    QStringLiteral("--port"), other.devicePath(),
                                    QStringLiteral("clear")});
    ASSERT_TRUE(many.isArray()) << console.outText.toStdString();
    EXPECT_EQ(many.array().at(0).toObject().value(u"error").toString(), expected)
        << console.outText.toStdString();

    startService();
    card.addFault(refusal);
    const HttpAnswer answer = call("POST", QStringLiteral("/api/card/clear"));
    EXPECT_EQ(answer.status, 500);
    EXPECT_EQ(answer.json().value(u"error").toString(), expected);
}

} // namespace
