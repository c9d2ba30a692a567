#pragma once
// The command-line tool's answer to the program's questions and messages.
// Questions of a send (resend the clear command? resend, skip or stop after
// a failed program?) are answered by the --on-error policy: asked on the
// terminal, or answered at once (retry up to N times, skip, stop), and every
// question is echoed on standard error with its answer so a log shows what
// happened. Messages go to standard error. Installed for its lifetime.

#include "base/AppServices.h"

class Console;

class TerminalUserInterface final : public UserInterface {
public:
    enum class Policy { Ask, Retry, Skip, Stop };

    TerminalUserInterface(Console &console, Policy policy, int retries);
    ~TerminalUserInterface() override;
    TerminalUserInterface(const TerminalUserInterface &) = delete;
    TerminalUserInterface &operator=(const TerminalUserInterface &) = delete;

    void setPolicy(Policy policy, int retries);
    Policy policy() const { return m_policy; }
    // A new step of the job began: the retry count starts again.
    void resetRetries() { m_retriesUsed = 0; }

    bool askYesNo(QObject *owner, const QString &text) override;
    Answer askYesNoCancel(QObject *owner, const QString &text) override;
    void showMessage(QObject *owner, const QString &text, const QString &caption,
                     MessageIcon icon) override;

    // Messages with the error or warning icon shown so far (load and save
    // failures arrive this way).
    int errorMessageCount() const { return m_errorMessages; }

private:
    // Retry policy: true while retries are left (and counts one).
    bool takeRetry();

    Console &m_console;
    Policy m_policy;
    int m_retries;
    int m_retriesUsed = 0;
    int m_errorMessages = 0;
};
