// render: every page of every program as a PNG file, one pixel per LED.

#include "cli/CliApp.h"

#include "base/LocalClock.h"
#include "cli/Console.h"
#include "model/ProgramItem.h"
#include "model/Project.h"
#include "render/DialClock.h"
#include "render/PageBitmap.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>

namespace {

// The whole screen as the preview panel shows a page: black, the page at
// the clock zone's right, and the dial for a dial clock.
QImage previewImage(const ProgramItem &item, const PageBitmap &page)
{
    PageBitmap screen;
    if (!screen.create(item.screenWidth(), item.screenHeight()))
        return {};
    screen.copyFrom(page, item.clockZoneWidth(), 0, 0, 0, item.contentWidth(), item.screenHeight());
    if (item.effectiveClockMode() == 1)
        DialClock::drawDial(screen, 0, 0, item.clockZoneWidth(), localNow().time());
    return screen.image();
}

// "NN-PP.png": program and page, 1-based, at least two digits each.
QString pictureName(int program, int page)
{
    return QStringLiteral("%1-%2.png")
        .arg(program, 2, 10, QLatin1Char('0'))
        .arg(page, 2, 10, QLatin1Char('0'));
}

} // namespace

int CliApp::verbRender(const QStringList &)
{
    const QString out = option(QStringLiteral("out"));
    if (out.isEmpty())
        return usageError(QStringLiteral("render needs --out DIR"), QStringLiteral("render"));
    Project project;
    if (const int code = openProject(project); code != ExitOk)
        return code;
    if (const int code = prepareRendering(project); code != ExitOk)
        return code;
    const QFileInfo outInfo(out);
    if (outInfo.exists() && !outInfo.isDir())
        return fail(ExitUsage, QStringLiteral("%1 is not a folder").arg(out));
    if (!QDir().mkpath(out))
        return fail(ExitUsage, QStringLiteral("cannot create the folder %1").arg(out));
    const QDir dir(out);
    const bool preview = isSet(QStringLiteral("preview"));

    project.rebuildAllPages();
    int written = 0;
    for (int i = 0; i < project.itemCount(); ++i) {
        const ProgramItem &item = *project.itemAt(i);
        for (int p = 0; p < item.pageCount(); ++p) {
            const PageBitmap *page = item.pageAt(p);
            if (!page || page->isNull())
                continue;
            const QImage image = preview ? previewImage(item, *page) : page->image();
            const QString path = dir.filePath(pictureName(i + 1, p + 1));
            if (image.isNull() || !image.save(path, "PNG"))
                return fail(ExitUsage, QStringLiteral("cannot write %1").arg(path));
            print(path);
            ++written;
        }
    }
    m_console.err(
        QStringLiteral("%1 pictures written to %2\n").arg(written).arg(dir.absolutePath()));
    return ExitOk;
}
