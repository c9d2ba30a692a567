#pragma once
// Where the command-line tool talks to its user: results on standard output,
// progress and messages on standard error, answers to questions from
// standard input. StdConsole is the process's own; tests use a recorder.
// Owned by main() (or the test) and lent to CliApp.

#include <QString>
#include <optional>

class Console {
public:
    virtual ~Console() = default;
    virtual void out(const QString &text) = 0;
    virtual void err(const QString &text) = 0;
    // Whether standard error is a terminal (live progress bar) and standard
    // input one (questions are asked by default).
    virtual bool errIsTerminal() const = 0;
    virtual bool inIsTerminal() const = 0;
    // Columns of the terminal behind standard error (80 when unknown).
    virtual int terminalColumns() const { return 80; }
    // One line of standard input without its line break; nothing at the end
    // of the input or when the wait was interrupted (Ctrl-C).
    virtual std::optional<QString> readLine() = 0;
};

class StdConsole final : public Console {
public:
    StdConsole();
    void out(const QString &text) override;
    void err(const QString &text) override;
    bool errIsTerminal() const override { return m_errTty; }
    bool inIsTerminal() const override { return m_inTty; }
    int terminalColumns() const override;
    std::optional<QString> readLine() override;

private:
    bool m_errTty;
    bool m_inTty;
};
