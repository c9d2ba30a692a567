#pragma once
// The play list and everything that belongs to the connected card: the
// items (owned, in play order), the controller link, the screen parameters,
// the card's identification, the remembered port and the last-error text.
// The main window (or the command-line tool) owns the one Project.

#include "link/ControllerInfo.h"
#include "link/ProgressHost.h"
#include "link/ScreenParams.h"
#include "link/UploadEncoder.h"
#include "model/SendReport.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class ControllerLink;
class ProgramItem;
class ProjectFileLock;
class QObject;

class Project : public ProgressJob {
public:
    Project();
    ~Project() override;
    Project(const Project &) = delete;
    Project &operator=(const Project &) = delete;

    // ---- play list
    int itemCount() const { return int(m_items.size()); }
    ProgramItem *itemAt(int index) const;
    int indexOf(const ProgramItem *item) const;
    void appendItem(std::unique_ptr<ProgramItem> item);
    // Takes the entry out of the list and hands it to the caller.
    std::unique_ptr<ProgramItem> removeItemAt(int index);
    // Refused (false, nothing changes) unless 0 <= i and 0 < j < itemCount.
    bool swapItems(int i, int j);
    bool moveItemUp(int index);
    bool moveItemDown(int index);
    // Renders every item in list order within the page budget; false when
    // the budget refused an item (pageBudgetText names the first).
    bool rebuildAllPages();
    // The same pages, budget and refusals as rebuildAllPages, one item at a
    // time: each item's pages are built, handed to visit (0-based index) and
    // let go before the next, so any play list needs the memory of one item.
    // Stops when visit returns false; returns whether every item visited had
    // its pages.
    bool visitItemPages(const std::function<bool(int, ProgramItem &)> &visit);
    // Destroys every item in list order.
    void clearItems();

    // ---- pages
    // Page memory of all items together. A file can claim any screen size
    // and any number of long texts; pages stop here, not at the machine's
    // memory.
    static constexpr qint64 kPageBudgetBytes = qint64(512) << 20;
    qint64 pageBudgetBytes() const { return m_pageBudgetBytes; }
    // Tests lower it to keep their pages small.
    void setPageBudgetBytes(qint64 bytes) { m_pageBudgetBytes = bytes; }
    // Whether edits rebuild pages (editItem). The command-line verbs that
    // only change the file turn it off; pages are then built on demand.
    bool buildsPages() const { return m_buildsPages; }
    void setBuildsPages(bool on) { m_buildsPages = on; }
    // Pages of width x height that item may still take within the budget
    // (the other items' pages counted as they stand).
    int pageAllowance(const ProgramItem &item, int width, int height) const;
    // Bytes of distinct page rasters of every item but except.
    qint64 pageBytes(const ProgramItem *except = nullptr) const;
    // The first item whose pages the budget refused, or null.
    const ProgramItem *pageBudgetRefusal() const;
    // The message for that item; empty when every item has its pages.
    QString pageBudgetText() const;

    // ---- screen and card
    ScreenParams &screenParams() { return m_params; }
    const ScreenParams &screenParams() const { return m_params; }
    // The screen the pages are rendered for: the stored size, but no larger
    // than a card can have (the screen parameter dialogs' limits). The
    // record keeps the codes as stored.
    int screenWidth() const;
    int screenHeight() const;
    ControllerInfo &controllerInfo() { return m_info; }
    const ControllerInfo &controllerInfo() const { return m_info; }
    bool hasClockZoneSupport() const { return m_info.hasClockZoneSupport(); }
    bool isLevelLocked() const { return m_info.isLevelLocked(); }
    bool firmwareAtLeast(int a, int b, int c) const { return m_info.firmwareAtLeast(a, b, c); }
    int rememberedPort() const { return m_rememberedPort; }
    void setRememberedPort(int port) { m_rememberedPort = port; }
    const QString &lastErrorText() const { return m_lastErrorText; }
    void setLastErrorText(const QString &text) { m_lastErrorText = text; }
    ControllerLink &link() { return *m_link; }

    // ---- project file
    // Default: defaultProjectFilePath() (beside the executable, or in the
    // user's data folder when that folder is not writable).
    QString projectFilePath() const;
    void setProjectFilePath(const QString &path) { m_projectFilePath = path; }
    // Writes the file atomically; on failure shows "Error on save project!"
    // (or why: a list the loader would refuse, a full disk) and leaves the
    // previous file as it was. Returns success.
    bool saveProject();
    // How the last saveProject failed, and the text it showed (empty after
    // a success). Refused: the file would break the loader's limits.
    enum class SaveFailure { None, Refused, DiskFull, WriteFailed };
    SaveFailure saveFailure() const { return m_saveFailure; }
    const QString &saveErrorText() const { return m_saveErrorText; }
    // Reads the file into the (empty) list; true when it holds an item after.
    bool loadProject();
    // Holds the lock beside the project file (QLockFile "<file>.lock") until
    // unlockProjectFile or the project's end, so that the read, change and
    // write of one program are not interleaved with another's. While it is
    // held, loadProject and saveProject take no lock of their own; without
    // it each takes one for its own read or write. False, with *error, when
    // another program keeps the file locked past the wait.
    bool lockProjectFile(QString *error = nullptr);
    void unlockProjectFile();
    bool holdsProjectFileLock() const;
    // True when the file on disk is not the one this project last loaded or
    // saved (its size, time or content differ, or it appeared since); false
    // when it is unchanged or no longer there.
    bool projectFileChangedOnDisk() const;
    // The message the last loadProject showed; empty when it showed none.
    const QString &loadErrorText() const { return m_loadErrorText; }

