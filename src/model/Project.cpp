#include "model/Project.h"

#include "base/AppServices.h"
#include "link/ControllerLink.h"
#include "link/ScreenSizeRules.h"
#include "model/ProgramItem.h"
#include "model/ProjectFileLock.h"

#include <algorithm>
#include <climits>

Project::Project() : m_link(std::make_unique<ControllerLink>())
{
}

Project::~Project()
{
    // Items go first, in list order, each with its pages; then the link.
    clearItems();
}

ProgramItem *Project::itemAt(int index) const
{
    if (index < 0 || index >= itemCount())
        return nullptr;
    return m_items[size_t(index)].get();
}

int Project::indexOf(const ProgramItem *item) const
{
    for (int i = 0; i < itemCount(); ++i)
        if (m_items[size_t(i)].get() == item)
            return i;
    return -1;
}

void Project::appendItem(std::unique_ptr<ProgramItem> item)
{
    if (item)
        m_items.push_back(std::move(item));
}

std::unique_ptr<ProgramItem> Project::removeItemAt(int index)
{
    if (index < 0 || index >= itemCount())
        return nullptr;
    auto item = std::move(m_items[size_t(index)]);
    m_items.erase(m_items.begin() + index);
    return item;
}

bool Project::swapItems(int i, int j)
{
    if (i < 0 || j <= 0 || j >= itemCount() || i >= itemCount())
        return false;
    std::swap(m_items[size_t(i)], m_items[size_t(j)]);
    return true;
}

bool Project::moveItemUp(int index)
{
    return swapItems(index - 1, index);
}
bool Project::moveItemDown(int index)
{
    return swapItems(index, index + 1);
}

int Project::screenWidth() const
{
    return std::min(m_params.screenWidth(), ScreenSizeRules::kMaxWidth);
}

int Project::screenHeight() const
{
    return std::min(m_params.screenHeight(), ScreenSizeRules::kMaxHeight);
}

bool Project::rebuildAllPages()
{
    return buildPagesInBudget({});
}

bool Project::visitItemPages(const std::function<bool(int, ProgramItem &)> &visit)
{
    return buildPagesInBudget(visit);
}

bool Project::buildPagesInBudget(const std::function<bool(int, ProgramItem &)> &visit)
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

qint64 Project::pageBytes(const ProgramItem *except) const
{
    qint64 bytes = 0;
    for (const auto &item : m_items)
        if (item.get() != except)
            bytes += item->pageBytes();
    return bytes;
}

int Project::pageAllowance(const ProgramItem &item, int width, int height) const
{
    const qint64 left =
        m_bulkBytesLeft >= 0 ? m_bulkBytesLeft : m_pageBudgetBytes - pageBytes(&item);
    const qint64 pageBytes = qint64(std::max(width, 1)) * std::max(height, 1) * 4;
    return int(std::clamp<qint64>(left / pageBytes, 0, INT_MAX));
}

const ProgramItem *Project::pageBudgetRefusal() const
{
    for (const auto &item : m_items)
        if (item->pagesRefused())
            return item.get();
    return nullptr;
}

QString Project::pageBudgetText() const
{
    const ProgramItem *item = pageBudgetRefusal();
    if (!item)
        return {};
    return QStringLiteral("信息‘%1’的页面无法生成：全部信息的页面合计超过了 %2 MB 的上限。"
                          "请缩短文字、减少信息或减小屏幕尺寸。")
        .arg(item->displayName())
        .arg(m_pageBudgetBytes >> 20);
}

void Project::clearItems()
{
    for (auto &item : m_items)
        item.reset();
    m_items.clear();
}

QString Project::projectFilePath() const
{
    return m_projectFilePath.isEmpty() ? defaultProjectFilePath() : m_projectFilePath;
}

namespace {
Project *g_currentProject = nullptr;
}

Project *currentProject()
{
    return g_currentProject;
}
void setCurrentProject(Project *project)
{
    g_currentProject = project;
}

void showCommandResult(QObject *owner, bool ok)
{
    if (ok) {
        showMessage(nullptr, QStringLiteral("命令执行成功！"), QStringLiteral("成功"),
                    MessageIcon::Information);
        return;
    }
    const QString error = g_currentProject ? g_currentProject->lastErrorText() : QString();
    showMessage(owner, QStringLiteral("命令执行失败：") + error, QStringLiteral("错误"),
                MessageIcon::Warning);
}
