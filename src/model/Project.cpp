#include "model/Project.h"

#include "base/AppServices.h"
#include "link/ControllerLink.h"
#include "model/ProgramItem.h"

Project::Project() : m_link(std::make_unique<ControllerLink>()) {}

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

bool Project::moveItemUp(int index) { return swapItems(index - 1, index); }
bool Project::moveItemDown(int index) { return swapItems(index, index + 1); }

void Project::rebuildAllPages()
{
    for (auto &item : m_items)
        item->buildPages();
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

Project *currentProject() { return g_currentProject; }
void setCurrentProject(Project *project) { g_currentProject = project; }

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
