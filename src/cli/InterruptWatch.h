#pragma once
// Ctrl-C during a send: the first press asks the running job to cancel (as
// the progress dialog's cancel button does: the current program finishes
// and the upload is closed properly), a second press ends the process at
// once. Installed for its lifetime (RAII) by the card verbs that run a long
// job; the previous handler comes back afterwards.

#include <csignal>

class InterruptWatch {
public:
    // Exit status of the process when a second Ctrl-C ends it.
    static constexpr int kImmediateExitCode = 1;

    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch &) = delete;
    InterruptWatch &operator=(const InterruptWatch &) = delete;

    // True once Ctrl-C was pressed while a watch was installed.
    static bool interrupted();

private:
    struct sigaction m_previous {};
    sigset_t m_previousMask{};
    bool m_installed = false;
    bool m_unblocked = false;
};
