#pragma once
// The drop-down laid over a cell of the play list. A cell is narrow (the
// speed column is 50 pixels), and the style's own combo keeps a wide arrow
// button and padding, which clips "15(快)" and "单点快走". This one draws
// the frame, a narrow arrow and the current text over the rest of the cell,
// and opens a list at least as wide as its longest entry. Owned by the
// ProgramListView's viewport.

#include <QComboBox>

class CellCombo final : public QComboBox {
    Q_OBJECT
public:
    explicit CellCombo(QWidget *parent = nullptr);

    // Where the current text is drawn, in the combo's coordinates.
    QRect textArea() const;
    // The width of the open list: the cell's, or more when an entry needs it.
    int popupWidth() const;

    void showPopup() override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect arrowArea() const;
};
