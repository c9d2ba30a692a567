#include "UiTestSupport.h"

#include "common/BdfFont.h"
#include "model/PictureItem.h"
#include "model/TextItem.h"
#include "ui/ItemEditorDialog.h"
#include "ui/NumberSpinEdit.h"
#include "ui/PictureEditorPage.h"
#include "ui/PreviewPanel.h"
#include "ui/TextEditorPage.h"

#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>

using UiTest::choose;
using UiTest::fieldText;
using UiTest::retype;

namespace {

// An item of a kind the editor does not know (or of a known type number but
// another class).
class OddItem final : public ProgramItem {
public:
    OddItem(PlayList *project, int type) : ProgramItem(type, &project->renderContext()) {}
    void buildPages() override
    {
        clearPages();
        addBlankPage();
    }
};

QString status(int count, int page)
{
    return QStringLiteral("当前信息共有 %1 页，当前预览的是第 %2 页。").arg(count).arg(page);
}

class ItemEditorTest : public ::testing::Test {
protected:
    NumberSpinEdit *stay(ItemEditorDialog &d) { return d.findChild<NumberSpinEdit *>("stayTime"); }
    NumberSpinEdit *interval(ItemEditorDialog &d)
    {
        return d.findChild<NumberSpinEdit *>("flashInterval");
    }
    QComboBox *level(ItemEditorDialog &d) { return d.findChild<QComboBox *>("level"); }
    QComboBox *flash(ItemEditorDialog &d) { return d.findChild<QComboBox *>("flash"); }

    PlayList project;
};

TEST_F(ItemEditorTest, HostsThePageOfTheItemsKind)
{
    TextItem text(&project);
    PictureItem picture(&project);
    OddItem odd(&project, 7);
    OddItem fakeText(&project, ProgramItem::TextType);
    {
        ItemEditorDialog dialog(&text);
        EXPECT_NE(qobject_cast<TextEditorPage *>(dialog.page()), nullptr);
        EXPECT_EQ(dialog.windowTitle(), "信息编辑器");
        EXPECT_EQ(dialog.preview()->item(), &text);
    }
    {
        ItemEditorDialog dialog(&picture);
        EXPECT_NE(qobject_cast<PictureEditorPage *>(dialog.page()), nullptr);
    }
    for (ProgramItem *other :
         {static_cast<ProgramItem *>(&odd), static_cast<ProgramItem *>(&fakeText)}) {
        // Neither kind: nothing to edit, the dialog ends at once.
        ItemEditorDialog dialog(other);
        EXPECT_FALSE(dialog.hasPage());
        EXPECT_EQ(dialog.run(), QDialog::Rejected);
        EXPECT_FALSE(dialog.isVisible());
    }
}

// "新建文本..." opens the editor to type the text: the focus starts there,
// not in the stay time field.
TEST_F(ItemEditorTest, ATextProgramIsEditedInItsTextFirst)
{
    TextItem text(&project);
    ItemEditorDialog dialog(&text);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("text"));
}

TEST_F(ItemEditorTest, FillsFromTheItemWithoutWritingBack)
{
    TextItem item(&project);
    item.setFlash(1);
    item.setDelay(2);
    item.setFlashDelay(5);
    item.setLevel(15);
    ItemEditorDialog dialog(&item);
    EXPECT_EQ(fieldText(stay(dialog)), "6"); // the stay time that is sent
    EXPECT_EQ(fieldText(interval(dialog)), "5");
    EXPECT_EQ(level(dialog)->currentText(), "15(慢)");
    EXPECT_EQ(flash(dialog)->currentText(), "亮灭闪");
    EXPECT_EQ(item.delay(), 2);
    EXPECT_EQ(item.flashDelay(), 5);
    EXPECT_EQ(item.level(), 15);
    EXPECT_EQ(stay(dialog)->minimum(), 0);
    EXPECT_EQ(stay(dialog)->maximum(), 255);
    EXPECT_EQ(interval(dialog)->minimum(), 2);
    EXPECT_EQ(interval(dialog)->maximum(), 255);
    EXPECT_FALSE(level(dialog)->toolTip().isEmpty());
}

