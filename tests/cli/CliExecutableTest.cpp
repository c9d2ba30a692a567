// The brivane-cli executable itself, as scripts run it: its command line
// reaches the parser whole, and a send of the demo project reaches the
// virtual card. Skipped when the executable has not been built.
#include "CliTestSupport.h"
#include "common/BdfFont.h"
#include "model/ProgramItem.h"
#include "common/OutcomePrinting.h"
#include "model/PlayList.h"
#include "render/TextFont.h"
#include "render/UserFonts.h"

#include <QCoreApplication>
#include <QImage>
#include <QJsonArray>
#include <QProcess>
#include <csignal>

namespace {

class CliExecutable : public CliFixture {
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        program = builtProgram(QStringLiteral("src/brivane-cli"));
        if (!QFileInfo(program).isExecutable())
            GTEST_SKIP() << "brivane-cli not built";
    }
    CliRun exec(const QStringList &args)
    {
        QProcess process;
        process.start(program, args);
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
    QString program;
};

TEST_F(CliExecutable, OptionsQtWouldTakeForItselfReachTheTool)
{
    const QStringList p{QStringLiteral("--project"), projectFile};
    QImage(8, 8, QImage::Format_RGB32).save(dir.filePath(QStringLiteral("pic.png")));
    ASSERT_EQ(exec(p + QStringList{QStringLiteral("new")}).code, ExitOk);
    ASSERT_EQ(exec(p + QStringList{QStringLiteral("add-text"), QStringLiteral("x"),
                                   QStringLiteral("--style"), QStringLiteral("bold")})
                  .code,
              ExitOk);
    ASSERT_EQ(
        exec(p + QStringList{QStringLiteral("add-picture"), dir.filePath(QStringLiteral("pic.png")),
                             QStringLiteral("--reverse")})
            .code,
        ExitOk);
    const QJsonArray items = exec(p + QStringList{QStringLiteral("--json"), QStringLiteral("list")})
                                 .json()
                                 .value(u"items")
                                 .toArray();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items.at(0).toObject().value(u"style").toInt(), 1);
    EXPECT_EQ(items.at(1).toObject().value(u"reverse").toInt(), 1);
}

TEST_F(CliExecutable, DemoProjectReachesTheCard)
{
    const QString examples = qEnvironmentVariable("BRIVANE_TEST_DATA");
    for (const char *name : {"demo.brivprj", "logo.png"})
        ASSERT_TRUE(QFile::copy(QDir(examples).filePath(QLatin1String(name)),
                                dir.filePath(QLatin1String(name))))
            << name;
    const QString demo = dir.filePath(QStringLiteral("demo.brivprj"));
    const CliRun r = exec({QStringLiteral("--project"), demo, QStringLiteral("--port"),
                           card.devicePath(), QStringLiteral("--json"), QStringLiteral("send")});
    ASSERT_EQ(r.code, ExitOk) << r.err.toStdString();
    EXPECT_EQ(r.json().value(u"sentCount").toInt(), 4);
    EXPECT_EQ(int(card.pages().size()), r.json().value(u"pagesSent").toInt());
    // The dial clock program carries the dial's clock code.
    VirtualCard::ReceivedPage last;
    ASSERT_TRUE(card.page(int(card.pages().size()), &last));
    EXPECT_EQ(last.clockCode(), 0x20);
}

TEST_F(CliExecutable, SecondCtrlCStopsAtOnce)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "a test cannot press Ctrl-C in another process's console on Windows";
#else
    writeProject(QStringList(6, QStringLiteral("x")));
    // Every request is answered late (within the link's time-out), so the
    // send is still running, finishing its program, when the second press
    // arrives.
    CardFault slow;
    slow.kind = CardFault::Kind::Delay;
    slow.command = -1;
    slow.value = 400;
    card.addFault(slow);
    QProcess process;
    process.start(program, {QStringLiteral("--project"), projectFile, QStringLiteral("--port"),
                            card.devicePath(), QStringLiteral("send")});
    ASSERT_TRUE(process.waitForStarted());
    process.setReadChannel(QProcess::StandardError); // progress comes there
    QByteArray err;
    while (!err.contains("正在发送信息") && process.waitForReadyRead(10000))
        err += process.readAllStandardError();
    ASSERT_TRUE(err.contains("正在发送信息")) << err.toStdString();
    const pid_t pid = pid_t(process.processId());
    ASSERT_GT(pid, 0);
    ::kill(pid, SIGINT);
    while (!err.contains("再按一次 Ctrl-C") && process.waitForReadyRead(5000))
        err += process.readAllStandardError();
    ASSERT_EQ(process.state(), QProcess::Running) << err.toStdString();
    ::kill(pid, SIGINT);
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_LT(card.pages().size(), 6u);
#endif
}

} // namespace

