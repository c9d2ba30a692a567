#pragma once
// The progress dialog's segmented colour bar: range 0..max, a position, and
// segments shaded from the start colour to the end colour. Owned by its
// ProgressDialog.

#include <QColor>
#include <QWidget>

class GradientBar : public QWidget {
    Q_OBJECT
public:
    GradientBar(int max, const QColor &start, const QColor &end, QWidget *parent = nullptr);

    int maximum() const { return m_max; }
    int position() const { return m_position; }
    // Ignored (the bar keeps its position) outside 0..maximum.
    void setPosition(int position);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_max;
    int m_position = 0;
    QColor m_start;
    QColor m_end;
};
