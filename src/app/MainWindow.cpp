#include "app/MainWindow.h"

#include "app/LanguageMenu.h"
#include "app/ProgramListView.h"
#include "base/AppServices.h"
#include "base/LocalClock.h"
#include "model/ItemEdit.h"
#include "model/PictureItem.h"
#include "model/CardSession.h"
#include "model/PlayList.h"
#include "model/ProgramWarnings.h"
#include "model/Schedule.h"
#include "model/TextItem.h"
#include "ui/CommandResult.h"
#include "ui/Dialogs.h"
#include "ui/PreviewPanel.h"
#include "ui/ProgressDialog.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

namespace {

// Places in the central area, in pixels (dialog units x 1.5). The central
// area starts 43 pixels below the client area's top, where the toolbar ends.
constexpr QSize kCentralSize(624, 454);
constexpr QRect kListRect(3, 3, 616, 267);
constexpr QRect kPreviewAreaRect(3, 278, 616, 143);
constexpr int kSmallestListHeight = 110; // the header and four rows
constexpr QRect kStatusRect(3, 429, 618, 18);
constexpr QSize kToolButtonSize(32, 36);
constexpr int kSearchBarRange = 200;
// Room left on the screen for the window's frame and title bar.
constexpr QSize kFrameAllowance(16, 48);

// The central area: the list, the preview and the status line at their
// places for the smallest size; a larger window gives the extra width to
// all three and the extra height to the list and the preview alike. On a
// screen too small for that size (a high scale factor) the list gives up
// its height first, down to a few rows, so the preview keeps its LED area.
class CentralArea : public QWidget {
public:
    using QWidget::QWidget;
    QSize sizeHint() const override { return kCentralSize; }
    QWidget *list = nullptr;
    QWidget *previewArea = nullptr;
    QWidget *preview = nullptr;
    QWidget *status = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QWidget::resizeEvent(event);
        if (!list || !previewArea || !preview || !status)
            return;
        const int dw = width() - kCentralSize.width();
        const int dh = height() - kCentralSize.height();
        const int listGrows =
            dh >= 0 ? dh / 2 : std::max(dh, kSmallestListHeight - kListRect.height());
        list->setGeometry(kListRect.adjusted(0, 0, dw, listGrows));
        previewArea->setGeometry(
            kPreviewAreaRect.translated(0, listGrows).adjusted(0, 0, dw, dh - listGrows));
        preview->setGeometry(static_cast<QFrame *>(previewArea)->contentsRect());
        status->setGeometry(kStatusRect.translated(0, dh).adjusted(0, 0, dw, 0));
    }
};

// The question asked before a send when programs hold characters their face
// cannot draw, naming them as the editor does; empty when none does.
QString missingCharactersQuestion(const PlayList &list)
{
    constexpr int kMostPrograms = 10;
    QStringList lines;
    for (int i = 0; i < list.itemCount(); ++i) {
        const ProgramItem *item = list.itemAt(i);
        if (!item)
            continue;
        for (const ProgramWarning &w : programWarnings(*item)) {
            if (w.code != ProgramWarning::Code::MissingCharacters)
                continue;
            if (lines.size() == kMostPrograms) {
                lines << QStringLiteral("……");
                break;
            }
            lines << QCoreApplication::translate("MainWindow", "第 %1 条信息：%2").arg(i + 1).arg(w.text);
        }
        if (lines.size() > kMostPrograms)
            break;
    }
    if (lines.isEmpty())
        return {};
    return lines.join(u'\n') + QCoreApplication::translate("MainWindow", "\n\n是否仍要发送？");
}

struct CommandInfo {
    MainWindow::Command id;
    const char *menuText;
    const char *toolText; // empty: menu only
    const char *tip;      // the command's string: the toolbar button's tooltip
    const char *icon;
};

