// One project file shared by several programs (the GUI, scripts calling the
// command-line tool, the service): the lock that serialises their
// read-change-write, the check that notices a change made on disk, and the
// clean-up of a save that was cut short.
#include "common/RecordingUserInterface.h"
#include "common/TestFiles.h"
#include "common/OutcomePrinting.h"
#include "model/PlayList.h"
#include "model/ProjectFileLock.h"
#include "model/TextItem.h"

#include <QDir>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

class ProjectFileSharing : public ::testing::Test {
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("shared.brivprj")); }
    void addText(PlayList &project, const QString &text)
    {
        auto item = std::make_unique<TextItem>(&project);
        item->setContent(text);
        project.appendItem(std::move(item));
    }
    RecordingUserInterface m_ui;
    QTemporaryDir m_dir;
};

} // namespace

// Twenty scripts adding a program each used to leave four: each read the
// file, added its program and wrote, the last writer dropping the others'.
// Under the lock every change is read by the next one.
TEST_F(ProjectFileSharing, ChangesUnderTheLockAreNeverLost)
{
    {
        PlayList first;
        first.setProjectFilePath(path());
        ASSERT_EQ(first.save(), kOk);
    }
    constexpr int kWriters = 6;
    std::vector<std::unique_ptr<QThread>> writers;
    for (int i = 0; i < kWriters; ++i) {
        writers.push_back(std::unique_ptr<QThread>(QThread::create([this, i] {
            PlayList project;
            project.setProjectFilePath(path());
            const Outcome edited = editProjectFile(project, [&](PlayList &p) {
                addText(p, QString::number(i));
                QThread::msleep(20); // widen the window a lost update needs
                return true;
            });
            EXPECT_TRUE(edited) << qPrintable(edited.text());
        })));
    }
    // QLockFile knows a lock of its own process as held, so threads serialise
    // like processes do.
    for (auto &w : writers)
        w->start();
    for (auto &w : writers)
        w->wait();
    PlayList result;
    result.setProjectFilePath(path());
    ASSERT_EQ(result.load(), kOk);
    EXPECT_EQ(result.itemCount(), kWriters);
}

TEST_F(ProjectFileSharing, AHeldLockMakesOthersWaitAndADeadHoldersLockIsTakenOver)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "a dead holder's lock is told by POSIX process liveness";
#else
    PlayList holder;
    holder.setProjectFilePath(path());
    ASSERT_EQ(holder.lockProjectFile(), kOk);
    ProjectFileLock other(path());
    const Outcome refused = other.lock(0);
    EXPECT_EQ(refused.code(), OutcomeCode::FileLocked);
    EXPECT_TRUE(refused.text().contains(path()));
    holder.unlockProjectFile();
    EXPECT_TRUE(other.lock(0));

    // A lock file left by a process that no longer runs does not block.
    ProjectFileLock later(m_dir.filePath(QStringLiteral("crashed.brivprj")));
    ASSERT_TRUE(
        writeAll(ProjectFileLock::lockPath(m_dir.filePath(QStringLiteral("crashed.brivprj"))),
                 "999999999\nbrivane-cli\n" + QSysInfo::machineHostName().toUtf8() + "\n"));
    EXPECT_TRUE(later.lock(0));
#endif
}

// The GUI keeps a project open for hours; a script may change the file
// meanwhile. Size, time or content give it away, and nothing else does.
TEST_F(ProjectFileSharing, AChangeOnDiskSinceLoadOrSaveIsNoticed)
{
    PlayList gui;
    gui.setProjectFilePath(path());
    EXPECT_FALSE(gui.projectFileChangedOnDisk()); // no file: nothing to lose
    gui.load();                                   // the default item
    ASSERT_EQ(gui.save(), kOk);
    EXPECT_FALSE(gui.projectFileChangedOnDisk());

    const QByteArray saved = readAll(path());
    {
        PlayList script;
        script.setProjectFilePath(path());
        ASSERT_EQ(script.load(), kOk);
        addText(script, QStringLiteral("from a script"));
        ASSERT_EQ(script.save(), kOk);
    }
    EXPECT_TRUE(gui.projectFileChangedOnDisk());
    ASSERT_EQ(gui.save(), kOk);
    EXPECT_FALSE(gui.projectFileChangedOnDisk());

    // Same size and time, other bytes: the hash tells.
    const QFileInfo before(path());
    QByteArray same = readAll(path());
    same[same.size() - 20] = same[same.size() - 20] == 'x' ? 'y' : 'x';
    ASSERT_TRUE(writeAll(path(), same));
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(before.lastModified(), QFileDevice::FileModificationTime));
    file.close();
    EXPECT_TRUE(gui.projectFileChangedOnDisk());

    // A file deleted since has nothing to lose; one that appeared has.
    QFile::remove(path());
    EXPECT_FALSE(gui.projectFileChangedOnDisk());
    ASSERT_TRUE(writeAll(path(), saved));
    EXPECT_TRUE(gui.projectFileChangedOnDisk());
}

// A save killed before its rename leaves a full copy "<file>.XXXXXX" where
// the system has no unnamed temporary files; the next save removes the ones
// its note names, and never a user's file of a similar name.
TEST_F(ProjectFileSharing, TheNextSaveRemovesACopyAnInterruptedSaveLeft)
{
    const QString left = path() + QStringLiteral(".aB3xY9");
    const QString userCopy = path() + QStringLiteral(".backup");
    ASSERT_TRUE(writeAll(left, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<project>"));
    ASSERT_TRUE(writeAll(userCopy, "<project/>"));
    ASSERT_TRUE(writeAll(path() + QStringLiteral(".saving"),
                         "shared.brivprj.aB3xY9\n../shared.brivprj.XXXXXX\n"));
    PlayList project;
    project.setProjectFilePath(path());
    ASSERT_EQ(project.save(), kOk);
    EXPECT_FALSE(QFile::exists(left));
    EXPECT_TRUE(QFile::exists(userCopy)); // same pattern, but no save made it
    EXPECT_FALSE(QFile::exists(path() + QStringLiteral(".saving")));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files).size(), 2); // the file and the backup
}