// Scripts adding programs to one file at once all said they succeeded, but
// the last writer dropped the others' programs. The lock beside the file
// serialises them: every program arrives, every run exits 0.
TEST_F(CliExecutable, ConcurrentAddsAreAllKept)
{
    const QStringList p{QStringLiteral("--project"), projectFile};
    ASSERT_EQ(exec(p + QStringList{QStringLiteral("new")}).code, ExitOk);
    constexpr int kRuns = 8;
    std::vector<std::unique_ptr<QProcess>> runs;
    for (int i = 0; i < kRuns; ++i) {
        runs.push_back(std::make_unique<QProcess>());
        runs.back()->start(program, p + QStringList{QStringLiteral("add-text"),
                                                    QStringLiteral("program %1").arg(i)});
    }
    for (auto &run : runs) {
        ASSERT_TRUE(run->waitForFinished(120000));
        EXPECT_EQ(run->exitCode(), ExitOk) << run->readAllStandardError().toStdString();
    }
    const QJsonArray items = exec(p + QStringList{QStringLiteral("--json"), QStringLiteral("list")})
                                 .json()
                                 .value(u"items")
                                 .toArray();
    EXPECT_EQ(items.size(), kRuns);
}

namespace {

// A user font in the GUI's data folder reaches the command-line tool: its
// pages equal those the GUI's preview shows (the items' pages, rendered in
// this process with the same folder loaded).
TEST_F(CliExecutable, UserFontsRenderAsInTheGui)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Windows' font database takes no BDF fonts";
#else
    const QString data = dir.filePath(QStringLiteral("data"));
    const QString fonts = data + QStringLiteral("/Brivane/fonts");
    ASSERT_TRUE(QDir().mkpath(fonts));
    BdfFont::Spec spec;
    spec.family = QStringLiteral("BrivaneSignUser16");
    spec.pixelSize = 16;
    spec.ascent = 14;
    spec.descent = 2;
    spec.advance = 9;
    QFile font(QDir(fonts).filePath(QStringLiteral("sign16.bdf")));
    ASSERT_TRUE(font.open(QIODevice::WriteOnly));
    font.write(BdfFont::make(spec));
    font.close();

    auto cli = [&](const QStringList &args) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), data);
        process.setProcessEnvironment(env);
        process.start(program, QStringList{QStringLiteral("--project"), projectFile} + args);
        EXPECT_TRUE(process.waitForFinished(60000));
        return CliRun{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                      QString::fromUtf8(process.readAllStandardError())};
    };
    ASSERT_EQ(cli({"new", "--width", "64", "--height", "16"}).code, ExitOk);
    const CliRun added = cli({"add-text", QStringLiteral("AB1\u0378"), "--font", spec.family,
                              "--size", "12", "--action", "1", "--delay", "1"});
    ASSERT_EQ(added.code, ExitOk) << added.err.toStdString();
    EXPECT_TRUE(added.err.contains(QStringLiteral("节目 1：以下字符无法显示")) &&
                added.err.contains(QStringLiteral("\u0378 (U+0378)")))
        << added.err.toStdString();
    const QJsonArray items = cli({"--json", "list"}).json().value(u"items").toArray();
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items.at(0).toObject().value(u"missingCharacters").toString(),
              QStringLiteral("\u0378"));
    const QString out = dir.filePath(QStringLiteral("pages"));
    const CliRun rendered = cli({"render", "--out", out});
    ASSERT_EQ(rendered.code, ExitOk) << rendered.err.toStdString();
    EXPECT_TRUE(rendered.err.contains(QStringLiteral("\u0378 (U+0378)")));

    EXPECT_EQ(UserFonts::load({fonts}), QStringList{spec.family});
    ASSERT_EQ(TextFont::resolveFamily(spec.family, 16), spec.family);
    PlayList project;
    project.setProjectFilePath(projectFile);
    ASSERT_EQ(project.load(), kOk);
    project.rebuildAllPages();
    const ProgramItem &item = *project.itemAt(0);
    ASSERT_GE(item.pageCount(), 1);
    for (int p = 0; p < item.pageCount(); ++p) {
        const QImage cliPage(
            QDir(out).filePath(QStringLiteral("01-%1.png").arg(p + 1, 2, 10, QLatin1Char('0'))));
        EXPECT_EQ(cliPage.convertToFormat(QImage::Format_RGB32), item.pageAt(p)->image())
            << "page " << p + 1;
    }
#endif
}

} // namespace
