#pragma once
// "亮度设置": the card's brightness 0 (darkest) to 15 (brightest) on a
// slider, read from the card when the dialog opens (the value "未知", the
// slider at 13, when the card does not answer) and sent with "设置"; the
// dialog stays open until "关闭".
// Nothing is stored in the project. Created on the stack by the command.

#include <QDialog>

class CardSession;
class QLabel;
class QPushButton;
class QSlider;

class BrightnessDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMinBrightness = 0;
    static constexpr int kMaxBrightness = 15;
    // The slider's place when the card's brightness cannot be read...
    static constexpr int kFallbackBrightness = 13;
    // ...and the value shown then, until the slider is moved.
    static QString unknownText();

    explicit BrightnessDialog(CardSession &card, QWidget *parent = nullptr);

    QSlider *slider() const { return m_slider; }
    QLabel *valueLabel() const { return m_value; }

    // "设置": sends the slider's position and reports the outcome.
    bool apply();

private:
    CardSession &m_card;
    QSlider *m_slider;
    QLabel *m_value;
    QPushButton *m_set;
    QPushButton *m_close;
};
