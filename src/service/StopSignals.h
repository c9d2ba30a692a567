#pragma once
// SIGINT and SIGTERM for a long-running service (on Windows: Ctrl-C,
// Ctrl-Break and closing the console window): the handler only hands the
// event over; the stop callback then runs on the thread that owns this
// object, from its event loop. Installed for its lifetime (RAII); the
// previous handlers come back afterwards.

#include <QObject>
#include <functional>
#include <memory>

class StopSignals final : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(std::function<void(int signal)> onStop, QObject *parent = nullptr);
    ~StopSignals() override;

private:
    void stop(int signal);

    std::function<void(int)> m_onStop;
    // The platform's handlers, descriptors and previous state.
    struct Saved;
    std::unique_ptr<Saved> m_saved;
};
