#pragma once
// SIGINT and SIGTERM for a long-running service: the handler only writes a
// byte to a pipe; the stop callback then runs on the thread that owns this
// object, from its event loop. Installed for its lifetime (RAII); the
// previous handlers come back afterwards.

#include <QObject>
#include <csignal>
#include <functional>

class QSocketNotifier;

class StopSignals final : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(std::function<void(int signal)> onStop, QObject *parent = nullptr);
    ~StopSignals() override;

private:
    std::function<void(int)> m_onStop;
    QSocketNotifier *m_notifier = nullptr; // child
    struct sigaction m_previousInt {};
    struct sigaction m_previousTerm {};
    bool m_installed = false;
};
