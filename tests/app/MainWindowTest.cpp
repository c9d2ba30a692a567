#include "app/MainWindow.h"
#include "app/AppTestSupport.h"
#include "app/Application.h"
#include "base/AppServices.h"
#include "app/ProgramListView.h"
#include "common/RecordingUserInterface.h"
#include "common/TestFiles.h"
#include "link/PortNaming.h"
#include "model/PictureItem.h"
#include "model/CardSession.h"
#include "common/OutcomePrinting.h"
#include "model/PlayList.h"
#include "model/TextItem.h"
#include "sim/VirtualCard.h"
#include "ui/PreviewPanel.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {

const QString kNotFound = QStringLiteral("没有找到控制卡，请检查硬件连接后单击‘查屏’按钮。");
const QString kNoClockZone = QStringLiteral("提示：当前所连接的控制卡不支持动态时钟分区！");
const QString kCloseQuestion = QStringLiteral("关闭前是否保存对节目的修改？");

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        Application::setUpToolkit();
    }

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        projectPath = dir.filePath(QStringLiteral("test.brivprj"));
    }

    void TearDown() override
    {
        window.reset();
        PortNaming::setExplicitDevices({});
        if (card)
            card->stop();
    }

    void writeProject(const QStringList &contents)
    {
        PlayList project;
        for (const QString &content : contents) {
            auto item = std::make_unique<TextItem>(&project);
            item->setContent(content);
            project.appendItem(std::move(item));
        }
        project.setProjectFilePath(projectPath);
        ASSERT_EQ(project.save(), kOk);
    }

    void useNoCard()
    {
        PortNaming::setExplicitDevices({dir.filePath(QStringLiteral("no-such-port"))});
    }

    void useCard(int model, int series, int major, int minor, int build, int widthCode = 32)
    {
        card = std::make_unique<VirtualCard>();
        card->setIdentity({model, series, major, minor, build});
        ScreenParams params = card->screenParams();
        params.bytes[ScreenParams::WidthCode] = uint8_t(widthCode);
        params.bytes[ScreenParams::HeightCode] = 4;
        card->setScreenParams(params);
        ASSERT_TRUE(card->start()) << card->errorString().toStdString();
        PortNaming::setExplicitDevices({card->devicePath()});
    }

    void start()
    {
        window = std::make_unique<MainWindow>(projectPath);
        window->start();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    // The window as after start-up, without the card search.
    void open()
    {
        window = std::make_unique<MainWindow>(projectPath);
        window->show();
        window->preview()->setItem(window->playList().itemAt(0));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    ProgramListView *list() const { return window->list(); }
    PlayList &project() const { return window->playList(); }

    QPoint cellCentre(int row, int column = 1) const
    {
        return list()->visualItemRect(list()->item(row, column)).center();
    }
    void clickRow(int row)
    {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, cellCentre(row));
    }
    // A right click as the window system reports it: the press, then the
    // context menu request.
    void rightClick(const QPoint &pos)
    {
        QWidget *viewport = list()->viewport();
        QTest::mouseClick(viewport, Qt::RightButton, {}, pos);
        QContextMenuEvent event(QContextMenuEvent::Mouse, pos, viewport->mapToGlobal(pos));
        QApplication::sendEvent(viewport, &event);
    }
    QString cell(int row, int column) const
    {
        const QTableWidgetItem *item = list()->item(row, column);
        return item ? item->text() : QString();
    }
    QStringList contents() const
    {
        QStringList texts;
        for (int i = 0; i < project().itemCount(); ++i)
            texts << project().itemAt(i)->content();
        return texts;
    }
    QStringList rowContents() const
    {
        QStringList texts;
        for (int r = 0; r < list()->rowCount(); ++r)
            texts << cell(r, ProgramListView::ContentColumn);
        return texts;
    }
    int selectedRow() const
    {
        const auto rows = list()->selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.first().row() : -1;
    }
    void run(MainWindow::Command command) { window->action(command)->trigger(); }

    QTemporaryDir dir;
    QString projectPath;
    RecordingUserInterface ui;
    ModalDriver driver;
    std::unique_ptr<VirtualCard> card;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, StartsWithoutACard)
{
    writeProject({QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三")});
    useNoCard();
    start();

    ASSERT_EQ(driver.progress.size(), 1u);
    EXPECT_EQ(driver.progress[0].status, kNotFound);
    EXPECT_EQ(driver.progress[0].bar, 200);
    EXPECT_EQ(driver.progress[0].range, 200);
    EXPECT_EQ(window->card().port(), 0);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Brivane"));
    // The window opens at its smallest size; made larger, the list and the
    // preview grow and the status line stays at the bottom.
    EXPECT_EQ(window->size(), window->minimumSize());
    auto *previewArea = window->findChild<QWidget *>(QStringLiteral("previewArea"));
    auto *status = window->findChild<QWidget *>(QStringLiteral("statusLine"));
    ASSERT_TRUE(previewArea && status);
    const QRect listBefore = list()->geometry(), previewBefore = previewArea->geometry();
    const int contentBefore = list()->columnWidth(ProgramListView::ContentColumn);
    const int statusGap = window->centralWidget()->height() - status->geometry().bottom();
    window->resize(window->size() + QSize(200, 100));
    QApplication::processEvents();
    EXPECT_EQ(list()->size(), listBefore.size() + QSize(200, 50));
    // The content column takes the width gained.
    EXPECT_EQ(list()->columnWidth(ProgramListView::ContentColumn), contentBefore + 200);
    EXPECT_EQ(previewArea->size(), previewBefore.size() + QSize(200, 50));
    EXPECT_EQ(window->preview()->size(), previewArea->contentsRect().size());
    EXPECT_EQ(window->centralWidget()->height() - status->geometry().bottom(), statusGap);
    saveScreenshot(window.get(), QStringLiteral("main-enlarged"));
    window->resize(window->minimumSize());
    QApplication::processEvents();
    EXPECT_EQ(list()->geometry(), listBefore);

    EXPECT_EQ(rowContents(), contents());
    EXPECT_EQ(selectedRow(), -1);
    EXPECT_EQ(window->currentRow(), -1);
    EXPECT_FALSE(list()->combosVisible());
    // The first item is previewed all the same.
    EXPECT_EQ(window->preview()->item(), project().itemAt(0));
    EXPECT_TRUE(ui.messages.empty());
    saveScreenshot(window.get(), QStringLiteral("main-started-without-card"));
}

// Without a project file the project holds the default program, which the
// preview shows and "发送" sends: it must be in the list too, or the user
// can neither see, edit nor delete what goes to the card.
TEST_F(MainWindowTest, WithoutAProjectFileTheDefaultProgramIsListed)
{
    ASSERT_FALSE(QFileInfo::exists(projectPath));
    useNoCard();
    open();

    ASSERT_EQ(project().itemCount(), 1);
    EXPECT_EQ(rowContents(), contents());
    EXPECT_EQ(cell(0, ProgramListView::ContentColumn), QStringLiteral("示例文本信息，双击编辑。"));
    clickRow(0);
    EXPECT_EQ(window->currentRow(), 0);
    ui.yesNoAnswers = {true};
    run(MainWindow::Delete);
    EXPECT_EQ(project().itemCount(), 0);
    EXPECT_EQ(list()->rowCount(), 0);
}

TEST_F(MainWindowTest, StartsWithACardAndFollowsItsScreen)
{
    writeProject({QStringLiteral("Hello")});
    useCard(0x33, 15, 3, 0, 1, 16); // 128 x 32
    start();

    ASSERT_EQ(driver.progress.size(), 1u);
    EXPECT_EQ(driver.progress[0].status,
              QStringLiteral("在COM1找到控制卡：QM-B， 固件版本：3.0.1。"));
    EXPECT_EQ(driver.progress[0].bar, 200);
    EXPECT_EQ(window->card().port(), 1);
    EXPECT_EQ(project().screenWidth(), 128);
    // Pages were rendered again for the card's screen.
    ASSERT_NE(project().itemAt(0)->pageAt(0), nullptr);
    EXPECT_EQ(project().itemAt(0)->pageAt(0)->width(), 128);
    EXPECT_EQ(window->preview()->item(), project().itemAt(0));
    EXPECT_EQ(window->preview()->ledAreaGeometry().width(), 128 + PreviewPanel::ledAreaBorder());
    saveScreenshot(window.get(), QStringLiteral("main-started-with-card"));
}

// Green text on the card's single-colour screen: once the card is found,
// the program's row is marked and says why.
TEST_F(MainWindowTest, AProgramTheSignCannotShowIsMarkedOnceTheCardIsFound)
{
    writeProject({QStringLiteral("Hello")});
    useCard(0x33, 15, 3, 0, 1, 16);
    open();
    static_cast<TextItem *>(project().itemAt(0))->setColor(2);
    // Before a card is found its colours are not known (other warnings,
    // such as the fit of the face a platform serves, may be there).
    EXPECT_FALSE(list()->item(0, 0)->toolTip().contains(QStringLiteral("绿色文字将不会显示")));
    run(MainWindow::FindScreen);
    EXPECT_TRUE(list()->item(0, 0)->toolTip().contains(QStringLiteral("绿色文字将不会显示")))
        << list()->item(0, 0)->toolTip().toStdString();
    saveScreenshot(window.get(), QStringLiteral("main-warned-program"));
}

TEST_F(MainWindowTest, UnsupportedCardIsLetGoAndSendThenFails)
{
    writeProject({QStringLiteral("Hello")});
    useCard(0x2A, 3, 1, 5, 12);
    start();

    ASSERT_EQ(driver.progress.size(), 1u);
    EXPECT_EQ(driver.progress[0].status,
              QStringLiteral("在COM1找到控制卡：QM2A-03， 固件版本：1.5.12。"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("本软件不支持当前所连接的卡！"));
    EXPECT_EQ(ui.messages[0].caption, QStringLiteral("Brivane"));
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(window->card().port(), 0);

    ui.messages.clear();
    run(MainWindow::Send);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("命令执行失败：无法建立连接，请先查找屏。"));
    EXPECT_EQ(ui.messages[0].caption, QStringLiteral("错误"));
    EXPECT_EQ(driver.progress.size(), 1u) << "nothing is sent";
}

TEST_F(MainWindowTest, CombosLieOverTheCurrentRowAndChangeTheItem)
{
    writeProject({QStringLiteral("甲"), QStringLiteral("乙")});
    useNoCard();
    open();
    clickRow(0);
    ASSERT_EQ(window->currentRow(), 0);
    ASSERT_TRUE(list()->combosVisible());

    struct Place {
        QComboBox *combo;
        int left, width, index;
    };
    const QRect row = list()->visualItemRect(list()->item(0, 0));
    // The columns fill the list: the last ends at the viewport's right edge.
    const int right = list()->viewport()->width();
    for (const Place &p : {Place{list()->actionCombo(), right - 280, 100, 12},
                           Place{list()->speedCombo(), right - 180, 50, 14},
                           Place{list()->frameCombo(), right - 130, 70, 0},
                           Place{list()->clockCombo(), right - 60, 60, 0}}) {
        EXPECT_EQ(p.combo->geometry(), QRect(p.left, row.top(), p.width, row.height()));
        EXPECT_EQ(p.combo->currentIndex(), p.index);
    }

    ProgramItem *item = project().itemAt(0);
    QTest::keyClick(list()->actionCombo(), Qt::Key_End);
    EXPECT_EQ(item->action(), 18);
    EXPECT_EQ(cell(0, ProgramListView::ActionColumn), QStringLiteral("下雨"));
    EXPECT_EQ(window->preview()->item(), item);

    QTest::keyClick(list()->speedCombo(), Qt::Key_End);
    EXPECT_EQ(item->speed(), 15);
    EXPECT_EQ(cell(0, ProgramListView::SpeedColumn), QStringLiteral("15"));

    QTest::keyClick(list()->frameCombo(), Qt::Key_Down);
    EXPECT_EQ(item->frame(), 1);
    EXPECT_EQ(cell(0, ProgramListView::FrameColumn), QStringLiteral("单点快走"));
    EXPECT_TRUE(window->statusText().isEmpty());

    // No card with a clock zone: the warning, which only a row selection clears.
    QTest::keyClick(list()->clockCombo(), Qt::Key_Down);
    EXPECT_EQ(item->clockMode(), 1);
    EXPECT_EQ(cell(0, ProgramListView::ClockColumn), QStringLiteral("表盘"));
    EXPECT_EQ(window->statusText(), kNoClockZone);
    saveScreenshot(window.get(), QStringLiteral("main-clock-zone-warning"));
    QTest::keyClick(list()->clockCombo(), Qt::Key_Home);
    EXPECT_EQ(item->clockMode(), 0);
    EXPECT_EQ(cell(0, ProgramListView::ClockColumn), QString());
    EXPECT_EQ(window->statusText(), kNoClockZone);
    clickRow(1);
    EXPECT_TRUE(window->statusText().isEmpty());
    EXPECT_EQ(list()->actionCombo()->currentIndex(), 12);

    // The other row was not touched.
    EXPECT_EQ(project().itemAt(1)->action(), 13);
    EXPECT_EQ(project().itemAt(1)->speed(), 14);
}

TEST_F(MainWindowTest, MoveAndDeleteAtTheEndsOfTheList)
{
    writeProject({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    useNoCard();
    open();

    struct Case {
        const char *name;
        int row;
        MainWindow::Command command;
        std::deque<bool> answers;
        QStringList after;
        int current;
    };
    const Case cases[] = {
        {"first up", 0, MainWindow::MoveUp, {}, {"A", "B", "C"}, 0},
        {"last down", 2, MainWindow::MoveDown, {}, {"A", "B", "C"}, 2},
        {"first down", 0, MainWindow::MoveDown, {}, {"B", "A", "C"}, 1},
        {"last up", 2, MainWindow::MoveUp, {}, {"A", "C", "B"}, 1},
        {"delete first", 0, MainWindow::Delete, {true}, {"B", "C"}, 0},
        {"delete middle", 1, MainWindow::Delete, {true}, {"A", "C"}, 0},
        {"delete last", 2, MainWindow::Delete, {true}, {"A", "B"}, 1},
        {"delete declined", 1, MainWindow::Delete, {false}, {"A", "B", "C"}, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        window.reset();
        writeProject({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        open();
        clickRow(c.row);
        ui.yesNoAnswers = c.answers;
        ui.questions.clear();
        run(c.command);
        if (c.command == MainWindow::Delete) {
            EXPECT_EQ(ui.questions, QStringList{QStringLiteral("确定吗？")});
        }
        EXPECT_EQ(contents(), c.after);
        EXPECT_EQ(rowContents(), c.after);
        EXPECT_EQ(window->currentRow(), c.current);
        EXPECT_EQ(selectedRow(), c.current);
        EXPECT_EQ(window->currentItem(), project().itemAt(c.current));
        EXPECT_EQ(window->preview()->item(), project().itemAt(c.current));
        EXPECT_TRUE(list()->combosVisible());
    }
}

TEST_F(MainWindowTest, CommandsWithoutACurrentRowDoNothing)
{
    writeProject({QStringLiteral("A"), QStringLiteral("B")});
    useNoCard();
    open();
    for (auto command :
         {MainWindow::EditContent, MainWindow::MoveUp, MainWindow::MoveDown, MainWindow::Delete})
        run(command);
    EXPECT_TRUE(ui.questions.isEmpty());
    EXPECT_TRUE(driver.dialogs.isEmpty());
    EXPECT_EQ(contents(), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
}

TEST_F(MainWindowTest, DeletingTheOnlyItemEmptiesListCombosAndPreview)
{
    writeProject({QStringLiteral("A")});
    useNoCard();
    open();
    clickRow(0);
    ui.yesNoAnswers = {true};
    run(MainWindow::Delete);
    EXPECT_EQ(project().itemCount(), 0);
    EXPECT_EQ(list()->rowCount(), 0);
    EXPECT_EQ(window->currentRow(), -1);
    EXPECT_EQ(window->currentItem(), nullptr);
    EXPECT_FALSE(list()->combosVisible());
    EXPECT_EQ(window->preview()->item(), nullptr);
    EXPECT_EQ(window->preview()->statusText(), QStringLiteral("提示：选中信息后预览。"));
    saveScreenshot(window.get(), QStringLiteral("main-after-deleting-only-item"));
}

TEST_F(MainWindowTest, NewProgramsAreAppendedAndSelectedHoweverTheEditorCloses)
{
    writeProject({QStringLiteral("A")});
    useNoCard();
    open();
    clickRow(0);
    run(MainWindow::NewText);
    EXPECT_EQ(driver.dialogs.size(), 1) << "the editor was opened";
    ASSERT_EQ(project().itemCount(), 2);
    EXPECT_EQ(cell(1, ProgramListView::KindColumn), QStringLiteral("文本"));
    EXPECT_EQ(cell(1, ProgramListView::ContentColumn), QStringLiteral("示例文本信息，双击编辑。"));

    // The menu entry works like the toolbar button.
    QAction *newPicture = window->action(MainWindow::NewPicture);
    EXPECT_TRUE(newPicture->isEnabled());
    newPicture->trigger();
    ASSERT_EQ(project().itemCount(), 3);
    EXPECT_TRUE(project().itemAt(2)->isPicture());
    EXPECT_EQ(cell(2, ProgramListView::KindColumn), QString());
    EXPECT_FALSE(list()->item(2, 0)->icon().isNull());

    // The new program is selected and previewed.
    EXPECT_EQ(window->currentRow(), 2);
    EXPECT_EQ(selectedRow(), 2);
    EXPECT_EQ(window->currentItem(), project().itemAt(2));
    EXPECT_EQ(window->preview()->item(), project().itemAt(2));
}

TEST_F(MainWindowTest, DoubleAndRightClicksOnlyActOnRows)
{
    writeProject({QStringLiteral("A")});
    useNoCard();
    open();
    const QPoint below(cellCentre(0).x(), list()->viewport()->height() - 5);
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, below);
    rightClick(below);
    EXPECT_TRUE(driver.dialogs.isEmpty());
    EXPECT_TRUE(driver.menus.isEmpty());

    clickRow(0);
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, cellCentre(0));
    EXPECT_EQ(driver.dialogs.size(), 1);
    rightClick(cellCentre(0));
    EXPECT_EQ(driver.menus, QStringList{QStringLiteral("编辑(&E)")});
}

TEST_F(MainWindowTest, ClosingAsksAndHonoursTheAnswer)
{
    struct Case {
        const char *name;
        Answer answer;
        bool viaExit;
        bool stillOpen;
        bool saved;
    };
    const Case cases[] = {
        {"yes", Answer::Yes, false, false, true},
        {"no", Answer::No, false, false, false},
        {"cancel", Answer::Cancel, false, true, false},
        {"exit asks too", Answer::Cancel, true, true, false},
        {"exit and yes", Answer::Yes, true, false, true},
    };
    useNoCard();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        writeProject({QStringLiteral("A")});
        open();
        clickRow(0);
        QTest::keyClick(list()->speedCombo(), Qt::Key_Home); // an unsaved change
        ui.questions.clear();
        ui.yesNoCancelAnswers = {c.answer};
        if (c.viaExit)
            run(MainWindow::Exit);
        else
            window->close();
        EXPECT_EQ(ui.questions, QStringList{kCloseQuestion});
        EXPECT_EQ(window->isVisible(), c.stillOpen);

        PlayList reread;
        reread.setProjectFilePath(projectPath);
        ASSERT_EQ(reread.load(), kOk);
        EXPECT_EQ(reread.itemAt(0)->speed(), c.saved ? 0 : 14);
        window.reset();
    }
}

TEST_F(MainWindowTest, AFailedSaveKeepsTheWindowOpen)
{
    writeProject({QStringLiteral("A")});
    useNoCard();
    open();
    project().setProjectFilePath(dir.filePath(QStringLiteral("missing/dir/x.brivprj")));
    ui.yesNoCancelAnswers = {Answer::Yes};
    window->close();
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(ui.messages.size(), 1u) << "the failure was reported";
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("Error on save project!"));
    EXPECT_EQ(ui.messages[0].caption, applicationTitle());
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Warning);
}

// A file that cannot be read is named with the file's own text, once.
TEST_F(MainWindowTest, AnUnreadableFileIsReportedAtStart)
{
    ASSERT_TRUE(writeAll(projectPath, "<project><width>8</project>"));
    useNoCard();
    open();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("Error on load playlist file."));
    EXPECT_EQ(ui.messages[0].caption, QStringLiteral("Error"));
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(ui.messages[0].owner, nullptr);
}

TEST_F(MainWindowTest, EnterAndEscapeDoNotCloseTheWindow)
{
    writeProject({QStringLiteral("A")});
    useNoCard();
    open();
    for (auto key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(window.get(), key);
        QTest::keyClick(list(), key);
    }
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(ui.questions.isEmpty());
}

TEST_F(MainWindowTest, EveryEditEntryIsEnabledAndSharedWithTheToolbar)
{
    writeProject({QStringLiteral("A")});
    useNoCard();
    open();
    // The edit popup is also the list's context menu: nothing in it is grey,
    // "新建图片..." included, and its toolbar button is the same command.
    QStringList entries;
    for (const QAction *a : window->editMenu()->actions()) {
        EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
        entries << (a->isSeparator() ? QStringLiteral("|") : a->text());
    }
    EXPECT_EQ(entries, (QStringList{"新建文本...", "新建图片...", "|", "编辑内容...", "上移",
                                    "下移", "删除", "|", "发送..."}));
    EXPECT_TRUE(window->toolBar()->actions().contains(window->action(MainWindow::NewPicture)));
}

TEST_F(MainWindowTest, SendsThePlayListToTheCard)
{
    writeProject({QStringLiteral("第一条"), QStringLiteral("Second")});
    useCard(0x23, 15, 2, 2, 7);
    start();
    run(MainWindow::Send);
    ASSERT_EQ(driver.progress.size(), 2u);
    EXPECT_EQ(driver.progress[1].status, QStringLiteral("已成功发送了 2 条信息。"));
    EXPECT_EQ(driver.progress[1].range, 15);
    EXPECT_EQ(driver.progress[1].bar, 15);
    EXPECT_EQ(card->uploadPhase(), 1);
    int expectedPages = 0;
    for (int i = 0; i < project().itemCount(); ++i)
        expectedPages += project().itemAt(i)->pageCount();
    EXPECT_EQ(int(card->pages().size()), expectedPages);
    EXPECT_TRUE(ui.messages.empty());
}

// Characters the face cannot draw are named in a question before the send;
// "否" sends nothing.
TEST_F(MainWindowTest, SendAsksAboutCharactersTheSignCannotShow)
{
    writeProject({QStringLiteral("第一条"), QStringLiteral("A\u0378B")});
    useCard(0x23, 15, 2, 2, 7);
    start();
    run(MainWindow::Send);
    ASSERT_EQ(ui.questions.size(), 1);
    EXPECT_TRUE(ui.questions[0].startsWith(QStringLiteral("第 2 条信息：以下字符无法显示")))
        << ui.questions[0].toStdString();
    EXPECT_TRUE(ui.questions[0].contains(QStringLiteral("\u0378 (U+0378)")));
    EXPECT_TRUE(ui.questions[0].endsWith(QStringLiteral("是否仍要发送？")));
    EXPECT_EQ(driver.progress.size(), 1u) << "nothing is sent";
    EXPECT_TRUE(card->pages().empty());

    ui.yesNoAnswers.push_back(true);
    run(MainWindow::Send);
    ASSERT_EQ(driver.progress.size(), 2u);
    EXPECT_EQ(driver.progress[1].status, QStringLiteral("已成功发送了 2 条信息。"));
}

TEST_F(MainWindowTest, SingleCommandsReportTheirOutcome)
{
    writeProject({QStringLiteral("A")});
    useCard(0x23, 15, 2, 2, 7);
    start();
    run(MainWindow::SetClock);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("命令执行成功！"));
    EXPECT_EQ(ui.messages[0].caption, QStringLiteral("成功"));
    EXPECT_FALSE(card->clockBytes().isEmpty());

    card->stop();
    ui.messages.clear();
    run(MainWindow::ClearScreen);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.startsWith(QStringLiteral("命令执行失败：")));
    EXPECT_EQ(ui.messages[0].caption, QStringLiteral("错误"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MainWindowTest, DemoProjectIsPreviewedPageByPage)
{
    const QString examples = qEnvironmentVariable("BRIVANE_TEST_DATA") + QLatin1Char('/');
    const QString demo = examples + QStringLiteral("demo.brivprj");
    ASSERT_TRUE(QFile::exists(demo)) << demo.toStdString();
    // A copy, with the picture beside it, so nothing writes into the sources.
    ASSERT_TRUE(QFile::copy(demo, projectPath));
    QFile::copy(examples + QStringLiteral("logo.png"), dir.filePath(QStringLiteral("logo.png")));
    useCard(0x23, 15, 2, 2, 7);
    start();
    ASSERT_GE(project().itemCount(), 2);
    saveScreenshot(window.get(), QStringLiteral("demo-started"));
    PreviewPanel *preview = window->preview();
    for (int row = 0; row < project().itemCount(); ++row) {
        SCOPED_TRACE(row);
        clickRow(row);
        ASSERT_EQ(preview->item(), project().itemAt(row));
        const int pages = project().itemAt(row)->pageCount();
        ASSERT_GE(pages, 1);
        for (int page = 1; page < pages; ++page)
            QTest::mouseClick(preview->nextButton(), Qt::LeftButton);
        EXPECT_EQ(preview->currentPage(), pages - 1);
        EXPECT_FALSE(preview->nextButton()->isEnabled());
        EXPECT_EQ(preview->statusText(),
                  QStringLiteral("当前信息共有 %1 页，当前预览的是第 %1 页。").arg(pages));
        EXPECT_FALSE(preview->screenImage().isNull());
        saveScreenshot(window.get(), QStringLiteral("demo-row%1-last-page").arg(row));
    }
}

} // namespace

// A script changed the file while the window was open: saving used to write
// over that change without a word. The window asks first; No keeps the
// file as the script left it (and the window open), Yes overwrites.
TEST_F(MainWindowTest, SavingOverAFileChangedOnDiskAsksFirst)
{
    writeProject({QStringLiteral("A")});
    useNoCard();
    open();
    writeProject({QStringLiteral("A"), QStringLiteral("from a script")});
    const QByteArray scripted = readAll(projectPath);
    const QString question = QStringLiteral("节目文件已被其他程序修改过，是否用当前的节目覆盖它？");

    ui.yesNoCancelAnswers = {Answer::Yes};
    ui.yesNoAnswers = {false};
    window->close();
    EXPECT_TRUE(window->isVisible());
    ASSERT_FALSE(ui.questions.isEmpty());
    EXPECT_EQ(ui.questions.last(), question);
    EXPECT_EQ(readAll(projectPath), scripted);

    ui.questions.clear();
    ui.yesNoCancelAnswers = {Answer::Yes};
    ui.yesNoAnswers = {true};
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(ui.questions.last(), question);
    EXPECT_NE(readAll(projectPath), scripted);
}
