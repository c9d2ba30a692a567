#include "model/PictureItem.h"

#include "model/Project.h"

#include <QDir>
#include <QFileInfo>

PictureItem::PictureItem(Project *owner) : ProgramItem(PictureType, owner) {}

void PictureItem::setLimit(int v) { m_limit = v > 255 ? 255 : (v < 0 ? 0 : v); }

QString PictureItem::resolvedPath() const
{
    const QString &path = content();
    if (path.isEmpty() || QDir::isAbsolutePath(path) || !owner())
        return path;
    const QString projectFile = owner()->projectFilePath();
    if (projectFile.isEmpty())
        return path;
    return QFileInfo(projectFile).absoluteDir().filePath(path);
}
