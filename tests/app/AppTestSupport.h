#pragma once
// Helpers for the main window tests: a driver that answers the modal
// windows a command opens, and screenshots on request.

#include "ui/GradientBar.h"
#include "ui/ProgressDialog.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

// With BRIVANE_SCREENSHOTS set to a folder, saves widget's window there as
// name.png (for looking at the states the tests reach).
inline void saveScreenshot(QWidget *widget, const QString &name)
{
    const QString dir = qEnvironmentVariable("BRIVANE_SCREENSHOTS");
    if (dir.isEmpty() || !widget)
        return;
    QDir().mkpath(dir);
    widget->window()->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

// Answers modal windows while it lives: a progress dialog is closed with
// "确定" once its job has finished (its last status and bar are kept), any
// other modal dialog is recorded and rejected, a popup menu is recorded and
// closed.
class ModalDriver {
public:
    struct Progress {
        QString status;
        int bar = 0;
        int range = 0;
    };

    ModalDriver()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(5);
    }

    std::vector<Progress> progress;
    QStringList dialogs;
    QStringList menus;

private:
    void poll()
    {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            menus << menu->title();
            menu->close();
            return;
        }
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *dialog = qobject_cast<ProgressDialog *>(modal)) {
            if (dialog->jobStarted() && dialog->okButton()->isEnabled() &&
                !dialog->cancelButton()->isEnabled()) {
                progress.push_back(
                    {dialog->statusText(), dialog->barPosition(), dialog->bar()->maximum()});
                saveScreenshot(dialog, QStringLiteral("progress-%1").arg(++m_progressShots));
                dialog->okButton()->click();
            }
            return;
        }
        if (auto *dialog = qobject_cast<QDialog *>(modal)) {
            dialogs << dialog->windowTitle();
            dialog->reject();
        }
    }

    QTimer m_timer;
    int m_progressShots = 0;
};
