#include "cli/InterruptWatch.h"

#include "base/Language.h"

#include <cstring>

#include <QtGlobal>
#include <atomic>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <csignal>
#include <pthread.h>
#include <unistd.h>
#endif

namespace {

// Set from a signal handler (POSIX) or the console's control thread
// (Windows): a lock-free atomic is safe in both.
std::atomic<int> g_presses{0};
static_assert(std::atomic<int>::is_always_lock_free);

// The notes in the chosen language, made before a handler is installed
// (a handler may only write bytes).
char g_firstNote[512];
char g_secondNote[128];

void prepareNote(char *note, std::size_t capacity, const QString &text)
{
    const QByteArray bytes = text.toUtf8().left(qsizetype(capacity) - 1);
    std::memcpy(note, bytes.constData(), std::size_t(bytes.size()));
    note[bytes.size()] = '\0';
}

void prepareNotes()
{
    prepareNote(g_firstNote, sizeof g_firstNote,
                trEn("Cli", "\nCancelling after the current program (Ctrl-C again stops at "
                            "once)...\n"));
    prepareNote(g_secondNote, sizeof g_secondNote, trEn("Cli", "\nStopped.\n"));
}

#ifdef Q_OS_WIN

void writeNote(const char *text, DWORD size)
{
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, size, &written, nullptr);
}

// Runs on a thread the system starts for each console event.
BOOL WINAPI onConsoleEvent(DWORD event)
{
    if (g_presses.fetch_add(1) == 0) {
        writeNote(g_firstNote, DWORD(std::strlen(g_firstNote)));
        // Closing the window, logging off and shutting down end the process
        // as soon as this returns: give the job the few seconds the system
        // allows to finish its program and close the upload.
        if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
            Sleep(4500);
        return TRUE;
    }
    writeNote(g_secondNote, DWORD(std::strlen(g_secondNote)));
    ExitProcess(UINT(InterruptWatch::kImmediateExitCode));
}

#else

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kSignalCount = int(sizeof kSignals / sizeof kSignals[0]);

void onSignal(int)
{
    // Only async-signal-safe calls in here.
    if (g_presses.fetch_add(1) == 0) {
        [[maybe_unused]] const ssize_t n =
            ::write(STDERR_FILENO, g_firstNote, std::strlen(g_firstNote));
        return;
    }
    [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, g_secondNote, std::strlen(g_secondNote));
    ::_exit(InterruptWatch::kImmediateExitCode);
}

#endif

} // namespace

#ifdef Q_OS_WIN

struct InterruptWatch::Saved {
    bool installed = false;
};

InterruptWatch::InterruptWatch() : m_saved(std::make_unique<Saved>())
{
    g_presses = 0;
    prepareNotes();
    m_saved->installed = SetConsoleCtrlHandler(onConsoleEvent, TRUE) != 0;
}

InterruptWatch::~InterruptWatch()
{
    if (m_saved->installed)
        SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    g_presses = 0;
}

#else

struct InterruptWatch::Saved {
    struct sigaction previous[kSignalCount] {};
    bool installed[kSignalCount] = {};
    sigset_t previousMask{};
    bool unblocked = false;
};

InterruptWatch::InterruptWatch() : m_saved(std::make_unique<Saved>())
{
    g_presses = 0;
    prepareNotes();
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a question waiting on the terminal returns at once.
    action.sa_flags = 0;
    sigset_t watched;
    sigemptyset(&watched);
    for (int i = 0; i < kSignalCount; ++i) {
        // nohup ignores SIGHUP on purpose: the send goes on when the session
        // closes, so an ignored hang-up stays ignored.
        struct sigaction current {};
        if (kSignals[i] == SIGHUP && ::sigaction(SIGHUP, nullptr, &current) == 0 &&
            current.sa_handler == SIG_IGN)
            continue;
        m_saved->installed[i] = ::sigaction(kSignals[i], &action, &m_saved->previous[i]) == 0;
        sigaddset(&watched, kSignals[i]);
    }
    // A parent may have started us with these signals blocked; a blocked
    // press would wait forever.
    m_saved->unblocked = ::pthread_sigmask(SIG_UNBLOCK, &watched, &m_saved->previousMask) == 0;
}

InterruptWatch::~InterruptWatch()
{
    if (m_saved->unblocked)
        ::pthread_sigmask(SIG_SETMASK, &m_saved->previousMask, nullptr);
    for (int i = 0; i < kSignalCount; ++i)
        if (m_saved->installed[i])
            ::sigaction(kSignals[i], &m_saved->previous[i], nullptr);
    g_presses = 0;
}

#endif

bool InterruptWatch::interrupted()
{
    return g_presses != 0;
}
