#include "ui/ScreenSwitchDialog.h"

#include "model/CardSession.h"
#include "ui/CommandResult.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>

ScreenSwitchDialog::ScreenSwitchDialog(CardSession &card, QWidget *parent)
    : QDialog(parent), m_card(card), m_on(new QPushButton(QCoreApplication::translate("ScreenSwitchDialog", "开屏"), this)),
      m_off(new QPushButton(QCoreApplication::translate("ScreenSwitchDialog", "关屏"), this))
{
    setWindowTitle(QCoreApplication::translate("ScreenSwitchDialog", "屏幕开关"));
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_on->setObjectName(QStringLiteral("on"));
    m_off->setObjectName(QStringLiteral("off"));
    m_on->setDefault(true);
    m_on->setMinimumSize(96, 32);
    m_off->setMinimumSize(96, 32);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(24);
    layout->addWidget(m_off);
    layout->addWidget(m_on);

    connect(m_on, &QPushButton::clicked, this, [this] { switchScreen(true); });
    connect(m_off, &QPushButton::clicked, this, [this] { switchScreen(false); });
}

bool ScreenSwitchDialog::switchScreen(bool on)
{
    const Outcome switched = m_card.setScreenPower(on);
    showCommandResult(this, switched);
    return switched.isOk();
}

void ScreenSwitchDialog::keyPressEvent(QKeyEvent *event)
{
    // "关屏" is the cancel button: Escape switches the screen off and the
    // dialog stays open. The close box still ends it (reject) silently.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        switchScreen(false);
        return;
    }
    QDialog::keyPressEvent(event);
}
