#include "app/CellCombo.h"

#include <QAbstractItemView>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <algorithm>

namespace {

constexpr int kArrowWidth = 7;
constexpr int kTextMargin = 2; // left of the text
// The list view's frame and item margins beside the longest entry.
constexpr int kPopupSlack = 16;

} // namespace

CellCombo::CellCombo(QWidget *parent) : QComboBox(parent)
{
}

QRect CellCombo::arrowArea() const
{
    return QRect(width() - kArrowWidth - 2, 0, kArrowWidth, height());
}

QRect CellCombo::textArea() const
{
    const QRect arrow = arrowArea();
    return QRect(kTextMargin, 0, std::max(0, arrow.left() - kTextMargin - 1), height());
}

int CellCombo::popupWidth() const
{
    int widest = 0;
    for (int i = 0; i < count(); ++i)
        widest = std::max(widest, fontMetrics().horizontalAdvance(itemText(i)));
    return std::max(width(), widest + kPopupSlack);
}

void CellCombo::showPopup()
{
    view()->setMinimumWidth(popupWidth());
    QComboBox::showPopup();
}

void CellCombo::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    // The style's frame and background only; arrow and text are ours.
    option.subControls = QStyle::SC_ComboBoxFrame;
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);

    QStyleOption arrow;
    arrow.initFrom(this);
    arrow.rect = arrowArea().adjusted(0, height() / 2 - 4, 0, -(height() / 2 - 4));
    painter.drawPrimitive(QStyle::PE_IndicatorArrowDown, arrow);

    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(textArea(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     currentText());
}