    // ---- controller commands (each false with lastErrorText on failure)
    bool connect(int port, bool showErrors);
    bool clearScreen();
    bool restoreFactorySettings();
    bool setClock();
    bool writeScreenParams();
    bool setScreenPower(bool on);
    bool setBrightness(int level);
    // The card's brightness, or -1 when the exchange fails.
    int readBrightness();
    bool readScreenParams();
    // The screen parameter write both dialogs and the command-line tool use:
    // clear the display (outcome not looked at), wait 200 ms, let storeFields
    // change the ScreenParams, then write the record. Returns the write's
    // outcome.
    bool clearAndWriteScreenParams(const std::function<void(ScreenParams &)> &storeFields);

    // ---- discovery and send
    // connect without errors shown, then the model query; modelText gets
    // formatModel() on success.
    bool identify(int port, QString *modelText = nullptr);
    // The check before a send, on the remembered port: copies the link's
    // error text into lastErrorText when the query fails.
    bool identifyForSend();
    // The card search over ports 1..20 (the main window's scanner job).
    void findController(ProgressHost &host);
    // The ports the last search could not open because access was denied,
    // and the link's text for the first of them (with the hint about the
    // user's groups), so a caller can say why no card was found.
    struct DeniedPorts {
        QList<int> ports;
        QString text;
    };
    const DeniedPorts &deniedPorts() const { return m_deniedPorts; }
    // The send-all operation.
    void sendAll(ProgressHost &host);
    void run(ProgressHost &host) override { sendAll(host); }

    // The check before a send: identifyForSend, once more after 50 ms.
    enum class CardCheck { Ready, NoAnswer, Unsupported };
    CardCheck checkBeforeSend();
    // The follow-up of a search: an identified but unsupported card sets the
    // remembered port to 0 and closes the link (false; the caller shows
    // unsupportedCardText()); otherwise every item is rebuilt (true).
    bool acceptFoundController();
    static QString unsupportedCardText() { return QStringLiteral("本软件不支持当前所连接的卡！"); }
    // The header values every page of item carries, for the connected card.
    UploadPageHeader uploadHeaderFor(const ProgramItem &item) const;
    // Sends all pages of item with page numbers from firstPageNumber on. A
    // page or item that cannot be sent without wrapping a field fails before
    // any packet. pause(ms) waits between blocks (a real sleep when empty).
    bool sendItemPages(int firstPageNumber, const ProgramItem &item,
                       const std::function<void(int)> &pause = {});
    // Item by item outcome of the last sendAll.
    const SendReport &lastSendReport() const { return m_lastSendReport; }

private:
    // rebuildAllPages (visit empty, pages kept) and visitItemPages.
    bool buildPagesInBudget(const std::function<bool(int, ProgramItem &)> &visit);
    // The part of sendAll inside the upload bracket.
    void upload(ProgressHost &host, SendReport &report);

    std::vector<std::unique_ptr<ProgramItem>> m_items;
    std::unique_ptr<ControllerLink> m_link;
    ScreenParams m_params;
    ControllerInfo m_info;
    int m_rememberedPort = 1;
    QString m_lastErrorText;
    QString m_projectFilePath;
    QString m_loadErrorText;
    QString m_saveErrorText;
    SaveFailure m_saveFailure = SaveFailure::None;
    SendReport m_lastSendReport;
    DeniedPorts m_deniedPorts;
    bool m_buildsPages = true;
    qint64 m_pageBudgetBytes = kPageBudgetBytes;
    // The budget left for the item being built while rebuildAllPages runs;
    // -1 otherwise.
    qint64 m_bulkBytesLeft = -1;
    std::unique_ptr<ProjectFileLock> m_fileLock;
    // What the file was when last loaded or saved (an empty hash: absent).
    struct FileStamp {
        qint64 size = -1;
        qint64 modified = 0;
        QByteArray hash;
    } m_fileStamp;
    static FileStamp stampOf(const QString &path);
};

// The process-wide project, set by the main window while it opens.
Project *currentProject();
void setCurrentProject(Project *project);

// Reports one controller command: "命令执行成功！" (caption "成功", no owner),
// or "命令执行失败：" followed by the current project's last-error text
// (caption "错误", warning icon, owned by owner).
void showCommandResult(QObject *owner, bool ok);