constexpr CommandInfo kCommands[] = {
    {MainWindow::Save, QT_TRANSLATE_NOOP("MainWindow", "保存节目"), QT_TRANSLATE_NOOP("MainWindow", "保存"), QT_TRANSLATE_NOOP("MainWindow", "保存所有节目"), "save"},
    {MainWindow::Exit, QT_TRANSLATE_NOOP("MainWindow", "退出"), "", QT_TRANSLATE_NOOP("MainWindow", "关闭程序"), nullptr},
    {MainWindow::NewText, QT_TRANSLATE_NOOP("MainWindow", "新建文本..."), QT_TRANSLATE_NOOP("MainWindow", "文本"), QT_TRANSLATE_NOOP("MainWindow", "新建文本节目"), "text"},
    {MainWindow::NewPicture, QT_TRANSLATE_NOOP("MainWindow", "新建图片..."), QT_TRANSLATE_NOOP("MainWindow", "图片"), QT_TRANSLATE_NOOP("MainWindow", "新建图片节目"), "picture"},
    {MainWindow::EditContent, QT_TRANSLATE_NOOP("MainWindow", "编辑内容..."), "", QT_TRANSLATE_NOOP("MainWindow", "编辑当前节目内容"), nullptr},
    {MainWindow::MoveUp, QT_TRANSLATE_NOOP("MainWindow", "上移"), "", QT_TRANSLATE_NOOP("MainWindow", "将当前节目向上移动"), nullptr},
    {MainWindow::MoveDown, QT_TRANSLATE_NOOP("MainWindow", "下移"), "", QT_TRANSLATE_NOOP("MainWindow", "将当前节目向下移动"), nullptr},
    {MainWindow::Delete, QT_TRANSLATE_NOOP("MainWindow", "删除"), "", QT_TRANSLATE_NOOP("MainWindow", "删除当前节目"), nullptr},
    {MainWindow::Send, QT_TRANSLATE_NOOP("MainWindow", "发送..."), QT_TRANSLATE_NOOP("MainWindow", "发送"), QT_TRANSLATE_NOOP("MainWindow", "发送节目到控制卡"), "send"},
    {MainWindow::FindScreen, QT_TRANSLATE_NOOP("MainWindow", "查找屏..."), QT_TRANSLATE_NOOP("MainWindow", "查屏"), QT_TRANSLATE_NOOP("MainWindow", "查找屏"), "find"},
    {MainWindow::SetClock, QT_TRANSLATE_NOOP("MainWindow", "屏幕较时"), QT_TRANSLATE_NOOP("MainWindow", "校时"), QT_TRANSLATE_NOOP("MainWindow", "屏幕较时"), "clock"},
    {MainWindow::Brightness, QT_TRANSLATE_NOOP("MainWindow", "亮度设置..."), QT_TRANSLATE_NOOP("MainWindow", "亮度"), QT_TRANSLATE_NOOP("MainWindow", "亮度设置"), "brightness"},
    {MainWindow::ScreenParams, QT_TRANSLATE_NOOP("MainWindow", "屏参设置..."), QT_TRANSLATE_NOOP("MainWindow", "屏参"), QT_TRANSLATE_NOOP("MainWindow", "屏参设置-设置屏幕大小、扫描方式等。"),
     "params"},
    {MainWindow::ScreenSwitch, QT_TRANSLATE_NOOP("MainWindow", "屏幕开关..."), QT_TRANSLATE_NOOP("MainWindow", "开关"), QT_TRANSLATE_NOOP("MainWindow", "开屏或关屏。"), "power"},
    {MainWindow::ClearScreen, QT_TRANSLATE_NOOP("MainWindow", "清屏"), QT_TRANSLATE_NOOP("MainWindow", "清屏"), QT_TRANSLATE_NOOP("MainWindow", "清空显示屏中所有信息。"), "clear"},
    {MainWindow::About, QT_TRANSLATE_NOOP("MainWindow", "关于..."), "", QT_TRANSLATE_NOOP("MainWindow", "显示“关于”对话框。"), nullptr},
};

// A tooltip shows the text after the first "\n" if there is one, at most
// 79 characters.
QString tooltipOf(const QString &entry)
{
    const qsizetype newline = entry.indexOf(QLatin1Char('\n'));
    return (newline >= 0 ? entry.mid(newline + 1) : entry).left(79);
}

