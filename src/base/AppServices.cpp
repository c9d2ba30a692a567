#include "base/AppServices.h"
#include "base/Version.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QThread>
#include <QTimer>
#include <cstdio>

namespace {

// Used until a front end installs its own: never blocks, declines every
// question, and reports messages on stderr.
class FallbackUserInterface final : public UserInterface {
public:
    bool askYesNo(QObject *, const QString &) override { return false; }
    Answer askYesNoCancel(QObject *, const QString &) override { return Answer::Cancel; }
    void showMessage(QObject *, const QString &text, const QString &caption, MessageIcon) override
    {
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(caption), qUtf8Printable(text));
    }
};

FallbackUserInterface g_fallback;
UserInterface *g_ui = nullptr;
QString g_appDirOverride;

} // namespace

UserInterface &userInterface()
{
    return g_ui ? *g_ui : g_fallback;
}
void setUserInterface(UserInterface *ui)
{
    g_ui = ui;
}

QString cutMessage(const QString &text)
{
    if (text.size() <= kMaxMessageChars)
        return text;
    QString cut = text.left(kMaxMessageChars);
    // Never leave half of a surrogate pair at the end.
    if (cut.back().isHighSurrogate())
        cut.chop(1);
    return cut;
}

bool askYesNo(QObject *owner, const QString &text)
{
    return userInterface().askYesNo(owner, cutMessage(text));
}

Answer askYesNoCancel(QObject *owner, const QString &text)
{
    return userInterface().askYesNoCancel(owner, cutMessage(text));
}

void showMessage(QObject *owner, const QString &text, const QString &caption, MessageIcon icon)
{
    userInterface().showMessage(owner, cutMessage(text), caption, icon);
}

QString applicationTitle()
{
    return QStringLiteral("Brivane");
}

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

void setApplicationIdentity()
{
    QCoreApplication::setOrganizationName(QString());
    QCoreApplication::setApplicationName(applicationTitle());
    QCoreApplication::setApplicationVersion(QLatin1String(kBrivaneVersion));
}

bool fileExists(const QString &path, bool wantDirectory)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return false;
    return info.isDir() == wantDirectory;
}

void pumpMessages()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void waitPumping(int ms)
{
    if (ms <= 0)
        return;
    if (!QCoreApplication::instance()) {
        QThread::msleep(ulong(ms));
        return;
    }
    // A nested loop with a precise timer dispatches every event as it comes
    // and sleeps in the dispatcher in between, instead of spinning a core.
    // The clock decides when the wait is over, so an early wake-up (or a
    // loop that returns at once because the application is quitting) only
    // goes round again.
    QElapsedTimer clock;
    clock.start();
    for (qint64 left = ms; left > 0; left = ms - clock.elapsed()) {
        QEventLoop loop;
        QTimer::singleShot(int(left), Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
}
