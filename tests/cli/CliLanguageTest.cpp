// brivane-cli speaks one language: Chinese where the locale says nothing
// (C) or is Chinese, English with BRIVANE_LANG=en; the exit codes and the
// --json keys stay the same. Run as a real process, with the catalogues
// built in. Skipped when the executable has not been built.
#include "CliTestSupport.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

namespace {

struct Language {
    const char *name;
    const char *variable;
    const char *value;
    bool chinese;
};
const Language kLanguages[] = {
#ifdef Q_OS_WIN
    // Windows has no LANG: the user's UI language decides, or BRIVANE_LANG.
    {"BRIVANE_LANG=zh_CN", "BRIVANE_LANG", "zh_CN", true},
#else
    {"LANG=C", "LANG", "C", true},
    {"LANG=zh_CN.UTF-8", "LANG", "zh_CN.UTF-8", true},
#endif
    {"BRIVANE_LANG=en", "BRIVANE_LANG", "en", false},
};

class CliLanguage : public CliFixture {
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        program = builtProgram(QStringLiteral("src/brivane-cli"));
        if (!QFileInfo(program).isExecutable())
            GTEST_SKIP() << "brivane-cli not built";
    }
    CliRun exec(const Language &language, const QStringList &args)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *v : {"LANG", "LANGUAGE", "LC_ALL", "LC_MESSAGES", "BRIVANE_LANG"})
            env.remove(QString::fromLatin1(v));
        env.insert(QString::fromLatin1(language.variable), QString::fromLatin1(language.value));
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(program, args);
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
    QString program;
};

TEST_F(CliLanguage, MessagesFollowTheLanguageCodesAndKeysDoNot)
{
    static const QRegularExpression han(QStringLiteral("[\\x{4e00}-\\x{9fff}]"));
    const QString missing = dir.filePath(QStringLiteral("no-such-device"));
    const struct {
        const char *what;
        QStringList args;
        int code;
        const char *english; // a part of the English message
    } cases[] = {
        {"missing card", {QStringLiteral("--port"), missing, QStringLiteral("info")}, ExitNoCard,
         "Command failed"},
        {"bad option", {QStringLiteral("--bogus"), QStringLiteral("info")}, ExitUsage,
         "Unknown option"},
        {"bad verb value", {QStringLiteral("power"), QStringLiteral("sideways")}, ExitUsage,
         "expected on or off"},
    };
    for (const auto &c : cases) {
        QStringList keys;
        for (const Language &language : kLanguages) {
            SCOPED_TRACE(testing::Message() << c.what << ", " << language.name);
            const CliRun run = exec(language, c.args);
            EXPECT_EQ(run.code, c.code);
            if (language.chinese) {
                EXPECT_TRUE(run.err.contains(han)) << run.err.toStdString();
                EXPECT_FALSE(hasEnglishSentence(run.err)) << run.err.toStdString();
            } else {
                EXPECT_FALSE(run.err.contains(han)) << run.err.toStdString();
                EXPECT_TRUE(run.err.contains(QLatin1String(c.english))) << run.err.toStdString();
            }
            const CliRun json = exec(language, QStringList{QStringLiteral("--json")} + c.args);
            EXPECT_EQ(json.code, c.code);
            const QJsonObject document = json.json();
            EXPECT_EQ(document.value(u"code").toInt(), c.code);
            EXPECT_EQ(document.value(u"error").toString().contains(han), language.chinese);
            if (keys.isEmpty())
                keys = document.keys();
            EXPECT_EQ(document.keys(), keys);
        }
    }
}

} // namespace
