#pragma once
// The play list as the user sees it: one report row per program item with
// six columns (the content column takes the width the list gains beyond the
// others' fixed widths), the kind icon, grid lines and full-row single
// selection, and four drop-down combos laid over the current row's cells
// for the properties edited in place. It only shows and reports; the main
// window decides what a selection, a click or a combo choice does.

#include <QTableWidget>
#include <array>

class ProgramItem;
class QComboBox;

class ProgramListView : public QTableWidget {
    Q_OBJECT
public:
    enum Column { KindColumn, ContentColumn, ActionColumn, SpeedColumn, FrameColumn, ClockColumn };
    static constexpr int kColumnCount = 6;
    // The columns' widths; the content column's is its smallest.
    static constexpr std::array<int, kColumnCount> kColumnWidths = {60, 270, 100, 50, 70, 60};

    explicit ProgramListView(QWidget *parent = nullptr);

    // Writes the row's image and six cell texts from item (adding the row's
    // cells if they are missing).
    void showItem(int row, const ProgramItem &item);
    // Sets the combos from item and lays them over row's cells.
    void placeCombos(int row, const ProgramItem &item);
    void hideCombos();
    bool combosVisible() const;

    // Selects row as the user would (current, scrolled into view, selected)
    // without reporting rowSelected.
    void selectRowQuietly(int row);
    // Removes row without reporting the selection that moves with it.
    void removeRowQuietly(int row);

    QComboBox *actionCombo() const { return m_action; }
    QComboBox *speedCombo() const { return m_speed; }
    QComboBox *frameCombo() const { return m_frame; }
    QComboBox *clockCombo() const { return m_clock; }

Q_SIGNALS:
    // A row became selected.
    void rowSelected(int row);
    void rowDoubleClicked(int row);
    // A right click on a row, at globalPos.
    void rowContextMenu(int row, const QPoint &globalPos);
    // The user chose an entry of a combo.
    void actionChosen(int index);
    void speedChosen(int index);
    void frameChosen(int index);
    void clockChosen(int index);

protected:
    bool viewportEvent(QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    QComboBox *makeCombo(const QStringList &entries);
    void moveCombos();
    void fitContentColumn();

    QComboBox *m_action = nullptr;
    QComboBox *m_speed = nullptr;
    QComboBox *m_frame = nullptr;
    QComboBox *m_clock = nullptr;
    int m_comboRow = -1;
    bool m_quiet = false;
};
