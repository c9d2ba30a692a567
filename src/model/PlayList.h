#pragma once
// The play list: the programs in play order (owned), the screen and card
// they are drawn for (the RenderContext handed to every item), the page
// budget of all their pages, and the project file they are kept in. Loading
// and saving return an Outcome; nothing here shows a message. Each front end
// owns its lists: the GUI one for the whole run, the command-line tool and
// the service one per command or per sign.

#include "model/Outcome.h"
#include "model/RenderContext.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class ProgramItem;
class ProjectFileLock;

class PlayList {
public:
    PlayList();
    virtual ~PlayList();
    PlayList(const PlayList &) = delete;
    PlayList &operator=(const PlayList &) = delete;

    // ---- programs
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
    // Destroys every item in list order.
    void clearItems();

    // ---- what the items draw for
    const RenderContext &renderContext() const { return m_context; }
    // The size codes and colour type (the file's, or the card's once read).
    ScreenParams &screenParams() { return m_context.screen; }
    const ScreenParams &screenParams() const { return m_context.screen; }
    // Whether the colour type is the sign's (see RenderContext).
    bool colourTypeKnown() const { return m_context.colourTypeKnown; }
    void setColourTypeKnown(bool known) { m_context.colourTypeKnown = known; }
    // The card the pages are drawn for.
    ControllerInfo &controllerInfo() { return m_context.card; }
    const ControllerInfo &controllerInfo() const { return m_context.card; }
    bool hasClockZoneSupport() const { return m_context.card.hasClockZoneSupport(); }
    bool isLevelLocked() const { return m_context.card.isLevelLocked(); }
    bool firmwareAtLeast(int a, int b, int c) const
    {
        return m_context.card.firmwareAtLeast(a, b, c);
    }
    // The screen the pages are rendered for: the stored size, but no larger
    // than a card can have. The record keeps the codes as stored.
    int screenWidth() const { return m_context.screenWidth(); }
    int screenHeight() const { return m_context.screenHeight(); }

    // ---- pages
    // Renders every item in list order within the page budget; false when
    // the budget refused an item (pageBudgetText names the first).
    bool rebuildAllPages();
    // The same pages, budget and refusals as rebuildAllPages, one item at a
    // time: each item's pages are built, handed to visit (0-based index) and
    // let go before the next, so any play list needs the memory of one item.
    // Stops when visit returns false; returns whether every item visited had
    // its pages.
    bool visitItemPages(const std::function<bool(int, ProgramItem &)> &visit);
    // Page memory of all items together. A file can claim any screen size
    // and any number of long texts; pages stop here, not at the machine's
    // memory.
    static constexpr qint64 kPageBudgetBytes = qint64(512) << 20;
    qint64 pageBudgetBytes() const { return m_pageBudgetBytes; }
    // Tests lower it to keep their pages small.
    void setPageBudgetBytes(qint64 bytes) { m_pageBudgetBytes = bytes; }
    // Whether edits rebuild pages (editItem). The command-line verbs that
    // only change the file turn it off; pages are then built on demand.
    bool buildsPages() const { return m_context.buildsPages; }
    void setBuildsPages(bool on) { m_context.buildsPages = on; }
    // Pages of width x height that item may still take within the budget
    // (the other items' pages counted as they stand).
    int pageAllowance(const ProgramItem &item, int width, int height) const;
    // Bytes of distinct page rasters of every item but except.
    qint64 pageBytes(const ProgramItem *except = nullptr) const;
    // The first item whose pages the budget refused, or null.
    const ProgramItem *pageBudgetRefusal() const;
    // The message for that item; empty when every item has its pages.
    QString pageBudgetText() const;
    // The progress range of a send of this list: 5 per program and 5 for
    // the clearing before them.
    int sendProgressRange() const { return itemCount() * 5 + 5; }

    // ---- project file
    // Default: defaultProjectFilePath() (beside the executable, or in the
    // user's data folder when that folder is not writable).
    QString projectFilePath() const;
    void setProjectFilePath(const QString &path) { m_context.projectFilePath = path; }
    // Reads the file into the (empty) list. A missing file gives one default
    // text program and FileMissing; a file that cannot be read gives
    // FileUnreadable ("Error on load playlist file."), one without a root
    // element FileInvalid ("Error on load playlist file ."). An empty list
    // is a valid file.
    Outcome load();
    // Writes the file atomically: FileWriteFailed or FileLocked ("Error on
    // save project!"), FileDiskFull (naming the folder and its disk) and
    // FileRefused (a list the loader would refuse, the reason) leave the
    // previous file as it was.
    Outcome save();
    // Holds the lock beside the project file (QLockFile "<file>.lock") until
    // unlockProjectFile or the list's end, so that the read, change and
    // write of one program are not interleaved with another's. While it is
    // held, save takes no lock of its own; without it, it takes one for its
    // write. FileLocked when another program keeps the file locked past the
    // wait.
    Outcome lockProjectFile();
    void unlockProjectFile();
    bool holdsProjectFileLock() const;
    // True when the file on disk is not the one this list last loaded or
    // saved (its size, time or content differ, or it appeared since); false
    // when it is unchanged or no longer there.
    bool projectFileChangedOnDisk() const;

private:
    // rebuildAllPages (visit empty, pages kept) and visitItemPages.
    bool buildPagesInBudget(const std::function<bool(int, ProgramItem &)> &visit);

    RenderContext m_context;
    std::vector<std::unique_ptr<ProgramItem>> m_items;
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
