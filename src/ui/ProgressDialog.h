#pragma once
// The modal dialog "进度" under which a long job (card search, send-all)
// runs: a colour bar, a status line, "确定" and "取消操作". 200 ms after it
// opens, its timer runs the job once, synchronously; the job pumps events
// at points of its own choosing, and only there can the user press cancel,
// which merely sets a flag the job reads. Both buttons stay disabled until
// the job sets them; "确定" is enabled at the latest when the job returns. Created on the stack by
// the command that needs it; the job is not owned.

#include "link/ProgressHost.h"

#include <QDialog>
#include <QTimer>

class GradientBar;
class QLabel;
class QPushButton;

class ProgressDialog : public QDialog, public ProgressHost {
    Q_OBJECT
public:
    // barRange: the bar's maximum. The questions of askYesNoCancel are
    // owned by parent's window (the main window).
    ProgressDialog(int barRange, ProgressJob *job, QWidget *parent = nullptr);
    ~ProgressDialog() override;

    // ProgressHost
    void setStatus(int position, const QString &text) override;
    void setButtons(bool okEnabled, bool cancelEnabled) override;
    bool isCancelled() const override { return m_cancelled; }
    bool askYesNo(const QString &text) override;
    Answer askYesNoCancel(const QString &text) override;

    // Cancel, Escape and the window manager's close only set the flag.
    void reject() override;

    QString statusText() const;
    int barPosition() const;
    GradientBar *bar() const { return m_bar; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }
    bool jobStarted() const { return m_jobStarted; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void runJob();

    ProgressJob *m_job;
    bool m_cancelled = false;
    bool m_jobStarted = false;
    QTimer m_startTimer;
    GradientBar *m_bar = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};
