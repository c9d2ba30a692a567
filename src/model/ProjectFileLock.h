#pragma once
// The lock beside a project file: a QLockFile "<file>.lock" that every
// read-change-write of the file holds, so that two programs (the GUI, the
// command-line tool, the service) changing one file serialise instead of
// the last writer dropping the other's change. A lock whose holder died is
// taken over at once; one whose holder hangs after kStaleMs.

#include "model/Outcome.h"

#include <QLockFile>
#include <QString>
#include <functional>

class PlayList;

class ProjectFileLock {
public:
    // A holder that keeps the lock longer than this is taken for dead.
    static constexpr int kStaleMs = 60000;
    // How long a caller waits for the lock before it gives up, trying again
    // every kPollMs: twenty scripts started at once on a slow box all get
    // their turn.
    static constexpr int kWaitMs = 90000;
    static constexpr int kPollMs = 20;
    // What a lock file takes on disk (one block).
    static constexpr qint64 kLockFileBytes = 4096;

    explicit ProjectFileLock(const QString &projectFile);
    ProjectFileLock(const ProjectFileLock &) = delete;
    ProjectFileLock &operator=(const ProjectFileLock &) = delete;

    // Waits up to waitMs. FileLocked naming the holder when known,
    // FileDiskFull when no lock file fits on the disk.
    Outcome lock(int waitMs = kWaitMs);
    static QString lockPath(const QString &projectFile);

private:
    QString m_projectFile;
    QLockFile m_lock;
};

// The user's text for a write beside projectFile that failed because its
// disk is full (fewer than `needed` bytes free there): names the folder and
// the disk, not the lock or temporary file. Empty when the disk has room.
QString diskFullText(const QString &projectFile, qint64 needed);
QString diskFullText(const QString &projectFile, qint64 needed, qint64 bytesAvailable,
                     const QString &diskName);

// One read-change-write of list's file under its lock: loads the file
// afresh into list (its items are replaced), lets change edit it and, when
// change returns true, saves it. The lock's, the load's (a missing file
// too) or the save's outcome when one fails, Cancelled (no text) when change
// declines. The service calls this for every change.
Outcome editProjectFile(PlayList &list, const std::function<bool(PlayList &)> &change);
