#pragma once
// Runs brivane-cli in-process: a Console that records what the tool writes
// and answers from a queue, a temporary folder for project files and
// pictures, and a virtual card on port 1.

#include "cli/CliApp.h"
#include "cli/Console.h"
#include "common/TestFiles.h"
#include "link/PortNaming.h"
#include "sim/VirtualCard.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <gtest/gtest.h>

class RecordingConsole final : public Console {
public:
    void out(const QString &text) override { outText += text; }
    void err(const QString &text) override
    {
        errText += text;
        if (onErr)
            onErr(text);
    }
    bool errIsTerminal() const override { return errTty; }
    bool inIsTerminal() const override { return inTty; }
    int terminalColumns() const override { return columns; }
    std::optional<QString> readLine() override
    {
        if (input.empty())
            return std::nullopt;
        QString line = input.front();
        input.pop_front();
        return line;
    }

    QString outText;
    QString errText;
    bool errTty = false;
    bool inTty = false;
    int columns = 80;
    std::deque<QString> input;
    std::function<void(const QString &)> onErr;
};

struct CliRun {
    int code = -1;
    QString out;
    QString err;
    QJsonObject json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
};

class CliFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(card.start()) << card.errorString().toStdString();
        PortNaming::setExplicitDevices({card.devicePath()});
        projectFile = dir.filePath(QStringLiteral("p.brivprj"));
    }
    void TearDown() override
    {
        PortNaming::setExplicitDevices({});
        card.stop();
    }

    // brivane-cli ARGS, with --project naming the fixture's project file.
    CliRun run(const QStringList &args)
    {
        CliApp app(console);
        console.outText.clear();
        console.errText.clear();
        CliRun result;
        result.code = app.run(
            QStringList{QStringLiteral("brivane-cli"), QStringLiteral("--project"), projectFile} +
            args);
        result.out = console.outText;
        result.err = console.errText;
        return result;
    }

    // A project file in the writer's format, with text programs of these
    // contents (each with the new-item defaults).
    void writeProject(const QStringList &texts, int widthCode = 32, int heightCode = 4)
    {
        ASSERT_TRUE(writeAll(projectFile, textProjectXml(texts, widthCode, heightCode)));
    }

    QByteArray projectBytes() const { return readAll(projectFile); }

    // The command codes the card received, in order.
    QList<int> commands() const
    {
        QList<int> codes;
        for (const QByteArray &request : card.requestLog())
            codes << (request.size() > 13 ? int(uint8_t(request[13])) : -1);
        return codes;
    }

    QTemporaryDir dir;
    VirtualCard card;
    RecordingConsole console;
    QString projectFile;
};
