#include "ui/GradientBar.h"

#include "link/GradientBarGeometry.h"

#include <QPainter>

GradientBar::GradientBar(int max, const QColor &start, const QColor &end, QWidget *parent)
    : QWidget(parent), m_max(max), m_start(start), m_end(end)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setObjectName(QStringLiteral("gradientBar"));
}

void GradientBar::setPosition(int position)
{
    if (position < 0 || position > m_max)
        return;
    m_position = position;
    update();
}

void GradientBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const auto segments =
        GradientBarGeometry::segments(width(), height(), m_max, m_position, m_start, m_end);
    for (const auto &segment : segments)
        painter.fillRect(segment.rect, segment.color);
}
