#include "ui/NumberSpinEdit.h"

#include "base/AtoiValue.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <algorithm>

namespace {
// Enough for every value an int holds, sign included.
constexpr int kMaxTypedChars = 11;
} // namespace

NumberSpinEdit::NumberSpinEdit(QWidget *parent) : QAbstractSpinBox(parent)
{
    lineEdit()->setMaxLength(kMaxTypedChars);
    // Keep whatever was typed when the field loses focus.
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(true);
    connect(lineEdit(), &QLineEdit::textChanged, this, &NumberSpinEdit::textChanged);
}

void NumberSpinEdit::setRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
}

void NumberSpinEdit::setAcceleration(int fastStep, int holdMs)
{
    m_fastStep = fastStep;
    m_holdMs = holdMs;
}

void NumberSpinEdit::setTextEditable(bool editable)
{
    lineEdit()->setReadOnly(!editable);
}

void NumberSpinEdit::setText(const QString &text)
{
    if (lineEdit()->text() != text)
        lineEdit()->setText(text);
}

void NumberSpinEdit::setValue(int value)
{
    setText(QString::number(value));
}

int NumberSpinEdit::value() const
{
    return atoiValue(lineEdit()->text());
}

void NumberSpinEdit::stepBy(int steps)
{
    const bool fast = m_fastStep > 0 && m_held.isValid() && m_held.elapsed() >= m_holdMs;
    const long long step = fast ? m_fastStep : m_step;
    const long long next = std::clamp<long long>(value() + step * steps, m_minimum, m_maximum);
    setValue(int(next));
    lineEdit()->selectAll();
}

// The base class knows no values, so room for the widest number of the range
// is added to its hint.
QSize NumberSpinEdit::sizeHint() const
{
    QSize hint = QAbstractSpinBox::sizeHint();
    const QString widest = QString::number(m_minimum).size() > QString::number(m_maximum).size()
                               ? QString::number(m_minimum)
                               : QString::number(m_maximum);
    hint.rwidth() += fontMetrics().horizontalAdvance(widest + u'0');
    return hint;
}

QSize NumberSpinEdit::minimumSizeHint() const
{
    return sizeHint();
}

QAbstractSpinBox::StepEnabled NumberSpinEdit::stepEnabled() const
{
    StepEnabled enabled = StepNone;
    if (!isEnabled())
        return enabled;
    const int v = value();
    if (v < m_maximum)
        enabled |= StepUpEnabled;
    if (v > m_minimum)
        enabled |= StepDownEnabled;
    return enabled;
}

QValidator::State NumberSpinEdit::validate(QString &input, int &) const
{
    for (qsizetype i = 0; i < input.size(); ++i) {
        const QChar c = input[i];
        if (c.isDigit() && c.unicode() < 0x80)
            continue;
        if (c == u'-' && i == 0 && m_minimum < 0)
            continue;
        return QValidator::Invalid;
    }
    return QValidator::Acceptable;
}

void NumberSpinEdit::mousePressEvent(QMouseEvent *event)
{
    m_held.start();
    QAbstractSpinBox::mousePressEvent(event);
}

void NumberSpinEdit::mouseReleaseEvent(QMouseEvent *event)
{
    m_held.invalidate();
    QAbstractSpinBox::mouseReleaseEvent(event);
}

void NumberSpinEdit::keyPressEvent(QKeyEvent *event)
{
    if (!event->isAutoRepeat())
        m_held.start();
    QAbstractSpinBox::keyPressEvent(event);
}

void NumberSpinEdit::keyReleaseEvent(QKeyEvent *event)
{
    if (!event->isAutoRepeat())
        m_held.invalidate();
    QAbstractSpinBox::keyReleaseEvent(event);
}
