#pragma once
// "屏幕开关": switches the card's screen on ("开屏") or off ("关屏") and stays
// open. Escape works as "关屏" and switches the screen off; only the close
// box ends the dialog, without sending anything. Created on the stack by
// the command.

#include <QDialog>

class CardSession;
class QPushButton;

class ScreenSwitchDialog : public QDialog {
    Q_OBJECT
public:
    explicit ScreenSwitchDialog(CardSession &card, QWidget *parent = nullptr);

    // Sends the power state and reports the outcome.
    bool switchScreen(bool on);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    CardSession &m_card;
    QPushButton *m_on;
    QPushButton *m_off;
};
