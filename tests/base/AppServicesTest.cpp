#include "base/AppPaths.h"
#include "base/AppServices.h"
#include "common/RecordingUserInterface.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

TEST(AppServices, AppFilePathJoinsTheFolderAndTheName)
{
    const struct {
        const char *dir;
        const char *expected;
    } cases[] = {
        {"/opt/led", "/opt/led/default.brivprj"},
        {"/opt/led/", "/opt/led/default.brivprj"},
        {"D:\\tools\\led\\", "D:\\tools\\led\\default.brivprj"},
    };
    for (const auto &c : cases) {
        setAppDirOverride(QString::fromUtf8(c.dir));
        EXPECT_EQ(appFilePath(QStringLiteral("default.brivprj")), QString::fromUtf8(c.expected));
    }
    setAppDirOverride(QString());
    EXPECT_EQ(appFilePath(QStringLiteral("x")),
              QCoreApplication::applicationDirPath() + QStringLiteral("/x"));
}

// The project file stays beside the program while that folder takes new
// files (a portable copy); an installed program keeps it in the user's data
// folder, which is made when missing.
TEST(AppServices, TheProjectFileGoesBesideOnlyWhereFilesCanBeCreated)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString beside = root.filePath(QStringLiteral("beside"));
    const QString notAFolder = root.filePath(QStringLiteral("file"));
    const QString data = root.filePath(QStringLiteral("data/Brivane"));
    ASSERT_TRUE(QDir().mkpath(beside));
    QFile file(notAFolder);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString name = QStringLiteral("default.brivprj");
    const struct {
        QString besideDir;
        QString dataDir;
        QString expected;
    } cases[] = {
        {beside, data, beside + QStringLiteral("/default.brivprj")},
        {notAFolder, data, data + QStringLiteral("/default.brivprj")},
        {root.filePath(QStringLiteral("missing")), data, data + QStringLiteral("/default.brivprj")},
        {notAFolder, QString(), notAFolder + QStringLiteral("/default.brivprj")},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(chooseDataFilePath(name, c.besideDir, c.dataDir), c.expected)
            << c.besideDir.toStdString();
    }
    EXPECT_TRUE(QFileInfo(data).isDir());
    // The probe leaves nothing behind.
    EXPECT_TRUE(QDir(beside).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

TEST(AppServices, FileExistsComparesTheKind)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("f"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.close();
    const QString missing = dir.filePath(QStringLiteral("missing"));
    const struct {
        QString path;
        bool wantDirectory;
        bool expected;
    } cases[] = {
        {file, false, true},        {file, true, false},     {dir.path(), true, true},
        {dir.path(), false, false}, {missing, false, false}, {missing, true, false},
        {QString(), false, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(fileExists(c.path, c.wantDirectory), c.expected)
            << c.path.toStdString() << " " << c.wantDirectory;
}

TEST(AppServices, QuestionsAndMessagesGoThroughTheInstalledInterfaceCut)
{
    RecordingUserInterface ui;
    ui.yesNoAnswers = {true, false};
    ui.yesNoCancelAnswers = {Answer::No};
    EXPECT_TRUE(askYesNo(nullptr, QStringLiteral("确定吗？")));
    EXPECT_FALSE(askYesNo(nullptr, QStringLiteral("again")));
    EXPECT_EQ(askYesNoCancel(nullptr, QStringLiteral("q")), Answer::No);
    EXPECT_EQ(askYesNoCancel(nullptr, QStringLiteral("q")), Answer::Cancel);

    // Texts are cut to 1023 characters, never between the halves of a pair.
    const QString longText =
        QString(1022, QLatin1Char('a')) + QStringLiteral("\U0001F600") + QStringLiteral("tail");
    showMessage(nullptr, longText, QStringLiteral("c"), MessageIcon::Warning);
    showMessage(nullptr, QString(2000, QLatin1Char('b')), QStringLiteral("c"), MessageIcon::Error);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, QString(1022, QLatin1Char('a')));
    EXPECT_EQ(ui.messages[1].text.size(), kMaxMessageChars);
    EXPECT_EQ(ui.questions.size(), 4);
}

TEST(AppServices, WithoutAnInterfaceQuestionsAreDeclined)
{
    EXPECT_FALSE(askYesNo(nullptr, QStringLiteral("q")));
    EXPECT_EQ(askYesNoCancel(nullptr, QStringLiteral("q")), Answer::Cancel);
}

TEST(AppServices, WaitPumpingDispatchesOnlyWhenItWaits)
{
    int calls = 0;
    QTimer::singleShot(0, [&calls] { ++calls; });
    waitPumping(0);
    EXPECT_EQ(calls, 0);
    waitPumping(20);
    EXPECT_EQ(calls, 1);

    QTimer::singleShot(0, [&calls] { ++calls; });
    pumpMessages();
    EXPECT_EQ(calls, 2);
}
