#include "model/ProjectFileLock.h"

#include "model/Project.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QStorageInfo>
#include <QThread>

ProjectFileLock::ProjectFileLock(const QString &projectFile)
    : m_projectFile(projectFile), m_lock(lockPath(projectFile))
{
    m_lock.setStaleLockTime(kStaleMs);
}

QString ProjectFileLock::lockPath(const QString &projectFile)
{
    return projectFile + QStringLiteral(".lock");
}

QString diskFullText(const QString &projectFile, qint64 needed, qint64 bytesAvailable,
                     const QString &diskName)
{
    if (bytesAvailable < 0 || bytesAvailable >= needed)
        return {};
    return QStringLiteral("磁盘已满：%1 所在的磁盘（%2）只剩 %3 字节，无法写入，项目文件未被修改。")
        .arg(QFileInfo(projectFile).absolutePath(), diskName)
        .arg(bytesAvailable);
}

QString diskFullText(const QString &projectFile, qint64 needed)
{
    const QStorageInfo disk(QFileInfo(projectFile).absolutePath());
    if (!disk.isValid())
        return {};
    return diskFullText(projectFile, needed, disk.bytesAvailable(), disk.rootPath());
}

bool ProjectFileLock::lock(int waitMs, QString *error)
{
    // QLockFile's own wait doubles its pause up to seconds, so twenty
    // scripts started at once queued for most of a minute; short even
    // pauses hand the file on as soon as it is free.
    const QDeadlineTimer deadline(waitMs);
    while (!m_lock.tryLock(0)) {
        if (m_lock.error() != QLockFile::LockFailedError || deadline.hasExpired())
            break;
        QThread::msleep(kPollMs);
    }
    if (m_lock.isLocked())
        return true;
    // A folder where no lock file can be made (a read-only install) cannot
    // be written by the others either: reading goes on without the lock.
    if (m_lock.error() == QLockFile::PermissionError)
        return true;
    if (error) {
        qint64 pid = 0;
        QString host, app;
        if (m_lock.error() == QLockFile::LockFailedError && m_lock.getLockInfo(&pid, &host, &app))
            *error = QStringLiteral("项目文件 %1 正被其他程序使用（%2，进程 %3），请稍后再试。")
                         .arg(m_projectFile, app)
                         .arg(pid);
        else if (const QString full = diskFullText(m_projectFile, kLockFileBytes); !full.isEmpty())
            *error = full;
        else
            *error = QStringLiteral("无法锁定项目文件 %1（%2）。")
                         .arg(m_projectFile, lockPath(m_projectFile));
    }
    return false;
}

bool editProjectFile(Project &project, const std::function<bool(Project &, QString *)> &change,
                     QString *error)
{
    const bool heldBefore = project.holdsProjectFileLock();
    if (!heldBefore && !project.lockProjectFile(error))
        return false;
    struct Unlock {
        Project &project;
        bool keep;
        ~Unlock()
        {
            if (!keep)
                project.unlockProjectFile();
        }
    } unlock{project, heldBefore};

    project.clearItems();
    project.loadProject();
    if (!project.loadErrorText().isEmpty()) {
        if (error)
            *error = project.loadErrorText();
        return false;
    }
    if (!change(project, error))
        return false;
    if (!project.saveProject()) {
        if (error)
            *error = project.saveErrorText();
        return false;
    }
    return true;
}
