#include "sim/StopRequest.h"

#include <QtGlobal>
#include <csignal>

#ifdef Q_OS_WIN
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace {
std::atomic<bool> g_stop{false};
extern "C" void noteStop(int)
{
    g_stop = true;
}
} // namespace

struct StopRequest::Signals {
};

StopRequest::StopRequest()
{
    std::signal(SIGINT, noteStop);
    std::signal(SIGTERM, noteStop);
    std::signal(SIGBREAK, noteStop);
}

bool StopRequest::wait(int ms)
{
    using namespace std::chrono;
    const auto end = steady_clock::now() + milliseconds(ms);
    while (!g_stop && steady_clock::now() < end)
        std::this_thread::sleep_for(milliseconds(std::min(ms, 20)));
    return g_stop;
}

#else
#include <ctime>
#include <memory>
#include <pthread.h>

struct StopRequest::Signals {
    sigset_t set;
};

StopRequest::StopRequest() : m_signals(std::make_unique<Signals>())
{
    sigset_t *signals = &m_signals->set;
    sigemptyset(signals);
    sigaddset(signals, SIGINT);
    sigaddset(signals, SIGTERM);
    sigaddset(signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, signals, nullptr);
}

bool StopRequest::wait(int ms)
{
    timespec tick{ms / 1000, long(ms % 1000) * 1'000'000};
    return sigtimedwait(&m_signals->set, nullptr, &tick) > 0;
}
#endif

StopRequest::~StopRequest() = default;
