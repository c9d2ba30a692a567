#include "ui/ProgressDialog.h"

#include "ui/GradientBar.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {

// Places in pixels (dialog units x 1.5).
constexpr QSize kDialogSize(351, 104);
constexpr QRect kBarRect(10, 18, 330, 20);
constexpr QRect kStatusRect(10, 46, 330, 17);
constexpr QRect kOkRect(185, 72, 75, 21);
constexpr QRect kCancelRect(265, 72, 75, 21);
constexpr int kStartDelayMs = 200;

} // namespace

ProgressDialog::ProgressDialog(int barRange, ProgressJob *job, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_job(job)
{
    setWindowTitle(QCoreApplication::translate("ProgressDialog", "进度"));
    setModal(true);
    setFixedSize(kDialogSize);

    // The frame the bar sits in; the bar itself covers exactly the bar rectangle.
    auto *frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setGeometry(kBarRect.adjusted(-1, -1, 1, 1));
    m_bar = new GradientBar(barRange, QColor(0, 0, 255), QColor(0, 255, 0), this);
    m_bar->setGeometry(kBarRect);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("statusLine"));
    m_status->setGeometry(kStatusRect);

    m_ok = new QPushButton(QCoreApplication::translate("ProgressDialog", "确定"), this);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setGeometry(kOkRect);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QCoreApplication::translate("ProgressDialog", "取消操作"), this);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_cancel->setGeometry(kCancelRect);

    // Until the job has run, neither button acts: an Enter pressed at once
    // would otherwise close the dialog before the job ever starts.
    m_ok->setEnabled(false);
    m_cancel->setEnabled(false);

    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &ProgressDialog::reject);

    m_startTimer.setSingleShot(true);
    m_startTimer.setInterval(kStartDelayMs);
    connect(&m_startTimer, &QTimer::timeout, this, &ProgressDialog::runJob);
}

ProgressDialog::~ProgressDialog() = default;

void ProgressDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_jobStarted && !m_startTimer.isActive())
        m_startTimer.start();
}

void ProgressDialog::runJob()
{
    // Once only, even if the dialog is shown again.
    if (m_jobStarted)
        return;
    m_jobStarted = true;
    if (m_job)
        m_job->run(*this);
    // Every job ends with "确定" enabled; one that did not say so must not
    // leave a dialog nobody can close.
    if (!m_ok->isEnabled())
        setButtons(true, false);
}

void ProgressDialog::setStatus(int position, const QString &text)
{
    m_status->setText(text);
    m_bar->setPosition(position);
}

void ProgressDialog::setButtons(bool okEnabled, bool cancelEnabled)
{
    m_ok->setEnabled(okEnabled);
    m_cancel->setEnabled(cancelEnabled);
    if (okEnabled)
        m_ok->setFocus();
    if (cancelEnabled)
        m_cancel->setFocus();
}

bool ProgressDialog::askYesNo(const QString &text)
{
    return ::askYesNo(this, text);
}

Answer ProgressDialog::askYesNoCancel(const QString &text)
{
    return ::askYesNoCancel(parentWidget() ? parentWidget()->window() : nullptr, text);
}

void ProgressDialog::reject()
{
    m_cancelled = true;
}

void ProgressDialog::closeEvent(QCloseEvent *event)
{
    m_cancelled = true;
    event->ignore();
}

QString ProgressDialog::statusText() const
{
    return m_status->text();
}

int ProgressDialog::barPosition() const
{
    return m_bar->position();
}
