#include "model/PlayList.h"

#include "base/AppPaths.h"
#include "link/ScreenSizeRules.h"
#include "link/UploadEncoder.h"
#include "model/ProgramItem.h"
#include "model/ProjectFileLock.h"

#include <QCoreApplication>
#include <algorithm>
#include <climits>

int RenderContext::screenWidth() const
{
    return std::min(screen.screenWidth(), ScreenSizeRules::kMaxWidth);
}

int RenderContext::screenHeight() const
{
    return std::min(screen.screenHeight(), ScreenSizeRules::kMaxHeight);
}

int RenderContext::previewPlanes() const
{
    return colourTypeKnown ? UploadEncoder::planesForColourType(screen.colourType()) : 0;
}

PlayList::PlayList()
{
    m_context.pageAllowance = [this](const ProgramItem &item, int width, int height) {
        return pageAllowance(item, width, height);
    };
    m_context.playList = this;
}

PlayList::~PlayList()
{
    // Items go first, in list order, each with its pages.
    clearItems();
}

ProgramItem *PlayList::itemAt(int index) const
{
    if (index < 0 || index >= itemCount())
        return nullptr;
    return m_items[size_t(index)].get();
}

int PlayList::indexOf(const ProgramItem *item) const
{
    for (int i = 0; i < itemCount(); ++i)
        if (m_items[size_t(i)].get() == item)
            return i;
    return -1;
}

void PlayList::appendItem(std::unique_ptr<ProgramItem> item)
{
    if (item)
        m_items.push_back(std::move(item));
}

std::unique_ptr<ProgramItem> PlayList::removeItemAt(int index)
{
    if (index < 0 || index >= itemCount())
        return nullptr;
    auto item = std::move(m_items[size_t(index)]);
    m_items.erase(m_items.begin() + index);
    return item;
}

bool PlayList::swapItems(int i, int j)
{
    if (i < 0 || j <= 0 || j >= itemCount() || i >= itemCount())
        return false;
    std::swap(m_items[size_t(i)], m_items[size_t(j)]);
    return true;
}

bool PlayList::moveItemUp(int index)
{
    return swapItems(index - 1, index);
}
bool PlayList::moveItemDown(int index)
{
    return swapItems(index, index + 1);
}

bool PlayList::rebuildAllPages()
{
    return buildPagesInBudget({});
}

bool PlayList::visitItemPages(const std::function<bool(int, ProgramItem &)> &visit)
{
    return buildPagesInBudget(visit);
}

bool PlayList::buildPagesInBudget(const std::function<bool(int, ProgramItem &)> &visit)
{
    // Every item first lets go of its old pages, so that each one is
    // measured against the pages of the items before it only.
    for (auto &item : m_items)
        item->releasePages();
    struct BulkEnd {
        qint64 &left;
        ~BulkEnd() { left = -1; }
    } bulkEnd{m_bulkBytesLeft};
    qint64 used = 0;
    bool allBuilt = true;
    for (int i = 0; i < itemCount(); ++i) {
        ProgramItem &item = *m_items[size_t(i)];
        m_bulkBytesLeft = std::max<qint64>(0, m_pageBudgetBytes - used);
        item.buildPages();
        used += item.pageBytes();
        allBuilt = allBuilt && !item.pagesRefused();
        if (!visit)
            continue;
        const bool goOn = visit(i, item);
        item.releasePages();
        if (!goOn)
            break;
    }
    return allBuilt;
}

qint64 PlayList::pageBytes(const ProgramItem *except) const
{
    qint64 bytes = 0;
    for (const auto &item : m_items)
        if (item.get() != except)
            bytes += item->pageBytes();
    return bytes;
}

int PlayList::pageAllowance(const ProgramItem &item, int width, int height) const
{
    const qint64 left =
        m_bulkBytesLeft >= 0 ? m_bulkBytesLeft : m_pageBudgetBytes - pageBytes(&item);
    const qint64 pageBytes = qint64(std::max(width, 1)) * std::max(height, 1) * 4;
    return int(std::clamp<qint64>(left / pageBytes, 0, INT_MAX));
}

const ProgramItem *PlayList::pageBudgetRefusal() const
{
    for (const auto &item : m_items)
        if (item->pagesRefused())
            return item.get();
    return nullptr;
}

QString PlayList::pageBudgetText() const
{
    const ProgramItem *item = pageBudgetRefusal();
    if (!item)
        return {};
    return QCoreApplication::translate("PlayList", "信息‘%1’的页面无法生成：全部信息的页面合计超过了 %2 MB 的上限。"
                          "请缩短文字、减少信息或减小屏幕尺寸。")
        .arg(item->displayName())
        .arg(m_pageBudgetBytes >> 20);
}

void PlayList::clearItems()
{
    for (auto &item : m_items)
        item.reset();
    m_items.clear();
}

QString PlayList::projectFilePath() const
{
    return m_context.projectFilePath.isEmpty() ? defaultProjectFilePath()
                                               : m_context.projectFilePath;
}
