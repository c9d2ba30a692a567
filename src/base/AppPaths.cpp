#include "base/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {
QString g_appDirOverride;
} // namespace

void setAppDirOverride(const QString &dir)
{
    g_appDirOverride = dir;
}

QString appFilePath(const QString &name)
{
    QString dir = g_appDirOverride;
    if (dir.isEmpty())
        dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                           : QDir::currentPath();
    if (!dir.endsWith(QLatin1Char('/')) && !dir.endsWith(QLatin1Char('\\')))
        dir += QLatin1Char('/');
    return dir + name;
}

QString defaultProjectFileName()
{
    return QStringLiteral("default.brivprj");
}

namespace {

// Whether a new file can be created in dir. The permission bits alone do not
// tell (they ignore Windows ACLs, read-only mounts and quotas), so a
// temporary file is tried when they allow it; it is removed at once.
bool takesNewFiles(const QString &dir)
{
    const QFileInfo info(dir);
    if (!info.isDir() || !info.isWritable())
        return false;
    QTemporaryFile probe(QDir(dir).filePath(QStringLiteral(".brivane-probe-XXXXXX")));
    return probe.open();
}

// On Windows a program under Program Files is an installed one: that folder
// holds programs only, even where files could be made there (by an
// administrator, or under Wine, which enforces no access rights).
bool isProgramFilesFolder(const QString &dir)
{
#ifdef Q_OS_WIN
    const QString path = QDir::cleanPath(QFileInfo(dir).absoluteFilePath());
    for (const char *variable : {"ProgramFiles", "ProgramW6432", "ProgramFiles(x86)"}) {
        const QString root =
            QDir::cleanPath(QDir::fromNativeSeparators(qEnvironmentVariable(variable)));
        if (root.isEmpty() || root == QLatin1String("."))
            continue;
        if (path.compare(root, Qt::CaseInsensitive) == 0 ||
            path.startsWith(root + QLatin1Char('/'), Qt::CaseInsensitive))
            return true;
    }
#else
    Q_UNUSED(dir);
#endif
    return false;
}

} // namespace

QString chooseDataFilePath(const QString &name, const QString &besideDir, const QString &dataDir)
{
    if (dataDir.isEmpty() || (!isProgramFilesFolder(besideDir) && takesNewFiles(besideDir)))
        return QDir(besideDir).filePath(name);
    QDir().mkpath(dataDir);
    return QDir(dataDir).filePath(name);
}

QString defaultProjectFilePath()
{
    // Pictures with relative paths ask for this while rendering, maybe on
    // several threads: the folder is probed once per executable folder.
    static QMutex mutex;
    static QString cachedBeside;
    static QString cachedPath;
    const QString beside = QFileInfo(appFilePath(QString())).absolutePath();
    const QMutexLocker lock(&mutex);
    if (cachedPath.isEmpty() || cachedBeside != beside) {
        cachedBeside = beside;
        cachedPath = chooseDataFilePath(
            defaultProjectFileName(), beside,
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    }
    return cachedPath;
}

bool fileExists(const QString &path, bool wantDirectory)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return false;
    return info.isDir() == wantDirectory;
}

QString guiSettingsPath()
{
    if (qEnvironmentVariableIsSet("BRIVANE_SETTINGS"))
        return qEnvironmentVariable("BRIVANE_SETTINGS");
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("brivane"),
                             QStringLiteral("brivane"));
    return settings.fileName();
}
