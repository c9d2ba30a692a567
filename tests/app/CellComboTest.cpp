// The in-place combos of the play list: every entry of every value table
// shows whole, in the window's font, at the list's fixed column widths.
#include "app/CellCombo.h"
#include "app/ProgramListView.h"
#include "model/PlayList.h"
#include "model/TextItem.h"
#include "ui/DialogFont.h"

#include <QApplication>
#include <QFont>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(CellCombo, EveryEntryShowsWholeInTheCellAndInTheList)
{
    // The window's font, as the application sets it.
    const QFont oldFont = QApplication::font();
    setUpDialogFont();
    {
        PlayList project;
        TextItem item(&project);
        ProgramListView list;
        list.resize(640, 200);
        list.setRowCount(1);
        list.showItem(0, item);
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
        list.placeCombos(0, item);
        const struct {
            QComboBox *combo;
            int column;
        } combos[] = {{list.actionCombo(), ProgramListView::ActionColumn},
                      {list.speedCombo(), ProgramListView::SpeedColumn},
                      {list.frameCombo(), ProgramListView::FrameColumn},
                      {list.clockCombo(), ProgramListView::ClockColumn}};
        for (const auto &c : combos) {
            auto *cell = qobject_cast<CellCombo *>(c.combo);
            ASSERT_NE(cell, nullptr);
            // The cell widths stay.
            EXPECT_EQ(cell->width(), ProgramListView::kColumnWidths[size_t(c.column)]);
            for (int i = 0; i < cell->count(); ++i) {
                const int needed = cell->fontMetrics().horizontalAdvance(cell->itemText(i));
                EXPECT_LE(needed, cell->textArea().width()) << cell->itemText(i).toStdString();
                EXPECT_GE(cell->popupWidth(), needed) << cell->itemText(i).toStdString();
            }
        }
    }
    QApplication::setFont(oldFont);
}

} // namespace
