// Bad command lines: each ends with exit code 2 and a message, before a
// byte goes to the card and without touching the project file.
#include "CliTestSupport.h"

#include <QImage>

namespace {

struct UsageCase {
    const char *name;
    QStringList args;
};

class CliUsage : public CliFixture, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(CliUsage, EndsWithCode2BeforeTouchingCardOrFile)
{
    writeProject({QStringLiteral("one"), QStringLiteral("two")});
    const QByteArray before = projectBytes();
    QFile(dir.filePath(QStringLiteral("notes.txt"))).open(QIODevice::WriteOnly);
    QImage(8, 8, QImage::Format_RGB32).save(dir.filePath(QStringLiteral("pic.png")));
    QStringList args = GetParam().args;
    args.replaceInStrings(QStringLiteral("@DIR@"), dir.path());

    const CliRun r = run(args);

    EXPECT_EQ(r.code, ExitUsage) << r.err.toStdString();
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    EXPECT_EQ(card.requestCount(), 0);
    EXPECT_EQ(projectBytes(), before);

    // With --json the same failure is one document on standard output, so
    // a script reads it with one parser whatever went wrong.
    const CliRun j = run(QStringList{QStringLiteral("--json")} + args);
    EXPECT_EQ(j.code, ExitUsage);
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(j.out.toUtf8(), &parseError);
    ASSERT_EQ(parseError.error, QJsonParseError::NoError) << j.out.toStdString();
    EXPECT_FALSE(doc.object().value(u"ok").toBool(true));
    EXPECT_EQ(doc.object().value(u"code").toInt(), ExitUsage);
    EXPECT_FALSE(doc.object().value(u"error").toString().isEmpty());
    EXPECT_EQ(projectBytes(), before);
}

const UsageCase kUsageCases[] = {
    {"NoVerb", {}},
    {"UnknownVerb", {"frob"}},
    {"UnknownOption", {"list", "--bogus"}},
    {"OptionOfAnotherVerb", {"clear", "--width", "64"}},
    {"MissingArgument", {"power"}},
    {"TooManyArguments", {"clear", "now"}},
    {"PowerWord", {"power", "dim"}},
    {"BrightnessAbove15", {"brightness", "16"}},
    {"BrightnessNotNumber", {"brightness", "max"}},
    {"PortZero", {"--port", "0", "clear"}},
    {"Port21", {"--port", "21", "clear"}},
    {"RowOrderOutOfRange", {"params", "--row-order", "16"}},
    {"UnknownColour", {"params", "--colour", "triple"}},
    {"UnknownScanCode", {"params", "--scan", "0x99"}},
    {"UnknownFrequency", {"params", "--frequency", "3"}},
    {"ContradictingFlags", {"params", "--reverse-data", "--no-reverse-data"}},
    {"WidthNotNumber", {"params", "--width", "wide"}},
    {"ActionOutOfRange", {"add-text", "x", "--action", "19"}},
    {"UnknownActionName", {"add-text", "x", "--action", "飞入"}},
    {"UnknownColor", {"add-text", "x", "--color", "purple"}},
    {"DelayTooLong", {"add-text", "x", "--delay", "256"}},
    {"FontNameTooLong", {"add-text", "x", "--font", QString(32, QLatin1Char('f'))}},
    {"PictureOptionOnText", {"add-text", "x", "--limit", "3"}},
    {"MissingPicture", {"add-picture", "@DIR@/missing.png"}},
    {"PictureNotAnImage", {"add-picture", "@DIR@/notes.txt"}},
    {"LimitAbove255", {"add-picture", "@DIR@/pic.png", "--limit", "300"}},
    {"UnknownMode", {"add-picture", "@DIR@/pic.png", "--mode", "tile"}},
    {"SetZeroSize", {"set", "1", "size=0"}},
    {"SetPictureFieldOnText", {"set", "1", "limit=5"}},
    {"SetUnknownField", {"set", "1", "colr=2"}},
    {"SetWithoutValue", {"set", "1", "action"}},
    {"SetOneBadAmongGood", {"set", "1", "speed=3", "level=16"}},
    {"SetProgramOutOfRange", {"set", "3", "speed=1"}},
    {"RemoveZero", {"remove", "0"}},
    {"RemoveNotNumber", {"remove", "first"}},
    {"MoveFirstUp", {"move", "1", "up"}},
    {"MoveLastDown", {"move", "2", "down"}},
    {"MoveSideways", {"move", "1", "left"}},
    {"OnErrorUnknown", {"send", "--on-error", "sometimes"}},
    {"RetriesNegative", {"send", "--on-error", "retry", "--retries", "-1"}},
    {"RenderWithoutOut", {"render"}},
    {"RenderBadCard", {"render", "--out", "@DIR@/out", "--card", "15,0x23"}},
    {"NewOverExisting", {"new"}},
    {"EmptyPort", {"--port", "", "clear"}},
    {"EmptyProject", {"--project", "", "list"}},
};

INSTANTIATE_TEST_SUITE_P(BadInput, CliUsage, ::testing::ValuesIn(kUsageCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(CliFixture, ProjectFileThatCannotBeReadIsCode2)
{
    const struct {
        const char *what;
        QByteArray content;
    } files[] = {
        {"missing", {}}, {"not XML", "<project><width>"}, {"no root", "<?xml version=\"1.0\"?>"}};
    for (const auto &f : files) {
        SCOPED_TRACE(f.what);
        QFile::remove(projectFile);
        if (!f.content.isEmpty()) {
            QFile file(projectFile);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(f.content);
        }
        for (const char *verb : {"list", "send", "render"}) {
            QStringList args{QLatin1String(verb)};
            if (args.first() == u"render")
                args << QStringLiteral("--out") << dir.path();
            const CliRun r = run(args);
            EXPECT_EQ(r.code, ExitUsage) << verb << r.err.toStdString();
        }
    }
    EXPECT_EQ(card.requestCount(), 0);
}

TEST_F(CliFixture, HelpForTheToolAndEveryVerb)
{
    const CliRun top = run({QStringLiteral("--help")});
    EXPECT_EQ(top.code, ExitOk);
    EXPECT_TRUE(top.out.contains(QStringLiteral("Exit codes")));
    for (const char *verb : {"find", "info", "send", "clear", "clock", "power", "brightness",
                             "params", "factory-reset", "new", "list", "add-text", "add-picture",
                             "remove", "move", "set", "render"}) {
        EXPECT_TRUE(top.out.contains(QLatin1String(verb))) << verb;
        const CliRun help = run({QLatin1String(verb), QStringLiteral("--help")});
        EXPECT_EQ(help.code, ExitOk) << verb;
        EXPECT_TRUE(help.out.contains(QStringLiteral("Usage: brivane-cli"))) << verb;
    }
    EXPECT_EQ(card.requestCount(), 0);
}

} // namespace
