#pragma once
// Ctrl-C during a send: the first press asks the running job to cancel (as
// the progress dialog's cancel button does: the current program finishes
// and the upload is closed properly), a second press ends the process at
// once. SIGTERM and SIGHUP (timeout, systemctl stop, a closed SSH session)
// count as presses, and so do Ctrl-Break and closing the console window on
// Windows. Installed for its lifetime (RAII) by the card verbs that run a
// long job; the previous handlers come back afterwards.

#include <memory>

class InterruptWatch {
public:
    // Exit status of the process when a second press ends it.
    static constexpr int kImmediateExitCode = 1;

    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch &) = delete;
    InterruptWatch &operator=(const InterruptWatch &) = delete;

    // True once a press arrived while a watch was installed.
    static bool interrupted();

private:
    // The platform's previous handlers and signal mask.
    struct Saved;
    std::unique_ptr<Saved> m_saved;
};