// The main window's scanner: the card search as a progress job.
class CardSearchJob final : public ProgressJob {
public:
    explicit CardSearchJob(CardSession &card) : m_card(card) {}
    void run(ProgressHost &host) override { found = m_card.search(host); }
    Outcome found;

private:
    CardSession &m_card;
};

// The send of the whole list after the main window's check, under the
// progress dialog.
class SendAllJob final : public ProgressJob {
public:
    SendAllJob(CardSession &card, PlayList &list) : m_card(card), m_list(list) {}
    void run(ProgressHost &host) override { m_card.sendAll(m_list, host); }

private:
    CardSession &m_card;
    PlayList &m_list;
};

// The file's own message for a list that could not be read, as the main
// window shows it (caption "Error").
void showLoadFailure(const Outcome &loaded)
{
    if (loaded.code() == OutcomeCode::FileUnreadable || loaded.code() == OutcomeCode::FileInvalid)
        showMessage(nullptr, loaded.text(), QStringLiteral("Error"), MessageIcon::Error);
}

// The wait cursor for one blocking controller command.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

// Saves the project unless the file changed on disk since this window
// loaded or last saved it (another program, a script) and the user does
// not want that change overwritten. The check and the write hold the
// file's lock, so no other program's write lands between them.
bool saveUnlessDeclined(QWidget *owner, PlayList &project)
{
    const bool locked = project.lockProjectFile().isOk();
    struct Unlock {
        PlayList &project;
        bool locked;
        ~Unlock()
        {
            if (locked)
                project.unlockProjectFile();
        }
    } unlock{project, locked};
    if (project.projectFileChangedOnDisk() &&
        !askYesNo(owner, QCoreApplication::translate("MainWindow", "节目文件已被其他程序修改过，是否用当前的节目覆盖它？")))
        return false;
    const Outcome saved = project.save();
    if (!saved)
        showMessage(nullptr, saved.text(), applicationTitle(), MessageIcon::Warning);
    return saved.isOk();
}

// Tells the user when the page budget left an item without its pages.
void showPageBudgetRefusal(QWidget *owner, const PlayList &project)
{
    const QString text = project.pageBudgetText();
    if (!text.isEmpty())
        showMessage(owner, text, applicationTitle(), MessageIcon::Warning);
}

} // namespace

