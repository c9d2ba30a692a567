#include "model/ProjectFileLock.h"

#include "model/PlayList.h"

#include <QCoreApplication>
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
    return QCoreApplication::translate("ProjectFileLock", "磁盘已满：%1 所在的磁盘（%2）只剩 %3 字节，无法写入，项目文件未被修改。")
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

Outcome ProjectFileLock::lock(int waitMs)
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
        return {};
    // A folder where no lock file can be made (a read-only install) cannot
    // be written by the others either: reading goes on without the lock.
    if (m_lock.error() == QLockFile::PermissionError)
        return {};
    qint64 pid = 0;
    QString host, app;
    if (m_lock.error() == QLockFile::LockFailedError && m_lock.getLockInfo(&pid, &host, &app))
        return Outcome::failure(
            OutcomeCode::FileLocked,
            QCoreApplication::translate("ProjectFileLock", "项目文件 %1 正被其他程序使用（%2，进程 %3），请稍后再试。")
                .arg(m_projectFile, app)
                .arg(pid));
    if (const QString full = diskFullText(m_projectFile, kLockFileBytes); !full.isEmpty())
        return Outcome::failure(OutcomeCode::FileDiskFull, full);
    return Outcome::failure(OutcomeCode::FileLocked,
                            QCoreApplication::translate("ProjectFileLock", "无法锁定项目文件 %1（%2）。")
                                .arg(m_projectFile, lockPath(m_projectFile)));
}

Outcome editProjectFile(PlayList &list, const std::function<bool(PlayList &)> &change)
{
    const bool heldBefore = list.holdsProjectFileLock();
    if (!heldBefore)
        if (const Outcome locked = list.lockProjectFile(); !locked)
            return locked;
    struct Unlock {
        PlayList &list;
        bool keep;
        ~Unlock()
        {
            if (!keep)
                list.unlockProjectFile();
        }
    } unlock{list, heldBefore};

    list.clearItems();
    if (const Outcome loaded = list.load(); !loaded)
        return loaded;
    if (!change(list))
        return Outcome::failure(OutcomeCode::Cancelled, {});
    return list.save();
}
