#pragma once
// One card verb on several signs at once: one worker thread per sign, each
// with its own CardSession (and, for send, its own copy of the play list), the
// calling thread printing each sign's line as it finishes and the progress of
// all of them on standard error, Ctrl-C (InterruptWatch) cancelling all.
// A sign's failure never stops the others. Used by the card verbs when more
// than one sign is named; one sign runs the same job on the calling thread.

#include "cli/TerminalUserInterface.h"
#include "link/ControllerInfo.h"
#include "link/ProgressHost.h"
#include "link/ScreenParams.h"
#include "model/SendReport.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class Console;

// One sign a command goes to: its name (the sign list's, or the port as
// given), its port name and the port number it was given for this run.
struct SignTarget {
    QString name;
    QString port;
    int number = 0;
};

// What the job for one sign reports back.
struct SignResult {
    int code = 0;        // the exit code the command would give on this sign alone
    QString outcome;     // "ok", "partial", "no-card", "unsupported", "cancelled"
    QString error;       // why it did not succeed
    QString summary;     // the rest of the sign's output line
    QJsonObject details; // the verb's own fields for --json
    // What one sign's own output shows.
    int port = 0;          // the port the card was reached on
    bool cardSeen = false; // the card answered the model query
    ControllerInfo card;
    std::optional<ScreenParams> params; // info: the record, when read
    int brightness = -1;                // info, brightness: the level, when read
    SendReport report;                  // send: its report, when it ran
    QJsonArray warnings;                // send: the programs' warnings for this card
};

// The progress host of one sign's worker: keeps the status for the calling
// thread to show, answers the send's questions by the --on-error policy
// (asking is not possible for several signs: Ask acts as Stop) and reads the
// shared cancel flag. Never touches the terminal.
class SignHost final : public ProgressHost {
public:
    SignHost(const std::atomic<bool> &cancel, TerminalUserInterface::Policy policy, int retries);

    void setRange(int range) override;
    void setStatus(int position, const QString &text) override;
    void setButtons(bool, bool) override {}
    bool isCancelled() const override { return m_cancel.load(); }
    bool askYesNo(const QString &text) override;
    Answer askYesNoCancel(const QString &text) override;
    void pumpMessages() override {}
    void waitPumping(int ms) override { sleep(ms); }

    struct Snapshot {
        int percent = -1; // -1: no bar
        QString text;
        int changes = 0;
    };
    Snapshot snapshot() const;

private:
    bool takeRetry();

    const std::atomic<bool> &m_cancel;
    TerminalUserInterface::Policy m_policy;
    int m_retries;
    int m_retriesUsed = 0;
    mutable std::mutex m_mutex;
    int m_range = 0;
    int m_position = 0;
    QString m_text;
    int m_changes = 0;
};

class MultiSign {
public:
    using Job = std::function<void(const SignTarget &, ProgressHost &, SignResult &)>;

    MultiSign(Console &console, bool json, TerminalUserInterface::Policy policy, int retries);

    // Runs job for every target, each on its own thread, and returns the
    // results in target order once all have ended.
    std::vector<SignResult> run(const std::vector<SignTarget> &targets, const Job &job);

    // 0 when every sign succeeded, 3 when none could be reached, else 1.
    static int exitCode(const std::vector<SignResult> &results);
    // One object per sign: name, port, outcome, ok, and the failure shape
    // (error, code) or the verb's fields.
    static QJsonArray toJson(const std::vector<SignTarget> &targets,
                             const std::vector<SignResult> &results);
    // The sign's output line.
    static QString line(const SignTarget &target, const SignResult &result);

private:
    void drawProgress(const std::vector<SignTarget> &targets,
                      const std::vector<std::unique_ptr<SignHost>> &hosts,
                      const std::vector<bool> &finished, std::vector<int> &seenChanges);

    Console &m_console;
    bool m_json;
    TerminalUserInterface::Policy m_policy;
    int m_retries;
    bool m_barShown = false;
};
