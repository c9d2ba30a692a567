#include "model/PictureItem.h"

#include "base/AppPaths.h"

#include <QDir>
#include <QFileInfo>

PictureItem::PictureItem(const RenderContext *context) : ProgramItem(PictureType, context) {}

void PictureItem::setLimit(int v) { m_limit = v > 255 ? 255 : (v < 0 ? 0 : v); }

QString PictureItem::resolvedPath() const
{
    const QString &path = content();
    if (path.isEmpty() || QDir::isAbsolutePath(path) || !renderContext())
        return path;
    // A list without a file of its own keeps the default one.
    const QString projectFile = renderContext()->projectFilePath.isEmpty()
                                    ? defaultProjectFilePath()
                                    : renderContext()->projectFilePath;
    if (projectFile.isEmpty())
        return path;
    return QFileInfo(projectFile).absoluteDir().filePath(path);
}
