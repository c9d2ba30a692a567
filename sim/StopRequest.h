#pragma once
// Ctrl+C and SIGTERM (and SIGHUP on POSIX systems) as a request for
// brivane-cardsim to stop, polled by its main loop. On POSIX systems the
// signals are blocked and taken by sigtimedwait, never by a handler:
// construct this before any thread starts, so every thread inherits the
// mask. On Windows a handler only sets a flag. One per program, owned by
// main().

#include <memory>

class StopRequest {
public:
    StopRequest();
    ~StopRequest();
    StopRequest(const StopRequest &) = delete;
    StopRequest &operator=(const StopRequest &) = delete;

    // Waits up to ms for a stop request; true once one arrived.
    bool wait(int ms);

private:
    struct Signals; // the signal set taken (POSIX)
    std::unique_ptr<Signals> m_signals;
};