MainWindow::MainWindow(const QString &projectFile, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      m_playList(std::make_unique<PlayList>()), m_card(std::make_unique<CardSession>())
{
    m_card->shareRecordsWith(*m_playList);
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(applicationTitle());
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
    if (!projectFile.isEmpty())
        m_playList->setProjectFilePath(QFileInfo(projectFile).absoluteFilePath());

    createCommands();
    createMenus();
    createToolBar();
    createCentralArea();

    // The list shows whatever the project holds after loading: without a
    // project file that is the default program the preview shows and
    // "发送" sends, so the user can see, edit and delete it.
    showLoadFailure(m_playList->load());
    fillList();

    // Three tooltips: the clock and frame combos and the list.
    m_list->clockCombo()->setToolTip(
        QCoreApplication::translate("MainWindow", "是否启用时钟分区，如果启用，本条信息播放时将在屏左侧显示表盘时钟。提示，只"
                       "有特定型号的控制卡才支持该功能。"));
    m_list->frameCombo()->setToolTip(QCoreApplication::translate("MainWindow", 
        "信息播放时是否附带环绕边框效果。提示，有些型号的控制卡只支持4种边框效果。"));
    m_list->setToolTip(QCoreApplication::translate("MainWindow", "在信息上双击可编辑内容，右键更多选项。"));

    // The laid-out size is the smallest, where the screen allows it; the
    // window opens at that size, centred, and may be made larger.
    adjustSize();
    QSize smallest = sizeHint();
    if (const QScreen *screen = QApplication::primaryScreen())
        smallest = smallest.boundedTo(screen->availableGeometry().size() - kFrameAllowance);
    setMinimumSize(smallest);
    resize(smallest);
    if (const QScreen *screen = QApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        QRect frame(QPoint(), size() + kFrameAllowance);
        frame.moveCenter(available.center());
        // The title bar stays on the screen.
        move(std::max(frame.left(), available.left()), std::max(frame.top(), available.top()));
    }
}

MainWindow::~MainWindow()
{
    // The preview (a child, deleted by Qt after this body) lets go of its
    // item before the list and its items go.
    m_preview->setItem(nullptr);
    m_currentItem = nullptr;
    m_card.reset();
    m_playList.reset();
}

void MainWindow::createCommands()
{
    using Slot = void (MainWindow::*)();
    const std::map<int, Slot> slots = {
        {Save, &MainWindow::saveProject},
        {Exit, &MainWindow::exitProgram},
        {NewText, &MainWindow::newTextProgram},
        {NewPicture, &MainWindow::newPictureProgram},
        {EditContent, &MainWindow::editContent},
        {MoveUp, &MainWindow::moveUp},
        {MoveDown, &MainWindow::moveDown},
        {Delete, &MainWindow::deleteItem},
        {Send, &MainWindow::sendAll},
        {FindScreen, &MainWindow::findScreen},
        {SetClock, &MainWindow::setClock},
        {Brightness, &MainWindow::brightness},
        {ScreenParams, &MainWindow::screenParams},
        {ScreenSwitch, &MainWindow::screenSwitch},
        {ClearScreen, &MainWindow::clearScreen},
        {About, &MainWindow::about},
    };
    for (const CommandInfo &info : kCommands) {
        auto *action = new QAction(QCoreApplication::translate("MainWindow", info.menuText), this);
        action->setObjectName(QStringLiteral("command%1").arg(int(info.id)));
        action->setMenuRole(QAction::NoRole);
        if (*info.toolText) {
            action->setIconText(QCoreApplication::translate("MainWindow", info.toolText));
            action->setToolTip(tooltipOf(QCoreApplication::translate("MainWindow", info.tip)));
        }
        if (info.icon)
            action->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(info.icon))));
        action->setIconVisibleInMenu(false);
        const Slot slot = slots.at(info.id);
        connect(action, &QAction::triggered, this, [this, slot] { (this->*slot)(); });
        m_actions[info.id] = action;
    }
}

