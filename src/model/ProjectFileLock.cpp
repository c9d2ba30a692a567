#include "model/ProjectFileLock.h"

#include "model/PlayList.h"

#include <QDeadlineTimer>
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
        else
            *error = QStringLiteral("无法锁定项目文件 %1（%2）。")
                         .arg(m_projectFile, lockPath(m_projectFile));
    }
    return false;
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
