#pragma once
// Runs a long job (card search, send-all) on a terminal: a live bar with the
// status text on standard error when it is a terminal, one line per status
// change otherwise. Questions go to the TerminalUserInterface (the send's
// --on-error policy); Ctrl-C (InterruptWatch) is the cancel button.

#include "link/ProgressHost.h"

#include <QStringList>

class Console;
class TerminalUserInterface;

class TerminalProgressHost final : public ProgressHost {
public:
    TerminalProgressHost(Console &console, TerminalUserInterface &ui, int range);
    ~TerminalProgressHost() override;
    TerminalProgressHost(const TerminalProgressHost &) = delete;
    TerminalProgressHost &operator=(const TerminalProgressHost &) = delete;

    void setRange(int range) override { m_range = range > 0 ? range : 1; }
    void setStatus(int position, const QString &text) override;
    void setButtons(bool okEnabled, bool cancelEnabled) override;
    bool isCancelled() const override;
    bool askYesNo(const QString &text) override;
    Answer askYesNoCancel(const QString &text) override;

    // Ends the live bar's line; called when the job has returned.
    void finish();

    int range() const { return m_range; }
    int position() const { return m_position; }
    QString statusText() const { return m_text; }
    // Every distinct status text, in order.
    const QStringList &statusHistory() const { return m_history; }
    // The job enabled OK and disabled cancel: it has ended.
    bool ended() const { return m_okEnabled && !m_cancelEnabled; }

private:
    void drawBar(bool wholeText = false);
    void breakBarLine();

    Console &m_console;
    TerminalUserInterface &m_ui;
    int m_range;
    int m_position = 0;
    QString m_text;
    QStringList m_history;
    bool m_okEnabled = false;
    bool m_cancelEnabled = true;
    bool m_live;
    bool m_barShown = false;
};
