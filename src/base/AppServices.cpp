#include "base/AppServices.h"
#include "base/Version.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
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

void setApplicationIdentity()
{
    QCoreApplication::setOrganizationName(QString());
    QCoreApplication::setApplicationName(applicationTitle());
    QCoreApplication::setApplicationVersion(QLatin1String(kBrivaneVersion));
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
