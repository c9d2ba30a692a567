#pragma once
// A number field with up and down arrows, as the editors use it: the text is
// typed freely (digits, and a minus sign where the range allows negative
// values) and taken as typed, while only the arrows and arrow keys keep to
// the range. Optionally the arrows step faster once held for a while.
// Owned by the dialog that hosts it.

#include <QAbstractSpinBox>
#include <QElapsedTimer>

class NumberSpinEdit : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit NumberSpinEdit(QWidget *parent = nullptr);

    void setRange(int minimum, int maximum);
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    void setSingleStep(int step) { m_step = step; }
    int singleStep() const { return m_step; }
    // Once an arrow (mouse or key) has been held for holdMs, each step moves
    // by fastStep instead of the single step.
    void setAcceleration(int fastStep, int holdMs);
    // A field that is not editable changes only through its arrows.
    void setTextEditable(bool editable);

    void setText(const QString &text);
    void setValue(int value);
    // The text read as a whole number (0 when it holds no digits).
    int value() const;

    void stepBy(int steps) override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    // Every change of the text, typed or stepped.
    void textChanged(const QString &text);

protected:
    StepEnabled stepEnabled() const override;
    QValidator::State validate(QString &input, int &pos) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    int m_minimum = 0;
    int m_maximum = 99;
    int m_step = 1;
    int m_fastStep = 0;
    int m_holdMs = 0;
    QElapsedTimer m_held;
};