QAction *MainWindow::action(Command id) const
{
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void MainWindow::createMenus()
{
    QMenuBar *bar = menuBar();
    QMenu *file = bar->addMenu(QCoreApplication::translate("MainWindow", "文件(&F)"));
    file->addAction(action(Save));
    file->addAction(action(Exit));

    m_editMenu = bar->addMenu(QCoreApplication::translate("MainWindow", "编辑(&E)"));
    m_editMenu->setObjectName(QStringLiteral("editMenu"));
    m_editMenu->addAction(action(NewText));
    m_editMenu->addAction(action(NewPicture));
    m_editMenu->addSeparator();
    m_editMenu->addAction(action(EditContent));
    m_editMenu->addAction(action(MoveUp));
    m_editMenu->addAction(action(MoveDown));
    m_editMenu->addAction(action(Delete));
    m_editMenu->addSeparator();
    m_editMenu->addAction(action(Send));

    QMenu *tools = bar->addMenu(QCoreApplication::translate("MainWindow", "工具(&T)"));
    for (Command id : {FindScreen, SetClock, Brightness, ScreenParams, ScreenSwitch, ClearScreen})
        tools->addAction(action(id));

    addLanguageMenu(bar);
    QMenu *help = bar->addMenu(QCoreApplication::translate("MainWindow", "帮助(&H)"));
    help->addAction(action(About));
}

void MainWindow::createToolBar()
{
    m_toolBar = new QToolBar(QCoreApplication::translate("MainWindow", "工具栏"), this);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setMovable(true); // shows the gripper
    m_toolBar->setFloatable(false);
    m_toolBar->setAllowedAreas(Qt::TopToolBarArea);
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    const auto add = [this](Command id) {
        m_toolBar->addAction(action(id));
        if (QWidget *button = m_toolBar->widgetForAction(action(id)))
            button->setFixedSize(kToolButtonSize);
    };
    add(Save);
    m_toolBar->addSeparator();
    add(NewText);
    add(NewPicture);
    m_toolBar->addSeparator();
    add(Send);
    m_toolBar->addSeparator();
    for (Command id : {FindScreen, SetClock, Brightness, ScreenParams, ScreenSwitch, ClearScreen})
        add(id);
    addToolBar(Qt::TopToolBarArea, m_toolBar);
}

void MainWindow::createCentralArea()
{
    auto *central = new CentralArea(this);
    central->setObjectName(QStringLiteral("centralArea"));
    central->resize(kCentralSize);

    m_list = new ProgramListView(central);
    m_list->setGeometry(kListRect);
    connect(m_list, &ProgramListView::rowSelected, this, &MainWindow::selectItem);
    connect(m_list, &ProgramListView::rowDoubleClicked, this, &MainWindow::onRowDoubleClicked);
    connect(m_list, &ProgramListView::rowContextMenu, this, &MainWindow::onRowContextMenu);
    connect(m_list, &ProgramListView::actionChosen, this, &MainWindow::onActionChosen);
    connect(m_list, &ProgramListView::speedChosen, this, &MainWindow::onSpeedChosen);
    connect(m_list, &ProgramListView::frameChosen, this, &MainWindow::onFrameChosen);
    connect(m_list, &ProgramListView::clockChosen, this, &MainWindow::onClockChosen);

    auto *previewArea = new QFrame(central);
    previewArea->setObjectName(QStringLiteral("previewArea"));
    previewArea->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    previewArea->setLineWidth(1);
    previewArea->setGeometry(kPreviewAreaRect);
    m_preview = new PreviewPanel(previewArea);
    m_preview->setListPlaybackEnabled(true);
    m_preview->setGeometry(previewArea->contentsRect());

    m_status = new QLabel(central);
    m_status->setObjectName(QStringLiteral("statusLine"));
    m_status->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_status->setGeometry(kStatusRect);
    m_scheduleLine = new QLabel(m_status);
    m_scheduleLine->setObjectName(QStringLiteral("scheduleLine"));
    m_scheduleLine->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_scheduleLine->setGeometry(m_status->contentsRect().adjusted(2, 0, -4, 0));
    m_scheduleLine->hide();
    auto *scheduleTimer = new QTimer(this);
    connect(scheduleTimer, &QTimer::timeout, this, &MainWindow::showSchedule);
    scheduleTimer->start(60 * 1000);

    central->list = m_list;
    central->previewArea = previewArea;
    central->preview = m_preview;
    central->status = m_status;
    setCentralWidget(central);
}

void MainWindow::showSchedule()
{
    const QString path = ScheduleFile::besideProject(m_playList->projectFilePath());
    if (path.isEmpty()) {
        m_scheduleLine->hide();
        return;
    }
    const ScheduleFile file = ScheduleFile::read(path);
    if (!file.ok()) {
        m_scheduleLine->setText(QCoreApplication::translate("MainWindow", "日程文件有错误：%1").arg(file.problems.first().line()));
    } else {
        const ScheduleState state = decideSchedule(file.schedule, localNow()).state;
        const QString list = state.playlist < 0
                                 ? QFileInfo(m_playList->projectFilePath()).fileName()
                                 : file.schedule.playlists[size_t(state.playlist)].file;
        m_scheduleLine->setText(QCoreApplication::translate("MainWindow", "日程：现在播放 %1").arg(list));
    }
    m_scheduleLine->setToolTip(QDir::toNativeSeparators(path));
    m_scheduleLine->show();
}

void MainWindow::start()
{
    showSchedule();
    show();
    findScreen();
    m_preview->setItem(m_playList->itemAt(0));
    m_preview->show();
}

QString MainWindow::statusText() const
{
    return m_status->text();
}

void MainWindow::setStatusText(const QString &text)
{
    m_status->setText(text);
}

// ---- list operations

int MainWindow::fillList()
{
    m_list->setRowCount(0);
    const int count = m_playList->itemCount();
    m_list->setRowCount(count);
    for (int i = 0; i < count; ++i)
        refreshRow(i, m_playList->itemAt(i));
    // The combos stay over the current row: keep it marked too.
    if (m_currentItem && m_currentRow >= 0 && m_currentRow < count)
        m_list->selectRowQuietly(m_currentRow);
    return count;
}

void MainWindow::refreshRow(int row, ProgramItem *item)
{
    if (item)
        m_list->showItem(row, *item);
}

void MainWindow::selectItem(int row)
{
    m_currentRow = row;
    m_currentItem = m_playList->itemAt(row);
    if (!m_currentItem)
        return;
    m_list->placeCombos(row, *m_currentItem);
    m_preview->setItem(m_currentItem);
    setStatusText(QString());
}

void MainWindow::selectRowAfterChange(int row)
{
    m_currentRow = row;
    m_list->selectRowQuietly(row);
    selectItem(row);
}

void MainWindow::onActionChosen(int index)
{
    if (!m_currentItem)
        return;
    const bool pagesChanged = editItem(*m_currentItem, ItemSetting::Action, index + 1);
    refreshRow(m_currentRow, m_currentItem);
    if (pagesChanged)
        m_preview->refresh();
}

void MainWindow::onSpeedChosen(int index)
{
    if (!m_currentItem)
        return;
    editItem(*m_currentItem, ItemSetting::Speed, index);
    refreshRow(m_currentRow, m_currentItem);
    m_preview->refresh(); // a playing preview starts again at the new speed
}

void MainWindow::onFrameChosen(int index)
{
    if (!m_currentItem)
        return;
    editItem(*m_currentItem, ItemSetting::Frame, index);
    refreshRow(m_currentRow, m_currentItem);
    m_preview->refresh();
}

void MainWindow::onClockChosen(int index)
{
    if (!m_currentItem)
        return;
    editItem(*m_currentItem, ItemSetting::Clock, index);
    refreshRow(m_currentRow, m_currentItem);
    m_preview->setItem(m_currentItem);
    if (index != 0 && !m_playList->hasClockZoneSupport())
        setStatusText(QCoreApplication::translate("MainWindow", "提示：当前所连接的控制卡不支持动态时钟分区！"));
}

void MainWindow::onRowDoubleClicked(int row)
{
    if (row < 0 || row >= m_list->rowCount() || !m_currentItem)
        return;
    Dialogs::editItem(this, m_currentItem);
    refreshRow(row, m_currentItem);
    m_preview->refresh();
}

void MainWindow::onRowContextMenu(int row, const QPoint &globalPos)
{
    if (row < 0 || row >= m_list->rowCount() || !m_currentItem)
        return;
    m_editMenu->exec(globalPos);
}

// ---- commands

void MainWindow::saveProject()
{
    saveUnlessDeclined(this, *m_playList);
}

void MainWindow::exitProgram()
{
    close();
}

void MainWindow::addNewItem(std::unique_ptr<ProgramItem> item)
{
    item->buildPages();
    Dialogs::editItem(this, item.get());
    // Appended however the editor was closed, then selected and previewed.
    m_playList->appendItem(std::move(item));
    const int row = fillList() - 1;
    selectRowAfterChange(row);
}

void MainWindow::newTextProgram()
{
    addNewItem(std::make_unique<TextItem>(m_playList.get()));
}

void MainWindow::newPictureProgram()
{
    addNewItem(std::make_unique<PictureItem>(m_playList.get()));
}

void MainWindow::editContent()
{
    if (!m_currentItem)
        return;
    Dialogs::editItem(this, m_currentItem);
    refreshRow(m_currentRow, m_currentItem);
    m_preview->refresh();
}

void MainWindow::moveUp()
{
    if (!m_currentItem || !m_playList->moveItemUp(m_currentRow))
        return;
    const int row = m_currentRow - 1;
    refreshRow(row, m_playList->itemAt(row));
    refreshRow(row + 1, m_playList->itemAt(row + 1));
    selectRowAfterChange(row);
}

void MainWindow::moveDown()
{
    if (!m_currentItem || !m_playList->moveItemDown(m_currentRow))
        return;
    const int row = m_currentRow + 1;
    refreshRow(row - 1, m_playList->itemAt(row - 1));
    refreshRow(row, m_playList->itemAt(row));
    selectRowAfterChange(row);
}

void MainWindow::deleteItem()
{
    const int index = m_currentRow;
    if (!m_currentItem || m_playList->itemAt(index) != m_currentItem)
        return;
    if (!askYesNo(this, QCoreApplication::translate("MainWindow", "确定吗？")))
        return;
    // No paint may reach the item once it is gone.
    m_preview->setItem(nullptr);
    m_currentItem = nullptr;
    m_playList->removeItemAt(index).reset();
    m_list->removeRowQuietly(index);

    const int next = std::max(0, index - 1);
    if (next < m_playList->itemCount()) {
        selectRowAfterChange(next);
    } else {
        m_currentRow = -1;
        m_currentItem = nullptr;
        m_list->hideCombos();
        m_preview->setItem(nullptr);
    }
}

void MainWindow::showUnsupportedCard()
{
    showMessage(this, Outcome::unsupportedCard().text(), applicationTitle(), MessageIcon::None);
}

void MainWindow::findScreen()
{
    CardSearchJob job(*m_card);
    {
        ProgressDialog dialog(kSearchBarRange, &job, this);
        dialog.exec();
    }
    // An unsupported card is let go (port 0, link closed); otherwise the
    // pages follow the card's screen.
    if (job.found.code() == OutcomeCode::Unsupported) {
        m_card->setPort(0);
        m_card->open(0);
        showUnsupportedCard();
        return;
    }
    m_playList->rebuildAllPages();
    // The sign's colours and height are known now: the rows' warnings follow.
    for (int row = 0; row < m_list->rowCount(); ++row)
        refreshRow(row, m_playList->itemAt(row));
    m_preview->setItem(m_currentItem);
    showPageBudgetRefusal(this, *m_playList);
}

void MainWindow::sendAll()
{
    if (const Outcome ready = m_card->checkBeforeSend(); !ready) {
        if (ready.code() == OutcomeCode::Unsupported)
            showUnsupportedCard();
        else
            showCommandResult(this, ready);
        return;
    }
    if (const QString question = missingCharactersQuestion(*m_playList);
        !question.isEmpty() && !askYesNo(this, question))
        return;
    {
        SendAllJob job(*m_card, *m_playList);
        ProgressDialog dialog(m_playList->sendProgressRange(), &job, this);
        dialog.exec();
    }
    // The send rendered every item again for the card's screen: show the
    // new pages (and a new screen size).
    m_preview->refresh();
}

void MainWindow::setClock()
{
    Outcome set;
    {
        WaitCursor wait;
        set = m_card->setClock();
    }
    showCommandResult(this, set);
}

void MainWindow::clearScreen()
{
    Outcome cleared;
    {
        WaitCursor wait;
        cleared = m_card->clearScreen();
    }
    showCommandResult(this, cleared);
}

void MainWindow::brightness()
{
    Dialogs::brightness(this, *m_card);
}

void MainWindow::screenParams()
{
    if (Dialogs::editScreenParams(this, *m_card, *m_playList))
        m_preview->setItem(m_currentItem);
}

void MainWindow::screenSwitch()
{
    Dialogs::screenSwitch(this, *m_card);
}

void MainWindow::about()
{
    Dialogs::about(this, m_playList->projectFilePath());
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    switch (askYesNoCancel(this, QCoreApplication::translate("MainWindow", "关闭前是否保存对节目的修改？"))) {
    case Answer::Yes:
        // A failed save (already reported) keeps the window open, so the
        // edits are not lost.
        if (saveUnlessDeclined(this, *m_playList))
            event->accept();
        else
            event->ignore();
        break;
    case Answer::No:
        event->accept();
        break;
    case Answer::Cancel:
        event->ignore();
        break;
    }
}
