#pragma once
// What a long operation (card search, send-all) needs from whoever runs it:
// the GUI's progress dialog, the command-line tool's terminal bar, or a test
// recorder. The job runs synchronously and pumps events at points of its own
// choosing; the cancel flag is read only there.

#include "base/AppServices.h"

#include <QString>
#include <QThread>

class ProgressHost {
public:
    virtual ~ProgressHost() = default;
    // The bar's range: the job sets it before its first status (a host made
    // with a range of its own may keep that).
    virtual void setRange(int range) { (void)range; }
    // The status line shows text, then the bar moves to position.
    virtual void setStatus(int position, const QString &text) = 0;
    // Enables or disables the OK and the cancel button.
    virtual void setButtons(bool okEnabled, bool cancelEnabled) = 0;
    virtual bool isCancelled() const = 0;
    // Caption "提示", Yes and No, owned by the progress host.
    virtual bool askYesNo(const QString &text) { return ::askYesNo(nullptr, text); }
    // Caption "提示", Yes, No and Cancel, owned by the main window.
    virtual Answer askYesNoCancel(const QString &text) { return ::askYesNoCancel(nullptr, text); }
    virtual void pumpMessages() { ::pumpMessages(); }
    virtual void waitPumping(int ms) { ::waitPumping(ms); }
    // A plain wait of the job (no events dispatched), e.g. the pause between
    // two exchanges.
    virtual void sleep(int ms) { QThread::msleep(ulong(ms > 0 ? ms : 0)); }
};

// A long operation run by a ProgressHost.
class ProgressJob {
public:
    virtual ~ProgressJob() = default;
    virtual void run(ProgressHost &host) = 0;
};
