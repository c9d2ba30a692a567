#include "cli/InterruptWatch.h"

#include <pthread.h>
#include <unistd.h>

namespace {

volatile sig_atomic_t g_presses = 0;

void onInterrupt(int)
{
    // Only async-signal-safe calls in here.
    if (g_presses == 0) {
        g_presses = 1;
        static const char note[] =
            "\nCancelling after the current program (Ctrl-C again stops at once)...\n";
        [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, note, sizeof note - 1);
        return;
    }
    static const char note[] = "\nStopped.\n";
    [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, note, sizeof note - 1);
    ::_exit(InterruptWatch::kImmediateExitCode);
}

} // namespace

InterruptWatch::InterruptWatch()
{
    g_presses = 0;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a question waiting on the terminal returns at once.
    action.sa_flags = 0;
    m_installed = ::sigaction(SIGINT, &action, &m_previous) == 0;
    // A parent may have started us with SIGINT blocked; a blocked press
    // would wait forever.
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    m_unblocked = ::pthread_sigmask(SIG_UNBLOCK, &interrupt, &m_previousMask) == 0;
}

InterruptWatch::~InterruptWatch()
{
    if (m_unblocked)
        ::pthread_sigmask(SIG_SETMASK, &m_previousMask, nullptr);
    if (m_installed)
        ::sigaction(SIGINT, &m_previous, nullptr);
    g_presses = 0;
}

bool InterruptWatch::interrupted()
{
    return g_presses != 0;
}
