#pragma once
// The program's only top-level window, "Brivane": menu, toolbar, the
// program list with its in-place combos, the preview and the status line.
// It owns the play list and the card session for the whole run (the
// session shares the list's screen and card records); every user command
// starts here.

#include <QMainWindow>
#include <map>
#include <memory>

class CardSession;
class PlayList;
class ProgramItem;
class ProgramListView;
class PreviewPanel;
class QAction;
class QLabel;
class QMenu;
class QToolBar;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // The command ids of the menu and the toolbar.
    enum Command {
        NewText = 32771,
        Send = 32774,
        SetClock = 32775,
        NewPicture = 32776,
        Brightness = 32777,
        ScreenParams = 32778,
        Save = 32773,
        Exit = 32780,
        EditContent = 32781,
        Delete = 32782,
        MoveUp = 32783,
        MoveDown = 32784,
        FindScreen = 32785,
        About = 32786,
        ScreenSwitch = 32787,
        ClearScreen = 32788,
    };

    // projectFile: the project to open; empty for "default.brivprj" beside
    // the executable. Loads the project and fills the list; start() does
    // the rest of the start-up.
    explicit MainWindow(const QString &projectFile = QString(), QWidget *parent = nullptr);
    ~MainWindow() override;

    // Shows the window, runs the card search under the progress dialog
    // (and its follow-up), then previews the first item.
    void start();

    PlayList &playList() { return *m_playList; }
    CardSession &card() { return *m_card; }
    ProgramListView *list() const { return m_list; }
    PreviewPanel *preview() const { return m_preview; }
    QAction *action(Command id) const;
    QMenu *editMenu() const { return m_editMenu; }
    QToolBar *toolBar() const { return m_toolBar; }
    int currentRow() const { return m_currentRow; }
    ProgramItem *currentItem() const { return m_currentItem; }
    QString statusText() const;
    void setStatusText(const QString &text);

    // The list operations.
    int fillList();
    void refreshRow(int row, ProgramItem *item);
    void selectItem(int row);

    // The commands.
    void saveProject();
    void exitProgram();
    void newTextProgram();
    void newPictureProgram();
    void editContent();
    void moveUp();
    void moveDown();
    void deleteItem();
    void sendAll();
    void findScreen();
    void setClock();
    void brightness();
    void screenParams();
    void screenSwitch();
    void clearScreen();
    void about();

protected:
    // Every way of closing asks whether to save first.
    void closeEvent(QCloseEvent *event) override;

private:
    void createCommands();
    void createMenus();
    void createToolBar();
    void createCentralArea();
    void addNewItem(std::unique_ptr<ProgramItem> item);
    // Makes row current and selected as the user would, then SelectItem.
    void selectRowAfterChange(int row);
    void showUnsupportedCard();
    void onActionChosen(int index);
    void onSpeedChosen(int index);
    void onFrameChosen(int index);
    void onClockChosen(int index);
    void onRowDoubleClicked(int row);
    void onRowContextMenu(int row, const QPoint &globalPos);

    std::unique_ptr<PlayList> m_playList;
    std::unique_ptr<CardSession> m_card;
    std::map<int, QAction *> m_actions;
    QMenu *m_editMenu = nullptr;
    QToolBar *m_toolBar = nullptr;
    ProgramListView *m_list = nullptr;
    PreviewPanel *m_preview = nullptr;
    QLabel *m_status = nullptr;
    // Right in the status line: what the schedule beside the project has on
    // the sign now (hidden without one).
    QLabel *m_scheduleLine = nullptr;
    void showSchedule();
    int m_currentRow = -1;
    ProgramItem *m_currentItem = nullptr;
};