TEST_F(ItemEditorTest, StayTimeRebuildsOnlyWhenItCrossesZero)
{
    struct Case {
        int flash, delay;
        const char *typed;
        bool rebuilds;
    };
    const Case cases[] = {
        {0, 0, "3", true},   // stay time 0 -> 3
        {0, 3, "4", false},  // 3 -> 4
        {0, 3, "0", true},   // 3 -> 0
        {0, 3, "", true},    // an empty field reads as 0
        {1, 0, "0", false},  // flashing: the stay time stays flashdelay + 1
        {0, 4, "300", false} // stored as typed, beyond the arrows' range
    };
    for (const Case &c : cases) {
        TextItem item(&project);
        item.setFlash(c.flash);
        item.setDelay(c.delay);
        ItemEditorDialog dialog(&item);
        dialog.show();
        // Emptied pages show whether the edit rebuilt them.
        item.clearPages();
        retype(stay(dialog), c.typed);
        EXPECT_EQ(item.delay(), QString(c.typed).toInt()) << c.typed;
        EXPECT_EQ(item.pageCount() > 0, c.rebuilds) << c.delay << " -> " << c.typed;
    }
}

TEST_F(ItemEditorTest, ArrowsKeepToTheRangeAndLeaveTheLayoutAlone)
{
    TextItem item(&project);
    item.setDelay(254);
    ItemEditorDialog dialog(&item);
    dialog.show();
    item.clearPages();
    stay(dialog)->setFocus();
    QTest::keyClick(stay(dialog), Qt::Key_Up);
    QTest::keyClick(stay(dialog), Qt::Key_Up);
    EXPECT_EQ(item.delay(), 255);
    EXPECT_EQ(item.pageCount(), 0);
    interval(dialog)->setFocus();
    QTest::keyClick(interval(dialog), Qt::Key_Down);
    EXPECT_EQ(item.flashDelay(), 2); // already at the bottom of 2..255
    QTest::keyClick(interval(dialog), Qt::Key_Up);
    EXPECT_EQ(item.flashDelay(), 3);
}

TEST_F(ItemEditorTest, LevelFlashAndIntervalAreStoredWithoutRebuilding)
{
    TextItem item(&project);
    ItemEditorDialog dialog(&item);
    dialog.show();
    item.clearPages();
    choose(level(dialog), 14);
    EXPECT_EQ(item.level(), 15);
    choose(level(dialog), 0);
    EXPECT_EQ(item.level(), 1);
    choose(flash(dialog), 2);
    EXPECT_EQ(item.flash(), 2);
    retype(interval(dialog), "17");
    EXPECT_EQ(item.flashDelay(), 17);
    EXPECT_EQ(item.pageCount(), 0);
}

TEST_F(ItemEditorTest, LevelIsLockedOnSomeCards)
{
    const std::pair<int, bool> cases[] = {{0x42, false}, {0x32, false}, {0x23, true}, {0, true}};
    for (const auto &[model, enabled] : cases) {
        project.controllerInfo().modelCode = model;
        TextItem item(&project);
        ItemEditorDialog dialog(&item);
        EXPECT_EQ(level(dialog)->isEnabled(), enabled) << model;
    }
}

// Typing into the text page rebuilds the pages and the preview's page count
// follows each keystroke.
TEST_F(ItemEditorTest, PreviewFollowsTypingInTheTextPage)
{
    const QString family = BdfFont::install({});
    ASSERT_FALSE(family.isEmpty());
    // 64 x 16 pixels; cells of 12 pixels: five characters fit on a page.
    project.screenParams().setWidthCode(8);
    project.screenParams().setHeightCode(2);
    TextItem item(&project);
    item.setFaceName(family);
    item.setSize(9); // 12 pixels at 96 dpi
    item.setAction(1);
    item.setContent(QString());
    item.buildPages();
    ItemEditorDialog dialog(&item);
    dialog.show();
    auto *text = dialog.page()->findChild<QPlainTextEdit *>("text");
    ASSERT_NE(text, nullptr);
    text->setFocus();

    QTest::keyClicks(text, "ABCDE");
    EXPECT_EQ(item.pageCount(), 1);
    EXPECT_EQ(dialog.preview()->statusText(), status(1, 1));
    QTest::keyClicks(text, "F");
    EXPECT_EQ(item.pageCount(), 2);
    EXPECT_EQ(dialog.preview()->statusText(), status(2, 1));
    QTest::keyClicks(text, "GHIJKL");
    EXPECT_EQ(item.content(), "ABCDEFGHIJKL");
    EXPECT_EQ(dialog.preview()->statusText(), status(3, 1));
    QTest::keyClick(text, Qt::Key_Backspace);
    QTest::keyClick(text, Qt::Key_Backspace);
    EXPECT_EQ(dialog.preview()->statusText(), status(2, 1));
}

} // namespace
