#include "service/StopSignals.h"

#include <QtGlobal>
#include <csignal>

#ifdef Q_OS_WIN
#include <QMetaObject>
#include <atomic>
#include <windows.h>
#else
#include <QSocketNotifier>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>
#endif

void StopSignals::stop(int signal)
{
    if (m_onStop)
        m_onStop(signal);
}

#ifdef Q_OS_WIN

namespace {

// The installed watcher; the console runs its handler on a thread of its own.
std::atomic<StopSignals *> g_watcher{nullptr};

} // namespace

struct StopSignals::Saved {
    bool installed = false;

    static BOOL WINAPI onConsoleEvent(DWORD event)
    {
        StopSignals *watcher = g_watcher.load();
        if (!watcher)
            return FALSE;
        const bool closing =
            event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT;
        const int signal = closing ? SIGTERM : SIGINT;
        // Queued: the callback runs on the owner's thread, from its event loop.
        QMetaObject::invokeMethod(
            watcher, [watcher, signal] { watcher->stop(signal); }, Qt::QueuedConnection);
        // The process ends as soon as a close event returns: leave the
        // service the few seconds the system allows to stop cleanly.
        if (closing)
            Sleep(4500);
        return TRUE;
    }
};

StopSignals::StopSignals(std::function<void(int)> onStop, QObject *parent)
    : QObject(parent), m_onStop(std::move(onStop)), m_saved(std::make_unique<Saved>())
{
    g_watcher = this;
    m_saved->installed = SetConsoleCtrlHandler(&Saved::onConsoleEvent, TRUE) != 0;
}

StopSignals::~StopSignals()
{
    if (m_saved->installed)
        SetConsoleCtrlHandler(&Saved::onConsoleEvent, FALSE);
    g_watcher = nullptr;
}

#else

namespace {

int g_pipe[2] = {-1, -1};

void onSignal(int signal)
{
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
}

} // namespace

struct StopSignals::Saved {
    std::unique_ptr<QSocketNotifier> notifier; // goes before the pipe's descriptors
    struct sigaction previousInt {};
    struct sigaction previousTerm {};
    bool installed = false;
};

StopSignals::StopSignals(std::function<void(int)> onStop, QObject *parent)
    : QObject(parent), m_onStop(std::move(onStop)), m_saved(std::make_unique<Saved>())
{
    if (::pipe(g_pipe) != 0)
        return;
    for (const int fd : g_pipe)
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    ::fcntl(g_pipe[1], F_SETFL, O_NONBLOCK);
    m_saved->notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(m_saved->notifier.get(), &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        if (::read(g_pipe[0], &byte, 1) == 1)
            stop(int(byte));
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    m_saved->installed = ::sigaction(SIGINT, &action, &m_saved->previousInt) == 0 &&
                         ::sigaction(SIGTERM, &action, &m_saved->previousTerm) == 0;
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

StopSignals::~StopSignals()
{
    if (m_saved->installed) {
        ::sigaction(SIGINT, &m_saved->previousInt, nullptr);
        ::sigaction(SIGTERM, &m_saved->previousTerm, nullptr);
    }
    m_saved->notifier.reset();
    for (int &fd : g_pipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

#endif
